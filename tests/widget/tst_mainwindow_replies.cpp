// SPDX-License-Identifier: MIT
// Replies from the switch reaching the main window: receive pane, lamps, watchdog, UTP dialog,
// framing of bytes into replies and replies that arrive while a box is open.
#include "fakeserialport.h"
#include "link/receiveframer.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Console
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window{port, boxes, dir.path()};

    Console()
    {
        window.startUp();
        port.takeWritten(); // the routing request of the open, checked by the link tests
    }

    // Plays one reply from the switch and waits until the window has read it.
    void reply(const QByteArray& bytes)
    {
        const int reads = port.inputReads;
        port.feed(bytes);
        QTRY_VERIFY_WITH_TIMEOUT(port.inputReads > reads, 5000);
    }
    QString pane() const { return receivePane(window)->text(); }
    QString litLamps() const
    {
        QString lit;
        for (int row = 0; row < 4; ++row)
            for (int input = 0; input < 4; ++input)
                if (routingLamp(window, row, input)->isLit())
                    lit += QStringLiteral("%1%2 ").arg(row + 1).arg(input + 1);
        return lit.trimmed();
    }
};

// The UTP dialog while it runs modal over the window, else null.
QDialog* openUtpDialog()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    return dialog && dialog->objectName() == QLatin1String("Utp") ? dialog : nullptr;
}

} // namespace

class TestMainWindowReplies : public QObject
{
    Q_OBJECT
private slots:
    void replyIntoPane_data();
    void replyIntoPane();
    void reportsFollowEachOther();
    void selectionCoversWholeTextAfterEveryReply();
    void replySplitInsideWindowIsOne();
    void repliesFarApartAreTwo();
    void eventLoopRunsDuringWindow();
    void utpSetWithPortClosed();
    void utpSetQueriesAndStatusFillsDialog();
    void utpStatusWhileDialogClosed();
    void utpConfirmationShowsBox();
    void replyDuringBoxHandledOnceAfterwards();
    void watchdogFiresWhenSwitchSilent();
    void watchdogWaitsForAnswerThatStartedInTime_data();
    void watchdogWaitsForAnswerThatStartedInTime();
    void repliesHeldByBoxKeepTheirWindows();
    void heldQueueKeepsToItsCap();
    void refusedWriteShowsOneBoxLater();
    void clearStartsNewText();
};

void TestMainWindowReplies::replyIntoPane_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("lamps");
    QTest::newRow("route report") << QByteArray("s22")
                                  << QStringLiteral("\r\nHDMI Out2 -> HDMI In 3") << "23";
    QTest::newRow("route report, rest ignored")
        << QByteArray("s21\r\n") << QStringLiteral("\r\nHDMI Out2 -> HDMI In 2") << "22";
    QTest::newRow("route out of range") << QByteArray("s14") << QString() << "";
    QTest::newRow("status report")
        << QByteArray("\r\ns10s21s32s43")
        << QStringLiteral("\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out2 -> HDMI In 2"
                          "\r\nHDMI Out3 -> HDMI In 3\r\nHDMI Out4 -> HDMI In 4\r\n")
        << "11 22 33 44";
    QTest::newRow("status, output characters not read")
        << QByteArray("\r\ns92s92s92s92")
        << QStringLiteral("\r\nHDMI Out1 -> HDMI In 3\r\nHDMI Out2 -> HDMI In 3"
                          "\r\nHDMI Out3 -> HDMI In 3\r\nHDMI Out4 -> HDMI In 3\r\n")
        << "13 23 33 43";
    QTest::newRow("status, a group skipped")
        << QByteArray("\r\ns10s27s32s43")
        << QStringLiteral("\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out3 -> HDMI In 3"
                          "\r\nHDMI Out4 -> HDMI In 4\r\n")
        << "11 33 44";
    QTest::newRow("raw, no line break added")
        << QByteArray("hello") << QStringLiteral("hello") << "";
    QTest::newRow("too short for status: raw")
        << QByteArray("\r\ns12") << QStringLiteral("\r\ns12") << "";
    QTest::newRow("ACK is raw") << QByteArray("ACK") << QStringLiteral("ACK") << "";
    QTest::newRow("Ack shows nothing") << QByteArray("Ack\r\n") << QString() << "";
    QTest::newRow("edm shows nothing") << QByteArray("edm 1") << QString() << "";
    QTest::newRow("0xFF: nothing") << QByteArray("s12\xFF") << QString() << "";
}

