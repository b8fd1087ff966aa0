// SPDX-License-Identifier: MIT
// The varnok executable's command line against varnok-sim, on a pseudo-terminal (found as COM1,
// the default choice) and over 127.0.0.1 TCP; run with no display at all.
#include "runfolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <arpa/inet.h>
#include <csignal>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

constexpr int patienceMs = 10000; // waiting only; nothing is asserted about speed

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// tcp://127.0.0.1:P where no connect completes: a listener's queue of one, full, never taken from.
QString fullListener()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener, 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    ::connect(::socket(AF_INET, SOCK_STREAM, 0), reinterpret_cast<sockaddr*>(&address), size);
    return QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port));
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commands_data();
    void commands();
    void refusedBeforeAnythingIsSent_data();
    void refusedBeforeAnythingIsSent();
    void presetsAndNames_data();
    void presetsAndNames();
    void namesSetByOneRunShowInTheNext();
    void monitorFollowsTheFrontPanel_data();
    void monitorFollowsTheFrontPanel();
    void setUpFolderByOption();
    void resultNobodyCanRead();

private:
    // varnok-sim behind <folder>/COM1, or listening on 127.0.0.1 (then the port to pass).
    QString startSim(bool tcp, const QStringList& arguments);
    QProcessEnvironment headless() const;
    std::unique_ptr<QProcess> startVarnok(const QStringList& arguments,
                                          const std::function<void(QProcess&)>& before = {});
    Result runVarnok(const QStringList& arguments);
    // What the program wrote on the line, from its session log, with line ends escaped.
    QByteArrayList sentBytes() const;
    QByteArray simLog();
    QByteArray settingsFile() const;

    std::unique_ptr<RunFolder> dir;
    std::unique_ptr<QProcess> sim;
    QByteArray simOutput;
};

void TestCommandLine::init()
{
    dir = std::make_unique<RunFolder>();
    QVERIFY(dir->isEntered());
    simOutput.clear();
}

void TestCommandLine::cleanup()
{
    if (sim) {
        sim->terminate();
        sim->waitForFinished(patienceMs);
        sim.reset();
    }
    // Scripts borrow the window's port choice and never write it.
    QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("COMPORT"))));
    dir.reset();
}

QString TestCommandLine::startSim(bool tcp, const QStringList& arguments)
{
    sim = std::make_unique<QProcess>();
    sim->setProgram(QStringLiteral(VARNOK_SIM_PATH));
    const QString link = dir->filePath(QStringLiteral("COM1"));
    sim->setArguments((tcp ? QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")}
                           : QStringList{QStringLiteral("--link"), link}) +
                      arguments);
    sim->start();
    if (!sim->waitForReadyRead(patienceMs))
        return {};
    const QString first = QString::fromLatin1(sim->readLine().trimmed());
    if (!tcp)
        return QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/"))
                   ? QStringLiteral("COM1")
                   : QString();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)$")).match(first);
    return match.hasMatch() ? QStringLiteral("tcp://") + match.captured(1) : QString();
}

QProcessEnvironment TestCommandLine::headless() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir->filePath(QStringLiteral("state")));
    return environment;
}

std::unique_ptr<QProcess> TestCommandLine::startVarnok(const QStringList& arguments,
                                                       const std::function<void(QProcess&)>& before)
{
    auto varnok = std::make_unique<QProcess>();
    varnok->setProcessEnvironment(headless());
    varnok->setWorkingDirectory(dir->path());
    if (before)
        before(*varnok);
    varnok->start(QStringLiteral(VARNOK_PATH), arguments);
    return varnok;
}

Result TestCommandLine::runVarnok(const QStringList& arguments)
{
    // A loaded test machine can be slower than any switch: rows that expect an answer allow for
    // it, rows about silence say how long to wait.
    const bool timed = arguments.contains(QStringLiteral("--timeout"));
    const std::unique_ptr<QProcess> varnok = startVarnok(
        timed ? arguments
              : arguments + QStringList{QStringLiteral("--timeout"), QStringLiteral("5000")});
    if (!varnok->waitForFinished(patienceMs) || varnok->exitStatus() != QProcess::NormalExit)
        return {};
    return {varnok->exitCode(), varnok->readAllStandardOutput(), varnok->readAllStandardError()};
}

