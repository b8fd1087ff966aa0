// SPDX-License-Identifier: MIT
// Two presets flipped between from the main window's menu (the right mouse button, then the
// Menu key) against the real varnok-sim on a pseudo-terminal: the switch's log shows only the
// key commands of the outputs that differ, and its routing ends on the preset.
#include "link/matrixsetup.h"
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "runfolder.h"
#include "ui/mainwindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int patienceMs = 5000; // waiting only; nothing is asserted about speed

} // namespace

class TestPresetsSim : public QObject
{
    Q_OBJECT
private slots:
    void flipBetweenPresets();
    void cleanup();

private:
    bool startAll();
    // The simulator's log lines since `from`.
    QByteArrayList simLog(qsizetype from = 0);
    QString lampRows() const;
    // Opens the routing panel's menu and recalls its preset number `number`.
    bool recallFromMenu(int number, bool byKey);

    std::unique_ptr<RunFolder> dir;
    std::unique_ptr<QProcess> sim;
    QByteArray simOutput;
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<RecordingMessageBoxes> boxes;
    std::unique_ptr<MainWindow> window;
};

void TestPresetsSim::cleanup()
{
    window.reset(); // the console first, so the simulator's hang-up finds nobody listening
    boxes.reset();
    port.reset();
    if (sim && sim->state() != QProcess::NotRunning) {
        sim->terminate();
        if (!sim->waitForFinished(patienceMs))
            sim->kill();
        sim->waitForFinished(patienceMs);
    }
    sim.reset();
    dir.reset();
}

bool TestPresetsSim::startAll()
{
    dir = std::make_unique<RunFolder>();
    const QString link = dir->filePath(QStringLiteral("COM1"));
    sim = std::make_unique<QProcess>();
    sim->setProgram(QStringLiteral(VARNOK_SIM_PATH));
    sim->setArguments(
        {QStringLiteral("--link"), link, QStringLiteral("--initial"), QStringLiteral("0123")});
    sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(sim.get(), &QProcess::readyReadStandardOutput, this,
            [this] { simOutput += sim->readAllStandardOutput(); });
    sim->start();
    if (!dir->isEntered() || !sim->waitForStarted(patienceMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/"))) {
        if (sim->state() == QProcess::NotRunning || clock.elapsed() > patienceMs)
            return false;
        QTest::qWait(10);
    }
    port = std::make_unique<SerialPort>();
    boxes = std::make_unique<RecordingMessageBoxes>();
    window = std::make_unique<MainWindow>(*port, *boxes, dir->path());
    window->startUp();
    window->show();
    window->activateWindow();
    return port->isOpen() && QTest::qWaitForWindowActive(window.get());
}

QByteArrayList TestPresetsSim::simLog(qsizetype from)
{
    simOutput += sim->readAllStandardOutput();
    return simOutput.split('\n').mid(from);
}

QString TestPresetsSim::lampRows() const
{
    QString rows;
    for (int output = 0; output < 4; ++output) {
        QChar lit = u'0';
        for (int input = 0; input < 4; ++input)
            if (routingLamp(*window, output, input)->isLit())
                lit = QChar(u'1' + input);
        rows += lit;
    }
    return rows;
}

bool TestPresetsSim::recallFromMenu(int number, bool byKey)
{
    if (byKey) {
        routingButton(*window, 9)->setFocus();
        QTest::keyClick(window->windowHandle(), Qt::Key_Menu);
    } else {
        QWidget* lamp = routingLamp(*window, 2, 1);
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                          lamp->mapTo(window.get(), lamp->rect().center()));
    }
    auto* menu = window->findChild<QMenu*>(QStringLiteral("routingMenu"));
    if (!menu || !menu->isVisible())
        return false;
    auto* preset = menu->findChild<QAction*>(QStringLiteral("recallPreset_%1").arg(number));
    if (!preset || !preset->isEnabled())
        return false;
    menu->close();
    preset->trigger();
    return true;
}

void TestPresetsSim::flipBetweenPresets()
{
    QVERIFY(startAll());
    {
        MatrixSetup setup(dir->path());
        QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {2, 2, 4, 1}));
        QVERIFY(setup.savePreset(QStringLiteral("Home"), {1, 2, 3, 4}));
    }
    QTRY_COMPARE_WITH_TIMEOUT(lampRows(), QStringLiteral("1234"), patienceMs);

    qsizetype from = simLog().size() - 1;
    QVERIFY(recallFromMenu(1, false));
    QTRY_VERIFY_WITH_TIMEOUT(simLog(from).contains("-> \\r\\ns11s21s33s40\\r\\n"), patienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(lampRows(), QStringLiteral("2241"), patienceMs);
    QByteArrayList commands;
    for (const QByteArray& line : simLog(from))
        if (line.startsWith("<- "))
            commands << line;
    QCOMPARE(commands, (QByteArrayList{"<- cir 1D", "<- cir 03", "<- cir 18", "<- bc "}));
    QCOMPARE(lampRows(), QStringLiteral("2241"));
    // The recall ends with the status report's lines (and their closing line break).
    QTRY_VERIFY_WITH_TIMEOUT(
        receivePane(*window)->text().endsWith(QStringLiteral("\r\nHDMI Out4 -> HDMI In 1\r\n")),
        patienceMs);

    from = simLog().size() - 1;
    QVERIFY(recallFromMenu(2, true));
    QTRY_VERIFY_WITH_TIMEOUT(simLog(from).contains("-> \\r\\ns10s21s32s43\\r\\n"), patienceMs);
    commands.clear();
    for (const QByteArray& line : simLog(from))
        if (line.startsWith("<- "))
            commands << line;
    QCOMPARE(commands, (QByteArrayList{"<- cir 09", "<- cir 05", "<- cir 51", "<- bc "}));
    QTRY_COMPARE_WITH_TIMEOUT(lampRows(), QStringLiteral("1234"), patienceMs);
    QVERIFY(!receivePane(*window)->text().contains(QStringLiteral("Preset")));
    QVERIFY(boxes->shown.isEmpty());
}

QTEST_MAIN(TestPresetsSim)
#include "tst_presets_sim.moc"
