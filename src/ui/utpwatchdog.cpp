// SPDX-License-Identifier: MIT
#include "utpwatchdog.h"

#include "link/receiveframer.h"
#include "ui/messageboxes.h"

UtpWatchdog::UtpWatchdog(ReceiveFramer& replies, MessageBoxes& messageBoxes, QWidget* boxOwner)
    : receiver(replies), boxes(messageBoxes), owner(boxOwner)
{
    timer.setObjectName(QStringLiteral("Timer2"));
    timer.setInterval(500);
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, before a switch that answers in time.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &UtpWatchdog::expired);
}

void UtpWatchdog::arm()
{
    timer.start();
}

void UtpWatchdog::disarm()
{
    timer.stop();
    awaitsReply = 0;
}

void UtpWatchdog::expired()
{
    // An answer whose first byte came before the deadline is in time: decide after its reply.
    const quint64 awaited = receiver.windowsOpened();
    if (receiver.repliesHandled() < awaited) {
        awaitsReply = awaited;
        return;
    }
    reportSilentSwitch();
}

void UtpWatchdog::replyHandled()
{
    if (awaitsReply == 0 || receiver.repliesHandled() < awaitsReply)
        return;
    awaitsReply = 0;
    reportSilentSwitch();
}

void UtpWatchdog::reportSilentSwitch()
{
    // The box's modal loop keeps timers running; one box is enough.
    if (boxOpen)
        return;
    boxOpen = true;
    boxes.show(owner, QString::fromUtf16(boxtext::deviceNotConnected),
               QString::fromUtf16(boxtext::applicationTitle));
    boxOpen = false;
    disarm();
}
