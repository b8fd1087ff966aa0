// SPDX-License-Identifier: MIT
#include "elements.h"
#include "fakeserialport.h"
#include "recordingmessageboxes.h"
#include "ui/ipaddressedit.h"
#include "ui/networksettingsdialog.h"

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

// A real click on the option's indicator.
void choose(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
}

bool showActive(NetworkSettingsDialog& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

} // namespace

class TestNetworkSettingsDialog : public QObject
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

void TestNetworkSettingsDialog::okAtOnceSendsDhcp()
{
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    QTest::mouseClick(element<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("dhc\r\n")});
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestNetworkSettingsDialog::okSends_data()
{
    QTest::addColumn<QString>("address"); // empty: the preset is kept
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("preset 0.0.0.1") << QString() << QByteArray("sip 0 0 0 1\r\n");
    QTest::newRow("192.168.1.10") << "192.168.1.10" << QByteArray("sip C0 A8 1 A\r\n");
    QTest::newRow("255.255.255.255") << "255.255.255.255" << QByteArray("sip FF FF FF FF\r\n");
    QTest::newRow("10.0.0.15") << "10.0.0.15" << QByteArray("sip A 0 0 F\r\n");
    QTest::newRow("0.0.0.0") << "0.0.0.0" << QByteArray("sip 0 0 0 0\r\n");
}

void TestNetworkSettingsDialog::okSends()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, sent);
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    choose(element<QRadioButton>(&dialog, "Option2"));
    QVERIFY(element<QFrame>(&dialog, "Frame1")->isVisible());
    QVERIFY(!element<QRadioButton>(&dialog, "Option1")->isChecked());
    if (!address.isEmpty())
        element<IpAddressEdit>(&dialog, "ipBox1")->setAddress(address);
    QTest::mouseClick(element<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{sent});
    QVERIFY(!dialog.isVisible());
}

void TestNetworkSettingsDialog::fixedThenAutomaticHidesPanel()
{
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    auto* frame = element<QFrame>(&dialog, "Frame1");
    choose(element<QRadioButton>(&dialog, "Option2"));
    element<IpAddressEdit>(&dialog, "ipBox1")->setAddress(QStringLiteral("192.168.1.10"));
    QVERIFY(frame->isVisible());
    choose(element<QRadioButton>(&dialog, "Option1"));
    QVERIFY(!frame->isVisible());
    QTest::mouseClick(element<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("dhc\r\n")});
}

void TestNetworkSettingsDialog::keyboardOnly()
{
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    auto* automatic = element<QRadioButton>(&dialog, "Option1");
    auto* box = element<IpAddressEdit>(&dialog, "ipBox1");
    automatic->setFocus(Qt::TabFocusReason);
    QTest::keyClick(automatic, Qt::Key_Down);
    QVERIFY(element<QRadioButton>(&dialog, "Option2")->isChecked());
    QVERIFY(element<QFrame>(&dialog, "Frame1")->isVisible());
    for (int i = 0; i < 5 && !box->isAncestorOf(QApplication::focusWidget()); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), element<QLineEdit>(box, "field0"));
    for (const char c : QByteArray("192.168.1.10"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QCOMPARE(box->address(), QStringLiteral("192.168.1.10"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // OK is the default button
    QCOMPARE(f.port.writes, QList<QByteArray>{QByteArray("sip C0 A8 1 A\r\n")});
    QVERIFY(!dialog.isVisible());
}

void TestNetworkSettingsDialog::closingWithoutOkSendsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("close box") << "close box";
    QTest::newRow("Escape") << "Escape";
}

void TestNetworkSettingsDialog::closingWithoutOkSendsNothing()
{
    QFETCH(QString, how);
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    choose(element<QRadioButton>(&dialog, "Option2"));
    element<IpAddressEdit>(&dialog, "ipBox1")->setAddress(QStringLiteral("10.1.2.3"));
    if (how == QLatin1String("Cancel"))
        QTest::mouseClick(element<QPushButton>(&dialog, "Command2"), Qt::LeftButton);
    else if (how == QLatin1String("close box"))
        QVERIFY(dialog.close());
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.port.written.isEmpty());
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestNetworkSettingsDialog::newInstanceShowsDesignState()
{
    Fixture f;
    {
        NetworkSettingsDialog first(f.port, f.boxes, nullptr);
        first.show();
        choose(element<QRadioButton>(&first, "Option2"));
        element<IpAddressEdit>(&first, "ipBox1")->setAddress(QStringLiteral("10.1.2.3"));
        QTest::mouseClick(element<QPushButton>(&first, "Command2"), Qt::LeftButton);
    }
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    QVERIFY(element<QRadioButton>(&dialog, "Option1")->isChecked());
    QVERIFY(!element<QRadioButton>(&dialog, "Option2")->isChecked());
    QVERIFY(!element<QFrame>(&dialog, "Frame1")->isVisible());
    QCOMPARE(element<IpAddressEdit>(&dialog, "ipBox1")->address(), QStringLiteral("0.0.0.1"));
}

void TestNetworkSettingsDialog::failedWriteReported_data()
{
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("portOpen");
    QTest::newRow("automatic, port closed") << false << false;
    QTest::newRow("fixed, port closed") << true << false;
    QTest::newRow("fixed, write fails") << true << true;
}

void TestNetworkSettingsDialog::failedWriteReported()
{
    QFETCH(bool, fixed);
    QFETCH(bool, portOpen);
    Fixture f;
    f.port.opened = portOpen;
    f.port.failWrites = portOpen;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    bool visibleWhileBoxOpen = false;
    f.boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) {
        visibleWhileBoxOpen = dialog.isVisible();
    };
    if (fixed)
        choose(element<QRadioButton>(&dialog, "Option2"));
    QTest::mouseClick(element<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString::fromUtf16(u"open serial port fail\uFF01 "));
    QCOMPARE(f.boxes.shown[0].title, QStringLiteral("ERROR"));
    QCOMPARE(f.boxes.shown[0].owner, &dialog);
    QVERIFY(visibleWhileBoxOpen); // the box comes first, then the dialog closes
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.port.written.isEmpty());
}

