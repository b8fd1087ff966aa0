// SPDX-License-Identifier: MIT
// The real varnok-sim binary, driven through its pseudo-terminal as the console would drive it.

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int patienceMs = 10000; // waiting only; nothing is asserted about speed

bool isSymLink(const QString& path)
{
    struct stat st
    {
    };
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool pathExists(const QString& path)
{
    struct stat st
    {
    };
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QByteArray withoutHighBytes(const QByteArray& bytes)
{
    QByteArray kept;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80)
            kept += c;
    }
    return kept;
}

// The console's side of the line: the linked slave, raw, no echo, non-blocking.
class Client
{
public:
    explicit Client(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return;
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    ~Client()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool isOpen() const { return m_fd >= 0; }

    bool send(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads until `enough` says so, the line hangs up or the time is up. Each successful read
    // is one element of `chunks`.
    QByteArray readUntil(const std::function<bool(const QByteArray&)>& enough, int timeoutMs)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (!enough(got) && !m_hungUp) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                break;
            pollfd pfd{m_fd, POLLIN, 0};
            if (poll(&pfd, 1, int(left)) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                got.append(buffer, n);
                chunks.append(QByteArray(buffer, n));
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                m_hungUp = true;
            } else if (pfd.revents & (POLLHUP | POLLERR)) {
                m_hungUp = true;
            }
        }
        return got;
    }

    QByteArray read(qsizetype count, int timeoutMs = patienceMs)
    {
        return readUntil([count](const QByteArray& got) { return got.size() >= count; }, timeoutMs);
    }

    // Everything arriving within the given time.
    QByteArray drain(int ms)
    {
        return readUntil([](const QByteArray&) { return false; }, ms);
    }

    bool hungUp() const { return m_hungUp; }

    QList<QByteArray> chunks;

private:
    int m_fd = -1;
    bool m_hungUp = false;
};

// One run of varnok-sim in a fresh directory.
class SimRun
{
public:
    explicit SimRun(const QStringList& arguments)
    {
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProgram(QStringLiteral(VARNOK_SIM_PATH));
        m_process.setArguments(arguments);
    }
    ~SimRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(patienceMs);
        }
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString link() const { return path(QStringLiteral("COM1")); }
    QProcess& process() { return m_process; }

    // Starts the simulator and waits for its link to lead to a terminal.
    bool start(const QString& link = {})
    {
        const QString expected = link.isEmpty() ? this->link() : link;
        m_process.start();
        if (!m_process.waitForStarted(patienceMs))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < patienceMs) {
            if (isSymLink(expected) &&
                QFileInfo(expected).symLinkTarget().startsWith("/dev/pts/") &&
                QFileInfo::exists(expected))
                return true;
            if (m_process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return false;
    }

    std::unique_ptr<Client> connect(const QString& link = {})
    {
        return std::make_unique<Client>(link.isEmpty() ? this->link() : link);
    }

    // Sends SIGTERM and returns everything logged.
    QByteArray stop()
    {
        m_process.terminate();
        m_process.waitForFinished(patienceMs);
        return m_process.readAllStandardOutput();
    }

    bool waitForExit()
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(patienceMs);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

QByteArrayList splitLog(const QByteArray& log)
{
    return log.split('\n');
}

} // namespace

class TestSimLine : public QObject
{
    Q_OBJECT

private slots:
    void conversation_data();
    void conversation();
    void splitWrites();
    void mergedWrites();
    void reopenKeepsLine();
    void delay();
    void silent();
    void dribble();
    void noise();
    void hangupAfter();
    void frontPanel();
    void logLines();
    void signalRemovesLink_data();
    void signalRemovesLink();
    void customLink();
    void staleLinkReplaced();
    void otherFileLeftAlone();
    void badOptions_data();
    void badOptions();
    void helpDocumentsEverything();
};

