// SPDX-License-Identifier: MIT
// Routing buttons, status request, watchdog and terminal of the main window, against a fake port.
#include "fakeserialport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString portFailureText = QString::fromUtf8("open serial port fail\xEF\xBC\x81 ");

struct Console
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window{port, boxes, dir.path()};

    explicit Console(bool connected = true)
    {
        if (!connected)
            port.missingPorts = {1};
        window.startUp();
        boxes.shown.clear();
        // The routing request every open sends; the link tests check its bytes.
        port.takeWritten();
    }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QList<bool> lampStates() const
    {
        QList<bool> states;
        for (const Lamp* lamp : routingLamps(window))
            states << lamp->isLit();
        return states;
    }
};

} // namespace

class TestMainWindowCommands : public QObject
{
    Q_OBJECT
private slots:
    void routingButtonSendsKeyCommand_data();
    void routingButtonSendsKeyCommand();
    void routingButtonWhileDisconnected();
    void routingButtonReplacesTypedText();
    void routingButtonChangesNoLamp();
    void sameButtonTwice();
    void sendRepeatsCommandByteForByte();
    void sendBoxBytes_data();
    void sendBoxBytes();
    void sendWhileDisconnected();
    void clearEmptiesOnlyReceivePane();
    void statusRequest();
    void statusWhileDisconnected();
    void lampRows_data();
    void lampRows();
    void watchdogFiresOnceAfterArming();
    void watchdogDisarmedInTime();
    void watchdogBoxNeverPilesUp();
};

void TestMainWindowCommands::routingButtonSendsKeyCommand_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes");
    const char* lines[24] = {
        "63 69 72 20 35 37 0D 0A", "63 69 72 20 34 31 0D 0A", "63 69 72 20 30 39 0D 0A",
        "63 69 72 20 31 44 0D 0A", "63 69 72 20 31 46 0D 0A", "63 69 72 20 30 44 0D 0A",
        "63 69 72 20 31 42 0D 0A", "63 69 72 20 31 31 0D 0A", "63 69 72 20 31 37 0D 0A",
        "63 69 72 20 31 32 0D 0A", "63 69 72 20 35 39 0D 0A", "63 69 72 20 30 38 0D 0A",
        "63 69 72 20 35 35 0D 0A", "63 69 72 20 34 38 0D 0A", "63 69 72 20 35 45 0D 0A",
        "63 69 72 20 30 36 0D 0A", "63 69 72 20 30 35 0D 0A", "63 69 72 20 30 33 0D 0A",
        "63 69 72 20 30 37 0D 0A", "63 69 72 20 34 30 0D 0A", "63 69 72 20 31 38 0D 0A",
        "63 69 72 20 34 34 0D 0A", "63 69 72 20 30 46 0D 0A", "63 69 72 20 35 31 0D 0A",
    };
    for (int i = 0; i < 24; ++i)
        QTest::addRow("Command1(%d)", i) << i << QByteArray::fromHex(QByteArray(lines[i]));
}

void TestMainWindowCommands::routingButtonSendsKeyCommand()
{
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    Console c;
    c.click(routingButton(c.window, index));
    QCOMPARE(c.port.writes, QList<QByteArray>{bytes});
    QCOMPARE(sendBox(c.window)->text(), QString::fromLatin1(bytes));
    QVERIFY(sendBox(c.window)->isAllSelectedToEnd());
    QVERIFY(c.boxes.shown.isEmpty());
}

void TestMainWindowCommands::routingButtonWhileDisconnected()
{
    Console c(false);
    c.click(routingButton(c.window, 10));
    c.click(routingButton(c.window, 17));
    QCOMPARE(c.boxes.texts(), (QStringList{portFailureText, portFailureText}));
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("ERROR"));
    QVERIFY(c.port.written.isEmpty());
    // The send box still shows the unsent command.
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("cir 03\r\n"));
}

void TestMainWindowCommands::routingButtonReplacesTypedText()
{
    Console c;
    sendBox(c.window)->setFocus();
    QTest::keyClicks(sendBox(c.window), QStringLiteral("hello"));
    c.click(routingButton(c.window, 2));
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("cir 09\r\n"));
}