QByteArrayList TestCommandLine::sentBytes() const
{
    QFile log(dir->filePath(QStringLiteral("state/varnok/session.log")));
    QByteArrayList sent;
    if (!log.open(QIODevice::ReadOnly))
        return sent;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const qsizetype at = line.indexOf(" > ");
        if (at >= 0)
            sent << line.mid(at + 3);
    }
    return sent;
}

QByteArray TestCommandLine::settingsFile() const
{
    QFile file(dir->filePath(QStringLiteral("varnok.conf")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TestCommandLine::simLog()
{
    simOutput += sim->readAllStandardOutput();
    return simOutput;
}

void TestCommandLine::commands_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("sent"); // as the session log writes it: CR LF as \r\n
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("exitCode");

    const QByteArray status = "HDMI Out1 -> HDMI In 1\nHDMI Out2 -> HDMI In 4\n"
                              "HDMI Out3 -> HDMI In 3\nHDMI Out4 -> HDMI In 2\n";
    const QStringList initial{QStringLiteral("--initial"), QStringLiteral("0321")};
    for (const bool tcp : {false, true}) {
        const char* over = tcp ? "tcp" : "pty";
        auto row = [&](const char* name) { return &QTest::addRow("%s, %s", over, name); };
        *row("route") << tcp << initial << QStringList{"route", "2", "3"}
                      << QByteArray("cir 59\\r\\n") << QByteArray("HDMI Out2 -> HDMI In 3\n") << 0;
        *row("route json") << tcp << initial << QStringList{"--json", "route", "4", "1"}
                           << QByteArray("cir 18\\r\\n")
                           << QByteArray("{\"output\":4,\"input\":1}\n") << 0;
        *row("route next") << tcp << initial << QStringList{"route", "1", "next"}
                           << QByteArray("cir 41\\r\\n") << QByteArray("HDMI Out1 -> HDMI In 2\n")
                           << 0;
        *row("route prev wraps") << tcp << initial << QStringList{"route", "1", "prev"}
                                 << QByteArray("cir 57\\r\\n")
                                 << QByteArray("HDMI Out1 -> HDMI In 4\n") << 0;
        *row("status") << tcp << initial << QStringList{"status"} << QByteArray("bc \\r\\n")
                       << status << 0;
        *row("status json") << tcp << initial << QStringList{"status", "--json"}
                            << QByteArray("bc \\r\\n")
                            << QByteArray("{\"routes\":[{\"output\":1,\"input\":1},{\"output\":2,"
                                          "\"input\":4},{\"output\":3,\"input\":3},{\"output\":4,"
                                          "\"input\":2}]}\n")
                            << 0;
        *row("utp read") << tcp << QStringList() << QStringList{"utp"} << QByteArray("rup \\r\\n")
                         << QByteArray("0\nUTP1: 2 wires\nUTP2: 2 wires\nUTP3: 2 wires\n"
                                       "UTP4: 2 wires\n")
                         << 0;
        *row("utp set json") << tcp << QStringList() << QStringList{"--json", "utp", "5"}
                             << QByteArray("utp 5\\r\\n")
                             << QByteArray("{\"mask\":\"5\",\"outputs\":[\"1 wire\",\"2 wires\","
                                           "\"1 wire\",\"2 wires\"]}\n")
                             << 0;
        *row("ip dhcp") << tcp << QStringList() << QStringList{"ip", "dhcp"}
                        << QByteArray("dhc\\r\\n") << QByteArray("network: DHCP\n") << 0;
        *row("ip fixed") << tcp << QStringList() << QStringList{"ip", "192.168.1.20"}
                         << QByteArray("sip C0 A8 1 14\\r\\n")
                         << QByteArray("network: 192.168.1.20\n") << 0;
        *row("send") << tcp << QStringList() << QStringList{"send", "rup"}
                     << QByteArray("rup\\r\\n") << QByteArray("ust00\r\n") << 0;
    }
    // Faults the simulator makes on its pseudo-terminal only.
    QTest::newRow("pty, silent switch")
        << false << QStringList{"--silent"} << QStringList{"--timeout", "300", "status"}
        << QByteArray("bc \\r\\n") << QByteArray() << 3;
    QTest::newRow("pty, unreadable answer")
        << false << QStringList{"--noise"} << QStringList{"--timeout", "300", "route", "2", "3"}
        << QByteArray("cir 59\\r\\n") << QByteArray() << 3;
    QTest::newRow("pty, route not followed")
        << false << QStringList{"--stuck", "2"}
        << QStringList{"--timeout", "300", "route", "2", "3"} << QByteArray("cir 59\\r\\n")
        << QByteArray("HDMI Out2 -> HDMI In 2\n") << 3;
    QTest::newRow("pty, send unanswered")
        << false << QStringList{"--silent"} << QStringList{"--timeout", "300", "send", "bc"}
        << QByteArray("bc\\r\\n") << QByteArray() << 3;
}

void TestCommandLine::commands()
{
    QFETCH(bool, tcp);
    QFETCH(QStringList, simArguments);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);

    const QString port = startSim(tcp, simArguments);
    QVERIFY2(!port.isEmpty(), "varnok-sim did not start");
    if (tcp)
        arguments = QStringList{QStringLiteral("--port"), port} + arguments;
    const Result result = runVarnok(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, out);
    QCOMPARE(sentBytes(), QByteArrayList{sent});
    QCOMPARE(result.err.isEmpty(), exitCode == 0);
    QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("varnok.conf"))));
}

