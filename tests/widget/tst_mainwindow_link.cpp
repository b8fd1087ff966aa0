// SPDX-License-Identifier: MIT
// The main window's start-up, port choice, link toggle and layout, against a fake port.
#include "link/comdevice.h"
#include "ui/mainwindow.h"

#include "fakeserialport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include <QLabel>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString portFailureText = QString::fromUtf8("open serial port fail\xEF\xBC\x81 ");

QByteArray fileBytes(const QTemporaryDir& dir)
{
    QFile f(dir.filePath(QStringLiteral("COMPORT")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    QFile f(dir.filePath(QStringLiteral("COMPORT")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Console
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    std::unique_ptr<MainWindow> window;

    void create() { window = std::make_unique<MainWindow>(port, boxes, dir.path()); }
    bool greenLit() const { return connectedLamp(*window)->isLit(); }
    bool redLit() const { return disconnectedLamp(*window)->isLit(); }
    QString caption() const { return linkButton(*window)->text(); }
};

} // namespace

class TestMainWindowLink : public QObject
{
    Q_OBJECT
private slots:
    void firstStartWritesComport();
    void storedIndexSelectsPort_data();
    void storedIndexSelectsPort();
    void startUpFailureReportedBeforeShown();
    void toggleBothWays();
    void everyOpenAsksForRoutingAndIsLogged_data();
    void everyOpenAsksForRoutingAndIsLogged();
    void pollsOnlyWhileIdle();
    void toggleFailureKeepsClosedDisplay();
    void openFailureReasonShownOnLinkButton();
    void portChangeWhileConnectedClosesAndStaysClosed();
    void portChangeWhileDisconnected();
    void flappingLinkLeavesOneBox();
    void unwritableDirectoryDoesNotStopStartUp();
    void windowFrame();
    void geometryMatchesDesign_data();
    void geometryMatchesDesign();
    void lampsStandAboveTheirButtons();
    void designLookBeforeStartUp();
    void tabOrderFollowsDesign();
    void arrowKeysOnRoutingButtonsWalkTheTabOrder_data();
    void arrowKeysOnRoutingButtonsWalkTheTabOrder();
};

void TestMainWindowLink::pollsOnlyWhileIdle()
{
    Console c;
    QFile conf(c.dir.filePath(QStringLiteral("varnok.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("[link]\npoll=2\n") == 14 &&
            conf.flush());
    c.create();
    c.window->startUp();
    QCOMPARE(c.port.takeWritten(), QByteArray("bc \r\n"));
    auto* timer = c.window->findChild<QTimer*>(QStringLiteral("pollTimer"));
    QVERIFY(timer->isActive() && timer->interval() == 2000);
    QByteArrayList sent; // at each tick: waiting for the routing, idle, under a box, a dialog
    const auto tick = [&] {
        QMetaObject::invokeMethod(timer, "timeout");
        sent << c.port.takeWritten();
    };
    tick();
    c.port.feed("\r\ns13s22s31s40\r\n");
    QTRY_VERIFY(routingLamp(*c.window, 0, 3)->isLit());
    tick();
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) { tick(); };
    c.port.feed("utp\r\n");
    QTRY_COMPARE(sent.size(), 3);
    QTimer::singleShot(0, c.window.get(), [&] {
        tick();
        QApplication::activeModalWidget()->close();
    });
    QTest::mouseClick(networkSettingsButton(*c.window), Qt::LeftButton);
    QCOMPARE(sent, (QByteArrayList{"", "bc \r\n", "", ""}));
}

void TestMainWindowLink::everyOpenAsksForRoutingAndIsLogged_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("logged");
    QTest::newRow("no settings file") << QByteArray() << true;
    QTest::newRow("log on") << QByteArray("[log]\nenabled=true\n") << true;
    QTest::newRow("log off") << QByteArray("[log]\nenabled=false\n") << false;
}

void TestMainWindowLink::everyOpenAsksForRoutingAndIsLogged()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, logged);
    Console c;
    QTemporaryDir state;
    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", savedState); });
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    if (!settings.isEmpty()) {
        QFile conf(c.dir.filePath(QStringLiteral("varnok.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(settings);
    }
    c.create();
    c.window->startUp();
    QCOMPARE(c.port.takeWritten(), QByteArray::fromHex("6263200D0A"));
    c.port.feed("\r\ns13s22s31s40\r\n");
    QTRY_VERIFY(routingLamp(*c.window, 0, 3)->isLit());
    QVERIFY(!c.window->findChild<QTimer*>(QStringLiteral("pollTimer"))->isActive()); // off
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QVERIFY(c.port.written.isEmpty()); // closing asks nothing
    QVERIFY(!routingLamp(*c.window, 0, 3)->isLit());
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QCOMPARE(c.port.takeWritten(), QByteArray::fromHex("6263200D0A"));
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    c.port.missingPorts = {1};
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);

    QFile log(state.filePath(QStringLiteral("varnok/session.log")));
    QCOMPARE(log.exists(), logged);
    if (!logged)
        return;
    QVERIFY(log.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 5); // four and the last line's end
    QCOMPARE(lines[0].mid(24), QByteArray("> bc \\r\\n"));
    QCOMPARE(lines[1].mid(24), QByteArray("< \\r\\ns13s22s31s40\\r\\n"));
    QCOMPARE(lines[2].mid(24), QByteArray("> bc \\r\\n"));
    QCOMPARE(lines[3].mid(24), QByteArray("! COM1 (/dev/ttyS0): no such device"));
}

void TestMainWindowLink::firstStartWritesComport()
{
    Console c;
    c.create();
    c.window->startUp();
    QCOMPARE(fileBytes(c.dir), QByteArray::fromHex("2030200d0a"));
    QCOMPARE(portList(*c.window)->currentText(), QStringLiteral("COM1"));
    QCOMPARE(portList(*c.window)->count(), 10 + stableSerialNames().size());
    QCOMPARE(portList(*c.window)->itemText(9), QStringLiteral("COM10"));
    QCOMPARE(c.port.openedPorts, QList<int>{1});
    QCOMPARE(c.port.openedDevices, QStringList{QStringLiteral("/dev/ttyS0")});
    QVERIFY(c.boxes.shown.isEmpty());
    QCOMPARE(c.caption(), QStringLiteral("Disconnect"));
    QVERIFY(c.greenLit());
    QVERIFY(!c.redLit());
}

void TestMainWindowLink::storedIndexSelectsPort_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<int>("portTried");
    QTest::addColumn<QByteArray>("fileAfter");

    QTest::newRow("COM4") << QByteArray(" 3 \r\n") << 3 << 4 << QByteArray(" 3 \r\n");
    QTest::newRow("COM10") << QByteArray::fromHex("2039200d0a") << 9 << 10 << QByteArray(" 9 \r\n");
    QTest::newRow("stored 12: no selection, port 13, file kept")
        << QByteArray(" 12 \r\n") << -1 << 13 << QByteArray(" 12 \r\n");
    QTest::newRow("empty file: COM1") << QByteArray() << 0 << 1 << QByteArray(" 0 \r\n");
    QTest::newRow("garbage: COM1") << QByteArray("xyz\r\n") << 0 << 1 << QByteArray(" 0 \r\n");
    QTest::newRow("leading blanks, comma")
        << QByteArray("   5,7\r\n") << 5 << 6 << QByteArray(" 5 \r\n");
    QTest::newRow("256 overflows: COM1") << QByteArray("256") << 0 << 1 << QByteArray(" 0 \r\n");
}

void TestMainWindowLink::storedIndexSelectsPort()
{
    QFETCH(QByteArray, content);
    QFETCH(int, listIndex);
    QFETCH(int, portTried);
    QFETCH(QByteArray, fileAfter);

    Console c;
    writeFile(c.dir, content);
    c.port.missingPorts = {13};
    c.create();
    c.window->startUp();
    QCOMPARE(portList(*c.window)->currentIndex(), listIndex);
    QCOMPARE(c.port.openedPorts, QList<int>{portTried});
    QCOMPARE(fileBytes(c.dir), fileAfter);
    if (listIndex < 0) {
        QCOMPARE(portList(*c.window)->currentText(), QStringLiteral("Combo1"));
        QCOMPARE(c.boxes.texts(), QStringList{portFailureText});
        QCOMPARE(c.caption(), QStringLiteral("Connect"));
    }
}

void TestMainWindowLink::startUpFailureReportedBeforeShown()
{
    Console c;
    c.port.missingPorts = {1};
    c.create();
    bool visibleDuringBox = true;
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        visibleDuringBox = c.window->isVisible();
    };
    c.window->startUp();
    QCOMPARE(c.boxes.shown.size(), 1);
    QCOMPARE(c.boxes.shown[0].text, portFailureText);
    QCOMPARE(c.boxes.shown[0].title, QStringLiteral("ERROR"));
    QVERIFY(!visibleDuringBox);
    QVERIFY(!c.port.isOpen());
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QVERIFY(!c.greenLit());
    QVERIFY(c.redLit());

    // A stored 255 leaves the port number at 0, which the port refuses.
    Console d;
    writeFile(d.dir, "255");
    d.create();
    d.window->startUp();
    QCOMPARE(d.port.openAttempts, 0);
    QCOMPARE(d.boxes.texts(), QStringList{portFailureText});
    QCOMPARE(portList(*d.window)->currentIndex(), -1);
}

void TestMainWindowLink::toggleBothWays()
{
    Console c;
    c.create();
    c.window->startUp();
    QVERIFY(c.port.isOpen());
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QVERIFY(!c.port.isOpen());
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QVERIFY(c.redLit());
    QVERIFY(!c.greenLit());
    QVERIFY(c.boxes.shown.isEmpty()); // closing never shows a message
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QVERIFY(c.port.isOpen());
    QCOMPARE(c.port.openedPorts, (QList<int>{1, 1}));
    QCOMPARE(c.caption(), QStringLiteral("Disconnect"));
    QVERIFY(c.greenLit());
    QVERIFY(!c.redLit());
    QVERIFY(c.boxes.shown.isEmpty());
}

void TestMainWindowLink::toggleFailureKeepsClosedDisplay()
{
    Console c;
    c.create();
    c.window->startUp();
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton); // close
    c.port.missingPorts = {1};                                // now held by another program
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QCOMPARE(c.boxes.texts(), QStringList{portFailureText});
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QVERIFY(c.redLit());
    QVERIFY(!c.greenLit());
}