void TestMainWindowReplies::replyIntoPane()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, pane);
    QFETCH(QString, lamps);
    Console c;
    c.reply(bytes);
    QCOMPARE(c.pane(), pane);
    QCOMPARE(c.litLamps(), lamps);
    QVERIFY(c.boxes.shown.isEmpty());
    QVERIFY(receivePane(c.window)->isAllSelectedToEnd());
}

void TestMainWindowReplies::reportsFollowEachOther()
{
    Console c;
    c.reply("s12");
    c.reply("s10");
    c.reply("xyz");
    c.reply("s43");
    QCOMPARE(c.pane(), QStringLiteral("\r\nHDMI Out1 -> HDMI In 3\r\nHDMI Out1 -> HDMI In 1xyz"
                                      "\r\nHDMI Out4 -> HDMI In 4"));
    QCOMPARE(c.litLamps(), QStringLiteral("11 44"));
}

void TestMainWindowReplies::selectionCoversWholeTextAfterEveryReply()
{
    Console c;
    receivePane(c.window)->setText(QStringLiteral("typed by hand"));
    receivePane(c.window)->moveCursor(QTextCursor::Start);
    c.reply("Ack");
    QVERIFY(receivePane(c.window)->isAllSelectedToEnd());
    QCOMPARE(receivePane(c.window)->textCursor().selectedText(), QStringLiteral("typed by hand"));
}

void TestMainWindowReplies::replySplitInsideWindowIsOne()
{
    Console c;
    c.port.feed("s2");
    // The rest 10 ms later: a timer that expires before the 30 ms window always runs first.
    QTimer::singleShot(10, &c.window, [&] { c.port.feed("2"); });
    QTRY_VERIFY_WITH_TIMEOUT(c.port.inputReads == 1, 5000);
    QTest::qWait(80);
    QCOMPARE(c.port.inputReads, 1);
    QCOMPARE(c.pane(), QStringLiteral("\r\nHDMI Out2 -> HDMI In 3"));
}

void TestMainWindowReplies::repliesFarApartAreTwo()
{
    Console c;
    c.reply("s2"); // read and handled on its own before the rest comes
    c.reply("2");
    QCOMPARE(c.port.inputReads, 2);
    // Each read is its own reply: two raw pieces, no route.
    QCOMPARE(c.pane(), QStringLiteral("s22"));
    QCOMPARE(c.litLamps(), QString());
}

void TestMainWindowReplies::eventLoopRunsDuringWindow()
{
    Console c;
    int ticks = 0;
    QTimer heartbeat;
    heartbeat.setInterval(1);
    connect(&heartbeat, &QTimer::timeout, &heartbeat, [&] { ++ticks; });
    heartbeat.start();
    // A plain event loop (QTest's waits sleep between turns) that ends when the reply shows.
    QEventLoop loop;
    int ticksAtReply = -1;
    connect(receivePane(c.window)->document(), &QTextDocument::contentsChanged, &loop, [&] {
        ticksAtReply = ticks;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    c.port.feed("s22");
    if (ticksAtReply < 0)
        loop.exec();
    // A blocking wait inside the notification would have shown the reply before a single tick.
    QVERIFY2(ticksAtReply >= 5, qPrintable(QString::number(ticksAtReply)));
}

void TestMainWindowReplies::utpSetWithPortClosed()
{
    Console c;
    QTest::mouseClick(linkButton(c.window), Qt::LeftButton); // disconnect
    sendBox(c.window)->setText(QStringLiteral("kept"));
    QTest::mouseClick(utpButton(c.window), Qt::LeftButton);
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.boxes.shown[0].text, QStringLiteral("Com port is not open! "));
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("Warning"));
    QVERIFY(c.port.written.isEmpty());
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("kept"));
    QVERIFY(!c.window.isWatchdogArmed());
    QVERIFY(!openUtpDialog());
}

