// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class MessageBoxes;
class Port;
class UtpModeDialog;
class QWidget;
class ReceiveFramer;

// The UTP query once it has gone out: its dialog, and the watchdog on the answer, armed when the
// query goes out and disarmed by its answer. If the switch has not begun to answer within half
// a second it says "Device is not connect!", once; an answer whose first byte came in time
// counts. It sends nothing itself: the dialog writes over `line`.
class UtpQuery : public QObject
{
    Q_OBJECT
public:
    UtpQuery(ReceiveFramer& replies, MessageBoxes& boxes, QWidget* owner);

    // Arms the watchdog and runs the dialog; returns when the user has closed it.
    void runDialog(Port& line);
    // The switch's report of the modes: the watchdog is satisfied, an open dialog filled in.
    void answer(int oneWireMask);

    void arm();
    void disarm();
    bool isArmed() const { return timer.isActive() || awaitsReply != 0; }
    // After each reply handled, or replies dropped: decides a deadline that passed while an
    // answer was arriving.
    void replyHandled();

private:
    void expired();
    void reportSilentSwitch();

    QTimer timer;
    ReceiveFramer& receiver;
    MessageBoxes& boxes;
    QWidget* owner;
    QPointer<UtpModeDialog> dialog;
    bool boxOpen = false;
    // The deadline passed while an answer's framing window was open: the reply count at which
    // the switch has had its say (0 when nothing is awaited).
    quint64 awaitsReply = 0;
};
