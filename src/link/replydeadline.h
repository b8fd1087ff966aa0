// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class ReceiveFramer;

// A wait for the switch's answer: it ends at a deadline, except that an answer whose first byte
// came in time is let finish, and the wait then ends once that reply has been handled. The
// owner handles each reply first and then calls replyHandled(), so an answer that came late but
// began in time is seen before expired() is emitted.
class ReplyDeadline : public QObject
{
    Q_OBJECT
public:
    ReplyDeadline(const ReceiveFramer& framer, int intervalMs, QObject* parent = nullptr);

    void setInterval(int ms) { clock.setInterval(ms); }
    int interval() const { return clock.interval(); }
    // The timer itself, to be named where the design names it.
    QTimer& timer() { return clock; }

    void start();
    void stop();
    // Counting down, or past the deadline with an answer still on its way.
    bool isWaiting() const { return clock.isActive() || awaited != 0; }
    bool isCounting() const { return clock.isActive(); }
    // Whether any reply has begun since start().
    bool answerBegan() const;

    // Call after handling a reply (or after replies were dropped): ends a wait that was kept
    // open for an answer that began in time.
    void replyHandled();

signals:
    // The deadline passed and no answer that began in time is still on its way.
    void expired();

private:
    void onTimeout();

    const ReceiveFramer& framer;
    QTimer clock;
    quint64 windowsAtStart = 0;
    // The reply count at which the answer that began in time has been handled (0: none).
    quint64 awaited = 0;
};
