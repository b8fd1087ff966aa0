// SPDX-License-Identifier: MIT
#include "fakeserialport.h"
#include "ui/ipbox.h"
#include "ui/setipdialog.h"
#include "ui/ipaddressedit.h"
#include "recordingmessageboxes.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

struct Fixture
{
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    Fixture() { port.opened = true; }
};

template <typename W> W* element(const SetIP& dialog, const char* name)
{
    return dialog.findChild<W*>(QLatin1String(name));
}

// A real click on the option's indicator.
void choose(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
}

bool showActive(SetIP& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

} // namespace

class TestSetIpDialog : public QObject
{
    Q_OBJECT
private slots:
    void okAtOnceSendsDhcp();
    void okSends_data();
    void okSends();
    void fixedThenAutomaticHidesPanel();
    void keyboardOnly();
    void closingWithoutOkSendsNothing_data();
    void closingWithoutOkSendsNothing();
    void newInstanceShowsDesignState();
    void failedWriteReported_data();
    void failedWriteReported();
    void layout_data();
    void layout();
    void windowLook();
    void fixedOptionStaysOnTopOfPanel();
    void tabOrder();
};

void TestSetIpDialog::okAtOnceSendsDhcp()
{
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    QTest::mouseClick(element<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("dhc\r\n")});
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestSetIpDialog::okSends_data()
{
    QTest::addColumn<QString>("address"); // empty: the preset is kept
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("preset 0.0.0.1") << QString() << QByteArray("sip 0 0 0 1\r\n");
    QTest::newRow("192.168.1.10") << "192.168.1.10" << QByteArray("sip C0 A8 1 A\r\n");
    QTest::newRow("255.255.255.255") << "255.255.255.255" << QByteArray("sip FF FF FF FF\r\n");
    QTest::newRow("10.0.0.15") << "10.0.0.15" << QByteArray("sip A 0 0 F\r\n");
    QTest::newRow("0.0.0.0") << "0.0.0.0" << QByteArray("sip 0 0 0 0\r\n");
}

void TestSetIpDialog::okSends()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, sent);
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    choose(element<QRadioButton>(dialog, "Option2"));
    QVERIFY(element<QFrame>(dialog, "Frame1")->isVisible());
    QCOMPARE(dialog.dhcpFlag(), 0);
    if (!address.isEmpty())
        element<ipBox>(dialog, "ipBox1")->setAddress(address);
    QTest::mouseClick(element<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{sent});
    QVERIFY(!dialog.isVisible());
}

void TestSetIpDialog::fixedThenAutomaticHidesPanel()
{
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    auto* frame = element<QFrame>(dialog, "Frame1");
    choose(element<QRadioButton>(dialog, "Option2"));
    element<ipBox>(dialog, "ipBox1")->setAddress(QStringLiteral("192.168.1.10"));
    QVERIFY(frame->isVisible());
    choose(element<QRadioButton>(dialog, "Option1"));
    QVERIFY(!frame->isVisible());
    QCOMPARE(dialog.dhcpFlag(), 1);
    QTest::mouseClick(element<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("dhc\r\n")});
}

