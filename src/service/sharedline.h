// SPDX-License-Identifier: MIT
#pragma once

#include "commandqueue.h"
#include "link/anyport.h"
#include "link/portchoice.h"
#include "link/replydeadline.h"
#include "link/routing.h"
#include "link/switchsession.h"
#include "serviceconfig.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <optional>

// One switch's line, shared by many askers (network clients, the service itself): their
// commands go out one at a time, askers taking turns, each when the previous answer has ended or
// its deadline has passed. An answer is handed to its asker as its bytes arrive; route and status
// reports go to everyone as soon as they are whole, and the service's own status requests to nobody
// unless the routing changed. Knows no socket: the front that owns the clients routes what it
// emits.
class SharedLine : public QObject
{
    Q_OBJECT
public:
    using Asker = CommandQueue::Asker;
    static constexpr Asker service = 0; // the line's own status requests
    static constexpr int commandDeadlineMs = SwitchSession::answerTimeoutMs;
    static constexpr int maxQueuedPerAsker = 32;
    static constexpr int openRetryMs = 2000;
    // A report is at most 16 bytes: a window longer than this is left to its end.
    static constexpr qsizetype maxEarlyReportBytes = 64;

    explicit SharedLine(const SwitchConfig& config, QObject* parent = nullptr);
    ~SharedLine() override;

    // Opens the line, and keeps trying until it opens.
    void start();
    bool isOpen() const { return session.isOpen(); }
    QString portName() const { return session.portName(); }

    // A new asker's number, never 0 and never reused.
    Asker newAsker() { return ++lastAsker; }
    enum class Refusal { None, LineDown, TooMany };
    // Queues `command` for the line; refused while the line is down (as an unplugged switch
    // would leave it unanswered) or when the asker already has maxQueuedPerAsker waiting.
    Refusal submit(Asker asker, const QByteArray& command);
    // An asker gone: what it queued is not sent, what comes for it goes nowhere.
    void forget(Asker asker);

    // The routing the switch last reported, output 1 first; 0 where not reported since the line
    // opened.
    Routing routing() const { return shared; }

signals:
    // Bytes of the answer to `asker`'s command, as they arrive.
    void answerBytes(SharedLine::Asker asker, const QByteArray& bytes);
    // A reply every asker but `except` (0: none excepted) should have.
    void sharedBytes(const QByteArray& bytes, SharedLine::Asker except);
    // `asker`'s command got its whole answer, or none before the deadline.
    void answered(SharedLine::Asker asker, const QByteArray& command, const protocol::Reply& reply);
    void unanswered(SharedLine::Asker asker, const QByteArray& command);
    void routingChanged(const Routing& routing);
    void linkChanged(bool up);
    // Something for the service's log.
    void note(const QString& line);

private:
    using Command = CommandQueue::Command;
    void tryOpen();
    void onOpenChanged(bool open);
    void onLinkDown();
    void onArriving(const QByteArray& bytes);
    void onReply(const protocol::Reply& reply);
    // Hands a reply to those it is for, and notes the routing it reports.
    void share(const QByteArray& bytes, const protocol::Reply& reply, bool isAnswer);
    void onDeadline();
    void sendNext();
    void finishCommand();
    void poll();
    void tell(const QString& line);

    AnyPort port;
    PortChoice choice;
    SwitchSession session;
    ReplyDeadline deadline;
    QTimer openRetry;
    QTimer idle; // the service's own status request once the line has been quiet this long
    CommandQueue queue{maxQueuedPerAsker};
    std::optional<Command> inFlight;
    quint64 answerWindow = 0; // the framing window that begins the answer to inFlight
    QByteArray windowBytes;   // the reply being handled
    quint64 arrivingWindow = 0;
    QByteArray arriving;      // the bytes of the window still open, while it may be a report
    bool sharedEarly = false; // the open window's report went out before the window ended
    Routing shared{};         // the routing every asker has been given
    Asker lastAsker = service;
    QString lastNote;
    bool answering = true; // false once a command went unanswered, until an answer comes
};