void TestMainWindowReplies::utpSetQueriesAndStatusFillsDialog()
{
    Console c;
    bool checked = false;
    QTimer::singleShot(0, &c.window, [&] {
        QDialog* dialog = openUtpDialog();
        QVERIFY(dialog);
        QCOMPARE(c.port.written, QByteArray::fromHex("727570200D0A"));
        QCOMPARE(sendBox(c.window)->text(), QStringLiteral("rup \r\n"));
        QVERIFY(c.window.isWatchdogArmed());
        for (int i = 0; i < 4; ++i)
            QVERIFY(!element<QRadioButton>(dialog, "Option5", i)->isChecked() &&
                    !element<QRadioButton>(dialog, "Option6", i)->isChecked());
        c.reply("ust05\r\n");
        QVERIFY(!c.window.isWatchdogArmed());
        QVERIFY(element<QRadioButton>(dialog, "Option5", 0)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option6", 1)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option5", 2)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option6", 3)->isChecked());
        // "OK" sends the modes back; the confirmation shows its box.
        c.port.takeWritten();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QCOMPARE(c.port.written, QByteArray("utp 5\r\n"));
        QTest::qWait(700); // past the watchdog's half second: it must stay quiet
        dialog->reject();
        checked = true;
    });
    QTest::mouseClick(utpButton(c.window), Qt::LeftButton);
    QVERIFY(checked);
    QVERIFY(c.boxes.shown.isEmpty());
    QVERIFY(c.pane().isEmpty());
}

void TestMainWindowReplies::utpStatusWhileDialogClosed()
{
    Console c;
    c.window.armWatchdog();
    c.reply("ust0F");
    QVERIFY(!c.window.isWatchdogArmed());
    QVERIFY(c.pane().isEmpty());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(w->objectName() != QLatin1String("Utp"), "no dialog may be left behind");
}

void TestMainWindowReplies::utpConfirmationShowsBox()
{
    Console c;
    c.reply("utp\r\n");
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.boxes.shown[0].text, QStringLiteral("UTP set success!"));
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("VARNOK"));
    QVERIFY(c.pane().isEmpty());
}

void TestMainWindowReplies::replyDuringBoxHandledOnceAfterwards()
{
    Console c;
    QString paneWhileOpen = QStringLiteral("<not run>");
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        c.port.feed("s31");
        QTest::qWait(150); // the box's modal loop runs; the reply must wait
        paneWhileOpen = c.pane();
    };
    c.reply("utp");
    QCOMPARE(paneWhileOpen, QString());
    QTRY_COMPARE_WITH_TIMEOUT(c.pane(), QStringLiteral("\r\nHDMI Out3 -> HDMI In 2"), 5000);
    QTest::qWait(100);
    QCOMPARE(c.pane(), QStringLiteral("\r\nHDMI Out3 -> HDMI In 2"));
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.litLamps(), QStringLiteral("32"));
}

void TestMainWindowReplies::watchdogFiresWhenSwitchSilent()
{
    Console c;
    QTimer::singleShot(0, &c.window, [&] {
        QDialog* dialog = openUtpDialog();
        QVERIFY(dialog);
        QTRY_COMPARE_WITH_TIMEOUT(c.boxes.shown.size(), 1, 5000);
        QCOMPARE(c.boxes.shown[0].text, QStringLiteral("Device is not connect!"));
        QVERIFY(!c.window.isWatchdogArmed());
        QVERIFY(dialog->isVisible()); // the dialog stays open and usable
        dialog->reject();
    });
    QTest::mouseClick(utpButton(c.window), Qt::LeftButton);
    QCOMPARE(c.boxes.shown.size(), 1);
}

void TestMainWindowReplies::watchdogWaitsForAnswerThatStartedInTime_data()
{
    QTest::addColumn<int>("answerAtMs");
    QTest::addColumn<int>("boxes");
    QTest::newRow("400 ms") << 400 << 0;
    QTest::newRow("470 ms") << 470 << 0;
    QTest::newRow("490 ms") << 490 << 0;
    QTest::newRow("499 ms") << 499 << 0;
    QTest::newRow("520 ms") << 520 << 1;
}

void TestMainWindowReplies::watchdogWaitsForAnswerThatStartedInTime()
{
    QFETCH(int, answerAtMs);
    QFETCH(int, boxes);
    Console c;
    // Armed before the click, so the answer's first byte comes just before the watchdog's
    // deadline (timers expire in the order of their deadlines), and its framing window is still
    // open when the deadline passes.
    QTimer::singleShot(answerAtMs, Qt::PreciseTimer, &c.window, [&] { c.port.feed("ust05\r\n"); });
    bool answered = false;
    connect(c.window.findChild<ReceiveFramer*>(), &ReceiveFramer::replyReceived, &c.window, [&] {
        answered = true;
        if (QDialog* dialog = openUtpDialog())
            QTimer::singleShot(0, dialog, &QDialog::reject);
    });
    QTest::mouseClick(utpButton(c.window), Qt::LeftButton);
    QVERIFY(answered);
    QCOMPARE(c.boxes.shown.size(), boxes);
    if (boxes > 0)
        QCOMPARE(c.boxes.shown[0].text, QStringLiteral("Device is not connect!"));
    QVERIFY(!c.window.isWatchdogArmed());
}

