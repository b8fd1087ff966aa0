// SPDX-License-Identifier: MIT
#include "utpquery.h"

#include "link/receiveframer.h"
#include "ui/messageboxes.h"
#include "ui/utpmodedialog.h"

UtpQuery::UtpQuery(ReceiveFramer& replies, MessageBoxes& messageBoxes, QWidget* boxOwner)
    : receiver(replies), boxes(messageBoxes), owner(boxOwner)
{
    timer.setObjectName(QStringLiteral("Timer2"));
    timer.setInterval(500);
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, before a switch that answers in time.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &UtpQuery::expired);
}

void UtpQuery::runDialog(Port& line)
{
    arm();
    UtpModeDialog running(line, boxes, owner);
    dialog = &running;
    running.exec();
}

void UtpQuery::answer(int oneWireMask)
{
    disarm();
    // With the dialog closed there is nothing to fill in.
    if (dialog)
        dialog->showReportedModes(oneWireMask);
}

void UtpQuery::arm()
{
    timer.start();
}

void UtpQuery::disarm()
{
    timer.stop();
    awaitsReply = 0;
}

void UtpQuery::expired()
{
    // An answer whose first byte came before the deadline is in time: decide after its reply.
    const quint64 awaited = receiver.windowsOpened();
    if (receiver.repliesHandled() < awaited) {
        awaitsReply = awaited;
        return;
    }
    reportSilentSwitch();
}

void UtpQuery::replyHandled()
{
    if (awaitsReply == 0 || receiver.repliesHandled() < awaitsReply)
        return;
    awaitsReply = 0;
    reportSilentSwitch();
}

void UtpQuery::reportSilentSwitch()
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
