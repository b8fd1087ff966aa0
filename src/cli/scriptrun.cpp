// SPDX-License-Identifier: MIT
#include "scriptrun.h"

#include "link/setupstore.h"
#include "link/sharedswitch.h"
#include "link/switchsession.h"
#include "protocol/addresstext.h"
#include "protocol/commands.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// A reply after the first one within this gap still belongs to what `send` prints.
constexpr int replyGapMs = 100;

QString shown(const protocol::Reply& reply)
{
    using Kind = protocol::Reply::Kind;
    switch (reply.kind) {
    case Kind::RouteReport:
    case Kind::StatusReport: {
        QStringList lines;
        for (const protocol::Route& route : reply.routes)
            lines << protocol::routeLine(route);
        return lines.join(QLatin1String(", "));
    }
    case Kind::UtpStatus:
        return QCoreApplication::translate("ScriptRun", "a UTP status");
    case Kind::Ack:
        return QStringLiteral("Ack");
    case Kind::UtpSetConfirm:
        return QCoreApplication::translate("ScriptRun", "a UTP set confirmation");
    case Kind::Edm:
        return QStringLiteral("edm");
    case Kind::Raw:
        break;
    }
    return QStringLiteral("\"%1\"").arg(reply.text.trimmed());
}

} // namespace

ScriptRun::ScriptRun(SwitchSession& linkSession, SetupStore& names, const cli::Request& what,
                     ScriptOutput& out, bool viaService, QObject* parent)
    : QObject(parent), session(linkSession), setup(names), sharedSetup(viaService), request(what),
      output(out), channel(linkSession)
{
    channel.setDeadline(request.timeoutMs);
    deadline.setSingleShot(true);
    deadline.setInterval(request.timeoutMs);
    quiet.setSingleShot(true);
    quiet.setInterval(replyGapMs);
    connect(&deadline, &QTimer::timeout, this, &ScriptRun::onTimeout);
    connect(&quiet, &QTimer::timeout, this, [this] { finish(Done); });
    connect(&channel, &CommandChannel::reported, this,
            [this](const protocol::Reply& report) { onReport(report); });
    connect(&session.replies(), &ReceiveFramer::bytesReceived, this, &ScriptRun::onBytes);
    connect(&session, &SwitchSession::linkLost, this, &ScriptRun::onLinkLost);
    connect(&session, &SwitchSession::writeFailed, this, &ScriptRun::onLinkLost);
    if (SharedSwitch* shared = session.line().sharedSwitch())
        connect(shared, &SharedSwitch::refused, this, &ScriptRun::onLinkLost);
}

void ScriptRun::start()
{
    if (ended)
        return;
    if (sharedSetup && !setup.isShared()) {
        // The service tells its set-up as soon as it takes the line.
        connect(&setup, &SetupStore::changed, this, &ScriptRun::start, Qt::SingleShotConnection);
        QTimer::singleShot(request.timeoutMs, this, [this] {
            if (!setup.isShared())
                finish(
                    NoAnswer,
                    tr("%1 did not tell the switch's names and presets").arg(session.portName()));
        });
        return;
    }
    if (setup.isShared()) {
        output.useNames(setup.setup());
        if (!cli::needsSwitch(request.command))
            return runOnSharedSetup();
    }
    using Command = cli::Request::Command;
    switch (request.command) {
    case Command::Route:
        sendCommand(request.step == 0 ? protocol::routeCommand(request.output, request.input)
                                      : protocol::arrowCommand(request.output, request.step));
        return;
    case Command::Status:
    case Command::PresetSave:
        sendCommand(protocol::statusRequest());
        return;
    case Command::PresetRecall:
        startRecall();
        return;
    case Command::Utp:
        sendCommand(request.utpMask ? protocol::utpSetCommand(*request.utpMask)
                                    : protocol::utpQuery());
        return;
    case Command::Ip:
        sendCommand(request.dhcp ? protocol::dhcpCommand()
                                 : protocol::fixedAddressCommand(request.address));
        return;
    case Command::Send:
        sendCommand(protocol::terminalBytes(request.text) + "\r\n");
        return;
    case Command::Monitor:
        session.setPollInterval(request.pollSeconds); // 0: listens only
        return;
    case Command::Help:
    case Command::Version:
    case Command::PresetList:
    case Command::PresetDelete:
    case Command::Name:
        break;
    }
    finish(Done);
}