void TestMainWindowReplies::repliesHeldByBoxKeepTheirWindows()
{
    Console c;
    // The front panel moves routes while a box is open: each report arrives in a window of its
    // own, and each must be read as it would have been without the box.
    const QList<QByteArray> reports{"s13\r\n", "s22\r\n", "s31\r\n", "s40\r\n", "s12\r\n"};
    qint64 waitingInPort = -1;
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        for (const QByteArray& report : reports) {
            const int reads = c.port.inputReads;
            c.port.feed(report);
            QTRY_VERIFY_WITH_TIMEOUT(c.port.inputReads > reads, 5000);
            waitingInPort = qMax(waitingInPort, c.port.bytesAvailable());
        }
        QCOMPARE(c.pane(), QString());
    };
    c.reply("utp\r\n");
    // Taken out of the port at once, so the port keeps no buffer for them.
    QCOMPARE(waitingInPort, qint64(0));
    QCOMPARE(c.pane(), QStringLiteral("\r\nHDMI Out1 -> HDMI In 4\r\nHDMI Out2 -> HDMI In 3"
                                      "\r\nHDMI Out3 -> HDMI In 2\r\nHDMI Out4 -> HDMI In 1"
                                      "\r\nHDMI Out1 -> HDMI In 3"));
    QCOMPARE(c.litLamps(), QStringLiteral("13 23 32 41"));
}

void TestMainWindowReplies::heldQueueKeepsToItsCap()
{
    Console c;
    auto* handler = c.window.findChild<ReceiveFramer*>();
    QSignalSpy replies(handler, &ReceiveFramer::replyReceived);
    // Line noise (bytes of 0x80 and above read as nothing), so the pane shows only the count.
    const QByteArray noise(ReceiveFramer::heldByteCap / 10, '\x80');
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        for (int i = 0; i < 12; ++i) {
            const int reads = c.port.inputReads;
            c.port.feed(noise);
            QTRY_VERIFY_WITH_TIMEOUT(c.port.inputReads > reads, 5000);
            QVERIFY(handler->heldByteCount() <= ReceiveFramer::heldByteCap);
        }
        c.port.feed("s21\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(handler->heldWindowCount(), 11, 5000);
    };
    c.reply("utp\r\n");
    // The two oldest windows went; the pane says so before the rest is handled.
    QCOMPARE(replies.count(), 1 + 11);
    QCOMPARE(c.pane(), QStringLiteral("\r\n(2 replies from the switch were dropped while a "
                                      "message box was open.)\r\nHDMI Out2 -> HDMI In 2"));
    QCOMPARE(handler->heldByteCount(), 0);
}

void TestMainWindowReplies::refusedWriteShowsOneBoxLater()
{
    Console c;
    // The device refuses bytes it had accepted: one box, after the notification has returned.
    int boxesInsideNotification = -1;
    connect(&c.port, &Port::writeFailed, &c.window,
            [&] { boxesInsideNotification = static_cast<int>(c.boxes.shown.size()); });
    emit c.port.writeFailed(QStringLiteral("/dev/ttyS0: Input/output error"));
    emit c.port.writeFailed(QStringLiteral("/dev/ttyS0: Input/output error"));
    QCOMPARE(boxesInsideNotification, 0);
    QTRY_COMPARE_WITH_TIMEOUT(c.boxes.shown.size(), 1, 5000);
    QCOMPARE(c.boxes.shown[0].text, QString::fromUtf16(u"open serial port fail\uFF01 "));
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("ERROR"));
    QTest::qWait(50);
    QCOMPARE(c.boxes.shown.size(), 1);
}

void TestMainWindowReplies::clearStartsNewText()
{
    Console c;
    c.reply("s10");
    QTest::mouseClick(clearButton(c.window), Qt::LeftButton);
    c.reply("s11");
    QCOMPARE(c.pane(), QStringLiteral("\r\nHDMI Out1 -> HDMI In 2"));
}

QTEST_MAIN(TestMainWindowReplies)
#include "tst_mainwindow_replies.moc"