void TestCommandLine::presetsAndNames_data()
{
    QTest::addColumn<QByteArray>("settings"); // varnok.conf before
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");           // a part of what stderr says; empty: nothing
    QTest::addColumn<QByteArray>("settingsAfter"); // empty: unchanged

    const QByteArray names = "[names]\noutput2=Projector\ninput3=Camera\n";
    const QByteArray lecture = "[presets]\n1\\name=Lecture\n1\\routing=1 2 3 4\n";
    const QStringList initial{"--initial", "0321"}; // inputs 1 4 3 2
    const QByteArrayList recallSent{"bc \\r\\n", "cir 12\\r\\n", "cir 51\\r\\n", "bc \\r\\n"};
    const QByteArray straight = "HDMI Out1 -> HDMI In 1\nHDMI Out2 -> HDMI In 2\n"
                                "HDMI Out3 -> HDMI In 3\nHDMI Out4 -> HDMI In 4\n";

    QTest::newRow("status with names")
        << names << QStringList{"--initial", "0221"} << QStringList{"status"}
        << QByteArrayList{"bc \\r\\n"}
        << QByteArray("HDMI Out1 -> HDMI In 1\nHDMI Out2 -> HDMI In 3  (Projector <- Camera)\n"
                      "HDMI Out3 -> HDMI In 3  (Out3 <- Camera)\nHDMI Out4 -> HDMI In 2\n")
        << 0 << QByteArray() << QByteArray();
    QTest::newRow("json with names")
        << names << QStringList{"--initial", "0321"} << QStringList{"--json", "route", "2", "3"}
        << QByteArrayList{"cir 59\\r\\n"}
        << QByteArray("{\"output\":2,\"input\":3,\"output_name\":\"Projector\",\"input_name\":"
                      "\"Camera\"}\n")
        << 0 << QByteArray() << QByteArray();
    QTest::newRow("recall sends the outputs that differ")
        << lecture << initial << QStringList{"preset", "recall", "lecture"} << recallSent
        << straight << 0 << QByteArray() << QByteArray();
    QTest::newRow("recall, an output stays")
        << lecture << (initial + QStringList{"--stuck", "4"})
        << QStringList{"preset", "recall", "Lecture"} << recallSent
        << QByteArray("HDMI Out1 -> HDMI In 1\nHDMI Out2 -> HDMI In 2\n"
                      "HDMI Out3 -> HDMI In 3\nHDMI Out4 -> HDMI In 2\n")
        << 3 << QByteArray("output 4 is on input 2, not 4") << QByteArray();
    QTest::newRow("recall, silent switch")
        << lecture << QStringList{"--silent"}
        << QStringList{"--timeout", "300", "preset", "recall", "Lecture"}
        << QByteArrayList{"bc \\r\\n"} << QByteArray() << 3 << QByteArray("did not answer")
        << QByteArray();
    QTest::newRow("save asks the switch")
        << QByteArray() << initial << QStringList{"preset", "save", "Video wall"}
        << QByteArrayList{"bc \\r\\n"} << QByteArray("Video wall: 1 4 3 2\n") << 0 << QByteArray()
        << QByteArray("[presets]\n1\\name=Video wall\n1\\routing=1 4 3 2\n");
    QTest::newRow("hand-edited junk")
        << QByteArray("[names]\noutput7=Lobby\ninput1=" + QByteArray(40, 'x') +
                      "\n\x01\xff=\n[presets]\n1\\name=Bad\n1\\routing=9 x 1\n[other]\na=b\n")
        << initial << QStringList{"status"} << QByteArrayList{"bc \\r\\n"}
        << QByteArray("HDMI Out1 -> HDMI In 1\nHDMI Out2 -> HDMI In 4\n"
                      "HDMI Out3 -> HDMI In 3\nHDMI Out4 -> HDMI In 2\n")
        << 0 << QByteArray("output7") << QByteArray();
}