void TestSetIpDialog::keyboardOnly()
{
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    auto* option1 = element<QRadioButton>(dialog, "Option1");
    auto* box = element<ipBox>(dialog, "ipBox1");
    option1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(option1, Qt::Key_Down);
    QVERIFY(element<QRadioButton>(dialog, "Option2")->isChecked());
    QVERIFY(element<QFrame>(dialog, "Frame1")->isVisible());
    for (int i = 0; i < 5 && !box->isAncestorOf(QApplication::focusWidget()); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box->field()->field(0));
    for (const char c : QByteArray("192.168.1.10"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QCOMPARE(box->Address(), QStringLiteral("192.168.1.10"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // OK is the default button
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("sip C0 A8 1 A\r\n")});
    QVERIFY(!dialog.isVisible());
}

void TestSetIpDialog::closingWithoutOkSendsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("close box") << "close box";
    QTest::newRow("Escape") << "Escape";
}

void TestSetIpDialog::closingWithoutOkSendsNothing()
{
    QFETCH(QString, how);
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    choose(element<QRadioButton>(dialog, "Option2"));
    element<ipBox>(dialog, "ipBox1")->setAddress(QStringLiteral("10.1.2.3"));
    if (how == QLatin1String("Cancel"))
        QTest::mouseClick(element<QPushButton>(dialog, "Command2"), Qt::LeftButton);
    else if (how == QLatin1String("close box"))
        QVERIFY(dialog.close());
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.port.written.isEmpty());
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestSetIpDialog::newInstanceShowsDesignState()
{
    Fixture f;
    {
        SetIP first(f.port, f.boxes, nullptr);
        first.show();
        choose(element<QRadioButton>(first, "Option2"));
        element<ipBox>(first, "ipBox1")->setAddress(QStringLiteral("10.1.2.3"));
        QTest::mouseClick(element<QPushButton>(first, "Command2"), Qt::LeftButton);
    }
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    QVERIFY(element<QRadioButton>(dialog, "Option1")->isChecked());
    QVERIFY(!element<QRadioButton>(dialog, "Option2")->isChecked());
    QVERIFY(!element<QFrame>(dialog, "Frame1")->isVisible());
    QCOMPARE(dialog.dhcpFlag(), 1);
    QCOMPARE(element<ipBox>(dialog, "ipBox1")->Address(), QStringLiteral("0.0.0.1"));
}

void TestSetIpDialog::failedWriteReported_data()
{
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("portOpen");
    QTest::newRow("automatic, port closed") << false << false;
    QTest::newRow("fixed, port closed") << true << false;
    QTest::newRow("fixed, write fails") << true << true;
}

void TestSetIpDialog::failedWriteReported()
{
    QFETCH(bool, fixed);
    QFETCH(bool, portOpen);
    Fixture f;
    f.port.opened = portOpen;
    f.port.failWrites = portOpen;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    bool visibleWhileBoxOpen = false;
    f.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        visibleWhileBoxOpen = dialog.isVisible();
    };
    if (fixed)
        choose(element<QRadioButton>(dialog, "Option2"));
    QTest::mouseClick(element<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString::fromUtf16(u"open serial port fail\uFF01 "));
    QCOMPARE(f.boxes.shown[0].title, QStringLiteral("ERROR"));
    QCOMPARE(f.boxes.shown[0].owner, &dialog);
    QVERIFY(visibleWhileBoxOpen); // the box comes first, then the dialog closes
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.port.written.isEmpty());
}

void TestSetIpDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Command1") << "Command1" << QRect(132, 96, 65, 25);
    QTest::newRow("Option1") << "Option1" << QRect(24, 12, 225, 17);
    QTest::newRow("Option2") << "Option2" << QRect(24, 36, 193, 17);
    QTest::newRow("Command2") << "Command2" << QRect(204, 96, 65, 25);
    QTest::newRow("Frame1") << "Frame1" << QRect(16, 36, 253, 53);
    QTest::newRow("Label1 in Frame1") << "Label1" << QRect(20, 24, 69, 21);
    QTest::newRow("ipBox1 in Frame1") << "ipBox1" << QRect(92, 20, 145, 21);
}

void TestSetIpDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    choose(element<QRadioButton>(dialog, "Option2"));
    auto* widget = dialog.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
}

void TestSetIpDialog::windowLook()
{
    Fixture f;
    QWidget owner;
    SetIP dialog(f.port, f.boxes, &owner);
    dialog.show();
    choose(element<QRadioButton>(dialog, "Option2"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(dialog.size(), QSize(281, 133));
    QCOMPARE(dialog.parentWidget(), &owner);
    QCOMPARE(element<QPushButton>(dialog, "Command1")->text(), QStringLiteral("OK"));
    QCOMPARE(element<QPushButton>(dialog, "Command2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(element<QRadioButton>(dialog, "Option1")->text(),
             QStringLiteral("Automatically obtain ip address"));
    QCOMPARE(element<QRadioButton>(dialog, "Option2")->text(),
             QStringLiteral("Use the following ip address"));
    QCOMPARE(element<QLabel>(dialog, "Label1")->text(), QStringLiteral("IP address:"));
    // The address field covers the whole of ipBox1.
    auto* box = element<ipBox>(dialog, "ipBox1");
    QCOMPARE(box->field()->geometry(), QRect(0, 0, 145, 21));
}

void TestSetIpDialog::fixedOptionStaysOnTopOfPanel()
{
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    dialog.show();
    auto* option2 = element<QRadioButton>(dialog, "Option2");
    choose(option2);
    // A point of the option that the panel covers too.
    const QPoint shared(100, 44);
    QVERIFY(element<QFrame>(dialog, "Frame1")->geometry().contains(shared));
    QVERIFY(option2->geometry().contains(shared));
    QCOMPARE(dialog.childAt(shared), option2);
}

void TestSetIpDialog::tabOrder()
{
    Fixture f;
    SetIP dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    choose(element<QRadioButton>(dialog, "Option2"));
    auto* box = element<ipBox>(dialog, "ipBox1");
    // The selected option is the one a group offers to Tab.
    const QList<QWidget*> expected{element<QWidget>(dialog, "Command2"), box->field()->field(0),
                                   element<QWidget>(dialog, "Command1"),
                                   element<QWidget>(dialog, "Option2")};
    QList<QWidget*> visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);
}

QTEST_MAIN(TestSetIpDialog)
#include "tst_setipdialog.moc"
