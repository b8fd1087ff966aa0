// SPDX-License-Identifier: MIT
// The link lost under the console's feet: the far end of the line hangs up (the master side of
// the pseudo-terminal closes, as a USB adapter pulled from its socket does) while the console is
// idle, writing, inside the framing window of a reply, or showing a box. The real serial port
// and the real main window; only the message boxes are recorded instead of shown.
#include "link/serialport.h"
#include "link/switchsession.h"
#include "mainwindowelements.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <vector>

namespace {

const QString portFailureText = QString::fromUtf8("open serial port fail\xEF\xBC\x81 ");

void pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// CPU time (user and system) this process has used so far, in milliseconds.
double cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Runs a plain event loop for `ms` and returns the share of one core it used (1.0 = busy).
// An idle loop sleeps in poll(); a port that keeps reporting errors keeps it spinning.
double cpuShareOfIdleLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double before = cpuMilliseconds();
    loop.exec();
    return (cpuMilliseconds() - before) / static_cast<double>(wall.elapsed());
}

// The switch's end goes away: its side of the line closes, and with our own handle on the
// console's side closed too the device node disappears, as an unplugged adapter's does.
void hangUp(PtyPair& pty)
{
    ::close(pty.master);
    pty.master = -1;
    ::close(pty.slave);
    pty.slave = -1;
}

} // namespace

class TestLostLink : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void portClosesAndSaysSoOnce();
    void hangUpShowsClosedStateAndOneBox_data();
    void hangUpShowsClosedStateAndOneBox();
    void connectsAgainOnceDeviceIsBack();
    void portHeldByAnotherProgramIsNamedSo();
    void plainLockFileIsKeptWhileItsProgramLives_data();
    void plainLockFileIsKeptWhileItsProgramLives();
    void reconnectsByItselfQuietlyUntilDisconnect();

private:
    // `reconnect`: the console's own retries after a lost link.
    void createConsole(bool reconnect = false);
    QString lostText() const
    {
        return QStringLiteral("Connection to the switch lost: %1 was unplugged or hung up")
            .arg(dir->filePath(QStringLiteral("COM1")));
    }
    // Re-points COM1 at a fresh line, as the device coming back under the same name does.
    void plugInNewLine();

    std::unique_ptr<RunFolder> dir;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<MainWindow> window;
    bool insideLinkLost = false;
    bool boxShownInsideLinkLost = false;
    QElapsedTimer sinceHangUp;
    qint64 closedAfterMs = -1;
};

void TestLostLink::init()
{
    dir = std::make_unique<RunFolder>();
    QVERIFY(dir->isEntered());
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->ok());
    QVERIFY(dir->linkCom1(pty->slavePath));
    insideLinkLost = false;
    boxShownInsideLinkLost = false;
    closedAfterMs = -1;
}

void TestLostLink::cleanup()
{
    window.reset();
    boxes.reset();
    port.reset();
    pty.reset();
    dir.reset();
}