void TestCommandLine::presetsAndNames()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, simArguments);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, sent);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, settingsAfter);

    if (!settings.isEmpty()) {
        QFile file(dir->filePath(QStringLiteral("varnok.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    }
    QVERIFY(!startSim(false, simArguments).isEmpty());
    const Result result = runVarnok(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, out);
    QCOMPARE(sentBytes(), sent);
    if (err.isEmpty())
        QCOMPARE(result.err, QByteArray());
    else
        QVERIFY2(result.err.contains(err) && result.err.count('\n') == 1, result.err.constData());
    QCOMPARE(settingsFile(), settingsAfter.isEmpty() ? settings : settingsAfter);
}

void TestCommandLine::namesSetByOneRunShowInTheNext()
{
    QVERIFY(!startSim(false, {}).isEmpty());
    QCOMPARE(runVarnok({"name", "output", "2", "Projector"}).exitCode, 0);
    QCOMPARE(runVarnok({"name", "input", "4", " Lectern PC "}).exitCode, 0);
    QCOMPARE(runVarnok({"name", "output", "1", QString(33, QLatin1Char('x'))}).exitCode, 1);
    QCOMPARE(runVarnok({"--json", "route", "2", "4"}).out,
             QByteArray("{\"output\":2,\"input\":4,\"output_name\":\"Projector\","
                        "\"input_name\":\"Lectern PC\"}\n"));
    QCOMPARE(runVarnok({"name", "output", "2", ""}).exitCode, 0);
    QCOMPARE(runVarnok({"route", "2", "4"}).out,
             QByteArray("HDMI Out2 -> HDMI In 4  (Out2 <- Lectern PC)\n"));
}

void TestCommandLine::refusedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("named"); // the problem, as stderr names it

    QTest::newRow("output out of range") << QStringList{"route", "5", "1"} << 1 << "\"5\"";
    QTest::newRow("input missing") << QStringList{"route", "2"} << 1 << "route needs";
    QTest::newRow("input word") << QStringList{"route", "2", "last"} << 1 << "\"last\"";
    QTest::newRow("mask not hex") << QStringList{"utp", "G"} << 1 << "\"G\"";
    QTest::newRow("address field") << QStringList{"ip", "300.1.1.1"} << 1 << "300.1.1.1";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 1 << "\"frobnicate\"";
    QTest::newRow("unknown option") << QStringList{"--bogus", "status"} << 1 << "--bogus";
    QTest::newRow("timeout zero") << QStringList{"--timeout", "0", "status"} << 1 << "\"0\"";
    QTest::newRow("poll for status") << QStringList{"--poll", "5", "status"} << 1 << "monitor";
    QTest::newRow("port junk") << QStringList{"--port", "COM11", "status"} << 1 << "COM11";
    QTest::newRow("options only") << QStringList{"--json"} << 1 << "no command";
    QTest::newRow("send nothing") << QStringList{"send"} << 1 << "send needs";
    QTest::newRow("missing device")
        << QStringList{"--port", "/dev/varnok-absent", "status"} << 2 << "/dev/varnok-absent";
    QTest::newRow("nothing listens")
        << QStringList{"--port", "tcp://127.0.0.1:1", "status"} << 2 << "refused";
    QTest::newRow("recall unknown preset")
        << QStringList{"preset", "recall", "Nope"} << 1 << "\"Nope\"";
    QTest::newRow("delete unknown preset")
        << QStringList{"preset", "delete", "Nope"} << 1 << "Nope";
    QTest::newRow("preset without name") << QStringList{"preset", "save"} << 1 << "NAME";
    QTest::newRow("preset name too long")
        << QStringList{"preset", "save", QString(33, QLatin1Char('p'))} << 1 << "32 characters";
    QTest::newRow("name out of range") << QStringList{"name", "output", "5", "X"} << 1 << "\"5\"";
    QTest::newRow("single-dash typo") << QStringList{"-json", "status"} << 1 << "\"-json\"";
    QTest::newRow("-v") << QStringList{"-v"} << 1 << "\"-v\"";
    QTest::newRow("-p") << QStringList{"-p", "COM1", "status"} << 1 << "\"-p\"";
    QTest::newRow("send beyond Latin-1")
        << QStringList{"send", "h\u00e9llo\u20ac"} << 1 << "U+20AC";
    QTest::newRow("send two commands") << QStringList{"send", "bc\r\ncir 00"} << 1 << "line end";
    QTest::newRow("connect never completes")
        << QStringList{"--timeout", "300", "--port", fullListener(), "status"} << 2
        << "no connection within 300 ms";
    QTest::newRow("help") << QStringList{"--help"} << 0 << QString();
    QTest::newRow("version") << QStringList{"--version"} << 0 << QString();
}

void TestCommandLine::refusedBeforeAnythingIsSent()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, named);

    QVERIFY(!startSim(false, {}).isEmpty());
    const Result result = runVarnok(arguments);
    QCOMPARE(result.exitCode, exitCode);
    if (exitCode == 0) {
        // No display was there to connect to, and no file was written.
        QVERIFY(result.err.isEmpty());
        QVERIFY(QRegularExpression(QStringLiteral("^(Usage:\n.*varnok \\[OPTIONS\\] monitor .*|"
                                                  "varnok \\d+\\.\\d+\\.\\d+\n)$"),
                                   QRegularExpression::DotMatchesEverythingOption)
                    .match(QString::fromUtf8(result.out))
                    .hasMatch());
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("state"))));
    } else {
        QVERIFY2(result.err.startsWith("varnok: ") && result.err.contains(named.toUtf8()),
                 result.err.constData());
        QVERIFY(result.out.isEmpty());
    }
    QVERIFY(sentBytes().isEmpty());
    QVERIFY(!simLog().contains("<- "));
}

