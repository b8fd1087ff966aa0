// SPDX-License-Identifier: MIT
#include "sharedline.h"

#include "link/statefolder.h"
#include "protocol/commands.h"
#include "protocol/logtext.h"

#include <algorithm>

namespace {

SwitchSession::Options sessionOptions()
{
    // Reopened by itself when lost; asking for the routing and polling go through the queue.
    return {.reconnect = true, .askForRouting = false, .pollSeconds = 0, .log = true};
}

bool isReport(const protocol::Reply& reply)
{
    return reply.kind == protocol::Reply::Kind::RouteReport ||
           reply.kind == protocol::Reply::Kind::StatusReport;
}

} // namespace

SharedLine::SharedLine(const SwitchConfig& config, QObject* parent)
    : QObject(parent), choice(config.dir, PortChoice::Storage::ReadOnly),
      session(port, choice, sessionOptions()), deadline(session.replies(), commandDeadlineMs)
{
    session.setLogPath(stateFolder() + QStringLiteral("/varnokd-%1.log").arg(config.id));
    choice.restore();
    if (!config.port.isEmpty())
        choice.choose(config.port); // checked with the configuration
    session.replies().setEager(true);
    openRetry.setInterval(openRetryMs);
    openRetry.setSingleShot(true);
    connect(&openRetry, &QTimer::timeout, this, &SharedLine::tryOpen);
    idle.setSingleShot(true);
    idle.setInterval(config.pollSeconds * 1000);
    connect(&idle, &QTimer::timeout, this, &SharedLine::poll);

    connect(&session, &SwitchSession::linkNote, this, &SharedLine::tell);
    connect(&session, &SwitchSession::openChanged, this, &SharedLine::onOpenChanged);
    connect(&session, &SwitchSession::openFailed, this, [this] { openRetry.start(); });
    connect(&session, &SwitchSession::linkLost, this, &SharedLine::onLinkDown);
    ReceiveFramer& framer = session.replies();
    connect(&framer, &ReceiveFramer::bytesArriving, this, &SharedLine::onArriving);
    connect(&framer, &ReceiveFramer::bytesReceived, this,
            [this](const QByteArray& bytes) { windowBytes = bytes; });
    connect(&framer, &ReceiveFramer::replyReceived, this, &SharedLine::onReply);
    connect(&framer, &ReceiveFramer::replyReceived, &deadline, &ReplyDeadline::replyHandled);
    connect(&deadline, &ReplyDeadline::expired, this, &SharedLine::onDeadline);
}

SharedLine::~SharedLine()
{
    port.close(); // the lock file goes with the line
}

void SharedLine::start()
{
    tryOpen();
}

void SharedLine::tryOpen()
{
    if (session.isOpen() || session.isOpening() || session.isReconnecting())
        return;
    if (session.toggle() == SwitchSession::ToggleResult::OpenFailed)
        openRetry.start();
}

void SharedLine::tell(const QString& line)
{
    // An absent device is told once, not on every try.
    if (line == lastNote)
        return;
    lastNote = line;
    emit note(line);
}

void SharedLine::onOpenChanged(bool open)
{
    if (!open) {
        onLinkDown();
        return;
    }
    lastNote.clear();
    tell(tr("%1 is open").arg(session.portName()));
    shared = {};
    emit linkChanged(true);
    // The routing on connect, before anything an asker queued meanwhile.
    queue.pushFirst(service, protocol::statusRequest());
    sendNext();
}

void SharedLine::onLinkDown()
{
    deadline.stop();
    idle.stop();
    const qsizetype dropped = queue.clear() + (inFlight ? 1 : 0);
    inFlight.reset();
    if (dropped > 0)
        tell(tr("%n command(s) not sent: the line is down", nullptr, int(dropped)));
    shared = {};
    emit linkChanged(false);
}

SharedLine::Refusal SharedLine::submit(Asker asker, const QByteArray& command)
{
    if (!session.isOpen())
        return Refusal::LineDown;
    if (!queue.push(asker, command))
        return Refusal::TooMany;
    sendNext();
    return Refusal::None;
}