void TestNetworkSettingsDialog::layout_data()
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

void TestNetworkSettingsDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    choose(element<QRadioButton>(&dialog, "Option2"));
    QCOMPARE(element<QWidget>(&dialog, name)->geometry(), geometry);
}

void TestNetworkSettingsDialog::windowLook()
{
    Fixture f;
    QWidget owner;
    NetworkSettingsDialog dialog(f.port, f.boxes, &owner);
    dialog.show();
    choose(element<QRadioButton>(&dialog, "Option2"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(dialog.size(), QSize(281, 133));
    QCOMPARE(dialog.parentWidget(), &owner);
    QCOMPARE(element<QPushButton>(&dialog, "Command1")->text(), QStringLiteral("OK"));
    QCOMPARE(element<QPushButton>(&dialog, "Command2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(element<QRadioButton>(&dialog, "Option1")->text(),
             QStringLiteral("Automatically obtain ip address"));
    QCOMPARE(element<QRadioButton>(&dialog, "Option2")->text(),
             QStringLiteral("Use the following ip address"));
    QCOMPARE(element<QLabel>(&dialog, "Label1")->text(), QStringLiteral("IP address:"));
    // The address fields cover the whole of ipBox1.
    QCOMPARE(element<IpAddressEdit>(&dialog, "ipBox1")->childrenRect(), QRect(0, 0, 145, 21));
}

void TestNetworkSettingsDialog::fixedOptionStaysOnTopOfPanel()
{
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    dialog.show();
    auto* fixed = element<QRadioButton>(&dialog, "Option2");
    choose(fixed);
    // A point of the option that the panel covers too.
    const QPoint shared(100, 44);
    QVERIFY(element<QFrame>(&dialog, "Frame1")->geometry().contains(shared));
    QVERIFY(fixed->geometry().contains(shared));
    QCOMPARE(dialog.childAt(shared), fixed);
}

void TestNetworkSettingsDialog::tabOrder()
{
    Fixture f;
    NetworkSettingsDialog dialog(f.port, f.boxes, nullptr);
    QVERIFY(showActive(dialog));
    choose(element<QRadioButton>(&dialog, "Option2"));
    auto* box = element<IpAddressEdit>(&dialog, "ipBox1");
    // The selected option is the one a group offers to Tab.
    const QList<QWidget*> expected{
        element<QWidget>(&dialog, "Command2"), element<QLineEdit>(box, "field0"),
        element<QWidget>(&dialog, "Command1"), element<QWidget>(&dialog, "Option2")};
    QList<QWidget*> visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);
}

QTEST_MAIN(TestNetworkSettingsDialog)
#include "tst_networksettingsdialog.moc"
