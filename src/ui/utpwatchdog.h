// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class MessageBoxes;
class QWidget;
class ReceiveFramer;

// The watchdog on the UTP query: armed when the query goes out, disarmed by its answer. If the
// switch has not begun to answer within half a second it says "Device is not connect!", once;
// an answer whose first byte came in time counts. It sends nothing.
class UtpWatchdog : public QObject
{
    Q_OBJECT
public:
    UtpWatchdog(ReceiveFramer& replies, MessageBoxes& boxes, QWidget* owner);

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
    bool boxOpen = false;
    // The deadline passed while an answer's framing window was open: the reply count at which
    // the switch has had its say (0 when nothing is awaited).
    quint64 awaitsReply = 0;
};
