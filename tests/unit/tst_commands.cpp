// SPDX-License-Identifier: MIT
#include "protocol/commands.h"

#include <QtTest>

class TstCommands : public QObject
{
    Q_OBJECT

private slots:
    void hexDigits_data();
    void hexDigits();
    void keyCommand_data();
    void keyCommand();
    void fixedRequests();
    void terminalBytes_data();
    void terminalBytes();
};

void TstCommands::hexDigits_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("digits");
    QTest::newRow("0") << 0 << "00";
    QTest::newRow("9 keeps its leading zero") << 9 << "09";
    QTest::newRow("15") << 15 << "0F";
    QTest::newRow("16") << 16 << "10";
    QTest::newRow("29") << 29 << "1D";
    QTest::newRow("160 letter high digit") << 160 << "A0";
    QTest::newRow("255") << 255 << "FF";
}

void TstCommands::hexDigits()
{
    QFETCH(int, value);
    QFETCH(QString, digits);
    QCOMPARE(protocol::hexByte(static_cast<quint8>(value)), digits);
}

void TstCommands::keyCommand_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("0 out1 left") << 0 << QByteArray::fromHex("63 69 72 20 35 37 0D 0A");
    QTest::newRow("1 out1 right") << 1 << QByteArray::fromHex("63 69 72 20 34 31 0D 0A");
    QTest::newRow("2 out1 in1") << 2 << QByteArray::fromHex("63 69 72 20 30 39 0D 0A");
    QTest::newRow("3 out1 in2") << 3 << QByteArray::fromHex("63 69 72 20 31 44 0D 0A");
    QTest::newRow("4 out1 in3") << 4 << QByteArray::fromHex("63 69 72 20 31 46 0D 0A");
    QTest::newRow("5 out1 in4") << 5 << QByteArray::fromHex("63 69 72 20 30 44 0D 0A");
    QTest::newRow("6 out2 left") << 6 << QByteArray::fromHex("63 69 72 20 31 42 0D 0A");
    QTest::newRow("7 out2 right") << 7 << QByteArray::fromHex("63 69 72 20 31 31 0D 0A");
    QTest::newRow("8 out2 in1") << 8 << QByteArray::fromHex("63 69 72 20 31 37 0D 0A");
    QTest::newRow("9 out2 in2") << 9 << QByteArray::fromHex("63 69 72 20 31 32 0D 0A");
    QTest::newRow("10 out2 in3") << 10 << QByteArray::fromHex("63 69 72 20 35 39 0D 0A");
    QTest::newRow("11 out2 in4") << 11 << QByteArray::fromHex("63 69 72 20 30 38 0D 0A");
    QTest::newRow("12 out3 left") << 12 << QByteArray::fromHex("63 69 72 20 35 35 0D 0A");
    QTest::newRow("13 out3 right") << 13 << QByteArray::fromHex("63 69 72 20 34 38 0D 0A");
    QTest::newRow("14 out3 in1") << 14 << QByteArray::fromHex("63 69 72 20 35 45 0D 0A");
    QTest::newRow("15 out3 in2") << 15 << QByteArray::fromHex("63 69 72 20 30 36 0D 0A");
    QTest::newRow("16 out3 in3") << 16 << QByteArray::fromHex("63 69 72 20 30 35 0D 0A");
    QTest::newRow("17 out3 in4") << 17 << QByteArray::fromHex("63 69 72 20 30 33 0D 0A");
    QTest::newRow("18 out4 left") << 18 << QByteArray::fromHex("63 69 72 20 30 37 0D 0A");
    QTest::newRow("19 out4 right") << 19 << QByteArray::fromHex("63 69 72 20 34 30 0D 0A");
    QTest::newRow("20 out4 in1") << 20 << QByteArray::fromHex("63 69 72 20 31 38 0D 0A");
    QTest::newRow("21 out4 in2") << 21 << QByteArray::fromHex("63 69 72 20 34 34 0D 0A");
    QTest::newRow("22 out4 in3") << 22 << QByteArray::fromHex("63 69 72 20 30 46 0D 0A");
    QTest::newRow("23 out4 in4") << 23 << QByteArray::fromHex("63 69 72 20 35 31 0D 0A");
}

void TstCommands::keyCommand()
{
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    QCOMPARE(bytes.size(), 8); // guards the row itself against a typo
    QCOMPARE(protocol::routingKeyCommand(index), bytes);
}

void TstCommands::fixedRequests()
{
    QCOMPARE(protocol::statusRequest(), QByteArray::fromHex("62 63 20 0D 0A"));
    QCOMPARE(protocol::utpQuery(), QByteArray::fromHex("72 75 70 20 0D 0A"));
}

void TstCommands::terminalBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ASCII command") << QStringLiteral("bc ") << QByteArray("bc ");
    QTest::newRow("CR LF kept") << QStringLiteral("cir 59\r\n") << QByteArray("cir 59\r\n");
    QTest::newRow("lone LF not widened") << QStringLiteral("a\nb") << QByteArray("a\nb");
    QTest::newRow("lone CR kept") << QStringLiteral("a\rb") << QByteArray("a\rb");
    QTest::newRow("e acute is one byte")
        << QString::fromUtf8("caf\xc3\xa9") << QByteArray::fromHex("63 61 66 E9");
    QTest::newRow("y diaeresis 0xFF") << QString(QChar(0xFF)) << QByteArray::fromHex("FF");
    QTest::newRow("NUL kept") << QString(QChar(0)) << QByteArray::fromHex("00");
    QTest::newRow("first outside Latin-1") << QString(QChar(0x100)) << QByteArray("?");
    QTest::newRow("euro sign") << QString::fromUtf8("5\xe2\x82\xac\r\n") << QByteArray("5?\r\n");
    QTest::newRow("two CJK characters")
        << QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac") << QByteArray("??");
    QTest::newRow("character beyond the BMP is one ?")
        << QString::fromUtf8("a\xf0\x9f\x98\x80z") << QByteArray("a?z");
}

void TstCommands::terminalBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(protocol::terminalBytes(text), bytes);
}

QTEST_APPLESS_MAIN(TstCommands)
#include "tst_commands.moc"
