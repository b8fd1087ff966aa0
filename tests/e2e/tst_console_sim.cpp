// SPDX-License-Identifier: MIT
// The whole console against the real varnok-sim: the window, SerialPort on the simulator's
// pseudo-terminal behind the COM1 link, the dialogs driven while they are modal, and what the
// switch says it received, read from its log.
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/ipaddressedit.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int patienceMs = 5000; // waiting only; nothing is asserted about speed

// The input (1 to 4) lit in an output's lamp row; 0 when the row is dark, -1 when more than one
// lamp is lit.
int litInput(const MainWindow& window, int output)
{
    int lit = 0;
    for (int input = 1; input <= 4; ++input) {
        if (routingLamp(window, output - 1, input - 1)->isLit())
            lit = lit == 0 ? input : -1;
    }
    return lit;
}

// All four rows as digits, output 1 first: "4310" is output 1 on input 4, output 2 on input 3,
// output 3 on input 1 and output 4 dark.
QString lampRows(const MainWindow& window)
{
    QString rows;
    for (int output = 1; output <= 4; ++output) {
        const int lit = litInput(window, output);
        rows += lit < 0 ? QChar(u'*') : QChar(u'0' + lit);
    }
    return rows;
}

QString routeLine(int output, int input)
{
    return QStringLiteral("\r\nHDMI Out%1 -> HDMI In %2").arg(output).arg(input);
}

// Runs `body` on the modal dialog of type D once it is up (called just before the click that
// opens it). Whatever happens in `body`, a dialog still open afterwards is closed, so a failed
// check never leaves the test stuck in the dialog's loop. `ran` tells whether a dialog was found.
void whenModal(QObject* context, bool* ran, const QString& name, std::function<void(QDialog*)> body)
{
    QTimer::singleShot(0, context, [ran, name, body] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() != name)
            dialog = nullptr;
        *ran = !dialog.isNull();
        if (!dialog)
            return;
        body(dialog.data());
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

class TestConsoleSim : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void routingKey_data();
    void routingKey();
    void statusShowsSwitchRouting_data();
    void statusShowsSwitchRouting();
    void utpDialogReadsAndSetsMask();
    void setIpReachesSwitch_data();
    void setIpReachesSwitch();
    void silentSwitchTripsWatchdogOnce();
    void lateUtpAnswerStillFillsDialog();
    void frontPanelChangesLightLamps();
    void dribbledReplyShownRaw();
    void noisyRepliesDroppedWhole();
    void silentSwitchIsNotedOnce();
    void switchRestartIsFollowed();

private:
    // Starts varnok-sim with `arguments` behind <dir>/COM1, then the console in that directory.
    bool startAll(const QStringList& arguments, bool awaitRouting = true);
    bool simLogged(const QByteArray& line);
    QByteArrayList simLog();
    // Presses a routing button and waits until the console has shown one more route line.
    bool pressAndWaitForRoute(int index);

    RunFolder* dir = nullptr;
    QProcess* sim = nullptr;
    QByteArray simOutput;
    SerialPort* port = nullptr;
    RecordingMessageBoxes* boxes = nullptr;
    MainWindow* window = nullptr;
};

void TestConsoleSim::init()
{
    dir = new RunFolder;
    QVERIFY(dir->isEntered());
    simOutput.clear();
}

void TestConsoleSim::cleanup()
{
    // The console goes first, so the simulator's hang-up finds nobody listening.
    delete window;
    window = nullptr;
    delete boxes;
    boxes = nullptr;
    delete port;
    port = nullptr;
    if (sim) {
        if (sim->state() != QProcess::NotRunning) {
            sim->terminate();
            if (!sim->waitForFinished(patienceMs)) {
                sim->kill();
                sim->waitForFinished(patienceMs);
            }
        }
        delete sim;
        sim = nullptr;
    }
    delete dir;
    dir = nullptr;
}

