// SPDX-License-Identifier: MIT
// varnok-sim: a simulated 4 x 4 HDMI matrix switch on a pseudo-terminal, for trying the console
// without the hardware. See --help.

#include "pty.h"
#include "switchmodel.h"
#include "tcpswitch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <random>
#include <unistd.h>

namespace {

const char* const description = R"(A simulated 4 x 4 HDMI matrix switch for the varnok console.

It creates a pseudo-terminal (raw, no echo; both ends are held open for the whole run, so the
console may close and reopen its port at will) and points a symbolic link at its slave side;
point the console's COM port at that link. Every command received and every answer sent is
logged to stdout, one line each ("<- " command, "-> " answer, "-- " answer withheld by
--silent, "** " event; non-printable bytes escaped as \r, \n, \t, \xHH, backslash doubled).
With --restart-after the line goes down and comes back, on a new pseudo-terminal behind the
same link, with every output moved to the next input (as if the front panel had been used while
the line was down). Exit status: 0 after a signal (SIGINT, SIGTERM, SIGHUP) or --hangup-after, 1 for an unknown
option, 2 for a bad option value or when the line or the link cannot be set up.

Commands (one a line; CR, LF or CR LF ends a line; empty lines are ignored):
  cir XX       one of the 24 front keys (two hex digits); answers the route report
               "s" <output 1-4> <input 0-3> CR LF
  bc           status: CR LF "s1d" "s2d" "s3d" "s4d" CR LF (d = input 0-3), in one write
  rup          UTP modes: "ust0" <mask as one hex digit> CR LF
  utp H        set the UTP mode mask; answers "utp" CR LF
  dhc          network by DHCP; answers "Ack" CR LF
  sip A B C D  fixed address, four hex fields of 1-2 digits; answers "Ack" CR LF

Error answers (each followed by CR LF):
  ERR key      "cir" with a code that is no front key; the routing is unchanged
  ERR cir      "cir" without exactly two hex digits
  ERR utp      "utp" without exactly one hex digit
  ERR sip      "sip" without four hex fields of one or two digits, one blank apart
  ERR bc, ERR rup, ERR dhc
               these commands given an argument
  ERR long     a line longer than 128 bytes
  ERR unknown  anything else)";

struct Options
{
    QString link = QStringLiteral("./COM1");
    int delayMs = 0;
    bool silent = false;
    int dribbleMs = 0;
    bool noise = false;
    int hangupAfter = 0;  // 0: never
    int restartAfter = 0; // 0: never
    int frontPanelMs = 0; // 0: never
    int stuckOutput = 0;  // 0: none
    sim::Routes initial{0, 1, 2, 3};
    std::optional<quint32> seed;
    QString listenHost; // empty: serve a pseudo-terminal
    quint16 listenPort = 0;
};

void logLine(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(signalPipe[1], &byte, 1);
    errno = saved;
}

class Simulator
{
public:
    Simulator(const Options& options, sim::Pty& pty)
        : m_options(options), m_pty(pty), m_model(options.initial),
          m_random(options.seed.value_or(std::random_device{}()))
    {
        m_model.setStuckOutput(options.stuckOutput - 1);
        m_clock.start();
        m_reader = new QSocketNotifier(pty.master(), QSocketNotifier::Read, &m_context);
        QObject::connect(m_reader, &QSocketNotifier::activated, &m_context,
                         [this] { readCommands(); });

        m_pump.setSingleShot(true);
        QObject::connect(&m_pump, &QTimer::timeout, &m_context, [this] { pump(); });

        if (options.frontPanelMs > 0) {
            m_frontPanel.setInterval(options.frontPanelMs);
            QObject::connect(&m_frontPanel, &QTimer::timeout, &m_context, [this] { frontPanel(); });
            m_frontPanel.start();
        }
    }

private:
    struct Pending
    {
        qint64 due = 0;
        QByteArray bytes;
    };