void TestCommandLine::monitorFollowsTheFrontPanel_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<bool>("switchGoesAway");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("pty, until SIGTERM") << false << false << 0;
    QTest::newRow("pty, until the line hangs up") << false << true << 2;
    QTest::newRow("tcp, until SIGTERM") << true << false << 0;
    QTest::newRow("tcp, until the far end closes") << true << true << 2;
}

void TestCommandLine::monitorFollowsTheFrontPanel()
{
    QFETCH(bool, tcp);
    QFETCH(bool, switchGoesAway);
    QFETCH(int, exitCode);

    const QString port = startSim(tcp, {"--front-panel", "0.05"});
    QVERIFY(!port.isEmpty());
    const std::unique_ptr<QProcess> monitor =
        startVarnok({QStringLiteral("--port"), port, QStringLiteral("monitor")});
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += monitor->readAllStandardOutput()).count('\n') >= 3,
                             patienceMs);

    // Each line printed is a change the simulator made, in the order it made them.
    QStringList changes;
    for (const QByteArray& line : simLog().split('\n')) {
        static const QRegularExpression change(
            QStringLiteral("^\\*\\* front panel: output (\\d) to input (\\d)$"));
        const QRegularExpressionMatch match = change.match(QString::fromLatin1(line));
        if (match.hasMatch())
            changes << QStringLiteral("HDMI Out%1 -> HDMI In %2")
                           .arg(match.captured(1))
                           .arg(match.captured(2).toInt() + 1);
    }
    const QStringList printed = QString::fromLatin1(out).split(QLatin1Char('\n')).mid(0, 3);
    const qsizetype first = changes.indexOf(printed.constFirst());
    QVERIFY2(first >= 0, qPrintable(printed.constFirst()));
    QCOMPARE(changes.mid(first, 3), printed);

    if (switchGoesAway)
        sim->terminate();
    else
        ::kill(pid_t(monitor->processId()), SIGTERM);
    QVERIFY(monitor->waitForFinished(patienceMs));
    QCOMPARE(monitor->exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor->exitCode(), exitCode);
    QCOMPARE(sentBytes(), QByteArrayList()); // it only listens
}

