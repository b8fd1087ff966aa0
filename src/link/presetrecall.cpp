// SPDX-License-Identifier: MIT
#include "presetrecall.h"

#include "protocol/commands.h"
#include "switchsession.h"

#include <algorithm>

PresetRecall::PresetRecall(SwitchSession& switchSession, QObject* parent)
    : QObject(parent), session(switchSession), deadline(switchSession.replies(), defaultTimeoutMs)
{
    connect(&deadline, &ReplyDeadline::expired, this, &PresetRecall::expire);
    connect(&session.replies(), &ReceiveFramer::replyReceived, this, &PresetRecall::onReply);
    connect(&session, &SwitchSession::linkLost, this, [this](const QString& reason) {
        fail(tr("the link to the switch was lost (%1)").arg(reason));
    });
    connect(&session, &SwitchSession::openChanged, this, [this](bool open) {
        if (!open)
            fail(tr("the link to the switch was closed"));
    });
}

bool PresetRecall::recall(const Preset& preset, std::optional<Routing> known)
{
    if (isRunning() || !session.isOpen())
        return false;
    target = preset;
    result = Result{};
    result.preset = preset.name;
    current = known.value_or(Routing{});
    awaitedOutput = 0;
    windowsAtStart = session.replies().windowsOpened();
    if (known) {
        step = Step::Switching;
        sendNextKey();
        return true;
    }
    if (!session.send(protocol::statusRequest())) {
        step = Step::Asking;
        fail(session.errorString());
        return true;
    }
    await(Step::Asking);
    return true;
}

void PresetRecall::await(Step next)
{
    step = next;
    deadline.start();
}

void PresetRecall::sendNextKey()
{
    for (int output = awaitedOutput + 1; output <= 4; ++output) {
        const int wanted = target.routing[output - 1];
        if (current[output - 1] == wanted)
            continue;
        awaitedOutput = output;
        const int index = protocol::routingButtonIndex(output, wanted + 1);
        if (!session.send(protocol::routingKeyCommand(index))) {
            fail(session.errorString());
            return;
        }
        result.sent << output;
        await(Step::Switching);
        return;
    }
    if (!session.send(protocol::statusRequest())) {
        fail(session.errorString());
        return;
    }
    await(Step::Checking);
}

void PresetRecall::onReply(const protocol::Reply& reply)
{
    if (!isRunning())
        return;
    for (const protocol::Route& route : reply.routes)
        current[route.output - 1] = route.input;
    const bool status = reply.kind == protocol::Reply::Kind::StatusReport;
    const bool awaitedRoute =
        std::any_of(reply.routes.cbegin(), reply.routes.cend(),
                    [this](const protocol::Route& route) { return route.output == awaitedOutput; });
    switch (step) {
    case Step::Asking:
        if (status) {
            deadline.stop();
            step = Step::Switching;
            sendNextKey();
            return;
        }
        break;
    case Step::Switching:
        if (awaitedRoute) {
            deadline.stop();
            sendNextKey();
            return;
        }
        break;
    case Step::Checking:
        if (status) {
            result.confirmed = true;
            finish();
            return;
        }
        break;
    case Step::Idle:
        return;
    }
    // An answer whose first byte came in time counts: the wait ends once it has been read.
    deadline.replyHandled();
}

void PresetRecall::expire()
{
    switch (step) {
    case Step::Asking:
        // Not a word from the switch: sending it keys would only wait out each one.
        if (session.replies().windowsOpened() == windowsAtStart) {
            finish();
            return;
        }
        step = Step::Switching; // what it did say counts; outputs it left out are sent
        sendNextKey();
        return;
    case Step::Switching:
        sendNextKey();
        return;
    case Step::Checking:
        finish();
        return;
    case Step::Idle:
        return;
    }
}

void PresetRecall::finish()
{
    deadline.stop();
    step = Step::Idle;
    for (int output = 1; output <= 4; ++output) {
        const int wanted = target.routing[output - 1];
        if (current[output - 1] != wanted)
            result.misses << Miss{output, wanted, current[output - 1]};
    }
    emit finished(result);
}

void PresetRecall::fail(const QString& reason)
{
    if (!isRunning())
        return;
    result.failure = reason;
    finish();
}

QString PresetRecall::describe(const Result& result)
{
    if (result.succeeded())
        return {};
    const QString head = tr("Preset \"%1\"").arg(result.preset);
    if (!result.failure.isEmpty())
        return tr("%1 stopped: %2.").arg(head, result.failure);
    const bool silent = !result.confirmed && result.sent.isEmpty() &&
                        std::all_of(result.misses.cbegin(), result.misses.cend(),
                                    [](const Miss& miss) { return miss.reported == 0; });
    if (silent)
        return tr("%1: the switch did not answer.").arg(head);
    QStringList parts;
    for (const Miss& miss : result.misses) {
        parts << (miss.reported == 0 ? tr("output %1 gave no report, should be on input %2")
                                           .arg(miss.output)
                                           .arg(miss.wanted)
                                     : tr("output %1 is on input %2, not %3")
                                           .arg(miss.output)
                                           .arg(miss.reported)
                                           .arg(miss.wanted));
    }
    if (!result.confirmed)
        parts << tr("the switch did not answer the closing status request");
    return QStringLiteral("%1: %2.").arg(head, parts.join(QStringLiteral("; ")));
}
