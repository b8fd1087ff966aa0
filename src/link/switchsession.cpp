// SPDX-License-Identifier: MIT
#include "switchsession.h"

#include "port.h"
#include "portchoice.h"
#include "protocol/commands.h"

#include <algorithm>

SwitchSession::SwitchSession(Port& linePort, PortChoice& portChoice, const Options& options,
                             QObject* parent)
    : QObject(parent), serial(linePort), choice(portChoice), framer(serial, this),
      asksForRouting(options.askForRouting), reconnectEnabled(options.reconnect),
      outageOnce(options.outageOnce),
      longestRetryMs(std::max(options.longestRetryMs, int(retryIntervalMs)))
{
    setPollInterval(options.pollSeconds);
    if (options.log)
        serial.setLog(SessionLog(SessionLog::defaultPath()));

    // Trying an absent device costs one failed open(): a coarse timer is plenty.
    retryTimer.setInterval(retryIntervalMs);
    // Children by name, so a test can count the ticks instead of waiting a guessed time.
    retryTimer.setObjectName(QStringLiteral("reconnectTimer"));
    retryTimer.setParent(this);
    connect(&retryTimer, &QTimer::timeout, this, &SwitchSession::retryOpen);
    settled.setSingleShot(true);
    settled.setInterval(settleMs);
    settled.setObjectName(QStringLiteral("settledTimer"));
    settled.setParent(this);
    connect(&settled, &QTimer::timeout, this, [this] {
        flapping = false;
        lastTold.clear();
        tellReconnected();
    });
    connect(&answerDeadline, &ReplyDeadline::expired, this, &SwitchSession::checkAnswer);
    connect(&framer, &ReceiveFramer::replyReceived, &answerDeadline, &ReplyDeadline::replyHandled);
    connect(&framer, &ReceiveFramer::heldRepliesDropped, &answerDeadline,
            &ReplyDeadline::replyHandled);
    pollTimer->setObjectName(QStringLiteral("pollTimer"));
    connect(pollTimer, &QTimer::timeout, this, &SwitchSession::poll);
    connect(this, &SwitchSession::openChanged, this, &SwitchSession::restartPolling);
    connect(&serial, &Port::linkLost, this, &SwitchSession::onLinkLost);
    connect(&serial, &Port::writeFailed, this, &SwitchSession::writeFailed);
    connect(&serial, &Port::opened, this, &SwitchSession::onOpened);
    connect(&serial, &Port::openFailed, this, &SwitchSession::onOpenFailed);
    connect(&framer, &ReceiveFramer::replyReceived, this, &SwitchSession::noteReportedRoutes);
    connect(&choice, &PortChoice::aboutToChange, this, &SwitchSession::letGo);
}

void SwitchSession::noteReportedRoutes(const protocol::Reply& reply)
{
    // The last words of a line already closed describe a switch that may not be there now.
    if (!serial.isOpen())
        return;
    for (const protocol::Route& route : reply.routes)
        reported[route.output - 1] = route.input;
}

int SwitchSession::reportedInput(int output) const
{
    return output >= 1 && output <= 4 ? reported[output - 1] : 0;
}

std::optional<Routing> SwitchSession::reportedRouting() const
{
    if (std::find(reported.cbegin(), reported.cend(), 0) != reported.cend())
        return std::nullopt;
    return reported;
}

void SwitchSession::setLogPath(const QString& path)
{
    if (serial.log())
        serial.setLog(SessionLog(path));
}

void SwitchSession::setPollInterval(int seconds)
{
    // A value out of range (or no number at all) in a hand-edited file leaves polling off.
    pollSeconds = seconds > 0 && seconds <= maxPollSeconds ? seconds : 0;
    pollTimer->setInterval(pollSeconds * 1000);
    restartPolling();
}

void SwitchSession::restartPolling()
{
    if (pollSeconds > 0 && serial.isOpen())
        pollTimer->start();
    else
        pollTimer->stop();
}

void SwitchSession::poll()
{
    // Never between a command and its answer, nor under a box that holds the replies back.
    const bool awaitingRouting = answerDeadline.isCounting() && !answerDeadline.answerBegan();
    const bool busy = awaitingRouting || framer.isHeld() ||
                      framer.repliesHandled() < framer.windowsOpened() ||
                      (pollingHeld && pollingHeld());
    if (!busy && serial.isOpen())
        send(protocol::statusRequest());
}

void SwitchSession::askForRouting()
{
    restartPolling();
    if (!asksForRouting)
        return;
    if (send(protocol::statusRequest()))
        answerDeadline.start();
}

void SwitchSession::checkAnswer()
{
    // Anything that came counts as an answer, even while a box holds the replies back.
    if (!serial.isOpen() || answerDeadline.answerBegan())
        return;
    emit noAnswer(tr("No answer from the switch on %1.").arg(choice.chosenText()));
}

void SwitchSession::tell(const QString& reason, const QString& path)
{
    const QString line = choice.namedAsChosen(reason, path);
    if (line == lastTold)
        return;
    lastTold = line;
    serial.recordEvent(line);
    emit linkNote(line);
}