void ScriptRun::interrupt()
{
    if (request.command == cli::Request::Command::Monitor)
        finish(Done);
    else
        finish(NoAnswer, tr("interrupted before the switch answered"));
}

void ScriptRun::sendCommand(const QByteArray& bytes)
{
    PendingCommand* command = channel.submit(asker, bytes);
    connect(command, &PendingCommand::answered, this, &ScriptRun::onAnswer);
    connect(command, &PendingCommand::failed, this, [this, command] { onFailed(command); });
    deadline.start();
}

void ScriptRun::finish(int status, const QString& problem)
{
    if (ended)
        return;
    ended = true;
    deadline.stop();
    quiet.stop();
    if (!problem.isEmpty())
        output.problem(problem);
    emit finished(status);
}

void ScriptRun::onLinkLost(const QString& reason)
{
    finish(LinkFailed, reason);
}

void ScriptRun::onFailed(PendingCommand* command)
{
    if (command->error() == PendingCommand::Error::NoAnswer)
        onTimeout();
    else
        finish(LinkFailed, command->error() == PendingCommand::Error::NotSent
                               ? session.errorString()
                               : command->errorString());
}

void ScriptRun::onTimeout()
{
    if (request.command == cli::Request::Command::Send && replied)
        return finish(Done);
    if (otherRoute) {
        output.route(*otherRoute);
        return finish(NoAnswer, tr("the switch reports output %1 on input "
                                   "%2, not %3")
                                    .arg(otherRoute->output)
                                    .arg(otherRoute->input)
                                    .arg(request.input));
    }
    QString message = tr("no answer from the switch on %1 within %2 ms")
                          .arg(session.portName())
                          .arg(request.timeoutMs);
    if (!lastOtherAnswer.isEmpty())
        message = tr("the switch on %1 answered %2, not what was asked for, within "
                     "%3 ms")
                      .arg(session.portName(), lastOtherAnswer)
                      .arg(request.timeoutMs);
    finish(NoAnswer, message);
}

void ScriptRun::onBytes(const QByteArray& bytes)
{
    if (ended || request.command != cli::Request::Command::Send)
        return;
    replied = true;
    output.reply(bytes);
    quiet.start();
}

void ScriptRun::onReport(const protocol::Reply& report)
{
    using Command = cli::Request::Command;
    if (ended)
        return;
    if (request.command == Command::Route)
        return handleRoute(report);
    if (request.command == Command::Monitor) {
        for (const protocol::Route& route : report.routes)
            output.route(route);
        if (output.writeFailed())
            finish(OutputFailed); // nobody reads what it would print next
    }
}

void ScriptRun::onAnswer(const protocol::Reply& reply)
{
    using Command = cli::Request::Command;
    using Kind = protocol::Reply::Kind;
    if (ended)
        return;
    switch (request.command) {
    case Command::Route:
        if (reply.kind == Kind::RouteReport || reply.kind == Kind::StatusReport)
            return; // seen as a report; another input may still follow until the deadline
        break;
    case Command::Status:
    case Command::PresetSave:
        return handleStatus(reply);
    case Command::Utp:
        if (!request.utpMask && reply.kind == Kind::UtpStatus) {
            output.utpModes(reply.oneWireMask);
            return finish(Done);
        }
        if (request.utpMask && reply.kind == Kind::UtpSetConfirm) {
            output.utpModes(*request.utpMask);
            return finish(Done);
        }
        break;
    case Command::Ip:
        if (reply.kind == Kind::Ack) {
            output.network(request.dhcp ? QString() : request.address);
            return finish(Done);
        }
        break;
    case Command::Send:
    case Command::Monitor:
    case Command::PresetRecall:
    case Command::Help:
    case Command::Version:
    case Command::PresetList:
    case Command::PresetDelete:
    case Command::Name:
        return;
    }
    lastOtherAnswer = shown(reply);
    onTimeout();
}