void TestMainWindowCommands::routingButtonChangesNoLamp()
{
    Console c;
    c.window.showRoute(2, 1);
    const QList<bool> before = c.lampStates();
    for (QPushButton* b : routingButtons(c.window))
        c.click(b);
    QCOMPARE(c.lampStates(), before);
}

void TestMainWindowCommands::sameButtonTwice()
{
    Console c;
    c.click(routingButton(c.window, 10));
    c.click(routingButton(c.window, 10));
    QCOMPARE(c.port.written, QByteArray("cir 59\r\ncir 59\r\n"));
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("cir 59\r\n"));
}

void TestMainWindowCommands::sendRepeatsCommandByteForByte()
{
    Console c;
    c.click(routingButton(c.window, 10));
    c.port.takeWritten();
    c.click(sendButton(c.window));
    QCOMPARE(c.port.written, QByteArray::fromHex("6369722035390D0A"));
    c.click(sendButton(c.window));
    QCOMPARE(c.port.writes.size(), 2);
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("cir 59\r\n"));
}

void TestMainWindowCommands::sendBoxBytes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pressEnter");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("no line end") << "bc " << false << QByteArray::fromHex("626320");
    QTest::newRow("Enter gives CR LF") << "bc " << true << QByteArray::fromHex("6263200D0A");
    QTest::newRow("Latin-1, one byte")
        << QString::fromUtf8("\xC3\xA9") << false << QByteArray::fromHex("E9");
    QTest::newRow("outside Latin-1")
        << QString::fromUtf8("\xE2\x82\xAC") << false << QByteArray("?");
}

void TestMainWindowCommands::sendBoxBytes()
{
    QFETCH(QString, typed);
    QFETCH(bool, pressEnter);
    QFETCH(QByteArray, sent);
    Console c;
    sendBox(c.window)->setFocus();
    // Key events carry any character as text; QTest::keyClicks takes only ASCII.
    for (const QChar ch : typed) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(sendBox(c.window), &press);
    }
    if (pressEnter)
        QTest::keyClick(sendBox(c.window), Qt::Key_Return);
    c.click(sendButton(c.window));
    QCOMPARE(c.port.written, sent);
    QVERIFY(c.boxes.shown.isEmpty());

    // An empty box on an open link sends nothing and shows nothing.
    Console empty;
    empty.click(sendButton(empty.window));
    QVERIFY(empty.port.writes.isEmpty());
    QVERIFY(empty.boxes.shown.isEmpty());
}

void TestMainWindowCommands::sendWhileDisconnected()
{
    Console c(false);
    sendBox(c.window)->setText(QStringLiteral("bc \r\n"));
    c.click(sendButton(c.window));
    QCOMPARE(c.boxes.texts(), QStringList{portFailureText});
    QVERIFY(c.port.written.isEmpty());
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("bc \r\n"));
}

void TestMainWindowCommands::clearEmptiesOnlyReceivePane()
{
    Console c;
    receivePane(c.window)->setText(QStringLiteral("\r\nHDMI Out1 -> HDMI In 1"));
    sendBox(c.window)->setText(QStringLiteral("bc "));
    c.window.showRoute(1, 1);
    c.click(clearButton(c.window));
    QCOMPARE(receivePane(c.window)->text(), QString());
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("bc "));
    QVERIFY(routingLamp(c.window, 0, 0)->isLit());
    QVERIFY(c.port.isOpen());
    QVERIFY(c.port.written.isEmpty());
}

void TestMainWindowCommands::statusRequest()
{
    Console c;
    sendBox(c.window)->setText(QStringLiteral("typed"));
    c.click(statusButton(c.window));
    c.click(statusButton(c.window));
    QCOMPARE(c.port.writes, (QList<QByteArray>{QByteArray::fromHex("6263200D0A"),
                                               QByteArray::fromHex("6263200D0A")}));
    QCOMPARE(sendBox(c.window)->text(), QStringLiteral("typed"));
    QVERIFY(!c.window.isWatchdogArmed());
}