void SwitchSession::onLinkLost(const QString& reason)
{
    answerDeadline.stop();
    pollTimer->stop();
    reported = {};
    settled.stop();
    // A line that drops each connection at once (a device server whose serial side is busy)
    // is one outage, not one a second.
    flapping =
        outageOnce && reconnectEnabled && reopenedAt.isValid() && reopenedAt.elapsed() < settleMs;
    reopenedAt.invalidate();
    if (!flapping) {
        lastTold.clear(); // every loss is told
        tell(reason, opened.name());
    }
    if (reconnectEnabled) {
        retryTimer.setInterval(flapping ? std::min(retryTimer.interval() * 2, longestRetryMs)
                                        : int(retryIntervalMs));
        retryTimer.start();
    }
    emit linkLost(reason);
}

void SwitchSession::retryOpen()
{
    // The very device that was lost: while a COMn link is gone for a moment, the port number
    // alone would lead to the built-in port, and a node back under the old name may be another
    // program's line.
    if (serial.isOpening())
        return; // a network port answers later, in onOpened()
    const QString path = opened.reopenPath();
    if (path.isEmpty())
        return;
    if (!serial.open(path)) {
        if (!flapping)
            tell(serial.errorString(), path);
        backOff();
        return;
    }
    opened = LineIdentity::of(path);
    if (serial.isOpening())
        return;
    retryTimer.stop();
    tellReconnected();
    emit openChanged(true);
    askForRouting();
}

void SwitchSession::backOff()
{
    retryTimer.setInterval(std::min(retryTimer.interval() * 2, longestRetryMs));
}

void SwitchSession::tellReconnected()
{
    reopenedAt.start();
    if (flapping) {
        settled.start(); // told once it holds
        return;
    }
    tell(tr("%1 is connected again").arg(opened.name()), opened.name());
}

void SwitchSession::forgetOutage()
{
    settled.stop();
    flapping = false;
    reopenedAt.invalidate();
}

void SwitchSession::stopReconnecting()
{
    forgetOutage();
    if (!retryTimer.isActive())
        return;
    retryTimer.stop();
    if (serial.isOpening())
        serial.close(); // a network port still trying would open behind the user's back
    emit openChanged(false);
}

void SwitchSession::onOpened()
{
    if (retryTimer.isActive())
        tellReconnected();
    retryTimer.stop();
    error.clear();
    emit openChanged(true);
    askForRouting();
}

void SwitchSession::onOpenFailed(const QString& reason)
{
    if (retryTimer.isActive()) {
        if (!flapping) // no box while reconnecting: the next try follows
            tell(reason, opened.name());
        backOff();
        return;
    }
    error = reason;
    lastTold.clear();
    tell(reason, opened.name());
    emit openFailed(reason);
}

void SwitchSession::closeLink()
{
    forgetOutage();
    answerDeadline.stop();
    reported = {};
    const bool wasOpening = serial.isOpening();
    if (!serial.isOpen() && !wasOpening)
        return;
    serial.close();
    emit openChanged(false);
}

void SwitchSession::letGo()
{
    stopReconnecting();
    closeLink();
}

bool SwitchSession::send(const QByteArray& bytes)
{
    if (serial.write(bytes)) {
        restartPolling(); // the line is busy now: a whole interval before the next poll
        return true;
    }
    error = serial.errorString();
    return false;
}

bool SwitchSession::startUp()
{
    switch (tryOpen()) {
    case OpenState::Failed:
        return false;
    case OpenState::Waiting:
        return true;
    case OpenState::Open:
        break;
    }
    askForRouting();
    return true;
}

SwitchSession::OpenState SwitchSession::tryOpen()
{
    if (choice.portNumber() == 0 && choice.typedPort().isEmpty()) {
        error = tr("No port chosen");
        return OpenState::Failed;
    }
    const QString path = choice.device();
    lastTold.clear();
    if (!serial.open(path)) {
        error = serial.errorString();
        tell(error, path);
        return OpenState::Failed;
    }
    opened = LineIdentity::of(path);
    error.clear();
    return serial.isOpening() ? OpenState::Waiting : OpenState::Open;
}

SwitchSession::ToggleResult SwitchSession::toggle()
{
    if (retryTimer.isActive()) {
        stopReconnecting();
        return ToggleResult::Closed;
    }
    if (serial.isOpen() || serial.isOpening()) {
        closeLink();
        return ToggleResult::Closed;
    }
    if (!open())
        return ToggleResult::OpenFailed;
    return serial.isOpening() ? ToggleResult::Opening : ToggleResult::Opened;
}

bool SwitchSession::open()
{
    if (serial.isOpen() || serial.isOpening() || retryTimer.isActive())
        return true;
    switch (tryOpen()) {
    case OpenState::Failed:
        return false;
    case OpenState::Waiting:
        return true;
    case OpenState::Open:
        break;
    }
    emit openChanged(true);
    askForRouting();
    return true;
}