bool TestConsoleSim::startAll(const QStringList& arguments, bool awaitRouting)
{
    const QString link = dir->filePath(QStringLiteral("COM1"));
    sim = new QProcess;
    sim->setWorkingDirectory(dir->path());
    sim->setProgram(QStringLiteral(VARNOK_SIM_PATH));
    sim->setArguments(QStringList{QStringLiteral("--link"), link} + arguments);
    sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(sim, &QProcess::readyReadStandardOutput, sim,
            [this] { simOutput += sim->readAllStandardOutput(); });
    sim->start();
    if (!sim->waitForStarted(patienceMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/")) ||
           !QFileInfo::exists(link)) {
        if (sim->state() == QProcess::NotRunning || clock.elapsed() > patienceMs)
            return false;
        QTest::qWait(10);
    }

    port = new SerialPort;
    boxes = new RecordingMessageBoxes;
    window = new MainWindow(*port, *boxes, dir->path());
    window->startUp();
    if (!port->isOpen() || !boxes->shown.isEmpty())
        return false;
    if (!awaitRouting)
        return true;
    // The open asks for the routing by itself: once answered (or found silent), the cases start
    // from an empty pane.
    QElapsedTimer answer;
    answer.start();
    while (!receivePane(*window)->text().contains(QStringLiteral("HDMI Out4")) &&
           !receivePane(*window)->text().contains(QStringLiteral("No answer"))) {
        if (answer.elapsed() > patienceMs)
            return false;
        QTest::qWait(10);
    }
    QTest::mouseClick(clearButton(*window), Qt::LeftButton);
    return true;
}

QByteArrayList TestConsoleSim::simLog()
{
    simOutput += sim->readAllStandardOutput();
    return simOutput.split('\n');
}

bool TestConsoleSim::simLogged(const QByteArray& line)
{
    return simLog().contains(line);
}

bool TestConsoleSim::pressAndWaitForRoute(int index)
{
    const qsizetype before = receivePane(*window)->text().count(QStringLiteral("HDMI Out"));
    QTest::mouseClick(routingButton(*window, index), Qt::LeftButton);
    QElapsedTimer clock;
    clock.start();
    while (receivePane(*window)->text().count(QStringLiteral("HDMI Out")) == before) {
        if (clock.elapsed() > patienceMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

void TestConsoleSim::routingKey_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("initial"); // the switch's input digits (from 0) of outputs 1..4
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("input"); // what the output shows afterwards, counted from 1

    // Arrows step the output's input down (left) or up (right) and wrap around.
    QTest::newRow("0 out1 left 1->4") << 0 << "0123" << QByteArray("cir 57") << 1 << 4;
    QTest::newRow("1 out1 right 1->2") << 1 << "0123" << QByteArray("cir 41") << 1 << 2;
    QTest::newRow("2 out1 in1") << 2 << "1230" << QByteArray("cir 09") << 1 << 1;
    QTest::newRow("3 out1 in2") << 3 << "0123" << QByteArray("cir 1D") << 1 << 2;
    QTest::newRow("4 out1 in3") << 4 << "0123" << QByteArray("cir 1F") << 1 << 3;
    QTest::newRow("5 out1 in4") << 5 << "0123" << QByteArray("cir 0D") << 1 << 4;
    QTest::newRow("6 out2 left 1->4") << 6 << "3012" << QByteArray("cir 1B") << 2 << 4;
    QTest::newRow("7 out2 right 2->3") << 7 << "0123" << QByteArray("cir 11") << 2 << 3;
    QTest::newRow("8 out2 in1") << 8 << "0123" << QByteArray("cir 17") << 2 << 1;
    QTest::newRow("9 out2 in2") << 9 << "1230" << QByteArray("cir 12") << 2 << 2;
    QTest::newRow("10 out2 in3") << 10 << "0123" << QByteArray("cir 59") << 2 << 3;
    QTest::newRow("11 out2 in4") << 11 << "0123" << QByteArray("cir 08") << 2 << 4;
    QTest::newRow("12 out3 left 3->2") << 12 << "0123" << QByteArray("cir 55") << 3 << 2;
    QTest::newRow("13 out3 right 4->1") << 13 << "1230" << QByteArray("cir 48") << 3 << 1;
    QTest::newRow("14 out3 in1") << 14 << "0123" << QByteArray("cir 5E") << 3 << 1;
    QTest::newRow("15 out3 in2") << 15 << "0123" << QByteArray("cir 06") << 3 << 2;
    QTest::newRow("16 out3 in3") << 16 << "1230" << QByteArray("cir 05") << 3 << 3;
    QTest::newRow("17 out3 in4") << 17 << "0123" << QByteArray("cir 03") << 3 << 4;
    QTest::newRow("18 out4 left 4->3") << 18 << "0123" << QByteArray("cir 07") << 4 << 3;
    QTest::newRow("19 out4 right 4->1") << 19 << "0123" << QByteArray("cir 40") << 4 << 1;
    QTest::newRow("20 out4 in1") << 20 << "0123" << QByteArray("cir 18") << 4 << 1;
    QTest::newRow("21 out4 in2") << 21 << "0123" << QByteArray("cir 44") << 4 << 2;
    QTest::newRow("22 out4 in3") << 22 << "0123" << QByteArray("cir 0F") << 4 << 3;
    QTest::newRow("23 out4 in4") << 23 << "1230" << QByteArray("cir 51") << 4 << 4;
}

void TestConsoleSim::routingKey()
{
    QFETCH(int, index);
    QFETCH(QString, initial);
    QFETCH(QByteArray, command);
    QFETCH(int, output);
    QFETCH(int, input);
    QVERIFY(startAll({QStringLiteral("--initial"), initial}));
    // The switch's routing from the moment the link opened, with no press.
    QString atStart;
    for (const QChar digit : initial)
        atStart += QChar(digit.unicode() + 1);
    QCOMPARE(lampRows(*window), atStart);

    QTest::mouseClick(routingButton(*window, index), Qt::LeftButton);
    QCOMPARE(sendBox(*window)->text(), QString::fromLatin1(command + "\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(litInput(*window, output), input, patienceMs);
    for (int other = 1; other <= 4; ++other) {
        if (other != output)
            QCOMPARE(litInput(*window, other), atStart[other - 1].unicode() - u'0');
    }
    QCOMPARE(receivePane(*window)->text(), routeLine(output, input));
    QVERIFY2(simLogged("<- " + command), simOutput.constData());
    QVERIFY(boxes->shown.isEmpty());
}

void TestConsoleSim::statusShowsSwitchRouting_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QList<int>>("presses");
    QTest::addColumn<QString>("lamps");   // lit input of outputs 1..4
    QTest::addColumn<QByteArray>("sent"); // the switch's status answer as it logs it
    QTest::addColumn<QString>("pane");

    QTest::newRow("four outputs changed")
        << "0123" << QList<int>{10, 14, 0, 19} << "4311"
        << QByteArray("-> \\r\\ns13s22s30s40\\r\\n")
        << QStringLiteral("\r\nHDMI Out1 -> HDMI In 4\r\nHDMI Out2 -> HDMI In 3"
                          "\r\nHDMI Out3 -> HDMI In 1\r\nHDMI Out4 -> HDMI In 1\r\n");
    QTest::newRow("output 1 untouched, output 2 twice")
        << "3210" << QList<int>{7, 7, 12, 23} << "4114" << QByteArray("-> \\r\\ns13s20s30s43\\r\\n")
        << QStringLiteral("\r\nHDMI Out1 -> HDMI In 4\r\nHDMI Out2 -> HDMI In 1"
                          "\r\nHDMI Out3 -> HDMI In 1\r\nHDMI Out4 -> HDMI In 4\r\n");
}

void TestConsoleSim::statusShowsSwitchRouting()
{
    QFETCH(QString, initial);
    QFETCH(QList<int>, presses);
    QFETCH(QString, lamps);
    QFETCH(QByteArray, sent);
    QFETCH(QString, pane);
    QVERIFY(startAll({QStringLiteral("--initial"), initial}));

    for (int index : presses)
        QVERIFY2(pressAndWaitForRoute(index), qPrintable(QString::number(index)));
    // Put every row on an input the switch does not have, so only the answer can set them right.
    const auto wrong = [&lamps](int output) {
        return quint8(lamps[output - 1].digitValue() % 4 + 1);
    };
    window->showRoute(1, wrong(1));
    window->showRoute(2, wrong(2));
    window->showRoute(3, wrong(3));
    window->showRoute(4, wrong(4));
    QVERIFY(lampRows(*window) != lamps);
    QTest::mouseClick(clearButton(*window), Qt::LeftButton); // Clear

    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(receivePane(*window)->text(), pane, patienceMs);
    QCOMPARE(lampRows(*window), lamps);
    QVERIFY(simLogged("<- bc "));
    QVERIFY2(simLogged(sent), simOutput.constData());
    QVERIFY(boxes->shown.isEmpty());
}

void TestConsoleSim::utpDialogReadsAndSetsMask()
{
    QVERIFY(startAll({}));
    QObject context;

    // First opening: the switch starts with every output on "2 wires"; choose 1 and 3 on
    // "1 wire" and send it.
    bool ran = false;
    whenModal(&context, &ran, QStringLiteral("Utp"), [this](QDialog* dialog) {
        QTRY_VERIFY_WITH_TIMEOUT(element<QRadioButton>(dialog, "Option6", 0)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 1)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 2)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 3)->isChecked(),
                                 patienceMs);
        for (int i = 0; i < 4; ++i)
            QVERIFY(!element<QRadioButton>(dialog, "Option5", i)->isChecked());
        QVERIFY(!window->isWatchdogArmed()); // the answer stopped it
        QTest::mouseClick(element<QRadioButton>(dialog, "Option5", 0), Qt::LeftButton);
        QTest::mouseClick(element<QRadioButton>(dialog, "Option5", 2), Qt::LeftButton);
        QVERIFY(element<QRadioButton>(dialog, "Option5", 0)->isChecked() &&
                element<QRadioButton>(dialog, "Option5", 2)->isChecked());
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), qsizetype(1), patienceMs);
        QCOMPARE(boxes->shown[0].text, QStringLiteral("UTP set success!"));
        QCOMPARE(boxes->shown[0].title, QStringLiteral("VARNOK"));
        QVERIFY(dialog->isVisible()); // "OK" leaves the dialog open
        auto* quit = dialog->findChild<QPushButton*>(QStringLiteral("Command2"));
        QVERIFY(quit);
        QTest::mouseClick(quit, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QTest::mouseClick(utpButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(sendBox(*window)->text(), QStringLiteral("rup \r\n"));
    QVERIFY(simLogged("<- rup "));
    QVERIFY(simLogged("-> ust00\\r\\n"));
    QVERIFY2(simLogged("<- utp 5"), simOutput.constData());
    QVERIFY(simLogged("-> utp\\r\\n"));
    QCOMPARE(boxes->shown.size(), qsizetype(1));

    // Second opening: the dialog starts empty again and shows what the switch now holds.
    ran = false;
    whenModal(&context, &ran, QStringLiteral("Utp"), [this](QDialog* dialog) {
        QTRY_VERIFY_WITH_TIMEOUT(element<QRadioButton>(dialog, "Option5", 0)->isChecked() ||
                                     element<QRadioButton>(dialog, "Option6", 0)->isChecked(),
                                 patienceMs);
        QVERIFY(element<QRadioButton>(dialog, "Option5", 0)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option6", 1)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option5", 2)->isChecked());
        QVERIFY(element<QRadioButton>(dialog, "Option6", 3)->isChecked());
        QVERIFY(!window->isWatchdogArmed());
    });
    QTest::mouseClick(utpButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY2(simLogged("-> ust05\\r\\n"), simOutput.constData());
    QCOMPARE(boxes->shown.size(), qsizetype(1));
    QCOMPARE(receivePane(*window)->text(), QString()); // neither answer is shown in the pane
}

void TestConsoleSim::setIpReachesSwitch_data()
{
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("received"); // the switch's log of what it was sent

    QTest::newRow("192.168.1.10") << true << "192.168.1.10" << QByteArray("<- sip C0 A8 1 A");
    QTest::newRow("10.0.0.15") << true << "10.0.0.15" << QByteArray("<- sip A 0 0 F");
    QTest::newRow("255.255.255.255")
        << true << "255.255.255.255" << QByteArray("<- sip FF FF FF FF");
    QTest::newRow("automatic") << false << "" << QByteArray("<- dhc");
}

void TestConsoleSim::setIpReachesSwitch()
{
    QFETCH(bool, fixed);
    QFETCH(QString, address);
    QFETCH(QByteArray, received);
    QVERIFY(startAll({}));

    // Something in the pane, caret at its start: the "Ack" must leave the text alone, and the
    // reply handler's final select-all shows that the answer has been handled.
    QTest::mouseClick(statusButton(*window), Qt::LeftButton);
    const QString status =
        QStringLiteral("\r\nHDMI Out1 -> HDMI In 1\r\nHDMI Out2 -> HDMI In 2"
                       "\r\nHDMI Out3 -> HDMI In 3\r\nHDMI Out4 -> HDMI In 4\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(receivePane(*window)->text(), status, patienceMs);
    receivePane(*window)->moveCursor(QTextCursor::Start);
    QVERIFY(!receivePane(*window)->isAllSelectedToEnd());

    QObject context;
    bool ran = false;
    whenModal(&context, &ran, QStringLiteral("SetIP"), [fixed, address](QDialog* dialog) {
        if (fixed) {
            auto* option = dialog->findChild<QRadioButton*>(QStringLiteral("Option2"));
            QVERIFY(option);
            QTest::mouseClick(option, Qt::LeftButton);
            QVERIFY(option->isChecked()); // the fixed address, as the bytes sent show below
            auto* box = dialog->findChild<IpAddressEdit*>(QStringLiteral("ipBox1"));
            QVERIFY(box);
            QVERIFY(box->isVisible());
            QVERIFY(box->setAddress(address));
            QCOMPARE(box->address(), address);
        }
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!dialog->isVisible()); // "OK" closes
    });
    QTest::mouseClick(networkSettingsButton(*window), Qt::LeftButton);
    QVERIFY(ran);

    QTRY_VERIFY2_WITH_TIMEOUT(simLogged(received), simOutput.constData(), patienceMs);
    QVERIFY(simLogged("-> Ack\\r\\n"));
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->isAllSelectedToEnd(), patienceMs);
    QCOMPARE(receivePane(*window)->text(), status);
    QVERIFY(boxes->shown.isEmpty());
}

void TestConsoleSim::silentSwitchTripsWatchdogOnce()
{
    QVERIFY(startAll({QStringLiteral("--silent")}));
    QObject context;
    bool ran = false;
    whenModal(&context, &ran, QStringLiteral("Utp"), [this](QDialog* dialog) {
        QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), qsizetype(1), patienceMs);
        QCOMPARE(boxes->shown[0].text, QStringLiteral("Device is not connect!"));
        QCOMPARE(boxes->shown[0].title, QStringLiteral("VARNOK"));
        QVERIFY(!window->isWatchdogArmed()); // no second report can follow
        // Still open, still waiting, still usable: "OK" sends what is chosen.
        QVERIFY(dialog->isVisible());
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!element<QRadioButton>(dialog, "Option5", i)->isChecked() &&
                    !element<QRadioButton>(dialog, "Option6", i)->isChecked());
            QTest::mouseClick(element<QRadioButton>(dialog, "Option6", i), Qt::LeftButton);
        }
        QTest::mouseClick(element<QRadioButton>(dialog, "Option5", 3), Qt::LeftButton);
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(simLogged("<- utp 8"), simOutput.constData(), patienceMs);
        QVERIFY(dialog->isVisible());
    });
    QTest::mouseClick(utpButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(simLogged("<- rup "));
    QCOMPARE(boxes->shown.size(), qsizetype(1));
    QCOMPARE(receivePane(*window)->text(), QString());
}