void SharedLine::forget(Asker asker)
{
    queue.forget(asker);
    if (inFlight && inFlight->asker == asker)
        inFlight->asker = service; // its answer is still awaited before the next command
}

void SharedLine::sendNext()
{
    while (!inFlight && !queue.isEmpty()) {
        Command next = *queue.takeNext();
        // A reply already coming belongs to what was asked before; the answer is the next one.
        answerWindow = session.replies().windowsOpened() + 1;
        if (!session.send(next.bytes)) {
            tell(tr("not sent: %1 (%2)")
                     .arg(QString::fromLatin1(protocol::logEscaped(next.bytes)),
                          session.errorString()));
            continue;
        }
        inFlight = std::move(next);
        deadline.start();
    }
    if (!inFlight && queue.isEmpty() && session.isOpen() && idle.interval() > 0)
        idle.start();
}

void SharedLine::onArriving(const QByteArray& bytes)
{
    const quint64 window = session.replies().windowsOpened();
    if (window != arrivingWindow) {
        arrivingWindow = window;
        arriving.clear();
        sharedEarly = false;
    }
    const bool isAnswer = inFlight && window >= answerWindow;
    if (isAnswer && inFlight->asker != service)
        emit answerBytes(inFlight->asker, bytes);
    // A whole report reaches everyone else at once, not at the framing window's end.
    if (sharedEarly || arriving.size() > maxEarlyReportBytes)
        return;
    arriving += bytes;
    if (!arriving.endsWith("\r\n"))
        return;
    const protocol::Reply reply = protocol::classify(protocol::replyText(arriving));
    if (!isReport(reply))
        return;
    sharedEarly = true;
    share(arriving, reply, isAnswer);
}

void SharedLine::share(const QByteArray& bytes, const protocol::Reply& reply, bool isAnswer)
{
    const Asker asker = isAnswer ? inFlight->asker : service;
    Routing now = shared;
    // The last words of a line already closed describe a switch that may not be there now.
    if (session.isOpen()) {
        for (const protocol::Route& route : reply.routes)
            now[route.output - 1] = route.input;
    }
    const bool changed = now != shared;
    if (!isAnswer)
        emit sharedBytes(bytes, service); // nobody asked: everyone hears it
    else if (asker != service && isReport(reply))
        emit sharedBytes(bytes, asker); // the asker has it already
    else if (asker == service && changed)
        emit sharedBytes(bytes, service); // a change made at the switch itself
    if (changed) {
        shared = now;
        emit routingChanged(shared);
    }
}

void SharedLine::onReply(const protocol::Reply& reply)
{
    const quint64 window = session.replies().repliesHandled();
    const bool isAnswer = inFlight && window >= answerWindow;
    if (!(sharedEarly && arrivingWindow == window))
        share(windowBytes, reply, isAnswer);
    if (isAnswer) {
        if (!answering)
            tell(tr("the switch answers again"));
        answering = true;
        const Command done = *inFlight;
        finishCommand();
        emit answered(done.asker, done.bytes, reply);
    } else if (!inFlight && queue.isEmpty() && session.isOpen() && idle.interval() > 0) {
        idle.start();
    }
}

void SharedLine::onDeadline()
{
    if (!inFlight)
        return;
    if (answering)
        tell(tr("no answer to %1 within %2 ms")
                 .arg(QString::fromLatin1(protocol::logEscaped(inFlight->bytes)))
                 .arg(commandDeadlineMs));
    answering = false;
    const Command done = *inFlight;
    finishCommand();
    emit unanswered(done.asker, done.bytes);
}

void SharedLine::finishCommand()
{
    deadline.stop();
    inFlight.reset();
    sendNext();
}

void SharedLine::poll()
{
    if (inFlight || !queue.isEmpty() || !session.isOpen())
        return; // the next idle moment starts the timer again
    queue.push(service, protocol::statusRequest());
    sendNext();
}
