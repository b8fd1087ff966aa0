// SPDX-License-Identifier: MIT
// The routing panel's menu in the main window, opened by the right mouse button and the Menu
// key: naming outputs and inputs (shown in the tooltips, also after a restart), saving the
// routing the lamps show and recalling a preset over a fake port.
#include "fakeserialport.h"
#include "link/matrixsetup.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int patienceMs = 5000;

// A shown, active main window on an open fake port over `dir`.
struct Console
{
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window;

    explicit Console(const QString& dir) : window(port, boxes, dir)
    {
        window.startUp();
        port.takeWritten();
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
    // The switch reports a routing: "1234" puts output 1 on input 1 and so on.
    void report(const QByteArray& inputs)
    {
        QByteArray status = "\r\n";
        for (int output = 0; output < 4; ++output)
            status += 's' + QByteArray::number(output + 1) + char(inputs[output] - 1);
        port.feed(status + "\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(lamps(), inputs, patienceMs);
    }
    QByteArray lamps() const
    {
        QByteArray lit;
        for (int output = 0; output < 4; ++output) {
            char input = '0';
            for (int i = 0; i < 4; ++i)
                if (routingLamp(window, output, i)->isLit())
                    input = char('1' + i);
            lit += input;
        }
        return lit;
    }
    // A right click, as the mouse gives it, at `element`'s centre (or `offset` within it).
    QMenu* rightClick(QWidget* element, QPoint offset = {-1, -1})
    {
        const QPoint at = offset == QPoint(-1, -1) ? element->rect().center() : offset;
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, element->mapTo(&window, at));
        return shownMenu();
    }
    QMenu* shownMenu() const
    {
        QMenu* menu = window.findChild<QMenu*>(QStringLiteral("routingMenu"));
        return menu && menu->isVisible() ? menu : nullptr;
    }
    QAction* action(const char* name) const
    {
        QMenu* menu = shownMenu();
        return menu ? menu->findChild<QAction*>(QLatin1String(name)) : nullptr;
    }
    // Triggers `name` in the shown menu and types `text` into the name dialog it opens.
    bool enterName(const char* name, const QString& text, QString* title = nullptr)
    {
        QAction* chosen = action(name);
        if (!chosen || !chosen->isEnabled())
            return false;
        shownMenu()->close();
        chosen->trigger();
        auto* dialog = window.findChild<QDialog*>(QStringLiteral("nameDialog"));
        if (!dialog || !dialog->isVisible())
            return false;
        if (title)
            *title = dialog->windowTitle();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"));
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        return !dialog->isVisible();
    }
};

} // namespace

class TestMainWindowPresets : public QObject
{
    Q_OBJECT
private slots:
    void menuFollowsPointerAndFocus_data();
    void menuFollowsPointerAndFocus();
    void namesShowInTooltipsAfterRestart();
    void savedPresetRecalledFromMenu();
    void saveTakesTheReportedRoutingNotTheLamps();
    void clicksReachElementsOnAndBesideThePanel_data();
    void clicksReachElementsOnAndBesideThePanel();
    void junkInSettingsSaidOnceAtStart();
};

void TestMainWindowPresets::menuFollowsPointerAndFocus_data()
{
    QTest::addColumn<QString>("element"); // right-clicked, or focused for a key
    QTest::addColumn<int>("key");         // 0: right click
    QTest::addColumn<QString>(
        "outputDialog"); // the title naming "this output" opens; empty: disabled
    QTest::addColumn<bool>("inputOffered");

    QTest::newRow("input button") << "Command1_10" << 0 << "Name output 2" << true;
    QTest::newRow("arrow button") << "Command1_13" << 0 << "Name output 3" << false;
    QTest::newRow("lamp") << "Shape20_0" << 0 << "Name output 4" << true;
    QTest::newRow("output badge") << "Label1" << 0 << "Name output 2" << false;
    QTest::newRow("panel below the rows") << "Label5" << 0 << "" << false;
    QTest::newRow("Menu key") << "Command1_16" << int(Qt::Key_Menu) << "Name output 3" << true;
    QTest::newRow("Shift+F10") << "Command1_18" << int(Qt::Key_F10) << "Name output 4" << false;
}