void TestLostLink::createConsole(bool reconnect)
{
    port = std::make_unique<SerialPort>();
    boxes = std::make_unique<RecordingMessageBoxes>();
    // Brackets around the window's own handler of the notification (connected in between), so
    // a box shown from inside it is caught.
    connect(port.get(), &Port::linkLost, this, [this] {
        insideLinkLost = true;
        closedAfterMs = sinceHangUp.elapsed();
    });
    // Most cases are about the user's own reconnect: the console's own retries are off there.
    QFile settings(dir->filePath(QStringLiteral("varnok.conf")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(reconnect ? "[link]\nreconnect=true\n" : "[link]\nreconnect=false\n");
    settings.close();
    window = std::make_unique<MainWindow>(*port, *boxes, dir->path());
    connect(port.get(), &Port::linkLost, this, [this] { insideLinkLost = false; });
    boxes->whileOpen = [this](const RecordingMessageBoxes::Box&) {
        if (insideLinkLost)
            boxShownInsideLinkLost = true;
    };
    window->startUp();
}

void TestLostLink::plugInNewLine()
{
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->ok());
    QVERIFY(dir->linkCom1(pty->slavePath));
}

void TestLostLink::portClosesAndSaysSoOnce()
{
    // The port on its own: after the hang-up it is closed, says why once, and acts closed.
    SerialPort serial;
    QVERIFY(serial.open(dir->filePath(QStringLiteral("COM1"))));
    // The switch's line settings, whatever the device had before.
    QCOMPARE(serial.baudRate(), 9600);
    QCOMPARE(serial.dataBits(), QSerialPort::Data8);
    QCOMPARE(serial.parity(), QSerialPort::NoParity);
    QCOMPARE(serial.stopBits(), QSerialPort::OneStop);
    QSignalSpy lost(&serial, &Port::linkLost);
    hangUp(*pty);
    QVERIFY(lost.wait(5000));
    QVERIFY(!serial.isOpen());
    QCOMPARE(cpuShareOfIdleLoop(300) < 0.3, true); // generous: a flood would be near 1.0
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.first().first().toString(),
             dir->filePath(QStringLiteral("COM1")) + QStringLiteral(" was unplugged or hung up"));
    QCOMPARE(serial.readAll(), QByteArray());
    QCOMPARE(serial.bytesAvailable(), qint64(0));
    QVERIFY(!serial.write("bc \r\n"));
}

void TestLostLink::hangUpShowsClosedStateAndOneBox_data()
{
    QTest::addColumn<QString>("moment");
    QTest::newRow("idle") << "idle";
    QTest::newRow("right after a command went out") << "after write";
    QTest::newRow("with a long text still being written") << "long write";
    QTest::newRow("inside the framing window of a reply") << "framing window";
    QTest::newRow("while a box is open") << "box open";
    QTest::newRow("kernel hang-up, as of an unplugged USB adapter") << "vhangup";
}

