// SPDX-License-Identifier: MIT
// The three windows driven from the keyboard, key by key as a user presses them: Tab and
// Shift+Tab through every control, Enter and Return on buttons, keys in the receive pane.
#include "ui/mainwindow.h"
#include "ui/networksettingsdialog.h"
#include "ui/textpane.h"
#include "ui/utpmodedialog.h"

#include "fakeserialport.h"
#include "recordingmessageboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// One of the windows, shown and active, on an open fake port.
struct Window
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    std::unique_ptr<QWidget> widget;

    // `reportedModes`: for the UTP dialog, the modes the switch reported; -1 for no answer yet.
    explicit Window(const QString& which, int reportedModes = -1)
    {
        if (which == QLatin1String("Form1")) {
            auto mainWindow = std::make_unique<MainWindow>(port, boxes, dir.path());
            mainWindow->startUp(); // opens the port
            port.takeWritten();    // and asks for the routing, checked by the link tests
            widget = std::move(mainWindow);
        } else if (which == QLatin1String("SetIP")) {
            port.opened = true;
            widget = std::make_unique<NetworkSettingsDialog>(port, boxes, nullptr);
        } else {
            port.opened = true;
            auto utp = std::make_unique<UtpModeDialog>(port, boxes, nullptr);
            if (reportedModes >= 0)
                utp->showReportedModes(reportedModes);
            widget = std::move(utp);
        }
        widget->show();
        widget->activateWindow();
    }
    bool active() { return QTest::qWaitForWindowActive(widget.get()); }
    template <typename T = QWidget> T* element(const QString& name) const
    {
        return widget->findChild<T*>(name);
    }
};

// The design name of the control holding the focus: a field inside a control counts as the
// control (the combo box's line edit, the address entry's fields).
QString focusedName(const QStringList& names)
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (names.contains(w->objectName()))
            return w->objectName();
    const QWidget* w = QApplication::focusWidget();
    return QStringLiteral("<%1>").arg(w ? w->objectName() : QStringLiteral("no focus"));
}

// Presses Tab (or Shift+Tab) `steps` times on whatever has the focus; where the focus lands.
QStringList pressTab(qsizetype steps, bool backward, const QStringList& names)
{
    QStringList landed;
    for (qsizetype i = 0; i < steps; ++i) {
        if (backward)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        landed << focusedName(names);
    }
    return landed;
}

QStringList mainWindowOrder()
{
    QStringList order{QStringLiteral("Command1_0"), QStringLiteral("Command7")};
    for (int i :
         {1, 2, 3, 4, 5, 6, 7, 8, 14, 20, 9, 15, 21, 10, 16, 22, 11, 17, 23, 12, 18, 13, 19})
        order << QStringLiteral("Command1_%1").arg(i);
    return order << QStringLiteral("Text1") << QStringLiteral("Combo1") << QStringLiteral("Text2")
                 << QStringLiteral("Command2") << QStringLiteral("Command3")
                 << QStringLiteral("Command6") << QStringLiteral("Command4")
                 << QStringLiteral("Command5");
}

const QByteArray routeReport("s12\r\n");
const QString routeLine = QStringLiteral("\r\nHDMI Out1 -> HDMI In 3");

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void tabWalksDesignOrder_data();
    void tabWalksDesignOrder();
    void tabLeavesSendBox();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void keysLeaveReceivePaneText_data();
    void keysLeaveReceivePaneText();
    void receivePaneSelectableAndCopyable();
};

void TestKeyboard::tabWalksDesignOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>(
        "fixedAddress"); // NetworkSettingsDialog only: "yes" chooses the fixed address
    QTest::addColumn<QStringList>("cycle"); // from the focus the window opens with

    QTest::newRow("main window") << "Form1"
                                 << "" << mainWindowOrder();
    // An option group is one stop: Tab reaches the option that is selected.
    QTest::newRow("network settings, automatic")
        << "SetIP"
        << "" << QStringList{"Command1", "Option1", "Command2"};
    QTest::newRow("network settings, fixed address")
        << "SetIP"
        << "yes" << QStringList{"Option2", "Command2", "ipBox1", "Command1"};
    // Nothing selected yet: a group's first option in the order is its stop.
    QTest::newRow("UTP") << "Utp"
                         << "" << QStringList{"Option5_0", "Option6_1", "Option5_2",
                                              "Option5_3", "Command1",  "Command2"};
}