void TestCommandLine::setUpFolderByOption()
{
    // The window and a command started elsewhere both use the folder -C names.
    QVERIFY(!startSim(false, {}).isEmpty() && QDir(dir->path()).mkdir(QStringLiteral("room")) &&
            QFile::link(dir->filePath(QStringLiteral("COM1")), dir->filePath("room/COM1")));
    QFile settings(dir->filePath(QStringLiteral("room/varnok.conf")));
    QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write("[names]\noutput1=Desk\n") > 0 &&
            settings.flush());
    QCOMPARE(runVarnok({"-C", "room", "route", "1", "2"}).out,
             QByteArray("HDMI Out1 -> HDMI In 2  (Desk <- In 2)\n"));
    const std::unique_ptr<QProcess> window =
        startVarnok({"--dir", "room", "-platform", "offscreen"});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir->filePath("room/COMPORT")), patienceMs);
    window->terminate();
    QVERIFY(window->waitForFinished(patienceMs));
}

void TestCommandLine::resultNobodyCanRead()
{
    QVERIFY(!startSim(false, {"--front-panel", "0.05"}).isEmpty());
    const std::unique_ptr<QProcess> full = startVarnok(
        {"status"}, [](QProcess& varnok) { varnok.setStandardOutputFile("/dev/full"); });
    QVERIFY(full->waitForFinished(patienceMs) && full->exitCode() == 4);
    QVERIFY(full->readAllStandardError().contains("No space left on device"));
    // varnok monitor | head -1: ends as SIGPIPE ends any tool, and removes its port's lock file.
    QProcess head;
    const std::unique_ptr<QProcess> monitor = startVarnok(
        {"monitor"}, [&head](QProcess& varnok) { varnok.setStandardOutputProcess(&head); });
    const QByteArray pid = QByteArray::number(monitor->processId());
    head.start(QStringLiteral("head"), {"-n1"});
    QVERIFY(monitor->waitForFinished(patienceMs) && monitor->exitCode() == SIGPIPE);
    const QDir locks(QStringLiteral("/run/lock"));
    for (const QString& name : locks.entryList({"LCK..*"}, QDir::Files)) {
        QFile lock(locks.filePath(name));
        QVERIFY(!lock.open(QIODevice::ReadOnly) || lock.readLine().trimmed() != pid);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
