// SPDX-License-Identifier: MIT
#pragma once

#include "link/presetrecall.h"
#include "link/replydeadline.h"
#include "protocol/replies.h"
#include "ui/lamp.h"
#include "ui/messageboxes.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class MatrixSetup;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class ReceiveFramer;
class Port;
class PortChoice;
class SwitchSession;
class TextPane;
class UtpModeDialog;

// The console's main window: the terminal panes on the left, the link state and port choice at
// the bottom, the routing panel with its 24 buttons and 16 lamps on the right. It reaches the
// switch only through its session and shows boxes only through MessageBoxes. Every element keeps
// the name a user sees as its object name (array elements as "Command1_10"); tests find them so.
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
    void showRoute(int output, int input);

    // The watchdog on the UTP query: armed when the query goes out, disarmed by its answer.
    void armWatchdog();
    void disarmWatchdog();
    bool isWatchdogArmed() const { return utpWatchdog->isWaiting(); }

protected:
    // The routing panel's menu: presets and names for the output and input under the pointer
    // or the focused routing button.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class GuardedBoxes;

    // The layout, in the design's twips.
    void buildMessageArea();
    void buildLinkArea();
    void buildRoutingPanel();
    void chainTabOrder();

    void sendRoutingKey(int index);
    void clearReceivePane();
    void sendTerminalText();
    void openNetworkSettings();
    void openUtpDialog();
    void requestStatus();
    void toggleConnection();
    void choosePort(int listIndex);
    // The text of the port box, confirmed by Enter or by leaving the box.
    void confirmTypedPort();
    void showPortName();
    void fillStableNames();
    void reportOpenFailure();
    void handleReply(const protocol::Reply& reply);

    void reportSilentSwitch();
    void decideAwaitedWatchdog();
    void showLinkState(bool open);
    void reportLostLink(const QString& reason);
    void reportFailedWrite();
    void reportDroppedReplies(qsizetype count);
    void refreshPortTooltips();
    // Writes one command; a failed write shows the port-failure box. Returns whether it went out.
    bool writeToSwitch(const QByteArray& bytes);
    void showPortFailure();
    void appendLine(const QString& line);

    // Presets and names (the routing panel's menu and its dialogs).
    struct PanelSpot
    {
        bool onPanel = false;
        int output = 0; // 1 to 4; 0 for none
        int input = 0;  // 1 to 4; 0 for none
    };
    PanelSpot spotAt(const QPoint& position) const;
    PanelSpot spotOfButton(const QWidget* widget) const;
    void showRoutingMenu(const PanelSpot& spot, const QPoint& globalPosition);
    void refreshNameTooltips();
    void askForName(bool output, int index);
    void askForPresetName();
    void openPresetManager();
    void recallPreset(const QString& name);
    void reportRecall(const PresetRecall::Result& result);
    // The lamps' routing when every row has a lit lamp.
    std::optional<Routing> litRouting() const;

    static constexpr int clientWidth = 645;
    static constexpr int clientHeight = 554;

    QGroupBox* messageFrame = nullptr;
    TextPane* receivePane = nullptr;
    TextPane* sendBox = nullptr;
    QPushButton* clearButton = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* networkSettingsButton = nullptr;
    QPushButton* utpButton = nullptr;
    QPushButton* statusButton = nullptr;
    QGroupBox* linkStateFrame = nullptr;
    Lamp* connectedLamp = nullptr;
    Lamp* disconnectedLamp = nullptr;
    QGroupBox* portFrame = nullptr;
    QComboBox* portList = nullptr;
    QPushButton* linkButton = nullptr;
    // Ids are the key indices, 0 to 23: per output, left arrow, right arrow, inputs 1 to 4.
    QButtonGroup* routingButtons = nullptr;
    std::array<LampRow, 4> routingLamps{};  // per output, per input
    std::array<QRect, 4> routingRowAreas{}; // each output row with its badge and extension
    QRect routingPanelArea;
    ReplyDeadline* utpWatchdog = nullptr;

    PortChoice* choice = nullptr; // the window owns the port choice and keeps it
    SwitchSession* link = nullptr;
    ReceiveFramer* receiver = nullptr;
    std::unique_ptr<GuardedBoxes> boxes;
    QPointer<UtpModeDialog> openUtpDialogWindow;
    bool watchdogBoxOpen = false;
    bool writeFailureQueued = false;
    bool lostLinkBoxDue = false; // queued or open
    std::unique_ptr<MatrixSetup> setup;
    PresetRecall* recaller = nullptr;
    QPointer<QMenu> routingMenu;
};