void TestLostLink::hangUpShowsClosedStateAndOneBox()
{
    QFETCH(QString, moment);
    createConsole();
    QVERIFY(port->isOpen());
    QSignalSpy lost(port.get(), &Port::linkLost);
    QStringList expectedBoxes;

    if (moment == QLatin1String("idle")) {
        sinceHangUp.start();
        hangUp(*pty);
    } else if (moment == QLatin1String("vhangup")) {
        // A USB serial adapter pulled out is hung up by its driver: reads then find the end of
        // the file rather than an error. Only a privileged process may do this to a terminal.
        sinceHangUp.start();
        if (::ioctl(pty->slave, TIOCVHANGUP) != 0)
            QSKIP("hanging up a terminal needs CAP_SYS_ADMIN");
    } else if (moment == QLatin1String("after write")) {
        QTest::mouseClick(statusButton(*window), Qt::LeftButton);
        sinceHangUp.start();
        hangUp(*pty);
    } else if (moment == QLatin1String("long write")) {
        // Far more than the line's buffers take at once: most of it waits in the port.
        sendBox(*window)->setText(QString(256 * 1024, QLatin1Char('x')));
        QTest::mouseClick(sendButton(*window), Qt::LeftButton);
        pump();
        sinceHangUp.start();
        hangUp(*pty);
    } else if (moment == QLatin1String("framing window")) {
        QSignalSpy comm(port.get(), &Port::readyRead);
        QVERIFY(pty->write("s22\r\n"));
        QVERIFY(comm.wait(5000));
        // The window is open now; the line goes before it ends. What the switch said last
        // is still handled.
        sinceHangUp.start();
        hangUp(*pty);
        QTRY_VERIFY_WITH_TIMEOUT(
            !port->isOpen() &&
                receivePane(*window)->text().contains(QStringLiteral("\r\nHDMI Out2 -> HDMI In 3")),
            5000);
        QVERIFY(!routingLamp(*window, 1, 2)->isLit());
    } else {
        // The switch confirms a UTP setting; while its box is open, the line goes.
        expectedBoxes << QStringLiteral("UTP set success!");
        bool closedWhileBoxOpen = false;
        QString captionWhileBoxOpen;
        boxes->whileOpen = [&](const RecordingMessageBoxes::Box& box) {
            if (insideLinkLost)
                boxShownInsideLinkLost = true;
            if (box.text != expectedBoxes.first() || pty->master < 0)
                return;
            sinceHangUp.start();
            hangUp(*pty);
            QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
            closedWhileBoxOpen = true;
            captionWhileBoxOpen = linkButton(*window)->text();
        };
        QVERIFY(pty->write("utp\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(closedWhileBoxOpen, 5000);
        QCOMPARE(captionWhileBoxOpen, QStringLiteral("Connect"));
    }

    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
    QCOMPARE(lost.count(), 1);
    qInfo("port closed %lld ms after the hang-up", static_cast<long long>(closedAfterMs));
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(disconnectedLamp(*window)->isLit());
    QVERIFY(!connectedLamp(*window)->isLit());
    QCOMPARE(linkButton(*window)->toolTip(), lostText());

    // The user is told once, after the notification has been handled; the event loop then has
    // nothing to do. The bound is generous: a port left reporting its error spins a whole core.
    const double share = cpuShareOfIdleLoop(1000);
    qInfo("CPU in the second after the hang-up: %.1f %% of one core", share * 100.0);
    QVERIFY2(share < 0.3, qPrintable(QString::number(share)));
    QVERIFY(!boxShownInsideLinkLost);
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port->isOpen());
    // The text names what was lost in words a user can act on, not the last failed call.
    expectedBoxes << lostText();
    QCOMPARE(boxes->texts(), expectedBoxes);
    QCOMPARE(boxes->shown.last().title, QStringLiteral("ERROR"));
    QCOMPARE(boxes->shown.last().owner, window.get());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
}

void TestLostLink::connectsAgainOnceDeviceIsBack()
{
    createConsole();
    QSignalSpy lost(port.get(), &Port::linkLost);
    hangUp(*pty);
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 1, 5000);
    QCOMPARE(boxes->shown[0].text, lostText());

    // Still gone: the link button says the port cannot be opened and changes nothing.
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].text, portFailureText);
    QVERIFY(!port->isOpen());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));

    // Back under the same name: one press connects, and both directions work again.
    plugInNewLine();
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(port->isOpen());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Disconnect"));
    QVERIFY(connectedLamp(*window)->isLit());
    QVERIFY(!disconnectedLamp(*window)->isLit());
    QCOMPARE(linkButton(*window)->toolTip(), QString());
    // The open asks for the routing; Status asks again.
    QCOMPARE(pty->read(5, 5000, pump), QByteArray::fromHex("6263200D0A"));
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QCOMPARE(pty->read(5, 5000, pump), QByteArray::fromHex("6263200D0A"));
    QVERIFY(pty->write("s10\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 0, 0)->isLit(), 5000);
    QVERIFY(receivePane(*window)->text().endsWith(QStringLiteral("HDMI Out1 -> HDMI In 1")));

    // And a second loss is reported like the first.
    hangUp(*pty);
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 3, 5000);
    QCOMPARE(boxes->shown[2].text, lostText());
    QCOMPARE(lost.count(), 2);
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(disconnectedLamp(*window)->isLit());
}

void TestLostLink::portHeldByAnotherProgramIsNamedSo()
{
    // By any name of the line, the lock on the device stops the open (root ignores TIOCEXCL).
    QVERIFY(QFile::link(pty->slavePath, dir->filePath(QStringLiteral("COM2"))));
    SerialPort first;
    QVERIFY(first.open(dir->filePath(QStringLiteral("COM1"))));
    const QString holder = QStringLiteral(" is in use by tst_lostlink (process %1).")
                               .arg(QCoreApplication::applicationPid());
    for (const QString& name : {dir->filePath(QStringLiteral("COM1")),
                                dir->filePath(QStringLiteral("COM2")), pty->slavePath}) {
        SerialPort second;
        QVERIFY(!second.open(name));
        const QString via = name == pty->slavePath ? name : name + " (" + pty->slavePath + ")";
        QCOMPARE(second.errorString(), via + holder);
    }
    QVERIFY(first.isOpen());
}

void TestLostLink::plainLockFileIsKeptWhileItsProgramLives_data()
{
    QTest::addColumn<bool>("alive");
    QTest::newRow("its program runs") << true;
    QTest::newRow("its program ended") << false;
}