void TestMainWindowPresets::menuFollowsPointerAndFocus()
{
    QFETCH(QString, element);
    QFETCH(int, key);
    QFETCH(QString, outputDialog);
    QFETCH(bool, inputOffered);
    QTemporaryDir dir;
    Console c(dir.path());
    QVERIFY(c.ready());
    auto* target = c.window.findChild<QWidget*>(element);
    QVERIFY(target);
    if (key == 0) {
        c.rightClick(target);
    } else {
        target->setFocus();
        QTest::keyClick(c.window.windowHandle(), Qt::Key(key),
                        key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QTRY_VERIFY(c.shownMenu());
    QVERIFY(c.action("recallAction") && !c.action("recallAction")->isEnabled()); // no presets
    QVERIFY(!c.action("saveRoutingAction")->isEnabled()); // no routing reported yet
    QVERIFY(c.action("managePresetsAction")->isEnabled());
    QCOMPARE(c.action("nameInputAction") != nullptr, inputOffered);
    QString title;
    QCOMPARE(c.enterName("nameOutputAction", QStringLiteral("X"), &title), !outputDialog.isEmpty());
    QCOMPARE(title, outputDialog);

    // Elsewhere in the window the panel's menu stays shut.
    c.rightClick(statusButton(c.window));
    QVERIFY(!c.shownMenu());
}

void TestMainWindowPresets::namesShowInTooltipsAfterRestart()
{
    QTemporaryDir dir;
    {
        Console c(dir.path());
        QVERIFY(c.ready());
        QVERIFY(c.rightClick(routingButton(c.window, 9)));
        QVERIFY(c.enterName("nameOutputAction", QStringLiteral("Projector")));
        QVERIFY(c.rightClick(routingLamp(c.window, 0, 2)));
        QVERIFY(c.enterName("nameInputAction", QStringLiteral("Camera")));
        // Named as typed, no more than 32 characters kept.
        QVERIFY(c.rightClick(routingLamp(c.window, 3, 3)));
        QVERIFY(c.enterName("nameInputAction", QString(40, u'w')));
    }
    Console restarted(dir.path());
    const MainWindow& w = restarted.window;
    const QString wide(32, u'w');
    QCOMPARE(routingButton(w, 10)->toolTip(),
             QStringLiteral("Output 2 \"Projector\": input 3 \"Camera\""));
    QCOMPARE(routingLamp(w, 1, 2)->toolTip(),
             QStringLiteral("Output 2 \"Projector\": input 3 \"Camera\""));
    QCOMPARE(routingButton(w, 8)->toolTip(), QStringLiteral("Output 2 \"Projector\": input 1"));
    QCOMPARE(routingButton(w, 6)->toolTip(),
             QStringLiteral("Output 2 \"Projector\": previous input"));
    QCOMPARE(routingButton(w, 7)->toolTip(), QStringLiteral("Output 2 \"Projector\": next input"));
    QCOMPARE(routingButton(w, 16)->toolTip(), QStringLiteral("Output 3: input 3 \"Camera\""));
    QCOMPARE(routingLamp(w, 0, 3)->toolTip(), QStringLiteral("Output 1: input 4 \"%1\"").arg(wide));
    // Where nothing is named the designed window has no tooltip.
    QCOMPARE(routingButton(w, 2)->toolTip(), QString());
    QCOMPARE(routingButton(w, 0)->toolTip(), QString());
    QCOMPARE(routingLamp(w, 2, 1)->toolTip(), QString());
}

void TestMainWindowPresets::savedPresetRecalledFromMenu()
{
    QTemporaryDir dir;
    Console c(dir.path());
    QVERIFY(c.ready());
    c.report("2314");
    QVERIFY(c.rightClick(routingButton(c.window, 2)));
    QVERIFY(c.enterName("saveRoutingAction", QStringLiteral("Lecture")));
    QCOMPARE(MatrixSetup(dir.path()).findPreset(QStringLiteral("Lecture"))->routing,
             (Routing{2, 3, 1, 4}));

    c.report("2114");
    const QString pane = receivePane(c.window)->text();
    QVERIFY(c.rightClick(routingButton(c.window, 2)));
    QAction* lecture = c.shownMenu()
                           ->findChild<QMenu*>(QStringLiteral("recallMenu"))
                           ->findChild<QAction*>(QStringLiteral("recallPreset_1"));
    QVERIFY(lecture && c.action("recallAction")->isEnabled());
    c.shownMenu()->close();
    lecture->trigger();
    // The lamps told the routing: only output 2's key goes out; the switch leaves it on input 1.
    QTRY_COMPARE_WITH_TIMEOUT(c.port.written, QByteArray("cir 59\r\n"), patienceMs);
    c.port.feed("s20\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(c.port.written, QByteArray("cir 59\r\nbc \r\n"), patienceMs);
    c.port.feed("\r\ns11s20s30s43\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(c.window)->text().endsWith(QStringLiteral(
                                 "\r\nPreset \"Lecture\": output 2 is on input 1, not 3.")),
                             patienceMs);
    QCOMPARE(receivePane(c.window)->text(),
             pane + QStringLiteral("\r\nHDMI Out2 -> HDMI In 1\r\nHDMI Out1 -> HDMI In 2"
                                   "\r\nHDMI Out2 -> HDMI In 1\r\nHDMI Out3 -> HDMI In 1"
                                   "\r\nHDMI Out4 -> HDMI In 4\r\n"
                                   "\r\nPreset \"Lecture\": output 2 is on input 1, not 3."));
    QVERIFY(c.boxes.shown.isEmpty());
}

void TestMainWindowPresets::saveTakesTheReportedRoutingNotTheLamps()
{
    QTemporaryDir dir;
    Console c(dir.path());
    QVERIFY(c.ready());
    for (int output = 1; output <= 4; ++output)
        c.window.showRoute(output, 1);
    QVERIFY(c.rightClick(routingButton(c.window, 2)));
    QVERIFY(!c.action("saveRoutingAction")->isEnabled()); // lit, but never reported
    c.shownMenu()->close();
    c.report("2314");
    c.window.showRoute(1, 4);
    QVERIFY(c.rightClick(routingButton(c.window, 2)));
    QVERIFY(c.enterName("saveRoutingAction", QStringLiteral("Lecture")));
    QCOMPARE(MatrixSetup(dir.path()).findPreset(QStringLiteral("Lecture"))->routing,
             (Routing{2, 3, 1, 4}));
}

void TestMainWindowPresets::clicksReachElementsOnAndBesideThePanel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("Status, left of the panel") << "Command6" << QByteArray("bc \r\n");
    QTest::newRow("input 3 of output 2") << "Command1_10" << QByteArray("cir 59\r\n");
}

void TestMainWindowPresets::clicksReachElementsOnAndBesideThePanel()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, wire);
    QTemporaryDir dir;
    Console c(dir.path());
    QVERIFY(c.ready());
    auto* target = element<QWidget>(&c.window, name);
    QTest::mouseClick(c.window.windowHandle(), Qt::LeftButton, {},
                      target->mapTo(&c.window, target->rect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(c.port.written, wire, patienceMs);
}

void TestMainWindowPresets::junkInSettingsSaidOnceAtStart()
{
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("varnok.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[names]\noutput7=Far\noutput1=Projector\n");
    conf.close();
    Console c(dir.path());
    QCOMPARE(receivePane(c.window)->text(),
             QStringLiteral("\r\nvarnok.conf: [names] output7 ignored: outputs are 1 to 4."));
    QCOMPARE(routingButton(c.window, 0)->toolTip(),
             QStringLiteral("Output 1 \"Projector\": previous input"));
}

QTEST_MAIN(TestMainWindowPresets)
#include "tst_mainwindow_presets.moc"