void ScriptRun::handleRoute(const protocol::Reply& reply)
{
    // An arrow moves the output to an input not known beforehand: only its own route report
    // answers it. A route to a given input is confirmed by any report showing it.
    const bool arrow = request.input == 0;
    if (reply.kind == protocol::Reply::Kind::RouteReport ||
        (!arrow && reply.kind == protocol::Reply::Kind::StatusReport)) {
        for (const protocol::Route& route : reply.routes) {
            if (route.output != request.output)
                continue;
            if (arrow || route.input == request.input) {
                output.route(route);
                return finish(Done);
            }
            // Another controller's route, or a report made before this command reached the
            // switch: the answer may still come. Told only if it does not.
            otherRoute = route;
            return;
        }
    }
    lastOtherAnswer = shown(reply);
}

void ScriptRun::handleStatus(const protocol::Reply& reply)
{
    if (reply.kind != protocol::Reply::Kind::StatusReport) {
        lastOtherAnswer = shown(reply);
        return onTimeout();
    }
    if (request.command == cli::Request::Command::Status)
        output.routing(reply.routes);
    if (reply.routes.size() != 4)
        return finish(NoAnswer,
                      tr("the switch reported %1 of the four outputs").arg(reply.routes.size()));
    if (request.command == cli::Request::Command::PresetSave) {
        Routing routing{};
        for (const protocol::Route& route : reply.routes)
            routing[route.output - 1] = route.input;
        // The name was checked before anything was sent: what fails now is where it is kept.
        return change(
            {SetupEdit::Kind::SavePreset, 0, request.preset, {}}, routing, OutputFailed, [this] {
                if (const std::optional<Preset> saved = setup.setup().findPreset(request.preset))
                    output.presets({*saved});
            });
    }
    finish(Done);
}

void ScriptRun::startRecall()
{
    const std::optional<Preset> preset = setup.setup().findPreset(request.preset);
    if (!preset)
        return finish(BadUsage, tr("no preset named \"%1\"").arg(request.preset));
    auto* recall = new PresetRecall(channel, asker, this);
    connect(recall, &PresetRecall::finished, this, &ScriptRun::recalled);
    if (!recall->recall(*preset))
        finish(LinkFailed, session.errorString());
}

void ScriptRun::recalled(const PresetRecall::Result& result)
{
    if (std::find(result.reported.cbegin(), result.reported.cend(), 0) == result.reported.cend()) {
        QList<protocol::Route> routes;
        for (int number = 1; number <= 4; ++number)
            routes.append({number, result.reported[number - 1]});
        output.routing(routes);
    }
    if (!result.failure.isEmpty())
        return finish(LinkFailed, PresetRecall::describe(result));
    finish(result.succeeded() ? Done : NoAnswer, PresetRecall::describe(result));
}

namespace {

SetupEdit editOf(const cli::Request& request)
{
    if (request.command == cli::Request::Command::PresetDelete)
        return {SetupEdit::Kind::DeletePreset, 0, request.preset, {}};
    return {request.namesOutput ? SetupEdit::Kind::OutputName : SetupEdit::Kind::InputName,
            request.nameIndex,
            request.text,
            {}};
}

} // namespace

int ScriptRun::runOffline(SetupStore& setup, const cli::Request& request, ScriptOutput& output)
{
    if (request.command == cli::Request::Command::PresetList) {
        output.presets(setup.setup().presets());
        return Done;
    }
    // A folder's set-up changes at once.
    const std::unique_ptr<SetupChange> made(setup.change(editOf(request), std::nullopt));
    if (made->errorString().isEmpty())
        return Done;
    output.problem(made->errorString());
    return BadUsage;
}

void ScriptRun::runOnSharedSetup()
{
    if (request.command == cli::Request::Command::PresetList) {
        output.presets(setup.setup().presets());
        return finish(Done);
    }
    change(editOf(request), std::nullopt, BadUsage, [] {});
}

void ScriptRun::change(const SetupEdit& edit, const std::optional<Routing>& routing, int failure,
                       const std::function<void()>& done)
{
    SetupChange* made = setup.change(edit, routing);
    deadline.stop(); // the change is bounded by its own wait
    connect(made, &SetupChange::finished, this, [this, made, failure, done] {
        if (!made->errorString().isEmpty())
            return finish(failure, made->errorString());
        done();
        finish(Done);
    });
}
