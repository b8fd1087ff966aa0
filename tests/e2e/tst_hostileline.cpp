// SPDX-License-Identifier: MIT
// A hostile line: the far end sends noise, floods, and replies cut in two. The real serial port
// over a pseudo-terminal and the real main window; the console must neither crash nor grow
// without bound, and must still understand the switch afterwards.
#include "link/receiveframer.h"
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

void pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The status report for routes 1-1, 2-2, 3-3, 4-4 as the switch sends it.
const QByteArray statusReport("\r\ns10s21s32s43\r\n");
const QString statusLines = QStringLiteral("\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out2 -> HDMI In 2"
                                           "\r\nHDMI Out3 -> HDMI In 3\r\nHDMI Out4 -> HDMI In 4"
                                           "\r\n");

constexpr qsizetype paneCap = 1 << 20;

} // namespace

class TestHostileLine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void noiseIsSurvived_data();
    void noiseIsSurvived();
    void reportSplitAcrossWindows_data();
    void reportSplitAcrossWindows();
    void reportSplitInsideWindowIsOneReply_data();
    void reportSplitInsideWindowIsOneReply();
    void burstOfReports();

private:
    // Writes everything from the switch's end, letting the console read while the line is full.
    bool writeAll(const QByteArray& bytes);
    // Waits until the console has handled everything sent and the line has been quiet a while.
    void settle();
    // Lit routing lamps as "output:input", in order.
    QString litLamps() const;

    std::unique_ptr<RunFolder> dir;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<MainWindow> window;
    ReceiveFramer* receiver = nullptr;
};

void TestHostileLine::init()
{
    dir = std::make_unique<RunFolder>();
    QVERIFY(dir->isEntered());
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->ok());
    QVERIFY(dir->linkCom1(pty->slavePath));
    port = std::make_unique<SerialPort>();
    boxes = std::make_unique<RecordingMessageBoxes>();
    window = std::make_unique<MainWindow>(*port, *boxes, dir->path());
    window->startUp();
    QVERIFY(port->isOpen());
    receiver = window->findChild<ReceiveFramer*>();
    QVERIFY(receiver);
}

void TestHostileLine::cleanup()
{
    window.reset();
    boxes.reset();
    port.reset();
    pty.reset();
    dir.reset();
}

bool TestHostileLine::writeAll(const QByteArray& bytes)
{
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done < bytes.size() && clock.elapsed() < 60000) {
        const auto chunk = static_cast<size_t>(std::min<qsizetype>(bytes.size() - done, 4096));
        const ssize_t n = ::write(pty->master, bytes.constData() + done, chunk);
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN)
            return false;
        else
            pump();
    }
    return done == bytes.size();
}

void TestHostileLine::settle()
{
    QSignalSpy replies(receiver, &ReceiveFramer::replyReceived);
    QElapsedTimer clock;
    clock.start();
    qsizetype seen = -1;
    // Quiet means: nothing waiting, and no reply for 3 framing windows.
    while (clock.elapsed() < 30000) {
        seen = replies.size();
        QTest::qWait(3 * ReceiveFramer::framingWindowMs);
        if (replies.size() == seen && port->bytesAvailable() == 0)
            return;
    }
    QFAIL("the console never went quiet");
}

QString TestHostileLine::litLamps() const
{
    QStringList lit;
    for (int output = 0; output < 4; ++output)
        for (int input = 0; input < 4; ++input)
            if (routingLamp(*window, output, input)->isLit())
                lit << QStringLiteral("%1:%2").arg(output + 1).arg(input + 1);
    return lit.join(QLatin1Char(' '));
}

void TestHostileLine::noiseIsSurvived_data()
{
    QTest::addColumn<int>("highestByte");
    QTest::addColumn<int>("mebibytes");
    // Any byte: nearly every read holds one of 0x80 or above and is shown as nothing.
    QTest::newRow("1 MiB of random bytes") << 0xFF << 1;
    // Seven-bit noise is shown raw, so the receive pane must keep trimming itself.
    QTest::newRow("3 MiB of random 7-bit bytes") << 0x7F << 3;
}

