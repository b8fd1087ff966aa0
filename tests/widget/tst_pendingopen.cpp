// SPDX-License-Identifier: MIT
// A port that opens later, as a network port does: the window shows the link open only once it
// is, reports a failed connect with its reason, and Disconnect stops a connect in progress.
#include "fakeserialport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestPendingOpen : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lampsWaitForTheConnection();
    void failedConnectSaysWhy();
    void disconnectStopsAConnectInProgress();
    void disconnectStopsAReconnectInProgress();

private:
    void typeAndConnect(const QString& port);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<MainWindow> window;
};

void TestPendingOpen::init()
{
    dir = std::make_unique<QTemporaryDir>();
    port = std::make_unique<FakeSerialPort>();
    boxes = std::make_unique<RecordingMessageBoxes>();
    window = std::make_unique<MainWindow>(*port, *boxes, dir->path());
    window->startUp(); // COM1 opens at once
    QVERIFY(port->isOpen());
    port->takeWritten();
}

void TestPendingOpen::cleanup()
{
    window.reset();
    boxes.reset();
    port.reset();
    dir.reset();
}

void TestPendingOpen::typeAndConnect(const QString& typed)
{
    QLineEdit* edit = portList(*window)->lineEdit();
    portList(*window)->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!port->isOpen()); // the new port closed the old link
    port->waitsToOpen = true;
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QCOMPARE(port->openedDevices.last(), typed);
    QVERIFY(port->isOpening());
}

void TestPendingOpen::lampsWaitForTheConnection()
{
    typeAndConnect(QStringLiteral("tcp://127.0.0.1:4001"));
    QVERIFY(!connectedLamp(*window)->isLit());
    QVERIFY(disconnectedLamp(*window)->isLit());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Disconnect"));
    QVERIFY(port->written.isEmpty());

    port->finishOpening(true);
    QVERIFY(connectedLamp(*window)->isLit());
    QCOMPARE(port->takeWritten(), QByteArray("bc \r\n"));
    QVERIFY(boxes->shown.isEmpty());
}

void TestPendingOpen::failedConnectSaysWhy()
{
    typeAndConnect(QStringLiteral("tcp://127.0.0.1:4001"));
    port->finishOpening(false, QStringLiteral("tcp://127.0.0.1:4001: unknown host"));
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown.first().text, QString::fromUtf8("open serial port fail\xEF\xBC\x81 "));
    QCOMPARE(linkButton(*window)->toolTip(), QStringLiteral("tcp://127.0.0.1:4001: unknown host"));
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(!connectedLamp(*window)->isLit());
}

void TestPendingOpen::disconnectStopsAConnectInProgress()
{
    typeAndConnect(QStringLiteral("tcp://127.0.0.1:4001"));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(!port->isOpening());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(boxes->shown.isEmpty());
}

void TestPendingOpen::disconnectStopsAReconnectInProgress()
{
    typeAndConnect(QStringLiteral("tcp://127.0.0.1:4001")); // the same address proves the device
    port->finishOpening(true);
    port->hangUp();
    QTRY_VERIFY(port->isOpening());       // the first retry, half a second later
    QTRY_COMPARE(boxes->shown.size(), 1); // the lost link
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(!port->isOpening());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY(!connectedLamp(*window)->isLit());
}

QTEST_MAIN(TestPendingOpen)
#include "tst_pendingopen.moc"