void TestSimLine::conversation_data()
{
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QList<QByteArray>>("replies");

    using L = QList<QByteArray>;
    QTest::newRow("key") << L{"cir 59\r\n"} << L{"s22\r\n"};
    QTest::newRow("status") << L{"bc \r\n"} << L{"\r\ns10s21s32s43\r\n"};
    QTest::newRow("status without blank") << L{"bc\r\n"} << L{"\r\ns10s21s32s43\r\n"};
    QTest::newRow("utp query") << L{"rup \r\n"} << L{"ust00\r\n"};
    QTest::newRow("utp set then query") << L{"utp 5\r\n", "rup \r\n"} << L{"utp\r\n", "ust05\r\n"};
    QTest::newRow("dhcp") << L{"dhc\r\n"} << L{"Ack\r\n"};
    QTest::newRow("fixed address") << L{"sip C0 A8 1 A\r\n"} << L{"Ack\r\n"};
    QTest::newRow("malformed address") << L{"sip C0 A8 1\r\n"} << L{"ERR sip\r\n"};
    QTest::newRow("unknown key") << L{"cir 00\r\n", "bc \r\n"}
                                 << L{"ERR key\r\n", "\r\ns10s21s32s43\r\n"};
    QTest::newRow("unknown command") << L{"hello\r\n"} << L{"ERR unknown\r\n"};
    QTest::newRow("arrows wrap") << L{"cir 57\r\n", "cir 41\r\n", "cir 51\r\n", "cir 40\r\n",
                                      "bc \r\n"}
                                 << L{"s13\r\n", "s10\r\n", "s43\r\n", "s40\r\n",
                                      "\r\ns10s21s32s40\r\n"};
}

void TestSimLine::conversation()
{
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QList<QByteArray>, replies);
    SimRun sim({QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->isOpen());
    for (qsizetype i = 0; i < commands.size(); ++i) {
        QVERIFY(client->send(commands[i]));
        QCOMPARE(client->read(replies[i].size()), replies[i]);
    }
    QCOMPARE(client->drain(200), QByteArray());
}

