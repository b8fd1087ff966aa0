// SPDX-License-Identifier: MIT
#include "protocol/addresstext.h"

#include <QTest>

using protocol::AddressError;

class TestAddressText : public QObject
{
    Q_OBJECT
private slots:
    void packAddress_data();
    void packAddress();
    void packAddressErrors_data();
    void packAddressErrors();
    void errorDescriptions_data();
    void errorDescriptions();
    void pieceConversion_data();
    void pieceConversion();
    void pieceConversionErrors_data();
    void pieceConversionErrors();
    void dottedAddress_data();
    void dottedAddress();
    void fixedAddressCommand_data();
    void fixedAddressCommand();
    void fixedAddressCommandBytes();
};

void TestAddressText::packAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("packed");
    QTest::newRow("zero") << "0.0.0.0" << 0u;
    QTest::newRow("10.0.0.1") << "10.0.0.1" << 0x0A000001u;
    QTest::newRow("leading zeros") << "010.000.000.001" << 0x0A000001u;
    QTest::newRow("first field high") << "192.168.1.10" << 0xC0A8010Au;
    QTest::newRow("all 255") << "255.255.255.255" << 0xFFFFFFFFu;
    QTest::newRow("fifth piece ignored") << "1.2.3.4.5" << 0x01020304u;
    QTest::newRow("junk after fourth ignored") << "1.2.3.4.x.." << 0x01020304u;
    QTest::newRow("blanks around") << " 7 .1.2.3" << 0x07010203u;
    QTest::newRow("tab and blank") << "\t8.1\t.2 . 3 " << 0x08010203u;
    QTest::newRow("no length limit") << "1.2.3.4" + QString(20000, QLatin1Char(' ')) << 0x01020304u;
}

void TestAddressText::packAddress()
{
    QFETCH(QString, text);
    QFETCH(quint32, packed);
    AddressError error{-1, QStringLiteral("untouched")};
    QCOMPARE(protocol::packAddress(text, &error), std::optional<quint32>(packed));
    QCOMPARE(error.number, -1);
}

void TestAddressText::packAddressErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("two dots") << "1.2.3" << 102;
    QTest::newRow("empty") << "" << 102;
    QTest::newRow("no dots, just digits") << "192168110" << 102;
    QTest::newRow("256") << "1.2.3.256" << 6;
    QTest::newRow("negative") << "1.-2.3.4" << 6;
    QTest::newRow("empty piece") << "1..3.4" << 13;
    QTest::newRow("trailing dot") << "1.2.3." << 13;
    QTest::newRow("blank piece") << "1. .3.4" << 13;
    QTest::newRow("letter") << "1.2.3.a" << 13;
    QTest::newRow("exponent") << "1.2.3.1e2" << 13;
    QTest::newRow("hex prefix") << "1.2.3.&HFF" << 13;
    QTest::newRow("full-width digit") << QString::fromUtf16(u"\uFF11.2.3.4") << 13;
    // Piece 3 is converted first, then 2, 1, 0: the first failure in that order is raised.
    QTest::newRow("piece 3 before piece 0") << "x.1.2.300" << 6;
    QTest::newRow("piece 3 before piece 1") << "1.300.2.x" << 13;
    QTest::newRow("piece 2 before piece 1") << "1.x.300.4" << 6;
    // Characters that share a byte with "." are no dots.
    QTest::newRow("U+2E00 is no dot") << QString::fromUtf16(u"1.2\u2E003.4") << 102;
    QTest::newRow("U+012E is no dot") << QString::fromUtf16(u"1\u012E2.3.4") << 102;
    // The dots are counted however long the text is.
    QTest::newRow("long text, two dots") << QString(20000, QLatin1Char('1')) + "1.2.3" << 102;
}

void TestAddressText::packAddressErrors()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    AddressError error;
    QCOMPARE(protocol::packAddress(text, &error), std::nullopt);
    QCOMPARE(error.number, number);
    QCOMPARE(protocol::packAddress(text), std::nullopt); // nobody asked why
}

void TestAddressText::errorDescriptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("description");
    QTest::newRow("format") << "1.2.3"
                            << QString::fromUtf16(
                                   u"Ip 地址格式错误\r\n正确的格式应该为: 255.255.255.255");
    QTest::newRow("overflow") << "1.2.3.256"
                              << "Overflow";
    QTest::newRow("type mismatch") << "1..3.4"
                                   << "Type mismatch";
}

void TestAddressText::errorDescriptions()
{
    QFETCH(QString, text);
    QFETCH(QString, description);
    AddressError error;
    QVERIFY(!protocol::packAddress(text, &error));
    QCOMPARE(error.description, description);
}

