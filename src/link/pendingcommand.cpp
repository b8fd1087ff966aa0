// SPDX-License-Identifier: MIT
#include "pendingcommand.h"

#include "protocol/commands.h"
#include "protocol/logtext.h"

PendingCommand::PendingCommand(Asker asker, const QByteArray& command, QObject* parent)
    : QObject(parent), who(asker), bytes(command), routed(protocol::routedOutput(command))
{
}

QString PendingCommand::errorString() const
{
    const QString sent = QString::fromLatin1(protocol::logEscaped(bytes));
    switch (problem) {
    case Error::None:
        return {};
    case Error::LineDown:
        return detail.isEmpty() ? tr("the switch is not connected") : detail;
    case Error::TooMany:
        return tr("too many commands waiting");
    case Error::Replaced:
        return tr("replaced by a newer route for output %1").arg(routed);
    case Error::NotSent:
        return tr("%1 could not be sent").arg(sent);
    case Error::NoAnswer:
        return tr("no answer from the switch to \"%1\"").arg(QString::fromLatin1(bytes.trimmed()));
    case Error::Forgotten:
        return tr("%1 was not sent: its asker left").arg(sent);
    }
    return {};
}

void PendingCommand::arrive(const QByteArray& more)
{
    answerSoFar += more;
    emit answerArriving(more);
}

void PendingCommand::succeed(const protocol::Reply& reply)
{
    if (done)
        return;
    done = true;
    answer = reply;
    emit answered(answer);
    deleteLater();
}

void PendingCommand::fail(Error error, const QString& why)
{
    if (done)
        return;
    done = true;
    problem = error;
    detail = why;
    emit failed(problem);
    deleteLater();
}

void PendingCommand::failLater(Error error)
{
    done = true;
    problem = error;
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit failed(problem);
            deleteLater();
        },
        Qt::QueuedConnection);
}