void TestConsoleSim::lateUtpAnswerStillFillsDialog()
{
    // The answer comes after the watchdog has given up: one report, then the dialog is filled
    // all the same.
    QVERIFY(startAll({QStringLiteral("--delay"), QStringLiteral("1200")}));
    QObject context;
    bool ran = false;
    whenModal(&context, &ran, QStringLiteral("Utp"), [this](QDialog* dialog) {
        QTRY_COMPARE_WITH_TIMEOUT(boxes->shown.size(), qsizetype(1), patienceMs);
        QCOMPARE(boxes->shown[0].text, QStringLiteral("Device is not connect!"));
        QTRY_VERIFY_WITH_TIMEOUT(element<QRadioButton>(dialog, "Option6", 0)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 1)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 2)->isChecked() &&
                                     element<QRadioButton>(dialog, "Option6", 3)->isChecked(),
                                 patienceMs);
        QVERIFY(!window->isWatchdogArmed());
    });
    QTest::mouseClick(utpButton(*window), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(simLogged("-> ust00\\r\\n"));
    QCOMPARE(boxes->shown.size(), qsizetype(1));
}

void TestConsoleSim::frontPanelChangesLightLamps()
{
    QVERIFY(startAll({QStringLiteral("--front-panel"), QStringLiteral("0.4"),
                      QStringLiteral("--initial"), QStringLiteral("0123"), QStringLiteral("--seed"),
                      QStringLiteral("7")}));
    // Nothing is pressed. At some moment the lamps and the pane must show exactly the reports
    // the switch has sent so far, at least two of them.
    const QRegularExpression report(QStringLiteral("^-> s([1-4])([0-3])\\\\r\\\\n$"));
    int reports = 0;
    QString expectedLamps;
    QString expectedPane;
    const auto matches = [&] {
        expectedLamps = QStringLiteral("0000");
        expectedPane.clear();
        reports = 0;
        for (const QByteArray& line : simLog()) {
            const QRegularExpressionMatch m = report.match(QString::fromLatin1(line));
            if (!m.hasMatch())
                continue;
            const int output = m.captured(1).toInt();
            const int input = m.captured(2).toInt() + 1;
            expectedLamps[output - 1] = QChar(u'0' + input);
            expectedPane += routeLine(output, input);
            ++reports;
        }
        return reports >= 2 && lampRows(*window) == expectedLamps &&
               receivePane(*window)->text() == expectedPane;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(matches(),
                              qPrintable(QStringLiteral("%1 reports; lamps %2, expected %3")
                                             .arg(reports)
                                             .arg(lampRows(*window), expectedLamps)),
                              patienceMs);
    QVERIFY(boxes->shown.isEmpty());
}

void TestConsoleSim::dribbledReplyShownRaw()
{
    // One byte every 150 ms: each byte ends up alone in a framing window, so no piece is a
    // report and everything lands raw in the pane, in order.
    // The routing request of the open is the status request.
    QVERIFY(startAll({QStringLiteral("--dribble"), QStringLiteral("150")}, false));
    const QString raw = QStringLiteral("\r\ns10s21s32s43\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->text().size() >= raw.size(), 3 * patienceMs);
    QCOMPARE(receivePane(*window)->text(), raw);
    QCOMPARE(lampRows(*window), QStringLiteral("0000"));
    QVERIFY(boxes->shown.isEmpty());
    QVERIFY(port->isOpen());
}

void TestConsoleSim::noisyRepliesDroppedWhole()
{
    // Every answer carries one byte of 0x80 or above somewhere: the console drops each answer
    // whole, shows nothing and lights nothing.
    QVERIFY(startAll({QStringLiteral("--noise"), QStringLiteral("--seed"), QStringLiteral("5")},
                     false));
    // The answer to the open's routing request is dropped like the others.
    receivePane(*window)->moveCursor(QTextCursor::Start);
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->isAllSelectedToEnd(), patienceMs);
    QCOMPARE(receivePane(*window)->text(), QString());
    receivePane(*window)->setText(QStringLiteral("before"));
    const struct
    {
        QPushButton* button;
        QByteArray received;
    } presses[] = {{statusButton(*window), "<- bc "}, {routingButton(*window, 10), "<- cir 59"}};
    for (const auto& press : presses) {
        // The handler's final select-all tells that the answer has been through it.
        receivePane(*window)->moveCursor(QTextCursor::Start);
        QVERIFY(!receivePane(*window)->isAllSelectedToEnd());
        QTest::mouseClick(press.button, Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(simLogged(press.received), simOutput.constData(), patienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->isAllSelectedToEnd(), patienceMs);
        QCOMPARE(receivePane(*window)->text(), QStringLiteral("before"));
        QCOMPARE(lampRows(*window), QStringLiteral("0000"));
    }
    // The noise did reach the line: the logged answers hold a byte the console cannot take.
    const QByteArrayList log = simLog();
    QCOMPARE(std::count_if(log.begin(), log.end(),
                           [](const QByteArray& line) {
                               return line.startsWith("-> ") && line.contains("\\x");
                           }),
             qsizetype(3));
    QVERIFY(boxes->shown.isEmpty());
}

void TestConsoleSim::silentSwitchIsNotedOnce()
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QVERIFY(startAll({QStringLiteral("--silent")}, false));
    const QString note = QStringLiteral("No answer from the switch on COM1 (%1).")
                             .arg(dir->filePath(QStringLiteral("COM1")));
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(*window)->text().contains(note), patienceMs);
    qInfo("silence noted %lld ms after start-up", static_cast<long long>(sinceStart.elapsed()));
    QVERIFY(simLogged("<- bc "));
    QVERIFY(boxes->shown.isEmpty());
    QCOMPARE(lampRows(*window), QStringLiteral("0000"));
    QCOMPARE(receivePane(*window)->text().count(note), 1);
}

void TestConsoleSim::switchRestartIsFollowed()
{
    // The switch answers the open's request, drops the line and comes back with new routes.
    QElapsedTimer sinceStart;
    sinceStart.start();
    QVERIFY(startAll({QStringLiteral("--restart-after"), QStringLiteral("1")}));
    qInfo("routing on the lamps %lld ms after start-up",
          static_cast<long long>(sinceStart.elapsed()));
    QCOMPARE(lampRows(*window), QStringLiteral("1234"));
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), patienceMs);
    QElapsedTimer down;
    down.start();
    QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), patienceMs);
    qInfo("reconnected %lld ms after the hang-up", static_cast<long long>(down.elapsed()));
    QVERIFY(down.elapsed() < 2000);
    QTRY_VERIFY2_WITH_TIMEOUT(lampRows(*window) == QStringLiteral("2341"),
                              simLog().join('\n').constData(), patienceMs);
    QCOMPARE(simLog().count("<- bc "), 2);
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY(boxes->shown[0].text.startsWith(QStringLiteral("Connection to the switch lost")));
}

QTEST_MAIN(TestConsoleSim)
#include "tst_console_sim.moc"