void TestKeyboard::tabWalksDesignOrder()
{
    QFETCH(QString, window);
    QFETCH(QString, fixedAddress);
    QFETCH(QStringList, cycle);

    Window w(window);
    QVERIFY(w.active());
    if (!fixedAddress.isEmpty()) {
        // As a user picks it: the arrow key in the option group.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(w.element<QRadioButton>(QStringLiteral("Option2"))->isChecked());
    }
    QCOMPARE(focusedName(cycle), cycle.first());

    QStringList forward = cycle.mid(1);
    forward << cycle.first();
    QCOMPARE(pressTab(cycle.size(), false, cycle), forward);

    // Back from the first control: the last one, and so on round to the first again.
    const QStringList backward(cycle.crbegin(), cycle.crend());
    QCOMPARE(pressTab(cycle.size(), true, cycle), backward);
}

void TestKeyboard::tabLeavesSendBox()
{
    Window w(QStringLiteral("Form1"));
    QVERIFY(w.active());
    auto* sendBox = w.element<TextPane>(QStringLiteral("Text2"));
    sendBox->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("bc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command2"));
    QTest::mouseClick(w.element<QPushButton>(QStringLiteral("Command3")), Qt::LeftButton);
    QCOMPARE(w.port.written, QByteArray("bc"));
}

void TestKeyboard::enterPressesFocusedButton_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<bool>("staysOpen");

    const struct
    {
        const char* row;
        const char* window;
        const char* control;
        QByteArray wire;
        bool staysOpen;
    } rows[] = {
        {"routing button", "Form1", "Command1_10", "cir 59\r\n", true},
        {"Status", "Form1", "Command6", "bc \r\n", true},
        {"network OK", "SetIP", "Command1", "dhc\r\n", false},
        {"network Cancel", "SetIP", "Command2", "", false},
        {"UTP OK", "Utp", "Command1", "utp 5\r\n", true},
        {"UTP Quit", "Utp", "Command2", "", false},
        // On a field the dialog decides: network settings press OK, the UTP dialog nothing.
        {"network option", "SetIP", "Option1", "dhc\r\n", false},
        {"UTP option", "Utp", "Option6_1", "", true},
    };
    for (const auto& r : rows) {
        QTest::addRow("%s, Return", r.row) << r.window << r.control << r.wire << r.staysOpen;
        QTest::addRow("%s, keypad Enter", r.row) << r.window << r.control << r.wire << r.staysOpen;
    }
}

void TestKeyboard::enterPressesFocusedButton()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QByteArray, wire);
    QFETCH(bool, staysOpen);

    // The UTP dialog as the switch answered: outputs 1 and 3 on "1 wire", 2 and 4 on "2 wires".
    Window w(window, 5);
    QVERIFY(w.active());
    QWidget* target = w.element(control);
    QVERIFY(target);
    target->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), target);
    if (QString::fromLatin1(QTest::currentDataTag()).endsWith(QLatin1String("Return")))
        QTest::keyClick(target, Qt::Key_Return);
    else
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.port.written, wire);
    QCOMPARE(w.widget->isVisible(), staysOpen);
    QVERIFY(w.boxes.shown.isEmpty());
}

void TestKeyboard::keysLeaveReceivePaneText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("letter") << int(Qt::Key_X) << int(Qt::NoModifier);
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier);
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier);
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("paste, Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
    QTest::newRow("cut") << int(Qt::Key_X) << int(Qt::ControlModifier);
}

void TestKeyboard::keysLeaveReceivePaneText()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);

    Window w(QStringLiteral("Form1"));
    QVERIFY(w.active());
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    auto* pane = w.element<TextPane>(QStringLiteral("Text1"));
    w.port.feed(routeReport);
    QTRY_COMPARE(pane->text(), routeLine);
    QVERIFY(pane->isAllSelectedToEnd()); // every reply leaves the whole pane selected
    pane->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pane, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(pane->text(), routeLine);
    QCOMPARE(pane->toPlainText(), QStringLiteral("\nHDMI Out1 -> HDMI In 3"));
}

void TestKeyboard::receivePaneSelectableAndCopyable()
{
    Window w(QStringLiteral("Form1"));
    QVERIFY(w.active());
    auto* pane = w.element<TextPane>(QStringLiteral("Text1"));
    w.port.feed(routeReport);
    QTRY_COMPARE(pane->text(), routeLine);
    pane->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\nHDMI Out1 -> HDMI In 3"));
    // The selection follows the keyboard: one character less from the end.
    QTest::keyClick(pane, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\nHDMI Out1 -> HDMI In "));
    QTest::mouseClick(w.element<QPushButton>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(pane->text(), QString());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
