// SPDX-License-Identifier: MIT
// Ports the user types into the port box: a device path, junk, a choice kept over a restart, and
// tcp://HOST:PORT against varnok-sim serving raw TCP on 127.0.0.1.
#include "elements.h"
#include "link/anyport.h"
#include "link/receiveframer.h"
#include "link/sessionlog.h"
#include "mainwindowelements.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/ipaddressedit.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int patienceMs = 5000; // waiting only; nothing is asserted about speed

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Types `text` into the port box as a user does and confirms it with Enter.
void typePort(MainWindow& window, const QString& text)
{
    QComboBox* box = portList(window);
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

} // namespace

class TestAnyPort : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typedDevicePathIsUsed();
    void junkIsRefused_data();
    void junkIsRefused();
    void typedPortSurvivesRestart();
    void tcpDrivesTheSwitch();
    void webPanelAddressDrivesTheSwitch();
    void utpSetOverTcp();
    void setIpOverTcp();
    void farEndClosingIsLostLink();
    void refusedPortSaysWhyWithoutFreezing();
    void floodIsReadInBoundedPieces();

private:
    void startConsole();
    // varnok-sim --listen 127.0.0.1:0 with `arguments`; the port it bound, 0 when it did not.
    quint16 startSim(const QStringList& arguments = {});
    QByteArray simLog();

    std::unique_ptr<RunFolder> dir;
    std::unique_ptr<AnyPort> port;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QProcess> sim;
    QByteArray simOutput;
};

void TestAnyPort::init()
{
    dir = std::make_unique<RunFolder>();
    QVERIFY(dir->isEntered());
    // COM1 leads nowhere, so no test reaches a real serial port by accident.
    QVERIFY(dir->linkCom1(dir->filePath(QStringLiteral("absent"))));
    simOutput.clear();
}

void TestAnyPort::cleanup()
{
    window.reset();
    boxes.reset();
    port.reset();
    if (sim) {
        sim->terminate();
        sim->waitForFinished(patienceMs);
        sim.reset();
    }
    dir.reset();
}

void TestAnyPort::startConsole()
{
    window.reset();
    port = std::make_unique<AnyPort>();
    boxes = std::make_unique<RecordingMessageBoxes>();
    window = std::make_unique<MainWindow>(*port, *boxes, dir->path());
    window->startUp();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    boxes->shown.clear(); // COM1 leads nowhere
}

quint16 TestAnyPort::startSim(const QStringList& arguments)
{
    sim = std::make_unique<QProcess>();
    sim->setProgram(QStringLiteral(VARNOK_SIM_PATH));
    sim->setArguments(QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                      arguments);
    sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim->start();
    if (!sim->waitForReadyRead(patienceMs))
        return 0;
    const QByteArray first = sim->readLine().trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"))
            .match(QString::fromLatin1(first));
    return match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
}

QByteArray TestAnyPort::simLog()
{
    simOutput += sim->readAllStandardOutput();
    return simOutput;
}

void TestAnyPort::typedDevicePathIsUsed()
{
    PtyPair line;
    QVERIFY(line.ok());
    // A stable name elsewhere than the working directory, as udev makes them.
    QTemporaryDir byId;
    const QString stable = byId.filePath(QStringLiteral("usb-FTDI_switch-if00-port0"));
    QVERIFY(QFile::link(line.slavePath, stable));
    startConsole();

    typePort(*window, stable);
    QCOMPARE(portList(*window)->currentText(), stable);
    QVERIFY(!connectedLamp(*window)->isLit());
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QVERIFY(connectedLamp(*window)->isLit());
    QVERIFY(boxes->shown.isEmpty());
    QCOMPARE(line.read(5, patienceMs, [] { QCoreApplication::processEvents(); }),
             QByteArray("bc \r\n"));
}

void TestAnyPort::junkIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("word") << "switch";
    QTest::newRow("relative path") << "dev/ttyUSB0";
    QTest::newRow("COM11") << "COM11";
    QTest::newRow("tcp without port") << "tcp://127.0.0.1";
    QTest::newRow("tcp port too large") << "tcp://127.0.0.1:65536";
    QTest::newRow("other scheme") << "udp://127.0.0.1:23";
    QTest::newRow("panel without a switch") << "http://127.0.0.1:8080/";
    QTest::newRow("panel, not a switch id") << "http://127.0.0.1:8080/Hall/";
    QTest::newRow("panel with a query") << "http://127.0.0.1:8080/hall/?x";
}

