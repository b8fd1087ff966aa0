// SPDX-License-Identifier: MIT
#include "commandchannel.h"

#include "protocol/commands.h"
#include "protocol/logtext.h"
#include "receiveframer.h"
#include "switchsession.h"

CommandChannel::CommandChannel(SwitchSession& switchSession, Framing how, QObject* parent)
    : QObject(parent), session(switchSession), framing(how)
{
    ReceiveFramer& framer = session.replies();
    if (framing == Framing::LineEnd) {
        framer.setEager(true); // the framing of what the session's own users see stays as it is
        connect(&framer, &ReceiveFramer::bytesArriving, this, &CommandChannel::onBytes);
    } else {
        connect(&framer, &ReceiveFramer::bytesReceived, this, &CommandChannel::onBytes);
    }
    for (QTimer* timer : {&answerWindow, &deadline, &lineEndWait}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    answerWindow.setInterval(ReceiveFramer::framingWindowMs);
    lineEndWait.setInterval(ReceiveFramer::framingWindowMs);
    deadline.setInterval(deadlineMs);
    connect(&answerWindow, &QTimer::timeout, this, &CommandChannel::onAnswerWindowEnd);
    connect(&deadline, &QTimer::timeout, this, &CommandChannel::onDeadline);
    connect(&lineEndWait, &QTimer::timeout, this, [this] {
        lineEndWaited = true;
        sendNext();
    });
    connect(&session, &SwitchSession::openChanged, this, [this](bool open) {
        if (open) {
            scanner.reset();
            sendNext();
        } else {
            onLinkDown(tr("the link to the switch was closed"));
        }
    });
    connect(&session, &SwitchSession::linkLost, this, [this](const QString& reason) {
        onLinkDown(tr("the link to the switch was lost (%1)").arg(reason));
    });
}

PendingCommand* CommandChannel::submit(Asker asker, const QByteArray& command)
{
    auto* pending = new PendingCommand(asker, command, this);
    if (!session.isOpen())
        return refuse(pending, PendingCommand::Error::LineDown);
    if (PendingCommand* older = queue.replace(pending)) {
        older->fail(PendingCommand::Error::Replaced); // the newest route is what is wanted now
        emit queued(asker, command);
        return pending;
    }
    if (!queue.push(pending))
        return refuse(pending, PendingCommand::Error::TooMany);
    emit queued(asker, command);
    sendNext();
    return pending;
}

PendingCommand* CommandChannel::submitFirst(Asker asker, const QByteArray& command)
{
    auto* pending = new PendingCommand(asker, command, this);
    if (!session.isOpen())
        return refuse(pending, PendingCommand::Error::LineDown);
    queue.pushFirst(pending);
    emit queued(asker, command);
    sendNext();
    return pending;
}

PendingCommand* CommandChannel::refuse(PendingCommand* command, PendingCommand::Error error)
{
    command->failLater(error);
    return command;
}

void CommandChannel::forget(Asker asker)
{
    for (PendingCommand* each : queue.forget(asker))
        each->fail(PendingCommand::Error::Forgotten);
}

void CommandChannel::sendNext()
{
    while (!current && !queue.isEmpty() && session.isOpen() && !readingChunk) {
        // A line the switch began before the command would run into its answer.
        if (scanner.isMidLine() && !lineEndWaited) {
            if (!lineEndWait.isActive())
                lineEndWait.start();
            return;
        }
        lineEndWait.stop();
        lineEndWaited = false;
        PendingCommand* next = queue.takeNext();
        if (!session.send(next->command())) {
            next->fail(PendingCommand::Error::NotSent);
            continue;
        }
        current = next;
        pastDeadline = false;
        deadline.start();
    }
    if (isIdle())
        emit idle();
}

void CommandChannel::onBytes(const QByteArray& bytes)
{
    const Asker heardBy = current ? current->asker() : nobody;
    if (current) {
        if (!answerWindow.isActive() && framing == Framing::LineEnd)
            answerWindow.start();
        current->arrive(bytes);
    } else {
        emit unaskedBytes(bytes);
    }
    readingChunk = true;
    for (const protocol::ReportScanner::Line& line : scanner.feed(bytes))
        takeLine(line, heardBy);
    readingChunk = false;
    // A whole window has been read: the answer is what it held.
    if (current && framing == Framing::Window)
        onAnswerWindowEnd();
    if (!current)
        sendNext();
}

void CommandChannel::takeLine(const protocol::ReportScanner::Line& line, Asker heardBy)
{
    if (!line.report) {
        if (current && !line.isEmpty())
            otherText += line.bytes;
        return;
    }
    const bool ends = current && answers(*line.report);
    if (current && !firstReport)
        firstReport = line.report;
    emit reported(*line.report, line.bytes, heardBy, ends);
    if (ends)
        finishCurrent(&*line.report);
}

bool CommandChannel::answers(const protocol::Reply& report) const
{
    using Kind = protocol::Reply::Kind;
    if (current->command() == protocol::statusRequest())
        return report.kind == Kind::StatusReport;
    return current->output() != 0 && report.kind == Kind::RouteReport && !report.routes.isEmpty() &&
           report.routes.first().output == current->output();
}

void CommandChannel::onAnswerWindowEnd()
{
    if (!current)
        return;
    const QByteArray text = otherText + scanner.unfinished();
    const bool awaitsReport =
        current->output() != 0 || current->command() == protocol::statusRequest();
    if (awaitsReport && text.trimmed().isEmpty()) {
        // Only reports of other outputs so far: the answer may still come.
        if (pastDeadline)
            finishCurrent(nullptr);
        return;
    }
    const protocol::Reply reply = text.isEmpty() && firstReport
                                      ? *firstReport
                                      : protocol::classify(protocol::replyText(text));
    finishCurrent(&reply);
}

void CommandChannel::onDeadline()
{
    if (!current)
        return;
    pastDeadline = true;
    // An answer that began in time is let finish.
    const ReceiveFramer& framer = session.replies();
    const bool windowOpen = framing == Framing::Window
                                ? framer.repliesHandled() < framer.windowsOpened()
                                : answerWindow.isActive();
    if (!windowOpen)
        finishCurrent(nullptr);
}

void CommandChannel::finishCurrent(const protocol::Reply* reply)
{
    PendingCommand* done = std::exchange(current, nullptr);
    answerWindow.stop();
    deadline.stop();
    otherText.clear();
    firstReport.reset();
    if (reply) {
        if (!std::exchange(answering, true)) {
            emit note(tr("the switch answers again"));
            emit answeringChanged(true);
        }
        emit commandAnswered(done->command(), *reply);
        done->succeed(*reply);
    } else {
        if (std::exchange(answering, false)) {
            emit note(tr("no answer to %1 within %2 ms")
                          .arg(QString::fromLatin1(protocol::logEscaped(done->command())))
                          .arg(deadlineMs));
            emit answeringChanged(false);
        }
        done->fail(PendingCommand::Error::NoAnswer);
    }
    sendNext();
}

void CommandChannel::onLinkDown(const QString& why)
{
    scanner.reset();
    lineEndWait.stop();
    answerWindow.stop();
    deadline.stop();
    otherText.clear();
    firstReport.reset();
    QList<PendingCommand*> dropped = queue.clear();
    if (current)
        dropped.prepend(std::exchange(current, nullptr));
    if (!dropped.isEmpty())
        emit note(tr("%n command(s) not answered: the line is down", nullptr, int(dropped.size())));
    for (PendingCommand* each : dropped)
        each->fail(PendingCommand::Error::LineDown, why);
}
