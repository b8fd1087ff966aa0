// SPDX-License-Identifier: MIT
#include "elements.h"
#include "protocol/addresstext.h"
#include "ui/ipaddressedit.h"
#include "ui/octetfields.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using protocol::AddressError;

namespace {

// An address control whose fields could not be created.
class FieldlessBox : public IpAddressEdit
{
public:
    FieldlessBox() : IpAddressEdit(nullptr, [](QWidget*) { return nullptr; }) {}
};

// Field 0 is the leftmost.
QLineEdit* field(const QWidget* fields, int index)
{
    return element<QLineEdit>(fields, QStringLiteral("field%1").arg(index));
}

OctetFields* fieldsOf(const IpAddressEdit& box)
{
    return box.findChild<OctetFields*>();
}

// A window with a button on each side of an address entry, for keyboard tests.
struct KeyboardWindow
{
    QWidget window;
    QPushButton* before = new QPushButton(QStringLiteral("before"), &window);
    OctetFields* edit = new OctetFields(&window);
    QPushButton* after = new QPushButton(QStringLiteral("after"), &window);

    KeyboardWindow()
    {
        before->setObjectName(QStringLiteral("before"));
        after->setObjectName(QStringLiteral("after"));
        auto* column = new QVBoxLayout(&window);
        column->addWidget(before);
        column->addWidget(edit);
        column->addWidget(after);
    }

    // Shows the window and enters the address entry with Tab from the button before it.
    bool enterWithTab()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        return QApplication::focusWidget() == field(edit, 0);
    }
};

QWidget* focused()
{
    return QApplication::focusWidget();
}

// Each character goes to whatever has the focus at that moment, as typing does.
void type(const QString& keys)
{
    for (const QChar c : keys)
        QTest::keyClick(focused(), c.toLatin1());
}

// The error number of a refused write, 0 for one that was taken.
int errorNumberOfWrite(IpAddressEdit& box, const QString& text)
{
    AddressError error;
    const bool taken = box.setAddress(text, &error);
    if (taken != (error.number == 0))
        return -1;
    return error.number;
}

} // namespace

class TestIpAddressEdit : public QObject
{
    Q_OBJECT
private slots:
    void freshControlShowsZero();
    void writeThenRead_data();
    void writeThenRead();
    void failedWriteKeepsPreviousValue_data();
    void failedWriteKeepsPreviousValue();
    void formatErrorDescription();
    void blankFieldReadsAsZero_data();
    void blankFieldReadsAsZero();
    void withoutField();
    void fieldFillsControl_data();
    void fieldFillsControl();
    void fontReachesEveryField();

    void typing_data();
    void typing();
    void movingBetweenFields_data();
    void movingBetweenFields();
    void tabLeavesControl_data();
    void tabLeavesControl();
};

void TestIpAddressEdit::freshControlShowsZero()
{
    IpAddressEdit box;
    QCOMPARE(box.address(), QStringLiteral("0.0.0.0"));
    QVERIFY(fieldsOf(box));
    for (int i = 0; i < OctetFields::fieldCount; ++i)
        QCOMPARE(field(&box, i)->text(), QStringLiteral("0"));
}

void TestIpAddressEdit::writeThenRead_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("10.0.0.1") << "10.0.0.1"
                              << "10.0.0.1";
    QTest::newRow("leading zeros dropped") << "010.000.000.001"
                                           << "10.0.0.1";
    QTest::newRow("fifth piece ignored") << "1.2.3.4.5"
                                         << "1.2.3.4";
    QTest::newRow("blanks around a piece") << " 7 .1.2.3"
                                           << "7.1.2.3";
    QTest::newRow("all 255") << "255.255.255.255"
                             << "255.255.255.255";
}

void TestIpAddressEdit::writeThenRead()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    IpAddressEdit box;
    QVERIFY(box.setAddress(written));
    QCOMPARE(box.address(), read);
}

void TestIpAddressEdit::failedWriteKeepsPreviousValue_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("number");
    QTest::newRow("two dots") << "1.2.3" << 102;
    QTest::newRow("256") << "1.2.3.256" << 6;
    QTest::newRow("empty piece") << "1..3.4" << 13;
    QTest::newRow("piece 3 converted first") << "x.1.2.300" << 6;
    QTest::newRow("bad piece 0 after good ones") << "x.1.2.3" << 13;
}