void TestAnyPort::junkIsRefused()
{
    QFETCH(QString, typed);
    PtyPair line;
    QVERIFY(line.ok());
    QVERIFY(dir->linkCom1(line.slavePath));
    startConsole();
    QVERIFY(connectedLamp(*window)->isLit());
    const QByteArray comport = fileBytes(dir->filePath(QStringLiteral("COMPORT")));

    typePort(*window, typed);
    const QString pane = receivePane(*window)->text();
    QVERIFY2(pane.contains(QStringLiteral("\"%1\" is not a port").arg(typed)), qPrintable(pane));
    QVERIFY(pane.contains(QStringLiteral("COM1 to COM10")));
    QVERIFY(pane.contains(QStringLiteral("/dev/ttyUSB1")));
    QVERIFY(pane.contains(QStringLiteral("tcp://HOST:PORT")));
    QVERIFY(connectedLamp(*window)->isLit());
    QCOMPARE(portList(*window)->currentText(), QStringLiteral("COM1"));
    QCOMPARE(fileBytes(dir->filePath(QStringLiteral("COMPORT"))), comport);
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("varnok.conf"))) ||
            !fileBytes(dir->filePath(QStringLiteral("varnok.conf"))).contains("port="));
    // Still the same line: Status goes out on it.
    QCOMPARE(line.read(5, patienceMs, [] { QCoreApplication::processEvents(); }),
             QByteArray("bc \r\n"));
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QCOMPARE(line.read(5, patienceMs, [] { QCoreApplication::processEvents(); }),
             QByteArray("bc \r\n"));
}

void TestAnyPort::typedPortSurvivesRestart()
{
    PtyPair line;
    QVERIFY(line.ok());
    startConsole();
    typePort(*window, QStringLiteral("COM3")); // the list's entry, as if chosen there
    QCOMPARE(portList(*window)->currentIndex(), 2);
    const QByteArray comport = fileBytes(dir->filePath(QStringLiteral("COMPORT")));
    QCOMPARE(comport, QByteArray(" 2 \r\n"));

    typePort(*window, line.slavePath);
    startConsole(); // a restart in the same folder
    QCOMPARE(portList(*window)->currentText(), line.slavePath);
    QVERIFY(connectedLamp(*window)->isLit());
    QCOMPARE(fileBytes(dir->filePath(QStringLiteral("COMPORT"))), comport);

    // Choosing a COM port again forgets the typed one.
    typePort(*window, QStringLiteral("COM3"));
    startConsole();
    QCOMPARE(portList(*window)->currentText(), QStringLiteral("COM3"));
    QCOMPARE(fileBytes(dir->filePath(QStringLiteral("COMPORT"))), comport);
}

void TestAnyPort::tcpDrivesTheSwitch()
{
    const quint16 simPort = startSim({QStringLiteral("--initial"), QStringLiteral("3012")});
    QVERIFY(simPort != 0);
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(simPort));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);
    // The routing asked for on connect lights the lamps as over the serial line.
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 3, 2)->isLit(), patienceMs);
    QVERIFY(routingLamp(*window, 0, 3)->isLit());
    QVERIFY(routingLamp(*window, 1, 0)->isLit());
    QVERIFY(simLog().contains("<- bc \n"));

    QTest::mouseClick(routingButton(*window, 10), Qt::LeftButton); // output 2, input 3
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 1, 2)->isLit(), patienceMs);
    QVERIFY(!routingLamp(*window, 1, 0)->isLit());
    QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("<- cir 59\n"), patienceMs);
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(simLog().count("<- bc \n"), 2, patienceMs);
    QVERIFY(boxes->shown.isEmpty());
}