void TestHostileLine::noiseIsSurvived()
{
    QFETCH(int, highestByte);
    QFETCH(int, mebibytes);
    QRandomGenerator random(20240607u + static_cast<quint32>(highestByte));
    QByteArray noise(mebibytes << 20, Qt::Uninitialized);
    for (char& b : noise)
        b = static_cast<char>(random.bounded(highestByte + 1));
    qsizetype largestRead = 0; // the rest waits in the terminal's buffer
    connect(receiver, &ReceiveFramer::bytesReceived, this,
            [&](const QByteArray& bytes) { largestRead = std::max(largestRead, bytes.size()); });
    QVERIFY(writeAll(noise));
    settle();
    QVERIFY2(largestRead <= 16 * 1024, qPrintable(QString::number(largestRead)));
    QVERIFY(port->isOpen());
    QVERIFY2(receivePane(*window)->characterCount() <= paneCap,
             qPrintable(QString::number(receivePane(*window)->characterCount())));
    if (highestByte == 0x7F)
        QVERIFY(receivePane(*window)->characterCount() >
                paneCap / 2); // the noise did reach the pane
    QVERIFY(boxes->shown.isEmpty());

    // Afterwards a report is understood as before.
    receivePane(*window)->setText({});
    QVERIFY(pty->write("s21\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(receivePane(*window)->text(),
                              QStringLiteral("\r\nHDMI Out2 -> HDMI In 2"), 5000);
    QVERIFY(routingLamp(*window, 1, 1)->isLit());
}

void TestHostileLine::reportSplitAcrossWindows_data()
{
    // Each piece of a report cut at byte `split` arrives in a framing window of its own; each
    // piece is then a reply on its own.
    QTest::addColumn<int>("split");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("lamps");
    const QString rest = QStringLiteral("\r\n");
    QTest::newRow("1") << 1 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("2") << 2 << "\r\n\r\nHDMI Out1 -> HDMI In 1"
                       << "1:1";
    QTest::newRow("3") << 3 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("4") << 4 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("5") << 5 << "\r\ns10\r\nHDMI Out2 -> HDMI In 2"
                       << "2:2";
    QTest::newRow("6") << 6 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("7") << 7 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("8") << 8 << "\r\ns10s21\r\nHDMI Out3 -> HDMI In 3"
                       << "3:3";
    QTest::newRow("9") << 9 << "\r\ns10s21s32s43\r\n"
                       << "";
    QTest::newRow("10") << 10 << "\r\ns10s21s32s43\r\n"
                        << "";
    QTest::newRow("11") << 11 << "\r\ns10s21s32\r\nHDMI Out4 -> HDMI In 4"
                        << "4:4";
    // From 12 bytes on the first piece passes as a status report; groups cut short are skipped.
    QTest::newRow("12") << 12
                        << "\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out2 -> HDMI In 2"
                           "\r\nHDMI Out3 -> HDMI In 3\r\n43\r\n"
                        << "1:1 2:2 3:3";
    QTest::newRow("13") << 13
                        << "\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out2 -> HDMI In 2"
                           "\r\nHDMI Out3 -> HDMI In 3\r\n3\r\n"
                        << "1:1 2:2 3:3";
    QTest::newRow("14") << 14 << statusLines + rest << "1:1 2:2 3:3 4:4";
    QTest::newRow("15") << 15 << statusLines + QStringLiteral("\n") << "1:1 2:2 3:3 4:4";
}

void TestHostileLine::reportSplitAcrossWindows()
{
    QFETCH(int, split);
    QFETCH(QString, pane);
    QFETCH(QString, lamps);
    QSignalSpy replies(receiver, &ReceiveFramer::replyReceived);
    QVERIFY(pty->write(statusReport.left(split)));
    QVERIFY(replies.wait(5000));
    QVERIFY(pty->write(statusReport.mid(split)));
    QVERIFY(replies.wait(5000));
    settle();
    QCOMPARE(replies.size(), 2);
    QCOMPARE(receivePane(*window)->text(), pane);
    QCOMPARE(litLamps(), lamps);
}

void TestHostileLine::reportSplitInsideWindowIsOneReply_data()
{
    QTest::addColumn<int>("split");
    for (int split = 1; split < statusReport.size(); ++split)
        QTest::newRow(qPrintable(QString::number(split))) << split;
}

void TestHostileLine::reportSplitInsideWindowIsOneReply()
{
    // The second piece follows as soon as the first has opened the window: the window takes
    // both, and the report reads as if it had come whole.
    QFETCH(int, split);
    QSignalSpy comm(port.get(), &Port::readyRead);
    QSignalSpy replies(receiver, &ReceiveFramer::replyReceived);
    QVERIFY(pty->write(statusReport.left(split)));
    QVERIFY(comm.wait(5000));
    QVERIFY(replies.isEmpty());
    QVERIFY(pty->write(statusReport.mid(split)));
    settle();
    QCOMPARE(replies.size(), 1);
    QCOMPARE(receivePane(*window)->text(), statusLines);
    QCOMPARE(litLamps(), QStringLiteral("1:1 2:2 3:3 4:4"));
}

void TestHostileLine::burstOfReports()
{
    // Far more reports than one framing window can tell apart: each window reads as one reply
    // (its beginning decides), nothing is lost track of, and the pane stays within its cap.
    QByteArray burst;
    for (int i = 0; i < 50000; ++i) {
        burst += statusReport;
        burst += "Ack\r\nraw text the console does not know\r\n";
    }
    QSignalSpy replies(receiver, &ReceiveFramer::replyReceived);
    QVERIFY(writeAll(burst));
    settle();
    QVERIFY(port->isOpen());
    QVERIFY(replies.size() > 0);
    QVERIFY(receivePane(*window)->characterCount() <= paneCap);
    QVERIFY(receivePane(*window)->isAllSelectedToEnd());
    QCOMPARE(litLamps(), QStringLiteral("1:1 2:2 3:3 4:4"));
    // The last thing on the line decides nothing on its own: a fresh report still does.
    QVERIFY(pty->write("s30\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 2, 0)->isLit(), 5000);
    QVERIFY(!routingLamp(*window, 2, 2)->isLit());
    QVERIFY(receivePane(*window)->text().endsWith(QStringLiteral("\r\nHDMI Out3 -> HDMI In 1")));
}

QTEST_MAIN(TestHostileLine)
#include "tst_hostileline.moc"