void TestMainWindowLink::openFailureReasonShownOnLinkButton()
{
    // The box keeps its fixed text; the reason and its fix go to the link button's tooltip.
    Console c;
    c.port.missingPorts = {1};
    c.port.openFailureReason = QStringLiteral("No permission to open /dev/ttyUSB0: dialout");
    c.create();
    c.window->startUp();
    QCOMPARE(c.boxes.texts(), QStringList{portFailureText});
    QCOMPARE(linkButton(*c.window)->toolTip(), c.port.openFailureReason);
    c.port.missingPorts.clear();
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QVERIFY(c.port.isOpen());
    QCOMPARE(linkButton(*c.window)->toolTip(), QString());
}

void TestMainWindowLink::portChangeWhileConnectedClosesAndStaysClosed()
{
    Console c;
    c.create();
    c.window->startUp();
    QVERIFY(c.port.isOpen());
    portList(*c.window)->setCurrentIndex(4);
    emit portList(*c.window)->activated(4);
    QVERIFY(!c.port.isOpen());
    QCOMPARE(c.port.openAttempts, 1);
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QVERIFY(c.redLit());
    QCOMPARE(fileBytes(c.dir), QByteArray(" 4 \r\n"));
    QVERIFY(c.boxes.shown.isEmpty());
    // The next connect uses the new port.
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QCOMPARE(c.port.openedPorts.last(), 5);
}