// varnokd shares the simulated switch; its web panel's page address, typed as a port, is the
// window's line to it.
void TestAnyPort::webPanelAddressDrivesTheSwitch()
{
    const quint16 simPort = startSim({QStringLiteral("--initial"), QStringLiteral("3012")});
    QVERIFY(simPort != 0);
    // The service's folder holds the names; the console's own holds others, never shown.
    QDir(dir->path()).mkdir(QStringLiteral("room"));
    for (const auto& [folder, names] :
         {std::pair{QStringLiteral("room/"), QByteArray("[names]\noutput2=Projector\n")},
          std::pair{QString(), QByteArray("[names]\noutput2=Desk only\n")}}) {
        QFile setup(dir->filePath(folder + QStringLiteral("varnok.conf")));
        QVERIFY(setup.open(QIODevice::WriteOnly));
        setup.write(names);
    }
    QFile conf(dir->filePath(QStringLiteral("varnokd.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(
        QStringLiteral("[room]\ndir=room\nport=tcp://127.0.0.1:%1\nlisten=127.0.0.1:0\npoll=0\n"
                       "[web]\nlisten=127.0.0.1:0\nroom.pin=2468\n")
            .arg(simPort)
            .toUtf8());
    conf.close();
    QProcess service;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir->filePath(QStringLiteral("state")));
    service.setProcessEnvironment(environment);
    service.start(QStringLiteral(VARNOKD_PATH), {QStringLiteral("--config"), conf.fileName()});
    QString log;
    const QRegularExpression listening(QStringLiteral("web: listening on (http://\\S+/)"));
    QTRY_VERIFY_WITH_TIMEOUT(
        listening.match(log += QString::fromUtf8(service.readAllStandardError())).hasMatch(),
        patienceMs);
    const QString address = listening.match(log).captured(1) + QStringLiteral("room/");
    startConsole();
    typePort(*window, address);
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(routingButton(*window, 10)->toolTip().contains("Projector"),
                             patienceMs);

    // The question for the routing, refused, asks for the PIN; with it the routing is asked
    // again and a press routes.
    QDialog* pin = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((pin = window->findChild<QDialog*>(QStringLiteral("pinDialog"))) &&
                                 pin->isVisible(),
                             patienceMs);
    QTest::keyClicks(pin->findChild<QLineEdit*>(), QStringLiteral("2468"));
    QTest::keyClick(pin->findChild<QLineEdit*>(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 3, 2)->isLit(), patienceMs); // asked again
    QTest::mouseClick(routingButton(*window, 10), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(routingLamp(*window, 1, 2)->isLit(), patienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("<- cir 59\n"), patienceMs);

    // A name given by the command line through the page shows in the window at once; one from
    // the window's dialog reaches the service's folder, and the console's own stays as it was.
    QFile pinFile(dir->filePath(QStringLiteral("pin")));
    QVERIFY(pinFile.open(QIODevice::WriteOnly));
    pinFile.write("2468\n");
    pinFile.close();
    QProcess cli;
    cli.start(QStringLiteral(VARNOK_PATH),
              {QStringLiteral("--port"), address, QStringLiteral("--pin-file"), pinFile.fileName(),
               QStringLiteral("name"), QStringLiteral("input"), QStringLiteral("3"),
               QStringLiteral("Camera")});
    QVERIFY(cli.waitForFinished(patienceMs));
    QCOMPARE(cli.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(routingButton(*window, 10)->toolTip().contains("Camera"), patienceMs);
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                      routingButton(*window, 2)->mapTo(window.get(), QPoint(5, 5)));
    auto* menu = window->findChild<QMenu*>(QStringLiteral("routingMenu"));
    QVERIFY(menu && menu->isVisible());
    QAction* nameOutput = menu->findChild<QAction*>(QStringLiteral("nameOutputAction"));
    menu->close();
    nameOutput->trigger();
    auto* nameEdit = window->findChild<QLineEdit*>(QStringLiteral("nameEdit"));
    QVERIFY(nameEdit && nameEdit->isVisible());
    QTest::keyClicks(nameEdit, QStringLiteral("Lectern"));
    QTest::keyClick(nameEdit, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(routingButton(*window, 2)->toolTip().contains("Lectern"), patienceMs);
    QSettings kept(dir->filePath(QStringLiteral("room/varnok.conf")), QSettings::IniFormat);
    QCOMPARE(kept.value("names/output1").toString(), QStringLiteral("Lectern"));
    QCOMPARE(kept.value("names/input3").toString(), QStringLiteral("Camera"));
    QSettings own(dir->filePath(QStringLiteral("varnok.conf")), QSettings::IniFormat);
    QCOMPARE(own.value("names/output2").toString(), QStringLiteral("Desk only"));
    QVERIFY(own.value("names/output1").isNull());
    QVERIFY(boxes->shown.isEmpty());

    // Without the service the console's own names are shown again.
    service.terminate();
    QVERIFY(service.waitForFinished(patienceMs));
    QTRY_VERIFY_WITH_TIMEOUT(routingButton(*window, 10)->toolTip().contains("Desk only"),
                             patienceMs);
}

void TestAnyPort::utpSetOverTcp()
{
    const quint16 simPort = startSim();
    QVERIFY(simPort != 0);
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(simPort));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);

    // The routing asked for on connect first: a reply in the same framing window would merge.
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->text().contains(QStringLiteral("HDMI Out4")),
                             patienceMs);
    bool ran = false;
    QTimer::singleShot(0, this, [this, &ran] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ran = dialog != nullptr;
        if (!dialog)
            return;
        const auto closeDialog = qScopeGuard([dialog] { dialog->reject(); });
        // The switch starts with every output on "2 wires".
        QTRY_VERIFY_WITH_TIMEOUT(element<QRadioButton>(dialog, "Option6", 3)->isChecked(),
                                 patienceMs);
        QTest::mouseClick(element<QRadioButton>(dialog, "Option5", 0), Qt::LeftButton);
        QTest::mouseClick(element<QRadioButton>(dialog, "Option5", 2), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 1, patienceMs);
        QCOMPARE(boxes->shown.first().text, QStringLiteral("UTP set success!"));
    });
    QTest::mouseClick(utpButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(simLog().contains("<- rup \n"));
    QVERIFY2(simLog().contains("<- utp 5\n"), simOutput.constData());
}