void TestIpAddressEdit::failedWriteKeepsPreviousValue()
{
    QFETCH(QString, written);
    QFETCH(int, number);
    IpAddressEdit box;
    box.setAddress(QStringLiteral("10.20.30.40"));
    QCOMPARE(errorNumberOfWrite(box, written), number);
    QCOMPARE(box.address(), QStringLiteral("10.20.30.40"));
}

void TestIpAddressEdit::formatErrorDescription()
{
    IpAddressEdit box;
    AddressError error;
    QVERIFY(!box.setAddress(QStringLiteral("1.2.3"), &error));
    QCOMPARE(error.number, 102);
    QCOMPARE(error.description,
             QString::fromUtf16(u"Ip 地址格式错误\r\n正确的格式应该为: 255.255.255.255"));
}

void TestIpAddressEdit::blankFieldReadsAsZero_data()
{
    QTest::addColumn<int>("cleared");
    QTest::addColumn<QString>("read");
    QTest::newRow("first") << 0 << "0.168.7.10";
    QTest::newRow("third") << 2 << "192.168.0.10";
    QTest::newRow("fourth") << 3 << "192.168.7.0";
}

void TestIpAddressEdit::blankFieldReadsAsZero()
{
    QFETCH(int, cleared);
    QFETCH(QString, read);
    IpAddressEdit box;
    box.setAddress(QStringLiteral("192.168.7.10"));
    field(&box, cleared)->clear();
    QCOMPARE(box.address(), read);
}

void TestIpAddressEdit::withoutField()
{
    FieldlessBox box;
    QVERIFY(!fieldsOf(box));
    QCOMPARE(box.address(), QStringLiteral("0.0.0.0"));
    QVERIFY(box.setAddress(QStringLiteral("1.2.3.4"))); // checked, no effect
    QCOMPARE(box.address(), QStringLiteral("0.0.0.0"));
    QCOMPARE(errorNumberOfWrite(box, QStringLiteral("1.2.3")), 102);
    QCOMPARE(errorNumberOfWrite(box, QStringLiteral("1.2.3.256")), 6);
    box.show();
    box.resize(200, 30);
    QVERIFY(box.findChildren<QWidget*>().isEmpty());
}

void TestIpAddressEdit::fieldFillsControl_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("grown") << QSize(300, 40);
    QTest::newRow("shrunk") << QSize(60, 12);
    QTest::newRow("dialog size") << QSize(145, 21);
}

void TestIpAddressEdit::fieldFillsControl()
{
    QFETCH(QSize, size);
    QWidget host;
    auto* box = new IpAddressEdit(&host);
    QCOMPARE(fieldsOf(*box)->geometry(), QRect(QPoint(0, 0), box->size()));
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    box->resize(size);
    QCOMPARE(fieldsOf(*box)->geometry(), QRect(QPoint(0, 0), size));
}

void TestIpAddressEdit::fontReachesEveryField()
{
    OctetFields edit;
    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(31);
    edit.setFont(big);
    for (int i = 0; i < OctetFields::fieldCount; ++i)
        QCOMPARE(field(&edit, i)->font().pixelSize(), 31);
}

void TestIpAddressEdit::typing_data()
{
    QTest::addColumn<quint32>("shown");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<quint32>("result");
    QTest::newRow("full address over 0.0.0.1") << 0x00000001u << "192.168.1.10" << 0xC0A8010Au;
    QTest::newRow("short fields") << 0x00000001u << "10.0.0.15" << 0x0A00000Fu;
    QTest::newRow("all 255, dots after full fields") << 0u << "255.255.255.255" << 0xFFFFFFFFu;
    QTest::newRow("300 refused at the last digit") << 0x00000001u << "300" << 0x1E000001u;
    QTest::newRow("256 refused at the last digit") << 0u << "256" << 0x19000000u;
    QTest::newRow("letters refused") << 0u << "1a2" << 0x0C000000u;
    QTest::newRow("four digits: the fourth goes on") << 0u << "1234" << 0x7B040000u;
    QTest::newRow("dot in the last field dropped") << 0u << "1.2.3.4.5" << 0x0102032Du;
}

