// SPDX-License-Identifier: MIT
// varnokd between varnok-sim and several controllers on 127.0.0.1: reports reach everyone, a
// client that floods or never reads holds nobody back, clients outlive a lost line, a reload
// keeps unchanged switches and tells what it added, systemd hears the status and the watchdog,
// and --check names each fault with its line.
#include "link/anyport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int patienceMs = 5000; // waiting only; nothing is asserted about speed

// A child process stopped and reaped with its owner.
struct Child
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray out; // everything it wrote so far, stdout and stderr merged
    ~Child()
    {
        process->terminate();
        process->waitForFinished(patienceMs);
    }
    QByteArray output()
    {
        out += process->readAll();
        return out;
    }
    // Waits for `pattern` in the output; its first capture, or null when it never came.
    QString waitFor(const QString& pattern)
    {
        const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
        QRegularExpressionMatch match;
        (void)QTest::qWaitFor(
            [&] { return (match = expression.match(QString::fromUtf8(output()))).hasMatch(); },
            patienceMs);
        return match.hasMatch() ? match.captured(1) : QString();
    }
};

QByteArray readAnswer(QTcpSocket& socket, const QByteArray& until)
{
    QByteArray got;
    (void)QTest::qWaitFor([&] { return (got += socket.readAll()).contains(until); }, patienceMs);
    return got;
}

} // namespace

class TestService : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reportsReachEveryController();
    void journalHearsWhoChangedWhat();
    void floodingClientHoldsNobodyBack();
    void clientsOutliveLostLine();
    void onlyWholeLinesReachTheLine();
    void reloadKeepsUnchangedSwitch();
    void checkNamesEachFault_data();
    void checkNamesEachFault();
    void oneLineAStreak_data();
    void oneLineAStreak();

private:
    // varnok-sim --listen 127.0.0.1:0 with `arguments`; its "tcp://127.0.0.1:P".
    QString startSim(const QStringList& arguments = {});
    // Writes the configuration and starts varnokd on it; the port each switch listens on.
    std::map<QString, quint16> startService(const QString& config, const QStringList& ids);
    QString writeConfig(const QString& text);
    // One switch, hall, on `port`, not polled; the port its TCP front listens on.
    quint16 startHall(const QString& port);
    Child& startVarnok(const QStringList& arguments);

    std::unique_ptr<RunFolder> dir;
    std::list<Child> children;
    std::vector<Child*> sims; // in the order started
    Child* service = nullptr;
    QString configPath;
    QProcessEnvironment serviceEnvironment;
    bool asSystemdStarts = false;
};

void TestService::init()
{
    dir = std::make_unique<RunFolder>();
    QVERIFY(dir->isEntered());
    configPath = dir->filePath(QStringLiteral("varnokd.conf"));
    serviceEnvironment = QProcessEnvironment::systemEnvironment();
    asSystemdStarts = false;
}

void TestService::cleanup()
{
    if (service) {
        service->process->terminate();
        QVERIFY(service->process->waitForFinished(patienceMs));
        QCOMPARE(service->process->exitCode(), 0);
    }
    service = nullptr;
    sims.clear();
    children.clear();
    dir.reset();
}

QString TestService::startSim(const QStringList& arguments)
{
    Child& sim = children.emplace_back();
    sims.push_back(&sim);
    sim.process->start(QStringLiteral(VARNOK_SIM_PATH),
                       QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                           arguments);
    const QString port = sim.waitFor(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)$"));
    return port.isNull() ? QString() : QStringLiteral("tcp://") + port;
}

QString TestService::writeConfig(const QString& text)
{
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(QString(text).replace(QStringLiteral("%DIR%"), dir->path()).toUtf8());
    return configPath;
}

std::map<QString, quint16> TestService::startService(const QString& config, const QStringList& ids)
{
    writeConfig(config);
    Child& daemon = children.emplace_back();
    QProcessEnvironment environment = serviceEnvironment;
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir->filePath(QStringLiteral("state")));
    daemon.process->setProcessEnvironment(environment);
    daemon.process->setProcessChannelMode(QProcess::MergedChannels);
    if (asSystemdStarts) // standard error is the journal's stream, and named so
        daemon.process->start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral(
                 "JOURNAL_STREAM=$(stat -L -c %d:%i /proc/self/fd/2) exec \"$0\" \"$@\""),
             QStringLiteral(VARNOKD_PATH), QStringLiteral("--config"), configPath});
    else
        daemon.process->start(QStringLiteral(VARNOKD_PATH),
                              {QStringLiteral("--config"), configPath});
    service = &daemon;
    std::map<QString, quint16> ports;
    for (const QString& id : ids)
        ports[id] =
            daemon
                .waitFor(
                    QStringLiteral("^(?:<6>)?%1: listening on 127\\.0\\.0\\.1:(\\d+)$").arg(id))
                .toUShort();
    return ports;
}