void TestMainWindowLink::portChangeWhileDisconnected()
{
    Console c;
    c.port.missingPorts = {1};
    c.create();
    c.window->startUp();
    c.boxes.shown.clear();
    portList(*c.window)->setCurrentIndex(1);
    emit portList(*c.window)->activated(1);
    QCOMPARE(c.port.openAttempts, 1);
    QCOMPARE(fileBytes(c.dir), QByteArray(" 1 \r\n"));
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QVERIFY(c.boxes.shown.isEmpty());
}

void TestMainWindowLink::flappingLinkLeavesOneBox()
{
    Console c;
    // The switch comes back as a restarted one does: its COM1 link pointed anew.
    const QString com1 = c.dir.filePath(QStringLiteral("COM1"));
    int version = 0;
    const auto repoint = [&] {
        QFile::remove(com1);
        QVERIFY(QFile::link(QStringLiteral("device-%1").arg(++version), com1));
    };
    repoint();
    c.create();
    c.window->startUp();
    int flaps = 0;
    c.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        for (; flaps < 3; ++flaps) { // back by itself and lost again before OK is pressed
            repoint();
            QTRY_VERIFY(c.port.isOpen());
            c.port.hangUp();
        }
        c.port.missingPorts = {1}; // then the reconnect keeps failing
        repoint();
    };
    c.port.hangUp();
    QTRY_VERIFY(c.port.openAttempts > 6);
    QCOMPARE(c.boxes.texts(), QStringList{"Connection to the switch lost: device vanished"});
    const QString pane = receivePane(*c.window)->text();
    const QString named = QStringLiteral("COM1 (%1): ").arg(com1);
    QCOMPARE(pane.count(named + QStringLiteral("device vanished")), 4);
    QCOMPARE(pane.count(named + QStringLiteral("no such device")), 1);
}