void TestLostLink::plainLockFileIsKeptWhileItsProgramLives()
{
    QFETCH(bool, alive);
    QProcess program;
    program.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(program.waitForStarted());
    const qint64 pid = program.processId();
    const auto stop = [&program] {
        program.kill();
        program.waitForFinished();
    };
    const auto stopAtEnd = qScopeGuard(stop);
    if (!alive)
        stop(); // its number stays unused for a while
    // As uucp, minicom and lockdev write it, where the serial port library looks first.
    QString lock;
    for (const char* folder :
         {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"}) {
        if (QFileInfo(QLatin1String(folder)).isWritable()) {
            lock = QLatin1String(folder) + QStringLiteral("/LCK..") +
                   pty->slavePath.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
            break;
        }
    }
    QFile file(lock);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray plain = QString::asprintf("%10lld\n", pid).toLatin1();
    file.write(plain);
    file.close();
    const auto removeLock = qScopeGuard([&lock] { QFile::remove(lock); });

    SerialPort line;
    QCOMPARE(line.open(pty->slavePath), !alive);
    if (alive) {
        QCOMPARE(line.errorString(),
                 pty->slavePath + QStringLiteral(" is in use by a program (process %1).").arg(pid));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), plain);
    }
}

void TestLostLink::reconnectsByItselfQuietlyUntilDisconnect()
{
    createConsole(true);
    QSignalSpy retries(window->findChild<QTimer*>(QStringLiteral("reconnectTimer")),
                       &QTimer::timeout);
    QCOMPARE(pty->read(5, 5000, pump), QByteArray("bc \r\n"));
    hangUp(*pty);
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
    // Another program is given the pseudo-terminal number COM1 still leads to.
    std::vector<std::unique_ptr<PtyPair>> others;
    while (others.size() < 32 && (others.empty() || others.back()->slavePath != pty->slavePath))
        others.push_back(std::make_unique<PtyPair>());
    if (others.back()->slavePath != pty->slavePath)
        QSKIP("the pseudo-terminal number went to another process");
    pty = std::move(others.back());
    QTRY_COMPARE_WITH_TIMEOUT(boxes->texts(), QStringList{lostText()}, 5000);
    // Still switched on: the red lamp says the line is down, the button can stop the retries.
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Disconnect"));
    QVERIFY(disconnectedLamp(*window)->isLit());

    // Trying a device that is not there, twice a second, costs next to nothing.
    const double share = cpuShareOfIdleLoop(1000);
    qInfo("CPU while retrying: %.1f %% of one core", share * 100.0);
    QVERIFY2(share < 0.05, qPrintable(QString::number(share)));
    // COM1 leads to another program's line now: never opened, however often tried.
    QTRY_VERIFY_WITH_TIMEOUT(retries.count() >= 3, 5000);
    QVERIFY(!port->isOpen());
    QCOMPARE(pty->read(1, 50, pump), QByteArray());

    // COM1 pointed anew (at the same number): reopened, routing asked for, no further box.
    QVERIFY(dir->linkCom1(pty->slavePath));
    QElapsedTimer back;
    back.start();
    QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), 2000);
    qInfo("reopened %lld ms after the line came back", static_cast<long long>(back.elapsed()));
    QCOMPARE(pty->read(5, 5000, pump), QByteArray("bc \r\n"));
    QVERIFY(pty->write("\r\ns13s22s31s40\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 0, 3)->isLit(), 2000);
    QVERIFY(routingLamp(*window, 3, 0)->isLit());
    QVERIFY(connectedLamp(*window)->isLit());
    QCOMPARE(boxes->shown.size(), 1);

    // Lost again, and the user says Disconnect: the console stays closed though the line
    // comes back.
    hangUp(*pty);
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 2, 5000);
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QCOMPARE(boxes->shown.size(), 2);
    plugInNewLine();
    cpuShareOfIdleLoop(3 * SwitchSession::retryIntervalMs);
    QVERIFY(!port->isOpen());
    QCOMPARE(pty->read(1, 100, pump), QByteArray());
}

QTEST_MAIN(TestLostLink)
#include "tst_lostlink.moc"