void TestMainWindowCommands::statusWhileDisconnected()
{
    Console c(false);
    c.click(statusButton(c.window));
    QCOMPARE(c.boxes.texts(), QStringList{portFailureText});
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("ERROR"));
    QVERIFY(c.port.written.isEmpty());
}

void TestMainWindowCommands::lampRows_data()
{
    // Each row: calls made in order as "output:input", then the expected 16 lamp states.
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("expected"); // rows of four, 1 = lit
    QTest::newRow("output 1 input 3") << QStringList{"1:3"} << "0010 0000 0000 0000";
    QTest::newRow("output 4: input 4 then 1") << QStringList{"4:4", "4:1"} << "0000 0000 0000 1000";
    QTest::newRow("input 0 leaves dark row") << QStringList{"2:0"} << "0000 0000 0000 0000";
    QTest::newRow("input 5 keeps lit row") << QStringList{"2:2", "2:5"} << "0000 0100 0000 0000";
    QTest::newRow("input 255") << QStringList{"2:3", "2:255"} << "0000 0010 0000 0000";
    QTest::newRow("input -1") << QStringList{"2:3", "2:-1"} << "0000 0010 0000 0000";
    QTest::newRow("output 3 input 2 twice") << QStringList{"3:2", "3:2"} << "0000 0000 0100 0000";
    QTest::newRow("outputs 0 and 5 change nothing")
        << QStringList{"1:1", "0:2", "5:3"} << "1000 0000 0000 0000";
    QTest::newRow("same input on two outputs")
        << QStringList{"1:2", "2:2"} << "0100 0100 0000 0000";
    QTest::newRow("all rows") << QStringList{"1:1", "2:2", "3:3", "4:4"} << "1000 0100 0010 0001";
}

void TestMainWindowCommands::lampRows()
{
    QFETCH(QStringList, calls);
    QFETCH(QString, expected);
    Console c;
    for (const QString& call : calls) {
        c.window.showRoute(call.section(QLatin1Char(':'), 0, 0).toInt(),
                           call.section(QLatin1Char(':'), 1, 1).toInt());
    }
    QString actual;
    const QList<bool> states = c.lampStates();
    for (qsizetype i = 0; i < states.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            actual += QLatin1Char(' ');
        actual += states[i] ? QLatin1Char('1') : QLatin1Char('0');
    }
    QCOMPARE(actual, expected);
}

void TestMainWindowCommands::watchdogFiresOnceAfterArming()
{
    Console c;
    QElapsedTimer clock;
    clock.start();
    qint64 firedAfter = -1;
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) { firedAfter = clock.elapsed(); };
    c.window.armWatchdog();
    QVERIFY(c.window.isWatchdogArmed());
    QTRY_COMPARE_WITH_TIMEOUT(c.boxes.shown.size(), 1, 5000);
    QCOMPARE(c.boxes.shown[0].text, QStringLiteral("Device is not connect!"));
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("VARNOK"));
    QVERIFY(firedAfter >= 450); // not before its half second
    QVERIFY(!c.window.isWatchdogArmed());
    QTest::qWait(700);
    QCOMPARE(c.boxes.shown.size(), 1);
}

void TestMainWindowCommands::watchdogDisarmedInTime()
{
    Console c;
    c.window.armWatchdog();
    QTest::qWait(100);
    c.window.disarmWatchdog();
    QTest::qWait(800);
    QVERIFY(c.boxes.shown.isEmpty());
}

void TestMainWindowCommands::watchdogBoxNeverPilesUp()
{
    Console c;
    // While the box is open its modal loop runs on; the watchdog is armed again inside it.
    int nestedBoxes = 0;
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        nestedBoxes = std::max(nestedBoxes, c.boxes.openNow);
        c.window.armWatchdog();
        QTest::qWait(1200);
    };
    c.window.armWatchdog();
    QTRY_VERIFY_WITH_TIMEOUT(!c.boxes.shown.isEmpty(), 5000);
    QCOMPARE(nestedBoxes, 1);
    QCOMPARE(c.boxes.shown.size(), 1);
    QVERIFY(!c.window.isWatchdogArmed());
}

QTEST_MAIN(TestMainWindowCommands)
#include "tst_mainwindow_commands.moc"
