// SPDX-License-Identifier: MIT
#include "replydeadline.h"

#include "receiveframer.h"

ReplyDeadline::ReplyDeadline(const ReceiveFramer& replies, int intervalMs, QObject* parent)
    : QObject(parent), framer(replies)
{
    clock.setSingleShot(true);
    clock.setInterval(intervalMs);
    // A coarse timer may fire up to 5 % early, before a switch that answers in time.
    clock.setTimerType(Qt::PreciseTimer);
    connect(&clock, &QTimer::timeout, this, &ReplyDeadline::onTimeout);
}

void ReplyDeadline::start()
{
    awaited = 0;
    windowsAtStart = framer.windowsOpened();
    clock.start();
}

void ReplyDeadline::stop()
{
    clock.stop();
    awaited = 0;
}

bool ReplyDeadline::answerBegan() const
{
    return framer.windowsOpened() > windowsAtStart;
}

void ReplyDeadline::onTimeout()
{
    if (framer.repliesHandled() < framer.windowsOpened()) {
        awaited = framer.windowsOpened();
        return;
    }
    emit expired();
}

void ReplyDeadline::replyHandled()
{
    if (awaited == 0 || framer.repliesHandled() < awaited)
        return;
    awaited = 0;
    emit expired();
}