void TestMainWindowLink::unwritableDirectoryDoesNotStopStartUp()
{
    Console c;
    QVERIFY(QDir(c.dir.path()).mkdir(QStringLiteral("COMPORT"))); // a folder in the file's place
    c.create();
    c.window->startUp();
    QCOMPARE(c.port.openedPorts, QList<int>{1});
    QVERIFY(c.port.isOpen());
    portList(*c.window)->setCurrentIndex(2);
    emit portList(*c.window)->activated(2);
    QTest::mouseClick(linkButton(*c.window), Qt::LeftButton);
    QCOMPARE(c.port.openedPorts.last(), 3);
}

void TestMainWindowLink::windowFrame()
{
    Console c;
    c.create();
    QCOMPARE(c.window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(c.window->windowTitle(), QStringLiteral("MATRIX 4X4 V2.1"));
    QCOMPARE(c.window->minimumSize(), QSize(645, 554));
    QCOMPARE(c.window->maximumSize(), QSize(645, 554));
    const Qt::WindowFlags flags = c.window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!c.window->windowIcon().isNull());
    QCOMPARE(c.window->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(c.window->palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(logo(*c.window)->pixmap().size(), QSize(190, 50));
}

void TestMainWindowLink::geometryMatchesDesign_data()
{
    // Positions and sizes in pixels (design twips / 15), relative to each element's container.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 16, 353, 441);
    QTest::newRow("Text1") << "Text1" << QRect(8, 32, 337, 289);
    QTest::newRow("Text2") << "Text2" << QRect(8, 368, 257, 65);
    QTest::newRow("Command3") << "Command3" << QRect(272, 368, 65, 65);
    QTest::newRow("Command5") << "Command5" << QRect(72, 328, 61, 25);
    QTest::newRow("Frame2") << "Frame2" << QRect(8, 472, 105, 65);
    QTest::newRow("Shape16") << "Shape16" << QRect(8, 40, 17, 17);
    QTest::newRow("Combo1") << "Combo1" << QRect(16, 24, 73, 23);
    QTest::newRow("Command7") << "Command7" << QRect(248, 480, 113, 57);
    QTest::newRow("Image1") << "Image1" << QRect(424, 496, 190, 50);
    QTest::newRow("Shape1") << "Shape1" << QRect(392, 24, 241, 465);
    QTest::newRow("Shape2_2") << "Shape2_2" << QRect(408, 248, 161, 97);
    QTest::newRow("Shape13 joint row 4") << "Shape13" << QRect(544, 376, 33, 49);
    QTest::newRow("Shape7 joint row 1") << "Shape7" << QRect(560, 56, 33, 49);
    QTest::newRow("Shape11 badge row 3") << "Shape11" << QRect(568, 240, 41, 41);
    QTest::newRow("Label1 number row 2") << "Label1" << QRect(584, 144, 25, 33);
    QTest::newRow("Label5") << "Label5" << QRect(428, 456, 177, 25);
    QTest::newRow("Shape19_3") << "Shape19_3" << QRect(576, 288, 17, 17);
    QTest::newRow("Shape17_0") << "Shape17_0" << QRect(432, 80, 17, 17);
    QTest::newRow("Command1_0 left arrow") << "Command1_0" << QRect(464, 48, 41, 25);
    QTest::newRow("Command1_19 right arrow") << "Command1_19" << QRect(520, 360, 41, 25);
    QTest::newRow("Command1_10 input 3") << "Command1_10" << QRect(520, 208, 41, 25);
    QTest::newRow("Command1_23 input 4") << "Command1_23" << QRect(568, 416, 41, 25);
}

void TestMainWindowLink::geometryMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Console c;
    c.create();
    auto* element = c.window->findChild<QWidget*>(name);
    QVERIFY2(element, qPrintable(name));
    QCOMPARE(element->geometry(), geometry);
}

void TestMainWindowLink::lampsStandAboveTheirButtons()
{
    Console c;
    c.create();
    for (int row = 0; row < 4; ++row) {
        for (int input = 0; input < 4; ++input) {
            Lamp* lamp = routingLamp(*c.window, row, input);
            QPushButton* button = routingButton(*c.window, 6 * row + 2 + input);
            // Within 60 twips (4 pixels) horizontally, and above the button.
            QVERIFY(std::abs(lamp->geometry().center().x() - button->geometry().center().x()) <= 4);
            QVERIFY(lamp->geometry().bottom() < button->geometry().top());
            // And it is the lamp that shows this input routed to this output.
            c.window->showRoute(row + 1, input + 1);
            QVERIFY(lamp->isLit());
        }
    }
}

void TestMainWindowLink::designLookBeforeStartUp()
{
    Console c;
    c.create();
    QVERIFY(c.greenLit());
    QVERIFY(c.redLit());
    QCOMPARE(c.caption(), QStringLiteral("Connect"));
    QCOMPARE(portList(*c.window)->currentText(), QStringLiteral("Combo1"));
    for (const Lamp* lamp : routingLamps(*c.window))
        QVERIFY(!lamp->isLit());
    QVERIFY(!c.window->isWatchdogArmed());
    QVERIFY(receivePane(*c.window)->text().isEmpty());
    QVERIFY(sendBox(*c.window)->text().isEmpty());
    for (int i = 0; i < 24; ++i) {
        QPushButton* b = routingButton(*c.window, i);
        QVERIFY(b->font().bold());
        QCOMPARE(b->objectName(), QStringLiteral("Command1_%1").arg(i));
    }
    QCOMPARE(c.window->focusWidget(), routingButton(*c.window, 0)); // the window opens focused here
    QCOMPARE(routingButton(*c.window, 2)->text(), QStringLiteral("1"));
    QCOMPARE(routingButton(*c.window, 23)->text(), QStringLiteral("4"));
}

void TestMainWindowLink::tabOrderFollowsDesign()
{
    Console c;
    c.create();
    QStringList expected{QStringLiteral("Command1_0"), QStringLiteral("Command7")};
    for (int i :
         {1, 2, 3, 4, 5, 6, 7, 8, 14, 20, 9, 15, 21, 10, 16, 22, 11, 17, 23, 12, 18, 13, 19})
        expected << QStringLiteral("Command1_%1").arg(i);
    expected << QStringLiteral("Text1") << QStringLiteral("Combo1") << QStringLiteral("Text2")
             << QStringLiteral("Command2") << QStringLiteral("Command3")
             << QStringLiteral("Command6") << QStringLiteral("Command4")
             << QStringLiteral("Command5");
    // Walk the focus chain; a combo box's line edit counts as the combo box itself.
    QStringList seen{QStringLiteral("Command1_0")};
    for (QWidget* w = routingButton(*c.window, 0)->nextInFocusChain();
         w != routingButton(*c.window, 0) && seen.size() < expected.size();
         w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus))
            continue;
        QWidget* element = w;
        if (w->parentWidget() && w->parentWidget()->objectName() == QLatin1String("Combo1"))
            element = w->parentWidget();
        if (element->objectName() != seen.last())
            seen << element->objectName();
    }
    QCOMPARE(seen, expected);
}

