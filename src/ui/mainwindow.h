// SPDX-License-Identifier: MIT
#pragma once

#include "protocol/replies.h"
#include "ui/messageboxes.h"
#include "ui/routingpanel.h"
#include "ui/utpquery.h"

#include <QWidget>
#include <memory>

class LinkStateBox;
class MessageArea;
class PortBox;
class QPushButton;
class ReceiveFramer;
class Port;
class PortChoice;
class SwitchSession;

// The console's main window: it places the message area on the left, the link state and the
// port box at the bottom, the routing panel on the right, and answers what the switch reports.
// It reaches the switch only through its session and shows boxes only through MessageBoxes.
// Every element keeps the name a user sees as its object name (array elements as
// "Command1_10"); tests find them so.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // "COMPORT", the saved port choice, lives in `workingDirectory`.
    MainWindow(Port& port, MessageBoxes& boxes, const QString& workingDirectory,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence: fills the port list, restores the saved port, opens it. Runs before the
    // window is first shown; a port that cannot be opened is reported from here.
    void startUp();

    // Lights the lamp of `input` (1 to 4) in the row of `output` (1 to 4) and darkens the rest
    // of that row; any other input leaves the row as it was.
    void showRoute(int output, int input) { routingPanel->showRoute(output, input); }

    // The watchdog on the UTP query: armed when the query goes out, disarmed by its answer.
    void armWatchdog() { utpQuery->arm(); }
    void disarmWatchdog() { utpQuery->disarm(); }
    bool isWatchdogArmed() const { return utpQuery->isArmed(); }

private:
    void chainTabOrder();
    void connectElements();
    void sendRoutingKey(int index);
    void sendTerminalText();
    void openNetworkSettings();
    void openUtpDialog();
    void toggleConnection();
    void reportOpenFailure();
    void handleReply(const protocol::Reply& reply);

    void showLinkState(bool open);
    void reportLostLink(const QString& reason);
    void reportFailedWrite();
    void reportDroppedReplies(qsizetype count);
    // Writes one command; a failed write shows the port-failure box. Returns whether it went out.
    bool writeToSwitch(const QByteArray& bytes);
    void showPortFailure();
    void appendLine(const QString& line);
    // A line the user should see at once: appended, and the pane scrolled to it.
    void appendNote(const QString& line);

    static constexpr int clientWidth = 645;
    static constexpr int clientHeight = 554;

    MessageArea* messages = nullptr;
    LinkStateBox* linkState = nullptr;
    PortBox* portBox = nullptr;
    QPushButton* linkButton = nullptr;
    RoutingPanel* routingPanel = nullptr;
    UtpQuery* utpQuery = nullptr;

    PortChoice* choice = nullptr; // the window owns the port choice and keeps it
    SwitchSession* link = nullptr;
    ReceiveFramer* receiver = nullptr;
    std::unique_ptr<ReplyHoldingBoxes> boxes;
    bool writeFailureQueued = false;
    bool lostLinkBoxDue = false; // queued or open
};
