// SPDX-License-Identifier: MIT
#include "sharedline.h"

#include "link/statefolder.h"
#include "protocol/commands.h"

namespace {

SwitchSession::Options sessionOptions()
{
    // Reopened by itself when lost; the routing is asked for through the channel.
    return {.reconnect = true,
            .askForRouting = false,
            .pollSeconds = 0,
            .log = true,
            .longestRetryMs = SharedLine::longestRetryMs};
}

} // namespace

SharedLine::SharedLine(const SwitchConfig& config, QObject* parent)
    : QObject(parent), choice(config.dir, PortChoice::Storage::ReadOnly),
      session(port, choice, sessionOptions())
{
    session.setLogPath(stateFolder() + QStringLiteral("/varnokd-%1.log").arg(config.id));
    reported.keepProblemsIn(stateFolder() + QStringLiteral("/varnokd-%1.problems").arg(config.id));
    choice.restore();
    if (!config.port.isEmpty())
        choice.choose(config.port); // checked with the configuration
    openRetry.setInterval(openRetryMs);
    openRetry.setSingleShot(true);
    connect(&openRetry, &QTimer::timeout, this, &SharedLine::tryOpen);
    idle.setSingleShot(true);
    idle.setInterval(config.pollSeconds * 1000);
    connect(&idle, &QTimer::timeout, this, &SharedLine::poll);

    connect(&session, &SwitchSession::linkNote, this, &SharedLine::tell);
    connect(&session, &SwitchSession::openChanged, this, &SharedLine::onOpenChanged);
    connect(&session, &SwitchSession::openFailed, this, [this] { openRetry.start(); });
    connect(&session, &SwitchSession::linkLost, this, [this] { onOpenChanged(false); });
    connect(&channel, &CommandChannel::note, this, &SharedLine::tell);
    connect(&channel, &CommandChannel::commandAnswered, &reported, &RoutingState::answered);
    connect(
        &channel, &CommandChannel::reported, this,
        [this](const protocol::Reply& reply, const QByteArray& bytes, Asker heardBy, bool answers) {
            // The last words of a line already closed describe a switch that may not be
            // there now.
            const bool changed = session.isOpen() && reported.apply(reply);
            emit report(bytes, heardBy, answers, changed);
        });
    // A streak of the same is told once (see tell()).
    connect(&reported, &RoutingState::notFollowed, this,
            [this](const RoutingState::Problem& problem) {
                tell(tr("output %1 stayed on input %2, not %3 as asked")
                         .arg(problem.output)
                         .arg(problem.reported)
                         .arg(problem.asked));
            });
    connect(&channel, &CommandChannel::idle, this, [this] {
        if (session.isOpen() && idle.interval() > 0)
            idle.start();
    });
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
    if (!session.open()) {
        openRetry.setInterval(std::min(openRetry.interval() * 2, longestRetryMs));
        openRetry.start();
    }
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
    idle.stop();
    reported.forget();
    if (open) {
        openRetry.setInterval(openRetryMs);
        // Once: a link lost and back is told by the session, once an outage.
        if (!std::exchange(openedBefore, true)) {
            lastNote.clear();
            tell(tr("%1 is open").arg(session.portName()));
        }
        // The routing on connect, before anything an asker queued meanwhile.
        channel.submitFirst(self, protocol::statusRequest());
    }
    emit linkChanged(open);
}

void SharedLine::poll()
{
    if (channel.isIdle() && session.isOpen())
        channel.submit(self, protocol::statusRequest());
}