void TestMainWindowLink::arrowKeysOnRoutingButtonsWalkTheTabOrder_data()
{
    // Every arrow steps along the tab order, as on any push button: Left and Up back, Right and
    // Down on; never to the neighbour on screen. Button 8 is input 1 of output 2: 9 lies to its
    // right, 14 below it, and the tab order runs down the input columns.
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");
    QTest::newRow("Right from 8") << 8 << int(Qt::Key_Right) << "Command1_14";
    QTest::newRow("Left from 14") << 14 << int(Qt::Key_Left) << "Command1_8";
    QTest::newRow("Left from 1") << 1 << int(Qt::Key_Left) << "Command7";
    QTest::newRow("Right from 0") << 0 << int(Qt::Key_Right) << "Command7";
    QTest::newRow("Down from 2") << 2 << int(Qt::Key_Down) << "Command1_3";
    QTest::newRow("Up from 3") << 3 << int(Qt::Key_Up) << "Command1_2";
    QTest::newRow("Down from 20") << 20 << int(Qt::Key_Down) << "Command1_9";
}

void TestMainWindowLink::arrowKeysOnRoutingButtonsWalkTheTabOrder()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(QString, focused);
    Console c;
    c.create();
    c.window->show();
    QVERIFY(QTest::qWaitForWindowActive(c.window.get()));
    auto* button = element<QPushButton>(c.window.get(), "Command1", start);
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QVERIFY(c.port.writes.isEmpty());
}

QTEST_MAIN(TestMainWindowLink)
#include "tst_mainwindow_link.moc"
