// SPDX-License-Identifier: MIT
#pragma once

#include "protocol/replies.h"

#include <QByteArray>
#include <QObject>

// One command asked of a switch, from the moment it is queued until its answer has come or it
// has failed: whoever asked holds it and hears its outcome, and nobody else does. Emits
// answered() or failed() once, then deletes itself (later): keep a QPointer past that.
class PendingCommand : public QObject
{
    Q_OBJECT
public:
    using Asker = quint64;
    enum class Error {
        None,
        LineDown,  // refused, or dropped, because the line is not open
        TooMany,   // refused: the asker has the most commands waiting
        Replaced,  // a newer route for the same output from the same asker took its place
        NotSent,   // the write failed
        NoAnswer,  // nothing answered it before the deadline
        Forgotten, // its asker left before it was sent
    };

    PendingCommand(Asker asker, const QByteArray& command, QObject* parent = nullptr);

    Asker asker() const { return who; }
    const QByteArray& command() const { return bytes; }
    // Routing commands: the output they act on, which a newer one for it replaces; 0 otherwise.
    int output() const { return routed; }

    bool isFinished() const { return done; }
    Error error() const { return problem; }
    QString errorString() const;
    // Every byte that came while it was on the line, and what answered it.
    const QByteArray& answerBytes() const { return answerSoFar; }
    const protocol::Reply& reply() const { return answer; }

signals:
    // Bytes on the line while it waits for its answer, as they come.
    void answerArriving(const QByteArray& bytes);
    void answered(const protocol::Reply& reply);
    void failed(PendingCommand::Error error);

private:
    friend class CommandChannel;
    void arrive(const QByteArray& bytes);
    void succeed(const protocol::Reply& reply);
    // `detail` says more than the error's own words (why the line went down).
    void fail(Error error, const QString& detail = {});
    // Refusals are told once the caller has had the handle.
    void failLater(Error error);

    Asker who;
    QByteArray bytes;
    int routed = 0;
    bool done = false;
    Error problem = Error::None;
    QString detail;
    QByteArray answerSoFar;
    protocol::Reply answer;
};
