// SPDX-License-Identifier: MIT
#pragma once

#include "ui/messageboxes.h"
#include "ui/lamp.h"
#include "protocol/replies.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class ReceiveFramer;
class Port;
class SwitchSession;
class TextPane;
class UtpModeDialog;

// The console's main window: the terminal panes on the left, the link state and port choice at
// the bottom, the routing panel with its 24 buttons and 16 lamps on the right. Elements keep
// their design names as object names (array elements as Command1_10, Shape18_2).
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // The window reaches the switch only through `port` and shows boxes only through `boxes`.
    // "COMPORT" lives in `workingDirectory`.
    Form1(Port& port, MessageBoxes& boxes, const QString& workingDirectory,
          QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence: fills the port list, restores the port, opens it. Runs before the
    // window is first shown; a port that cannot be opened is reported from here.
    void startUp();

    // Routing lamp rows, one per output: light `input` (1 to 4), darken the rest; any other
    // value changes nothing.
    void out1(quint8 input);
    void out2(quint8 input);
    void out3(quint8 input);
    void out4(quint8 input);

    // The link watchdog, armed by the UTP query and disarmed by its answer.
    void armWatchdog();
    void disarmWatchdog();
    bool isWatchdogArmed() const { return Timer2.isActive() || watchdogAwaitsReply != 0; }

    static constexpr int clientWidth = 645;
    static constexpr int clientHeight = 554;

    // Elements, by their design names.
    QGroupBox* Frame1 = nullptr;
    QLabel* Label8 = nullptr;
    TextPane* Text1 = nullptr;
    TextPane* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    Lamp* Shape15 = nullptr;
    Lamp* Shape16 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QPushButton*, 24> Command1{};
    std::array<LampRow, 4> routingLamps{}; // Shape17 .. Shape20
    QTimer Timer2;

private:
    class GuardedBoxes;

    void buildMessageArea();
    void buildBottomArea();
    void buildRoutingPanel();
    void setTabOrderChain();

    // Handlers, one per event.
    void Command1_Click(int index);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Combo1_Click(int index);
    void Timer2_Timer();
    void MSComm1_OnComm(const protocol::Reply& reply);

    void reportSilentSwitch();
    void decideAwaitedWatchdog();
    void showLinkState(bool open);
    void onLinkLost(const QString& reason);
    void onWriteFailed();
    void onHeldRepliesDropped(qsizetype count);
    void refreshPortTooltips();
    // Writes one command; a failed write shows the port-failure box. Returns whether it went out.
    bool writeToSwitch(const QByteArray& bytes);
    void showPortFailure();
    void appendLine(const QString& line);

    Port& port;
    SwitchSession* link = nullptr;
    ReceiveFramer* receiver = nullptr;
    std::unique_ptr<GuardedBoxes> boxes;
    QPointer<UtpModeDialog> openUtp;
    bool watchdogBoxOpen = false;
    // The watchdog's deadline passed while an answer's framing window was open: the reply
    // count at which the switch has had its say (0 when nothing is awaited).
    quint64 watchdogAwaitsReply = 0;
    bool writeFailureQueued = false;
};