void TestAddressText::pieceConversion_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("many leading zeros") << "0000000000255" << 255;
    QTest::newRow("blanks around") << "  42\t " << 42;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("minus zero") << "-0" << 0;
    QTest::newRow("2.5 ties to even") << "2.5" << 2;
    QTest::newRow("3.5 ties to even") << "3.5" << 4;
    QTest::newRow("0.5 ties to even") << "0.5" << 0;
    QTest::newRow("254.5 ties to even") << "254.5" << 254;
    QTest::newRow("just above half") << "2.500001" << 3;
    QTest::newRow("just below half") << "1.49999" << 1;
    QTest::newRow("0.51") << "0.51" << 1;
    QTest::newRow("255.4") << "255.4" << 255;
    QTest::newRow("fraction only") << ".6" << 1;
    QTest::newRow("trailing point") << "5." << 5;
    QTest::newRow("small negative rounds to 0") << "-0.4" << 0;
    QTest::newRow("negative tie rounds to 0") << "-0.5" << 0;
}

void TestAddressText::pieceConversion()
{
    QFETCH(QString, piece);
    QFETCH(int, value);
    QCOMPARE(protocol::byteFromText(piece), std::optional<quint8>(quint8(value)));
}

void TestAddressText::pieceConversionErrors_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("number");
    QTest::newRow("256") << "256" << 6;
    QTest::newRow("255.5 ties up to 256") << "255.5" << 6;
    QTest::newRow("-1") << "-1" << 6;
    QTest::newRow("-0.6 rounds to -1") << "-0.6" << 6;
    QTest::newRow("very long number") << "99999999999999999999" << 6;
    QTest::newRow("empty") << "" << 13;
    QTest::newRow("blanks only") << "   " << 13;
    QTest::newRow("sign only") << "+" << 13;
    QTest::newRow("point only") << "." << 13;
    QTest::newRow("blank inside") << "1 2" << 13;
    QTest::newRow("comma decimal") << "1,5" << 13;
    QTest::newRow("exponent") << "1e2" << 13;
    QTest::newRow("hex") << "0x10" << 13;
    QTest::newRow("two points") << "1.2.3" << 13;
    QTest::newRow("Arabic-Indic digit") << QString::fromUtf16(u"\u0663") << 13;
}

void TestAddressText::pieceConversionErrors()
{
    QFETCH(QString, piece);
    QFETCH(int, number);
    AddressError error;
    QCOMPARE(protocol::byteFromText(piece, &error), std::nullopt);
    QCOMPARE(error.number, number);
}

void TestAddressText::dottedAddress_data()
{
    QTest::addColumn<quint32>("packed");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0u << "0.0.0.0";
    QTest::newRow("192.168.1.10") << 0xC0A8010Au << "192.168.1.10";
    QTest::newRow("first field only") << 0x01000000u << "1.0.0.0";
    QTest::newRow("last field only") << 0x0000000Fu << "0.0.0.15";
    QTest::newRow("all 255") << 0xFFFFFFFFu << "255.255.255.255";
}

void TestAddressText::dottedAddress()
{
    QFETCH(quint32, packed);
    QFETCH(QString, text);
    QCOMPARE(protocol::dottedAddress(packed), text);
}

void TestAddressText::fixedAddressCommand_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("192.168.1.10") << "192.168.1.10" << QByteArray("sip C0 A8 1 A\r\n");
    QTest::newRow("preset 0.0.0.1") << "0.0.0.1" << QByteArray("sip 0 0 0 1\r\n");
    QTest::newRow("all 255") << "255.255.255.255" << QByteArray("sip FF FF FF FF\r\n");
    QTest::newRow("10.0.0.15") << "10.0.0.15" << QByteArray("sip A 0 0 F\r\n");
    QTest::newRow("blank fields") << "..." << QByteArray("sip 0 0 0 0\r\n");
    QTest::newRow("leading zeros") << "016.000.0.1" << QByteArray("sip 10 0 0 1\r\n");
    QTest::newRow("16 is two digits") << "16.17.31.32" << QByteArray("sip 10 11 1F 20\r\n");
    QTest::newRow("any non-digit closes a field") << "1-2.3" << QByteArray("sip 1 2 3\r\n");
    QTest::newRow("empty text") << "" << QByteArray("sip 0\r\n");
    QTest::newRow("long digit run") << "4294967296.0.0.0" << QByteArray("sip 100000000 0 0 0\r\n");
}

void TestAddressText::fixedAddressCommand()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, command);
    QCOMPARE(protocol::fixedAddressCommand(address), command);
}

void TestAddressText::fixedAddressCommandBytes()
{
    const char expected[] = {0x73, 0x69, 0x70, 0x20, 0x43, 0x30, 0x20, 0x41,
                             0x38, 0x20, 0x31, 0x20, 0x41, 0x0D, 0x0A};
    QCOMPARE(protocol::fixedAddressCommand(QStringLiteral("192.168.1.10")),
             QByteArray(expected, sizeof expected));
}

QTEST_APPLESS_MAIN(TestAddressText)
#include "tst_addresstext.moc"
