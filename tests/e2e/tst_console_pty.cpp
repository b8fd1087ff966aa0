// SPDX-License-Identifier: MIT
// The console over a real pseudo-terminal: the serial port implementation, the COM1 link in the
// working directory, bytes on the wire both ways.
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Descriptors of this process that lead to `path`.
int openDescriptorsOn(const QString& path)
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot))
        if (QFile::symLinkTarget(fds.filePath(fd)) == path)
            ++count;
    return count;
}

void pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

class TestConsolePty : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void connectsThroughCom1Link();
    void routingButtonPutsKeyCommandOnLine();
    void statusPutsRequestOnLine();
    void routeReportLightsLamp();
    void disconnectClosesLine();

private:
    RunFolder* dir = nullptr;
    PtyPair* pty = nullptr;
    SerialPort* port = nullptr;
    RecordingMessageBoxes* boxes = nullptr;
    MainWindow* window = nullptr;
};

void TestConsolePty::init()
{
    dir = new RunFolder;
    QVERIFY(dir->isEntered());
    pty = new PtyPair;
    QVERIFY(pty->ok());
    QVERIFY(dir->linkCom1(pty->slavePath));
    port = new SerialPort;
    boxes = new RecordingMessageBoxes;
    window = new MainWindow(*port, *boxes, dir->path());
    window->startUp();
    // Every open asks the switch for its routing first.
    QCOMPARE(pty->read(5, 3000, pump), QByteArray::fromHex("6263200D0A"));
}

void TestConsolePty::cleanup()
{
    delete window;
    delete boxes;
    delete port;
    delete pty;
    delete dir;
}

void TestConsolePty::connectsThroughCom1Link()
{
    QVERIFY(boxes->shown.isEmpty());
    QVERIFY(port->isOpen());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Disconnect"));
    QCOMPARE(openDescriptorsOn(pty->slavePath), 2); // ours and the console's
    // The port list tells where COM1 leads: the link in the working directory.
    QCOMPARE(portList(*window)->itemData(0, Qt::ToolTipRole).toString(),
             QDir(dir->path()).absoluteFilePath(QStringLiteral("COM1")));

    // Seen from the line itself: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
    termios t{};
    QCOMPARE(tcgetattr(pty->slave, &t), 0);
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));
    QCOMPARE(cfgetispeed(&t), speed_t(B9600));
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestConsolePty::routingButtonPutsKeyCommandOnLine()
{
    QTest::mouseClick(routingButton(*window, 10), Qt::LeftButton);
    const QByteArray got = pty->read(8, 3000, pump);
    QCOMPARE(got, QByteArray::fromHex("6369722035390D0A"));
    QCOMPARE(pty->read(1, 100, pump), QByteArray()); // nothing more
}

void TestConsolePty::statusPutsRequestOnLine()
{
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QCOMPARE(pty->read(5, 3000, pump), QByteArray::fromHex("6263200D0A"));
}

void TestConsolePty::routeReportLightsLamp()
{
    // The road of one routing change: input 3 of output 2 pressed, the switch answers "s22".
    QTest::mouseClick(routingButton(*window, 10), Qt::LeftButton);
    QCOMPARE(pty->read(8, 3000, pump), QByteArray("cir 59\r\n"));
    QVERIFY(!routingLamp(*window, 1, 2)->isLit());
    QVERIFY(pty->write("s22\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(receivePane(*window)->text(),
                              QStringLiteral("\r\nHDMI Out2 -> HDMI In 3"), 5000);
    QVERIFY(window->findChild<Lamp*>(QStringLiteral("Shape18_2"))->isLit());
    QVERIFY(!routingLamp(*window, 1, 0)->isLit());
}

void TestConsolePty::disconnectClosesLine()
{
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(!port->isOpen());
    QCOMPARE(openDescriptorsOn(pty->slavePath), 1); // only ours is left
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(boxes->shown.isEmpty());
    // Writing now fails and says so; nothing reaches the line.
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(pty->read(1, 200, pump), QByteArray());
    // And the link comes back with the button.
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(port->isOpen());
    QCOMPARE(pty->read(5, 3000, pump), QByteArray("bc \r\n")); // the open's routing request
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QCOMPARE(pty->read(5, 3000, pump), QByteArray("bc \r\n"));
}

QTEST_MAIN(TestConsolePty)
#include "tst_console_pty.moc"
