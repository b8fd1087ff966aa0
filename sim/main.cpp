// SPDX-License-Identifier: MIT
// varnok-sim: a simulated 4 x 4 HDMI matrix switch on a pseudo-terminal, for trying the console
// without the hardware. See --help.

#include "options.h"
#include "protocol/terminationsignals.h"
#include "pty.h"
#include "ptyswitch.h"
#include "tcpswitch.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <random>

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

void logLine(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

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

sim::Options parseOptions(const QCoreApplication& app)
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

    sim::Options options;
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
    sim::Options options = parseOptions(app);
    if (!options.seed)
        options.seed = std::random_device{}();

    TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &TerminationSignals::received, &app, [] {
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

    sim::PtySwitch simulator(options, pty, logLine);
    logLine("** " + options.link.toLocal8Bit() + " -> " + pty.slavePath().toLocal8Bit() +
            ", seed " + QByteArray::number(*options.seed));
    const int status = QCoreApplication::exec();

    sim::removeLink(options.link, pty.slavePath());
    pty.close();
    return status;
}