void TestAnyPort::setIpOverTcp()
{
    const quint16 simPort = startSim();
    QVERIFY(simPort != 0);
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(simPort));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->text().contains(QStringLiteral("HDMI Out4")),
                             patienceMs);

    bool ran = false;
    QTimer::singleShot(0, this, [&ran] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ran = dialog != nullptr;
        if (!dialog)
            return;
        const auto closeDialog = qScopeGuard([dialog] { dialog->reject(); });
        QTest::mouseClick(element<QRadioButton>(dialog, "Option2"), Qt::LeftButton);
        QVERIFY(
            element<IpAddressEdit>(dialog, "ipBox1")->setAddress(QStringLiteral("192.168.1.10")));
        QTest::mouseClick(element<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    });
    QTest::mouseClick(networkSettingsButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QTRY_VERIFY2_WITH_TIMEOUT(simLog().contains("<- sip C0 A8 1 A\n-> Ack\\r\\n\n"),
                              simOutput.constData(), patienceMs);
}

void TestAnyPort::farEndClosingIsLostLink()
{
    const quint16 simPort = startSim({QStringLiteral("--hangup-after"), QStringLiteral("2")});
    QVERIFY(simPort != 0);
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(simPort));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);
    QTest::mouseClick(statusButton(*window), Qt::LeftButton); // the second command
    QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 1, patienceMs);
    QVERIFY2(boxes->shown.first().text.contains(QStringLiteral("closed the connection")),
             qPrintable(boxes->shown.first().text));
    // The session reconnects by itself and asks for the routing again.
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(simLog().count("** client 127.0.0.1"), 2, patienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(simLog().count("<- bc \n"), 3, patienceMs);
}

void TestAnyPort::refusedPortSaysWhyWithoutFreezing()
{
    quint16 freePort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        freePort = probe.serverPort();
    }
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(freePort));

    QElapsedTimer sinceBeat;
    qint64 longestGap = 0;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    connect(&heartbeat, &QTimer::timeout, this,
            [&] { longestGap = std::max(longestGap, sinceBeat.restart()); });
    sinceBeat.start();
    heartbeat.start();
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    longestGap = std::max(longestGap, sinceBeat.restart());
    QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), 1, patienceMs);
    heartbeat.stop();

    QVERIFY2(linkButton(*window)->toolTip().contains(QStringLiteral("refused")),
             qPrintable(linkButton(*window)->toolTip()));
    QVERIFY(!connectedLamp(*window)->isLit());
    QCOMPARE(linkButton(*window)->text(), QStringLiteral("Connect"));
    QVERIFY2(longestGap < 50, qPrintable(QString::number(longestGap)));
    QVERIFY(fileBytes(SessionLog::defaultPath())
                .contains(QStringLiteral(" ! tcp://127.0.0.1:%1: the connection was refused")
                              .arg(freePort)
                              .toUtf8()));
}

void TestAnyPort::floodIsReadInBoundedPieces()
{
    // A peer sending far faster than the window handles it: each read takes at most 16 KiB off
    // the line, the rest waits on the peer's side, and every byte still arrives.
    QTcpServer peer;
    QVERIFY(peer.listen(QHostAddress::LocalHost, 0));
    startConsole();
    typePort(*window, QStringLiteral("tcp://127.0.0.1:%1").arg(peer.serverPort()));
    QTest::mouseClick(linkButton(*window), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectedLamp(*window)->isLit(), patienceMs);
    QTcpSocket* far = peer.nextPendingConnection();
    QVERIFY(far);
    qsizetype received = 0;
    qsizetype largest = 0;
    connect(window->findChild<ReceiveFramer*>(), &ReceiveFramer::bytesReceived, this,
            [&](const QByteArray& bytes) {
                received += bytes.size();
                largest = std::max(largest, bytes.size());
            });
    const QByteArray flood = QByteArray("0123456789abcdef\r\n").repeated(1 << 16);
    far->write(flood);
    QTRY_COMPARE_WITH_TIMEOUT(received, flood.size(), 30000);
    QVERIFY2(largest <= 16 * 1024, qPrintable(QString::number(largest)));
}

QTEST_MAIN(TestAnyPort)
#include "tst_anyport.moc"
