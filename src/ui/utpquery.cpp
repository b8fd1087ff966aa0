// SPDX-License-Identifier: MIT
#include "utpquery.h"

#include "link/receiveframer.h"
#include "ui/messageboxes.h"
#include "ui/utpmodedialog.h"

UtpQuery::UtpQuery(ReceiveFramer& replies, MessageBoxes& messageBoxes, QWidget* boxOwner)
    : QObject(boxOwner), boxes(messageBoxes), owner(boxOwner), deadline(replies, 500, this)
{
    deadline.timer().setObjectName(QStringLiteral("Timer2"));
    connect(&deadline, &ReplyDeadline::expired, this, &UtpQuery::reportSilentSwitch);
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
    deadline.start();
}

void UtpQuery::disarm()
{
    deadline.stop();
}

void UtpQuery::replyHandled()
{
    deadline.replyHandled();
}

void UtpQuery::reportSilentSwitch()
{
    // The box's modal loop keeps timers running; one box is enough.
    if (boxOpen)
        return;
    boxOpen = true;
    boxes.show(owner, boxtext::translated(boxtext::deviceNotConnected),
               boxtext::translated(boxtext::applicationTitle));
    boxOpen = false;
    disarm();
}