void TestSimLine::splitWrites()
{
    SimRun sim({QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("ci"));
    QTest::qWait(100);
    QVERIFY(client->send("r 5"));
    QCOMPARE(client->drain(300), QByteArray()); // no line end yet: no answer
    QVERIFY(client->send("9\r"));
    QTest::qWait(100);
    QVERIFY(client->send("\nbc"));
    QTest::qWait(100);
    QVERIFY(client->send(" \r\n"));
    const QByteArray expected("s22\r\n\r\ns10s22s32s43\r\n");
    QCOMPARE(client->read(expected.size()), expected);
    QCOMPARE(client->drain(200), QByteArray());
}

void TestSimLine::mergedWrites()
{
    SimRun sim({QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("cir 59\r\nutp F\r\nrup \r\nbc \r\n"));
    const QByteArray expected("s22\r\nutp\r\nust0F\r\n\r\ns10s22s32s43\r\n");
    QCOMPARE(client->read(expected.size()), expected);
    QCOMPARE(client->drain(200), QByteArray());
}

// The console closes and reopens its port; the line must survive that, routing included.
void TestSimLine::reopenKeepsLine()
{
    SimRun sim({QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    {
        const auto client = sim.connect();
        QVERIFY(client->send("cir 0D\r\n"));
        QCOMPARE(client->read(5), QByteArray("s13\r\n"));
    }
    const auto again = sim.connect();
    QVERIFY(again->isOpen());
    QVERIFY(again->send("bc \r\n"));
    QCOMPARE(again->read(16), QByteArray("\r\ns13s21s32s43\r\n"));
    QVERIFY(!again->hungUp());
    QCOMPARE(sim.process().state(), QProcess::Running);
}

void TestSimLine::delay()
{
    SimRun sim({QStringLiteral("--delay"), QStringLiteral("800")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(client->send("rup \r\n"));
    const QByteArray reply = client->read(7);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(reply, QByteArray("ust00\r\n"));
    // Only "not before": how much later it comes depends on the machine.
    QVERIFY2(elapsed >= 600, qPrintable(QStringLiteral("answered after %1 ms").arg(elapsed)));
}

void TestSimLine::silent()
{
    SimRun sim({QStringLiteral("--silent")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("bc \r\n"));
    QVERIFY(client->send("cir 59\r\n"));
    QCOMPARE(client->drain(1000), QByteArray());
    // It did hear them: the commands are logged as received.
    const QByteArrayList lines = splitLog(sim.stop());
    QVERIFY2(lines.contains("<- cir 59"), lines.join('\n').constData());
    QVERIFY(lines.contains("<- bc "));
}

void TestSimLine::dribble()
{
    SimRun sim({QStringLiteral("--dribble"), QStringLiteral("60")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("bc \r\n"));
    const QByteArray expected("\r\ns10s21s32s43\r\n");
    QCOMPARE(client->read(expected.size()), expected);
    // In one piece this would be a single read.
    QVERIFY2(client->chunks.size() >= 4,
             qPrintable(QStringLiteral("%1 reads").arg(client->chunks.size())));
}

void TestSimLine::noise()
{
    SimRun sim({QStringLiteral("--noise"), QStringLiteral("--seed"), QStringLiteral("5"),
                QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    const QList<QPair<QByteArray, QByteArray>> exchanges = {
        {"cir 59\r\n", "s22\r\n"},
        {"rup \r\n", "ust00\r\n"},
        {"bc \r\n", "\r\ns10s22s32s43\r\n"},
    };
    for (const auto& [command, reply] : exchanges) {
        QVERIFY(client->send(command));
        const qsizetype want = reply.size();
        QByteArray got = client->readUntil(
            [want](const QByteArray& bytes) { return withoutHighBytes(bytes).size() >= want; },
            patienceMs);
        got += client->drain(150);
        QCOMPARE(withoutHighBytes(got), reply);
        QVERIFY2(got.size() > reply.size(), command.constData());
    }
}

void TestSimLine::hangupAfter()
{
    SimRun sim({QStringLiteral("--hangup-after"), QStringLiteral("3")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("rup \r\n"));
    QCOMPARE(client->read(7), QByteArray("ust00\r\n"));
    QVERIFY(client->send("dhc\r\n"));
    QCOMPARE(client->read(5), QByteArray("Ack\r\n"));
    QVERIFY(!client->hungUp());

    QVERIFY(client->send("bc \r\n"));
    client->drain(patienceMs); // ends early on the hang-up
    QVERIFY(client->hungUp());
    QVERIFY(sim.waitForExit());
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
    QVERIFY(!pathExists(sim.link()));
}

void TestSimLine::frontPanel()
{
    SimRun sim({QStringLiteral("--front-panel"), QStringLiteral("0.3"), QStringLiteral("--initial"),
                QStringLiteral("0123"), QStringLiteral("--seed"), QStringLiteral("11")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    // Nothing is sent to it: the report is unsolicited.
    const QByteArray report = client->read(5);
    QVERIFY2(QRegularExpression(QStringLiteral("^s[1-4][0-3]\r\n$"))
                 .match(QString::fromLatin1(report))
                 .hasMatch(),
             report.constData());
    // The first change moves an output away from the input it started on (output n on n - 1).
    QVERIFY(report[2] - '0' != report[1] - '1');
    const QByteArrayList lines = splitLog(sim.stop());
    QVERIFY(std::any_of(lines.begin(), lines.end(),
                        [](const QByteArray& line) { return line.startsWith("** front panel"); }));
}

void TestSimLine::logLines()
{
    SimRun sim({QStringLiteral("--initial"), QStringLiteral("0123")});
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("cir 59\r\n"));
    QCOMPARE(client->read(5), QByteArray("s22\r\n"));
    QVERIFY(client->send("\x01x\\\r\n"));
    QCOMPARE(client->read(13), QByteArray("ERR unknown\r\n"));
    QVERIFY(client->send("bc\r\n"));
    QCOMPARE(client->read(16), QByteArray("\r\ns10s22s32s43\r\n"));
    const QByteArrayList lines = splitLog(sim.stop());
    const QByteArrayList expected = {
        "<- cir 59",     "-> s22\\r\\n",
        "<- \\x01x\\\\", "-> ERR unknown\\r\\n",
        "<- bc",         "-> \\r\\ns10s22s32s43\\r\\n",
    };
    const qsizetype first = lines.indexOf(expected.first());
    QVERIFY2(first >= 0, lines.join('\n').constData());
    QCOMPARE(lines.mid(first, expected.size()), expected);
}

void TestSimLine::signalRemovesLink_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSimLine::signalRemovesLink()
{
    QFETCH(int, signal);
    SimRun sim({});
    QVERIFY(sim.start());
    const auto client = sim.connect(); // a connected console must not keep the link alive
    QVERIFY(client->isOpen());
    QCOMPARE(::kill(pid_t(sim.process().processId()), signal), 0);
    QVERIFY(sim.waitForExit());
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
    QVERIFY(!pathExists(sim.link()));
}

void TestSimLine::customLink()
{
    SimRun sim({});
    const QString link = sim.path(QStringLiteral("serial-a"));
    sim.process().setArguments({QStringLiteral("--link"), link});
    QVERIFY(sim.start(link));
    QVERIFY(!pathExists(sim.link()));
    const auto client = sim.connect(link);
    QVERIFY(client->send("rup\r\n"));
    QCOMPARE(client->read(7), QByteArray("ust00\r\n"));
    sim.stop();
    QVERIFY(!pathExists(link));
}

void TestSimLine::staleLinkReplaced()
{
    SimRun sim({});
    QVERIFY(QFile::link(sim.path(QStringLiteral("gone/pts/99")), sim.link()));
    QVERIFY(isSymLink(sim.link()));
    QVERIFY(sim.start());
    const auto client = sim.connect();
    QVERIFY(client->send("dhc\r\n"));
    QCOMPARE(client->read(5), QByteArray("Ack\r\n"));
}

void TestSimLine::otherFileLeftAlone()
{
    SimRun sim({});
    {
        QFile file(sim.link());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me\n");
    }
    QVERIFY(!sim.start());
    QVERIFY(sim.waitForExit());
    QVERIFY(sim.process().exitCode() != 0);
    QFile file(sim.link());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me\n"));
}

void TestSimLine::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("delay not a number") << QStringList{"--delay", "soon"};
    QTest::newRow("negative delay") << QStringList{"--delay", "-1"};
    QTest::newRow("dribble 0") << QStringList{"--dribble", "0"};
    QTest::newRow("hangup after 0") << QStringList{"--hangup-after", "0"};
    QTest::newRow("front panel 0") << QStringList{"--front-panel", "0"};
    QTest::newRow("front panel text") << QStringList{"--front-panel", "often"};
    QTest::newRow("initial input 4") << QStringList{"--initial", "0124"};
    QTest::newRow("initial too short") << QStringList{"--initial", "012"};
    QTest::newRow("seed negative") << QStringList{"--seed", "-3"};
    QTest::newRow("unknown option") << QStringList{"--bogus"};
    QTest::newRow("stray argument") << QStringList{"COM2"};
}

void TestSimLine::badOptions()
{
    QFETCH(QStringList, arguments);
    SimRun sim(arguments);
    sim.process().start();
    QVERIFY(sim.waitForExit());
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QVERIFY(sim.process().exitCode() != 0);
    QVERIFY(!sim.process().readAllStandardError().isEmpty());
    QVERIFY(!pathExists(sim.link()));
}

void TestSimLine::helpDocumentsEverything()
{
    SimRun sim({QStringLiteral("--help")});
    sim.process().start();
    QVERIFY(sim.waitForExit());
    QCOMPARE(sim.process().exitCode(), 0);
    const QByteArray help = sim.process().readAllStandardOutput();
    for (const char* text :
         {"--link", "--delay", "--silent", "--dribble", "--noise", "--hangup-after",
          "--front-panel", "--initial", "--seed", "ERR key", "ERR cir", "ERR utp", "ERR sip",
          "ERR bc", "ERR rup", "ERR dhc", "ERR long", "ERR unknown"}) {
        QVERIFY2(help.contains(text), text);
    }
}

QTEST_GUILESS_MAIN(TestSimLine)
#include "tst_sim_line.moc"