    void readCommands()
    {
        char buffer[512];
        for (;;) {
            const ssize_t n = read(m_pty.master(), buffer, sizeof buffer);
            if (n > 0) {
                handle(QByteArrayView(buffer, n));
                if (m_hangingUp || m_down)
                    return;
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            // Cannot happen while the slave is held open here; stop rather than spin.
            logLine("** line read failed, stopping");
            m_reader->setEnabled(false);
            QCoreApplication::exit(1);
            return;
        }
    }

    void handle(QByteArrayView bytes)
    {
        for (const sim::Exchange& exchange : m_model.feed(bytes)) {
            logLine("<- " + sim::escaped(exchange.command));
            send(exchange.reply, m_options.delayMs);
            ++m_commands;
            if (m_options.restartAfter > 0 && m_commands == m_options.restartAfter) {
                // Answers already due still go out; the rest of this read is lost with the line.
                m_down = true;
                m_reader->setEnabled(false);
                pump();
                QTimer::singleShot(300, &m_context, [this] { restart(); });
                return;
            }
            if (m_options.hangupAfter > 0 && m_commands >= m_options.hangupAfter) {
                // Whatever else came in the same read is dropped: the line is going down.
                m_hangingUp = true;
                m_reader->setEnabled(false);
                m_frontPanel.stop();
                pump();
                return;
            }
        }
    }

    void frontPanel()
    {
        const QByteArray report = m_model.frontPanelChange(quint32(m_random()));
        logLine("** front panel: output " + report.mid(1, 1) + " to input " + report.mid(2, 1));
        send(report, 0);
    }

    void send(QByteArray reply, int delayMs)
    {
        if (m_options.silent) {
            logLine("-- not sent (silent): " + sim::escaped(reply));
            return;
        }
        if (m_options.noise) {
            // At least one byte the console cannot take, somewhere in the reply.
            const auto at = qsizetype(m_random() % quint32(reply.size() + 1));
            reply.insert(at, char(0x80 + m_random() % 0x80));
        }
        logLine("-> " + sim::escaped(reply));
        m_queue.push_back({m_clock.elapsed() + delayMs, reply});
        pump();
    }

    // Writes whatever is due, byte by byte when dribbling, and re-arms itself for the rest.
    void pump()
    {
        const qint64 now = m_clock.elapsed();
        while (!m_queue.empty()) {
            Pending& next = m_queue.front();
            const qint64 wait = std::max(next.due, m_nextByteAt) - now;
            if (wait > 0) {
                m_pump.start(int(wait));
                return;
            }
            if (m_options.dribbleMs > 0) {
                write(next.bytes.first(1));
                next.bytes.remove(0, 1);
                m_nextByteAt = now + m_options.dribbleMs;
            } else {
                write(next.bytes);
                next.bytes.clear();
            }
            if (next.bytes.isEmpty())
                m_queue.pop_front();
        }
        if (m_hangingUp && !m_hangupScheduled) {
            // Give the console a moment to take the last answer before the line goes down.
            m_hangupScheduled = true;
            QTimer::singleShot(300, &m_context, [this] { hangUp(); });
        }
    }

    void write(QByteArrayView bytes)
    {
        while (!bytes.isEmpty()) {
            const ssize_t n = ::write(m_pty.master(), bytes.data(), size_t(bytes.size()));
            if (n > 0) {
                bytes = bytes.sliced(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            // Nobody is reading and the line's buffer is full: wait a little, then give up.
            pollfd pfd{m_pty.master(), POLLOUT, 0};
            if (n < 0 && errno == EAGAIN && poll(&pfd, 1, 200) > 0)
                continue;
            logLine("** line full, dropped " + QByteArray::number(bytes.size()) + " bytes");
            return;
        }
    }

    void hangUp()
    {
        logLine("** hanging up after " + QByteArray::number(m_commands) + " commands");
        m_reader->setEnabled(false);
        m_pty.close();
        QCoreApplication::exit(0);
    }

    // Down for a moment, then up again on a fresh line behind the same link.
    void restart()
    {
        logLine("** restarting after " + QByteArray::number(m_commands) + " commands");
        delete m_reader;
        m_reader = nullptr;
        const QString oldSlave = m_pty.slavePath();
        m_pty.close();
        sim::removeLink(m_options.link, oldSlave);
        sim::Routes moved = m_model.routes();
        for (int& input : moved)
            input = (input + 1) % 4;
        m_model = sim::SwitchModel(moved);
        m_model.setStuckOutput(m_options.stuckOutput - 1);
        QTimer::singleShot(700, &m_context, [this] {
            QString error;
            if (!m_pty.open(&error) || !sim::placeLink(m_options.link, m_pty.slavePath(), &error)) {
                logLine("** cannot come back: " + error.toLocal8Bit());
                QCoreApplication::exit(2);
                return;
            }
            m_reader = new QSocketNotifier(m_pty.master(), QSocketNotifier::Read, &m_context);
            QObject::connect(m_reader, &QSocketNotifier::activated, &m_context,
                             [this] { readCommands(); });
            m_down = false;
            logLine("** back: " + m_options.link.toLocal8Bit() + " -> " +
                    m_pty.slavePath().toLocal8Bit());
        });
    }

    const Options& m_options;
    sim::Pty& m_pty;
    sim::SwitchModel m_model;
    std::mt19937 m_random;
    QObject m_context;
    QSocketNotifier* m_reader = nullptr;
    QTimer m_pump;
    QTimer m_frontPanel;
    QElapsedTimer m_clock;
    std::deque<Pending> m_queue;
    qint64 m_nextByteAt = 0;
    int m_commands = 0;
    bool m_hangingUp = false;
    bool m_hangupScheduled = false;
    bool m_down = false; // between a restart's hang-up and its return
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "varnok-sim: %s\n", qPrintable(message));
    std::exit(2);
}

int nonNegative(const QCommandLineParser& parser, const QString& name, int minimum)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < minimum)
        fail(QStringLiteral("--%1 needs a whole number of at least %2").arg(name).arg(minimum));
    return value;
}

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("link"),
         QStringLiteral("Symbolic link to the line's slave side (default ./COM1). An existing "
                        "symbolic link is replaced; it is removed on exit."),
         QStringLiteral("PATH")},
        {QStringLiteral("delay"), QStringLiteral("Answer each command MS milliseconds late."),
         QStringLiteral("MS")},
        {QStringLiteral("silent"),
         QStringLiteral("Never send anything (commands are still logged).")},
        {QStringLiteral("dribble"), QStringLiteral("Send byte by byte, MS milliseconds apart."),
         QStringLiteral("MS")},
        {QStringLiteral("noise"),
         QStringLiteral("Mix one byte of 0x80 or above into every answer.")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("After answering the N-th command, close the line (the console sees a "
                        "hang-up) and exit."),
         QStringLiteral("N")},
        {QStringLiteral("restart-after"),
         QStringLiteral("After answering the N-th command, drop the line for a second and come "
                        "back on the same link, every output moved to the next input."),
         QStringLiteral("N")},
        {QStringLiteral("front-panel"),
         QStringLiteral("Every SECONDS (fractions allowed) move a random output to another input "
                        "by itself and send its route report, as a person at the switch would."),
         QStringLiteral("SECONDS")},
        {QStringLiteral("stuck"),
         QStringLiteral("Output N (1-4) ignores its keys: each is answered with the route it "
                        "keeps."),
         QStringLiteral("N")},
        {QStringLiteral("initial"),
         QStringLiteral("Routing at start: the input digit 0-3 of outputs 1 to 4 (default 0123)."),
         QStringLiteral("ROUTES")},
        {QStringLiteral("listen"),
         QStringLiteral("Serve raw TCP on HOST:PORT instead of a pseudo-terminal, one client at a "
                        "time (port 0: any free port). The first line of output is \"listening "
                        "on HOST:PORT\". --hangup-after closes each connection; --front-panel, "
                        "--stuck and --initial apply too; other fault options apply to the "
                        "pseudo-terminal only."),
         QStringLiteral("HOST:PORT")},
        {QStringLiteral("seed"),
         QStringLiteral("Seed of the random choices of --noise and --front-panel (default: "
                        "random; the seed used is logged)."),
         QStringLiteral("N")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument %1 (see --help)")
                 .arg(parser.positionalArguments().constFirst()));

    Options options;
    if (parser.isSet(QStringLiteral("link"))) {
        options.link = parser.value(QStringLiteral("link"));
        if (options.link.isEmpty())
            fail(QStringLiteral("--link needs a path"));
    }
    if (parser.isSet(QStringLiteral("listen"))) {
        const QString value = parser.value(QStringLiteral("listen"));
        const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const uint port = value.mid(colon + 1).toUInt(&ok);
        if (colon <= 0 || !ok || port > 65535)
            fail(QStringLiteral("--listen needs HOST:PORT"));
        options.listenHost = value.left(colon);
        if (options.listenHost.startsWith(QLatin1Char('[')) &&
            options.listenHost.endsWith(QLatin1Char(']')))
            options.listenHost = options.listenHost.mid(1, options.listenHost.size() - 2);
        options.listenPort = static_cast<quint16>(port);
    }
    if (parser.isSet(QStringLiteral("delay")))
        options.delayMs = nonNegative(parser, QStringLiteral("delay"), 0);
    options.silent = parser.isSet(QStringLiteral("silent"));
    if (parser.isSet(QStringLiteral("dribble")))
        options.dribbleMs = nonNegative(parser, QStringLiteral("dribble"), 1);
    options.noise = parser.isSet(QStringLiteral("noise"));
    if (parser.isSet(QStringLiteral("hangup-after")))
        options.hangupAfter = nonNegative(parser, QStringLiteral("hangup-after"), 1);
    if (parser.isSet(QStringLiteral("restart-after")))
        options.restartAfter = nonNegative(parser, QStringLiteral("restart-after"), 1);
    if (parser.isSet(QStringLiteral("front-panel"))) {
        bool ok = false;
        const double seconds = parser.value(QStringLiteral("front-panel")).toDouble(&ok);
        if (!ok || seconds < 0.001 || seconds > 86400)
            fail(QStringLiteral("--front-panel needs a number of seconds from 0.001 to 86400"));
        options.frontPanelMs = int(seconds * 1000);
    }
    if (parser.isSet(QStringLiteral("stuck"))) {
        options.stuckOutput = nonNegative(parser, QStringLiteral("stuck"), 1);
        if (options.stuckOutput > 4)
            fail(QStringLiteral("--stuck needs an output from 1 to 4"));
    }
    if (parser.isSet(QStringLiteral("initial"))) {
        const auto routes = sim::parseRoutes(parser.value(QStringLiteral("initial")).toLatin1());
        if (!routes)
            fail(QStringLiteral("--initial needs four input digits 0-3, such as 0123"));
        options.initial = *routes;
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        const uint seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            fail(QStringLiteral("--seed needs a whole number from 0 to 4294967295"));
        options.seed = seed;
    }
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnok-sim"));
    Options options = parseOptions(app);
    if (!options.seed)
        options.seed = std::random_device{}();

    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        fail(QStringLiteral("cannot create the signal pipe"));
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        logLine("** stopped by a signal");
        QCoreApplication::exit(0);
    });

    QString error;
    if (!options.listenHost.isEmpty()) {
        sim::TcpSwitch server(options.initial, options.hangupAfter, logLine);
        server.setStuckOutput(options.stuckOutput - 1);
        if (!server.listen(options.listenHost, options.listenPort, &error))
            fail(error);
        logLine("listening on " + server.address());
        if (options.frontPanelMs > 0)
            server.startFrontPanel(options.frontPanelMs, *options.seed);
        return QCoreApplication::exec();
    }

    sim::Pty pty;
    if (!pty.open(&error))
        fail(error);
    if (!sim::placeLink(options.link, pty.slavePath(), &error))
        fail(error);

    Simulator simulator(options, pty);
    logLine("** " + options.link.toLocal8Bit() + " -> " + pty.slavePath().toLocal8Bit() +
            ", seed " + QByteArray::number(*options.seed));
    const int status = QCoreApplication::exec();

    sim::removeLink(options.link, pty.slavePath());
    pty.close();
    return status;
}