void TestIpAddressEdit::typing()
{
    QFETCH(quint32, shown);
    QFETCH(QString, keys);
    QFETCH(quint32, result);
    KeyboardWindow w;
    w.edit->setAddress(shown);
    QVERIFY(w.enterWithTab());
    type(keys);
    QCOMPARE(w.edit->address(), result);
    for (int i = 0; i < OctetFields::fieldCount; ++i)
        QVERIFY(field(w.edit, i)->text().toInt() <= 255);
}

void TestIpAddressEdit::movingBetweenFields_data()
{
    // From field 0, entered with Tab and showing 0.0.0.1: the keys, then where the focus is,
    // then "7" typed there replaces the field's text (it was selected on entering).
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("fieldIndex");
    QTest::addColumn<quint32>("afterTyping7");
    QTest::newRow("right") << QList<int>{Qt::Key_Right} << 1 << 0x00070001u;
    QTest::newRow("right to the last field")
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right} << 3 << 0x00000007u;
    // No field to go on to: the key only ends the selection, so "7" is appended.
    QTest::newRow("right beyond the last field")
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right} << 3
        << 0x00000011u;
    QTest::newRow("right, right, left")
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 1 << 0x00070001u;
    QTest::newRow("left in the first field stays") << QList<int>{Qt::Key_Left} << 0 << 0x46000001u;
    QTest::newRow("dot") << QList<int>{Qt::Key_Period} << 1 << 0x00070001u;
    QTest::newRow("dot in the last field")
        << QList<int>{Qt::Key_Period, Qt::Key_Period, Qt::Key_Period, Qt::Key_Period} << 3
        << 0x00000007u;
    QTest::newRow("backspace in an emptied field moves back")
        << QList<int>{Qt::Key_Right, Qt::Key_Backspace, Qt::Key_Backspace} << 0 << 0x07000001u;
    QTest::newRow("backspace in a field with text stays")
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_End, Qt::Key_Backspace}
        << 3 << 0x00000007u;
    QTest::newRow("backspace in the first field stays")
        << QList<int>{Qt::Key_Backspace, Qt::Key_Backspace} << 0 << 0x07000001u;
}

void TestIpAddressEdit::movingBetweenFields()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, fieldIndex);
    QFETCH(quint32, afterTyping7);
    KeyboardWindow w;
    w.edit->setAddress(0x00000001u);
    QVERIFY(w.enterWithTab());
    for (const int key : keys)
        QTest::keyClick(focused(), static_cast<Qt::Key>(key));
    QCOMPARE(focused(), field(w.edit, fieldIndex));
    type(QStringLiteral("7"));
    QCOMPARE(w.edit->address(), afterTyping7);
}

void TestIpAddressEdit::tabLeavesControl_data()
{
    QTest::addColumn<int>("rights");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("landsOn");
    QTest::newRow("tab from field 0") << 0 << false << "after";
    QTest::newRow("tab from field 2") << 2 << false << "after";
    QTest::newRow("tab from field 3") << 3 << false << "after";
    QTest::newRow("backtab from field 0") << 0 << true << "before";
    QTest::newRow("backtab from field 2") << 2 << true << "before";
    QTest::newRow("backtab from field 3") << 3 << true << "before";
}

void TestIpAddressEdit::tabLeavesControl()
{
    QFETCH(int, rights);
    QFETCH(bool, backwards);
    QFETCH(QString, landsOn);
    KeyboardWindow w;
    w.edit->setAddress(0x01020304u);
    QVERIFY(w.enterWithTab());
    for (int i = 0; i < rights; ++i)
        QTest::keyClick(focused(), Qt::Key_Right);
    QCOMPARE(focused(), field(w.edit, rights));
    QTest::keyClick(focused(), backwards ? Qt::Key_Backtab : Qt::Key_Tab);
    QVERIFY(focused());
    QCOMPARE(focused()->objectName(), landsOn);
    // And back in again: the control is entered at its first field, text selected.
    QTest::keyClick(focused(), backwards ? Qt::Key_Tab : Qt::Key_Backtab);
    QCOMPARE(focused(), field(w.edit, 0));
    QVERIFY(field(w.edit, 0)->hasSelectedText());
}

QTEST_MAIN(TestIpAddressEdit)
#include "tst_ipaddressedit.moc"
