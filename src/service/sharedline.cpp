// SPDX-License-Identifier: MIT
#include "sharedline.h"

#include "link/statefolder.h"
#include "protocol/commands.h"
#include "protocol/logtext.h"
#include "servicelog.h"

namespace {

SwitchSession::Options sessionOptions()
{
    // Reopened by itself when lost; the routing is asked for through the channel.
    return {.reconnect = true,
            .askForRouting = false,
            .pollSeconds = 0,
            .log = true,
            .longestRetryMs = SharedLine::longestRetryMs,
            .outageOnce = true};
}

} // namespace

SharedLine::SharedLine(const SwitchConfig& config, QObject* parent)
    : QObject(parent), id(config.id), choice(config.dir, PortChoice::Storage::ReadOnly),
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

    // The session tells a failure or a loss, or that the line is back.
    connect(&session, &SwitchSession::linkNote, this, [this](const QString& line) {
        tell(session.isOpen() ? QtInfoMsg : QtWarningMsg, line);
    });
    connect(&session, &SwitchSession::openChanged, this, &SharedLine::onOpenChanged);
    connect(&session, &SwitchSession::openFailed, this, [this] { openRetry.start(); });
    connect(&session, &SwitchSession::linkLost, this, [this] { onOpenChanged(false); });
    connect(&channel, &CommandChannel::note, this, [this](const QString& line) {
        // The switch answers again; or it stopped, or the line went with commands waiting.
        tell(channel.isAnswering() && session.isOpen() ? QtInfoMsg : QtWarningMsg, line);
    });
    connect(&channel, &CommandChannel::commandAnswered, &reported, &RoutingState::answered);
    connect(
        &channel, &CommandChannel::reported, this,
        [this](const protocol::Reply& reply, const QByteArray& bytes, Asker heardBy, bool answers) {
            // The last words of a line already closed describe a switch that may not be
            // there now.
            const Routing before = reported.routing();
            const bool changed = session.isOpen() && reported.apply(reply);
            if (changed)
                tellRoutes(before, answers ? heardBy : CommandChannel::nobody);
            emit report(bytes, heardBy, answers, changed);
        });
    // A streak of the same is told once (see tell()).
    connect(&reported, &RoutingState::notFollowed, this,
            [this](const RoutingState::Problem& problem) {
                tell(QtWarningMsg, tr("output %1 stayed on input %2, not %3 as asked")
                                       .arg(problem.output)
                                       .arg(problem.reported)
                                       .arg(problem.asked));
            });
    connect(&channel, &CommandChannel::queued, this, [this](Asker asker, const QByteArray& bytes) {
        if (asker == self)
            return; // the routing asked for at open and when quiet, as any controller sees
        // Questions are many (a controller polling) and change nothing: for debugging only.
        const bool question = bytes == protocol::statusRequest() || bytes == protocol::utpQuery();
        QByteArrayView line = bytes; // its line end is understood
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        audit(question ? QtDebugMsg : QtInfoMsg,
              QStringLiteral("%1 asks %2")
                  .arg(whoIs(asker), QString::fromLatin1(protocol::logEscaped(line))));
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

void SharedLine::nameAsker(Asker asker, const QString& who)
{
    if (who.isEmpty())
        askerNames.erase(asker);
    else
        askerNames[asker] = who;
}

QString SharedLine::whoIs(Asker asker) const
{
    if (asker == self)
        return QStringLiteral("the service's own status request");
    const auto found = askerNames.find(asker);
    return found != askerNames.end() ? found->second : QStringLiteral("a controller that left");
}

void SharedLine::tellRoutes(const Routing& before, Asker answered)
{
    QStringList moved;
    for (int output = 1; output <= 4; ++output) {
        if (const int input = reported.routing()[output - 1]; input != before[output - 1])
            moved << QStringLiteral("output %1 to input %2").arg(output).arg(input);
    }
    audit(QtInfoMsg,
          answered == CommandChannel::nobody
              ? QStringLiteral("%1, unasked: the front panel or another controller of the switch")
                    .arg(moved.join(QStringLiteral(", ")))
              : QStringLiteral("%1, answer to %2")
                    .arg(moved.join(QStringLiteral(", ")), whoIs(answered)));
}

void SharedLine::audit(QtMsgType level, const QString& text)
{
    servicelog::write(lcLine(), level, id + QStringLiteral(": ") + text);
    if (level != QtDebugMsg)
        session.recordEvent(text);
}

void SharedLine::tell(QtMsgType level, const QString& line)
{
    // An absent device is told once, not on every try.
    if (line == lastNote)
        return;
    lastNote = line;
    servicelog::write(lcLine(), level, id + QStringLiteral(": ") + line);
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
            tell(QtInfoMsg, tr("%1 is open").arg(session.portName()));
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