quint16 TestService::startHall(const QString& port)
{
    return startService(
        QStringLiteral("[hall]\ndir=%DIR%\nport=%1\nlisten=127.0.0.1:0\npoll=0\n").arg(port),
        {QStringLiteral("hall")})[QStringLiteral("hall")];
}

Child& TestService::startVarnok(const QStringList& arguments)
{
    Child& cli = children.emplace_back();
    cli.process->setWorkingDirectory(dir->path());
    cli.process->setProcessChannelMode(QProcess::MergedChannels);
    cli.process->start(QStringLiteral(VARNOK_PATH), arguments);
    return cli;
}

void TestService::reportsReachEveryController()
{
    const QString sim = startSim();
    const quint16 port = startHall(sim);
    QVERIFY(port != 0);
    const QString front = QStringLiteral("tcp://127.0.0.1:%1").arg(port);

    AnyPort windowPort;
    RecordingMessageBoxes boxes;
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("console")));
    MainWindow window(windowPort, boxes, dir->filePath(QStringLiteral("console")));
    window.startUp();
    window.show();
    QComboBox* box = portList(window);
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), front);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QTest::mouseClick(linkButton(window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(window)->isLit(), patienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(window, 1, 1)->isLit(), patienceMs); // as the sim starts

    Child& monitor = startVarnok({QStringLiteral("--port"), front, QStringLiteral("monitor")});
    QVERIFY(monitor.process->waitForStarted(patienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(service->output().contains("(2 client(s))"), patienceMs);
    Child& route = startVarnok({QStringLiteral("--port"), front, QStringLiteral("route"),
                                QStringLiteral("2"), QStringLiteral("3")});
    QVERIFY(route.process->waitForFinished(patienceMs));
    QCOMPARE(route.process->exitCode(), 0);
    QCOMPARE(route.output(), QByteArray("HDMI Out2 -> HDMI In 3\n"));
    // The other two controllers see the switch's report, not the command.
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(window, 1, 2)->isLit(), patienceMs);
    QVERIFY(!routingLamp(window, 1, 1)->isLit());
    QVERIFY(!monitor.waitFor(QStringLiteral("^(HDMI Out2 -> HDMI In 3)$")).isNull());
    QCOMPARE(boxes.shown.size(), 0);
}

void TestService::onlyWholeLinesReachTheLine()
{
    const QString sim = startSim();
    const quint16 port = startHall(sim);
    QVERIFY(port != 0);
    QTcpSocket unfinished, other, closing;
    for (QTcpSocket* client : {&unfinished, &other, &closing}) {
        client->connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(client->waitForConnected(patienceMs));
    }
    QTRY_VERIFY_WITH_TIMEOUT(service->output().contains("(3 client(s))"), patienceMs);
    // A command without its line end never runs into another controller's.
    unfinished.write("cir 1D");
    QVERIFY(unfinished.waitForBytesWritten(patienceMs));
    QTest::qWait(100); // the controllers' own pace, as in a room
    other.write("cir 44\r\n");
    // The routing the service asked for when the line opened may come first.
    const QByteArray answer = readAnswer(other, "s41\r\n");
    QVERIFY2(answer.endsWith("s41\r\n") && !answer.contains("ERR"), answer.constData());
    QVERIFY(!service->waitFor(QStringLiteral("(an unfinished line is not sent)")).isNull());
    QVERIFY(!sims.front()->output().contains("cir 1Dcir"));
    // A controller that closes its sending side still has every command answered.
    closing.write("bc \r\nbc \r\nbc \r\n");
    QVERIFY(closing.waitForBytesWritten(patienceMs));
    QCOMPARE(::shutdown(int(closing.socketDescriptor()), SHUT_WR), 0);
    QByteArray answers;
    QVERIFY(QTest::qWaitFor(
        [&] {
            answers += closing.readAll();
            return closing.state() == QAbstractSocket::UnconnectedState;
        },
        patienceMs));
    answers += closing.readAll();
    QVERIFY2(answers.count("\r\ns10s21s32s41\r\n") == 3,
             (answers.toPercentEncoding() + '\n' + service->output()).constData());
}

void TestService::journalHearsWhoChangedWhat()
{
    const QString sim = startSim({QStringLiteral("--front-panel"), QStringLiteral("0.2")});
    asSystemdStarts = true;
    serviceEnvironment.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8")); // English
    const quint16 port = startHall(sim);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(client.waitForConnected(patienceMs));
    const QString who = QStringLiteral("127.0.0.1:%1").arg(client.localPort());
    client.write("bc \r\ncir 59\r\n"); // a question, then input 3 to output 2
    // Each line with its priority: who asked what, and why the routing changed.
    for (const QString& line :
         {QStringLiteral("<6>hall: %1 asks cir 59").arg(who),
          QStringLiteral("<6>hall: output 2 to input 3, answer to %1").arg(who),
          QStringLiteral("<6>hall: output \\d to input \\d, unasked: the front panel or another "
                         "controller of the switch")})
        QVERIFY2(!service->waitFor(QStringLiteral("^(%1)$").arg(line)).isNull(), service->output());
    sims[0]->process->terminate();
    QVERIFY(!service->waitFor(QStringLiteral("^(<4>hall: tcp://\\S+ closed the connection)$"))
                 .isNull());
    QVERIFY(!service->output().contains("asks bc")); // questions are for debugging only
    // The session log keeps the same.
    QFile session(dir->filePath(QStringLiteral("state/varnok/varnokd-hall.log")));
    QVERIFY(session.open(QIODevice::ReadOnly));
    const QByteArray kept = session.readAll();
    QVERIFY(kept.contains(" ! " + who.toLatin1() + " asks cir 59\n"));
    QVERIFY(kept.contains(" ! output 2 to input 3, answer to " + who.toLatin1() + "\n"));
}

void TestService::floodingClientHoldsNobodyBack()
{
    const QString sim = startSim();
    const quint16 port = startHall(sim);
    QTRY_VERIFY_WITH_TIMEOUT(sims[0]->output().contains("<- bc "), patienceMs);

    // Queues the most a client may and never reads a byte of what comes back.
    QTcpSocket flooder;
    flooder.setReadBufferSize(1);
    flooder.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(flooder.waitForConnected(patienceMs));
    flooder.write(QByteArray("bc \r\n").repeated(32));
    QVERIFY(flooder.waitForBytesWritten(patienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(sims[0]->output().count("<- bc ") >= 2, patienceMs);

    Child& route =
        startVarnok({QStringLiteral("--port"), QStringLiteral("tcp://127.0.0.1:%1").arg(port),
                     QStringLiteral("route"), QStringLiteral("2"), QStringLiteral("3")});
    QVERIFY(route.process->waitForFinished(patienceMs));
    QVERIFY2(route.process->exitCode() == 0,
             route.output() + service->output() + sims[0]->output());
    // Taking turns, the route went out right after the flooder's command then on the line.
    const QByteArray simLog = sims[0]->output();
    const QByteArray beforeRoute = simLog.left(simLog.indexOf("<- cir 59"));
    QVERIFY2(beforeRoute.count("<- bc ") <= 4, beforeRoute.constData());
    QTRY_COMPARE_WITH_TIMEOUT(sims[0]->output().count("<- bc "), 33, patienceMs);
}

void TestService::clientsOutliveLostLine()
{
    // Each connection to the switch ends after two commands: the service's own status request
    // and one route.
    const QString sim = startSim({QStringLiteral("--hangup-after"), QStringLiteral("2")});
    const quint16 port = startHall(sim);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(client.waitForConnected(patienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(sims[0]->output().contains("<- bc "), patienceMs);
    client.write("cir 59\r\n");
    QVERIFY(readAnswer(client, "s22\r\n").endsWith("s22\r\n"));
    QVERIFY(
        !service->waitFor(QStringLiteral("^hall: (tcp://\\S+ closed the connection)")).isNull());
    QVERIFY(!service->waitFor(QStringLiteral("^hall: (tcp://\\S+ is connected again)$")).isNull());

    QCOMPARE(client.state(), QAbstractSocket::ConnectedState);
    client.write("cir 08\r\n"); // input 4 to output 2
    QVERIFY(readAnswer(client, "s23\r\n").endsWith("s23\r\n"));
}

void TestService::reloadKeepsUnchangedSwitch()
{
    const QString first = startSim();
    const QString second = startSim();
    const QString one =
        QStringLiteral("[one]\ndir=%DIR%/one\nport=%1\nlisten=127.0.0.1:0\npoll=0\n").arg(first);
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("one")));
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("two")));
    // systemd's end of the notification socket, and a watchdog asked for.
    const QByteArray socketPath = QFile::encodeName(dir->filePath(QStringLiteral("notify")));
    const int systemd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
    QVERIFY(::bind(systemd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    const auto closeSystemd = qScopeGuard([systemd] { ::close(systemd); });
    QByteArrayList told;
    const auto heard = [&](const QByteArray& message) {
        char buffer[512];
        for (ssize_t size; (size = ::recv(systemd, buffer, sizeof buffer, 0)) > 0;)
            told << QByteArray(buffer, int(size));
        return told.count(message);
    };
    serviceEnvironment.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromUtf8(socketPath));
    serviceEnvironment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("200000"));
    const quint16 onePort = startService(one, {QStringLiteral("one")})[QStringLiteral("one")];
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, onePort);
    QVERIFY(client.waitForConnected(patienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(heard("STATUS=1 switch up, 0 down; 1 TCP controller; 0 web pages"),
                             patienceMs);
    QVERIFY(told.startsWith("READY=1"));
    QTRY_VERIFY_WITH_TIMEOUT(heard("WATCHDOG=1") >= 3, patienceMs); // every 100 ms

    writeConfig(one +
                QStringLiteral("[two]\ndir=%DIR%/two\nport=%1\nlisten=127.0.0.1:0\n").arg(second));
    ::kill(pid_t(service->process->processId()), SIGHUP);
    const quint16 twoPort =
        service->waitFor(QStringLiteral("^two: listening on 127\\.0\\.0\\.1:(\\d+)$")).toUShort();
    QVERIFY(twoPort != 0);
    QTcpSocket other;
    other.connectToHost(QHostAddress::LocalHost, twoPort);
    QVERIFY(other.waitForConnected(patienceMs));
    other.write("cir 1D\r\n"); // input 2 to output 1
    QVERIFY(readAnswer(other, "s11\r\n").endsWith("s11\r\n"));

    // The first switch's client was never dropped, and its line still answers.
    QCOMPARE(client.state(), QAbstractSocket::ConnectedState);
    client.write("cir 59\r\n");
    QVERIFY(readAnswer(client, "s22\r\n").endsWith("s22\r\n"));
    QVERIFY(!service->output().contains("one: changed"));
    QVERIFY(service->output().contains("\ntwo: added\n"));
    QTRY_VERIFY_WITH_TIMEOUT(heard("STATUS=2 switches up, 0 down; 2 TCP controllers; 0 web pages"),
                             patienceMs);
}

void TestService::checkNamesEachFault_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QStringList>("faults"); // each ":LINE: text" as printed after the file name

    const QString head = QStringLiteral("[hall]\ndir=%DIR%\n");
    QTest::newRow("sound") << head + QStringLiteral("listen=127.0.0.1:4001\n") << QStringList();
    QTest::newRow("every key wrong")
        << head + QStringLiteral("listen=localhost:4001\npoll=-1\nport=COM11\ncolour=red\n")
        << QStringList{QStringLiteral(":3: [hall] listen=localhost:4001 is not HOST:PORT"),
                       QStringLiteral(":4: [hall] poll=-1 is not 0 to 86400 seconds"),
                       QStringLiteral(":5: [hall] \"COM11\" is not a port"),
                       QStringLiteral(":6: [hall] unknown key \"colour\"")};
    QTest::newRow("id, folder, address")
        << QStringLiteral("[Hall]\ndir=%DIR%\n\n[stage]\ndir=relative\nlisten=127.0.0.1:70000\n")
        << QStringList{QStringLiteral(":1: [Hall]: a switch's id is"),
                       QStringLiteral(":1: [Hall] listen= is missing"),
                       QStringLiteral(":5: [stage] dir=%DIR%/relative does not exist"),
                       QStringLiteral(":6: [stage] listen=127.0.0.1:70000 is not HOST:PORT")};
    QTest::newRow("two switches, one folder and address")
        << head +
               QStringLiteral("listen=127.0.0.1:4001\n[stage]\ndir=%DIR%\nlisten=127.0.0.1:4001\n")
        << QStringList{QStringLiteral(":5: [stage] dir="),
                       QStringLiteral(":6: [stage] listen=127.0.0.1:4001 is [hall]'s too")};
    QTest::newRow("empty password file, name of two lines' length")
        << QStringLiteral("[mqtt]\nhost=localhost\nuser=room\npassword_file=/dev/null\n") + head +
               QStringLiteral("listen=127.0.0.1:1\nname=%1\n").arg(QString(65, QLatin1Char('x')))
        << QStringList{QStringLiteral(":4: [mqtt] password_file=/dev/null has no password"),
                       QStringLiteral(":8: [hall] name= is not a text of at most 64 characters")};
    QTest::newRow("group twice, panel on a switch's address, faulty switch with a PIN")
        << head + QStringLiteral("listen=127.0.0.1:4001\n[hall]\npoll=5\n[stage]\ndir=%DIR%\n"
                                 "listen=127.0.0.1:4002\nport=COM0\n"
                                 "[web]\nlisten=127.0.0.1:4001\nstage.pin=2468\n")
        << QStringList{
               QStringLiteral(":4: [hall] is given again: write each group once, as line 1"),
               QStringLiteral(":7: [stage] dir=%DIR% is [hall]'s folder too"),
               QStringLiteral(":9: [stage] \"COM0\" is not a port"),
               QStringLiteral(":11: [web] listen=127.0.0.1:4001 is [hall]'s too")};
    QTest::newRow("unknown key of [mqtt]")
        << QStringLiteral("[mqtt]\nhost=localhost\nserver=b\n") + head +
               QStringLiteral("listen=127.0.0.1:1\n")
        << QStringList{QStringLiteral(":3: [mqtt] unknown key \"server\" (host, port, client_id")};
    QTest::newRow("nothing to serve from")
        << QStringLiteral("[hall]\nlisten=127.0.0.1:1\n")
        << QStringList{QStringLiteral(":1: [hall] dir= is missing")};
}

void TestService::checkNamesEachFault()
{
    QFETCH(QString, config);
    QFETCH(QStringList, faults);
    writeConfig(config);
    QProcess check;
    check.start(QStringLiteral(VARNOKD_PATH),
                {QStringLiteral("--check"), QStringLiteral("--config"), configPath});
    QVERIFY(check.waitForFinished(patienceMs));
    QCOMPARE(check.exitCode(), faults.isEmpty() ? 0 : 1);
    const QStringList printed = QString::fromUtf8(check.readAllStandardError())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        QVERIFY2(printed[i].startsWith(
                     configPath + QString(faults[i]).replace(QStringLiteral("%DIR%"), dir->path())),
                 qPrintable(printed[i]));
}

void TestService::oneLineAStreak_data()
{
    QTest::addColumn<QString>("streak");
    QTest::addColumn<QString>("told"); // the line said of it, once
    QTest::newRow("device server dropping each connection")
        << "drops"
        << "hall: tcp://127.0.0.1:\\d+ closed the connection";
    QTest::newRow("client asking on while 32 commands wait")
        << "floods"
        << "hall: 127.0.0.1:\\d+ has 32 commands waiting";
}

void TestService::oneLineAStreak()
{
    QFETCH(QString, streak);
    QFETCH(QString, told);
    // A device server whose serial side is taken (it accepts each connection and closes it), or
    // whose switch is off (it keeps each connection and says nothing).
    QTcpServer device;
    int accepted = 0;
    connect(&device, &QTcpServer::newConnection, &device, [&] {
        while (QTcpSocket* socket = device.nextPendingConnection()) {
            ++accepted;
            if (streak == QLatin1String("drops"))
                socket->close();
        }
    });
    QVERIFY(device.listen(QHostAddress::LocalHost));
    const quint16 front = startHall(QStringLiteral("tcp://127.0.0.1:%1").arg(device.serverPort()));
    QTcpSocket client;
    if (streak == QLatin1String("drops")) {
        // Four connections: the pauses between them grow (0.5, 1, 2 s), the outage told once.
        QTRY_VERIFY_WITH_TIMEOUT(accepted >= 4, 3 * patienceMs);
    } else {
        client.connectToHost(QHostAddress::LocalHost, front);
        QVERIFY(client.waitForConnected(patienceMs));
        // A question every 20 ms for 3 s, each left unanswered for 1 s: every place that frees
        // is taken by the next question, and the one after is refused again.
        int asked = 0;
        QTimer pace;
        connect(&pace, &QTimer::timeout, &client, [&] {
            client.write("bc \r\n");
            if (++asked == 150)
                pace.stop();
        });
        pace.start(20);
        QTRY_VERIFY_WITH_TIMEOUT(!pace.isActive(), 2 * patienceMs);
    }
    const QString log = QString::fromUtf8(service->output());
    QCOMPARE(log.count(QRegularExpression(told)), 1);
    // Listening, open, lost, back, and what the loss left unanswered: not one more a cycle.
    QVERIFY2(log.count(QStringLiteral("\nhall: ")) <= 6, qPrintable(log));
}

QTEST_MAIN(TestService)
#include "tst_service.moc"
