// SPDX-License-Identifier: MIT
#include "presetrecall.h"

#include "protocol/commands.h"

#include <algorithm>

PresetRecall::PresetRecall(CommandChannel& commands, CommandChannel::Asker who, QObject* parent)
    : QObject(parent), channel(commands),
      asker(who != CommandChannel::nobody ? who : commands.newAsker())
{
}

bool PresetRecall::recall(const Preset& preset, std::optional<Routing> known)
{
    if (running)
        return false;
    running = true;
    target = preset;
    result = Result{};
    result.preset = preset.name;
    current = known.value_or(Routing{});
    awaitedOutput = 0;
    heardAnything = false;
    if (known)
        sendNextRoute();
    else
        ask(Step::Asking, protocol::statusRequest());
    return true;
}

void PresetRecall::ask(Step next, const QByteArray& command)
{
    step = next;
    PendingCommand* pending = channel.submit(asker, command);
    connect(pending, &PendingCommand::answered, this, &PresetRecall::onAnswered);
    connect(pending, &PendingCommand::failed, this, [this, pending] { onFailed(pending); });
}

void PresetRecall::onAnswered(const protocol::Reply& reply)
{
    heardAnything = true;
    for (const protocol::Route& route : reply.routes)
        current[route.output - 1] = route.input;
    if (step == Step::Checking) {
        result.confirmed = reply.kind == protocol::Reply::Kind::StatusReport;
        finish();
        return;
    }
    sendNextRoute();
}

void PresetRecall::onFailed(PendingCommand* command)
{
    if (command->error() != PendingCommand::Error::NoAnswer) {
        result.failure = command->errorString();
        finish();
        return;
    }
    // Not a word from the switch: sending it routes would only wait out each one.
    if (step == Step::Checking || (step == Step::Asking && !heardAnything)) {
        finish();
        return;
    }
    sendNextRoute();
}

void PresetRecall::sendNextRoute()
{
    for (int output = awaitedOutput + 1; output <= 4; ++output) {
        const int wanted = target.routing[output - 1];
        if (current[output - 1] == wanted)
            continue;
        awaitedOutput = output;
        result.sent << output;
        ask(Step::Switching, protocol::routeCommand(output, wanted));
        return;
    }
    ask(Step::Checking, protocol::statusRequest());
}

void PresetRecall::finish()
{
    running = false;
    result.reported = current;
    for (int output = 1; output <= 4; ++output) {
        const int wanted = target.routing[output - 1];
        if (current[output - 1] != wanted)
            result.misses << Miss{output, wanted, current[output - 1]};
    }
    emit finished(result);
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
