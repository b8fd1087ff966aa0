// SPDX-License-Identifier: MIT
#pragma once

#include "link/replydeadline.h"

#include <QObject>
#include <QPointer>

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
    bool isArmed() const { return deadline.isWaiting(); }
    // After each reply handled, or replies dropped: decides a deadline that passed while an
    // answer was arriving.
    void replyHandled();

private:
    void reportSilentSwitch();

    MessageBoxes& boxes;
    QWidget* owner;
    QPointer<UtpModeDialog> dialog;
    bool boxOpen = false;
    // An answer whose first byte came before the deadline is in time: decided after its reply.
    ReplyDeadline deadline;
};
