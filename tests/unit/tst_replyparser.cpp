// SPDX-License-Identifier: MIT
#include "protocol/replies.h"

#include <QtTest>

using protocol::Reply;
using protocol::Route;

namespace {

// Literals with embedded NUL bytes.
QByteArray bytes(const char* text, qsizetype size)
{
    return QByteArray(text, size);
}
QString latin1(const char* text, qsizetype size)
{
    return QString::fromLatin1(text, size);
}

QString kindName(Reply::Kind kind)
{
    switch (kind) {
    case Reply::Kind::RouteReport:
        return QStringLiteral("route");
    case Reply::Kind::StatusReport:
        return QStringLiteral("status");
    case Reply::Kind::UtpStatus:
        return QStringLiteral("ust");
    case Reply::Kind::Ack:
        return QStringLiteral("ack");
    case Reply::Kind::UtpSetConfirm:
        return QStringLiteral("utp");
    case Reply::Kind::Edm:
        return QStringLiteral("edm");
    case Reply::Kind::Raw:
        return QStringLiteral("raw");
    }
    return QStringLiteral("?");
}

// Routes as "output:input" pairs, blank-separated, in order.
QString routeList(const QList<Route>& routes)
{
    QStringList parts;
    for (const Route& r : routes)
        parts << QStringLiteral("%1:%2").arg(r.output).arg(r.input);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TstReplyParser : public QObject
{
    Q_OBJECT

private slots:
    void bytesToText_data();
    void bytesToText();
    void everyByteBelow0x80KeepsItsCode();
    void classify_data();
    void classify();
    void routeLines_data();
    void routeLines();
};

void TstReplyParser::bytesToText_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("route report") << QByteArray("s12") << QStringLiteral("s12");
    QTest::newRow("CR LF kept") << QByteArray("\r\ns10") << QStringLiteral("\r\ns10");
    QTest::newRow("embedded NUL kept") << bytes("a\0b", 3) << latin1("a\0b", 3);
    QTest::newRow("0x7F kept") << QByteArray("\x7f") << QString(QChar(0x7F));
    QTest::newRow("0x80 alone") << QByteArray("\x80") << QString();
    QTest::newRow("0xFF after a route report") << QByteArray("s12\xff") << QString();
    QTest::newRow("0xFF before a route report") << QByteArray("\xffs12") << QString();
    QTest::newRow("Latin-1 e acute is not taken") << QByteArray("caf\xe9") << QString();
    QTest::newRow("UTF-8 sequence") << QByteArray("\xc3\xa9") << QString();
}

void TstReplyParser::bytesToText()
{
    QFETCH(QByteArray, chunk);
    QFETCH(QString, text);
    const QString result = protocol::replyText(chunk);
    QCOMPARE(result, text);
    QCOMPARE(result.size(), text.size());
}

void TstReplyParser::everyByteBelow0x80KeepsItsCode()
{
    QByteArray all;
    for (int b = 0; b < 0x80; ++b)
        all.append(static_cast<char>(b));
    const QString text = protocol::replyText(all);
    QCOMPARE(text.size(), 0x80);
    for (int b = 0; b < 0x80; ++b)
        QCOMPARE(text[b].unicode(), char16_t(b));
}

void TstReplyParser::classify_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("routes");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("raw");

    // Route reports: output digit from 1, input digit from 0.
    QTest::newRow("s12") << QByteArray("s12") << "route"
                         << "1:3" << 0 << QString();
    QTest::newRow("s10") << QByteArray("s10") << "route"
                         << "1:1" << 0 << QString();
    QTest::newRow("s43") << QByteArray("s43") << "route"
                         << "4:4" << 0 << QString();
    QTest::newRow("s14 input out of range") << QByteArray("s14") << "route"
                                            << "" << 0 << QString();
    QTest::newRow("s04 output 0") << QByteArray("s04") << "route"
                                  << "" << 0 << QString();
    QTest::newRow("s50 output 5") << QByteArray("s50") << "route"
                                  << "" << 0 << QString();
    QTest::newRow("s00") << QByteArray("s00") << "route"
                         << "" << 0 << QString();
    QTest::newRow("s99") << QByteArray("s99") << "route"
                         << "" << 0 << QString();
    QTest::newRow("s21 CR LF") << QByteArray("s21\r\n") << "route"
                               << "2:2" << 0 << QString();
    QTest::newRow("route report then more text") << QByteArray("s32s43 junk") << "route"
                                                 << "3:3" << 0 << QString();
    QTest::newRow("route report then NUL") << bytes("s13\0", 4) << "route"
                                           << "1:4" << 0 << QString();
    QTest::newRow("sx1") << QByteArray("sx1") << "raw"
                         << "" << 0 << QStringLiteral("sx1");
    QTest::newRow("S12") << QByteArray("S12") << "raw"
                         << "" << 0 << QStringLiteral("S12");
    QTest::newRow("s1x") << QByteArray("s1x") << "raw"
                         << "" << 0 << QStringLiteral("s1x");
    QTest::newRow("s1 too short") << QByteArray("s1") << "raw"
                                  << "" << 0 << QStringLiteral("s1");
    QTest::newRow("s alone") << QByteArray("s") << "raw"
                             << "" << 0 << QStringLiteral("s");
    QTest::newRow("NUL inside a route report") << bytes("s\0"
                                                        "12",
                                                        4)
                                               << "raw"
                                               << "" << 0
                                               << latin1("s\0"
                                                         "12",
                                                         4);
    QTest::newRow("NUL before a route report") << bytes("\0s12", 4) << "raw"
                                               << "" << 0 << latin1("\0s12", 4);
    QTest::newRow("blank before a route report") << QByteArray(" s12") << "raw"
                                                 << "" << 0 << QStringLiteral(" s12");

    // Status reports: CR LF, then four groups; the group order names the output.
    QTest::newRow("CR LF s10s21s32s43") << QByteArray("\r\ns10s21s32s43") << "status"
                                        << "1:1 2:2 3:3 4:4" << 0 << QString();
    QTest::newRow("CR LF s92s92s92s92 output characters not read")
        << QByteArray("\r\ns92s92s92s92") << "status"
        << "1:3 2:3 3:3 4:3" << 0 << QString();
    QTest::newRow("CR LF s12s22s32s42") << QByteArray("\r\ns12s22s32s42") << "status"
                                        << "1:3 2:3 3:3 4:3" << 0 << QString();
    QTest::newRow("CR LF sxysxysxysxy letters as output characters")
        << QByteArray("\r\nsx0sy1sz2s?3") << "status"
        << "1:1 2:2 3:3 4:4" << 0 << QString();
    QTest::newRow("groups with input 4 to 9 skipped") << QByteArray("\r\ns15s21s39s40") << "status"
                                                      << "2:2 4:1" << 0 << QString();
    QTest::newRow("every group skipped") << QByteArray("\r\ns14s24s34s44") << "status"
                                         << "" << 0 << QString();
    QTest::newRow("non-digit input skipped") << QByteArray("\r\ns1as22s3 s43") << "status"
                                             << "2:3 4:4" << 0 << QString();
    QTest::newRow("NUL as input skipped") << bytes("\r\ns1\0s22s32s42", 14) << "status"
                                          << "2:3 3:3 4:3" << 0 << QString();
    QTest::newRow("last input digit missing") << QByteArray("\r\ns12s22s32s4") << "status"
                                              << "1:3 2:3 3:3" << 0 << QString();
    QTest::newRow("status report then more text")
        << QByteArray("\r\ns13s22s31s40\r\ns00") << "status"
        << "1:4 2:3 3:2 4:1" << 0 << QString();
    QTest::newRow("CR LF s12 too short") << QByteArray("\r\ns12") << "raw"
                                         << "" << 0 << QStringLiteral("\r\ns12");
    QTest::newRow("CR LF three groups only") << QByteArray("\r\ns12s22s32") << "raw"
                                             << "" << 0 << QStringLiteral("\r\ns12s22s32");
    QTest::newRow("LF CR") << QByteArray("\n\rs10s21s32s43") << "raw"
                           << "" << 0 << QStringLiteral("\n\rs10s21s32s43");
    QTest::newRow("LF only") << QByteArray("\ns10s21s32s43") << "raw"
                             << "" << 0 << QStringLiteral("\ns10s21s32s43");
    QTest::newRow("upper-case S in one group") << QByteArray("\r\ns10s21S32s43") << "raw"
                                               << "" << 0 << QStringLiteral("\r\ns10s21S32s43");

    // UTP status: "ust", a digit whose value is unused, one hex digit of the mask.
    QTest::newRow("ust05") << QByteArray("ust05") << "ust"
                           << "" << 5 << QString();
    QTest::newRow("ust0F") << QByteArray("ust0F") << "ust"
                           << "" << 15 << QString();
    QTest::newRow("ust0f") << QByteArray("ust0f") << "ust"
                           << "" << 15 << QString();
    QTest::newRow("ust0A") << QByteArray("ust0A") << "ust"
                           << "" << 10 << QString();
    QTest::newRow("ust09") << QByteArray("ust09") << "ust"
                           << "" << 9 << QString();
    QTest::newRow("ust0 mask missing") << QByteArray("ust0") << "ust"
                                       << "" << 0 << QString();
    QTest::newRow("ust0G not hex") << QByteArray("ust0G") << "ust"
                                   << "" << 0 << QString();
    QTest::newRow("ust0g not hex") << QByteArray("ust0g") << "ust"
                                   << "" << 0 << QString();
    QTest::newRow("ust0 blank") << QByteArray("ust0 5") << "ust"
                                << "" << 0 << QString();
    QTest::newRow("ust95 first digit unused") << QByteArray("ust95") << "ust"
                                              << "" << 5 << QString();
    QTest::newRow("ust0C CR LF") << QByteArray("ust0C\r\n") << "ust"
                                 << "" << 12 << QString();
    QTest::newRow("ustA5") << QByteArray("ustA5") << "raw"
                           << "" << 0 << QStringLiteral("ustA5");
    QTest::newRow("ust") << QByteArray("ust") << "raw"
                         << "" << 0 << QStringLiteral("ust");
    QTest::newRow("UST05") << QByteArray("UST05") << "raw"
                           << "" << 0 << QStringLiteral("UST05");

    // Replies that show nothing.
    QTest::newRow("Ack") << QByteArray("Ack") << "ack"
                         << "" << 0 << QString();
    QTest::newRow("Ack then text") << QByteArray("Ack: cir 59\r\n") << "ack"
                                   << "" << 0 << QString();
    QTest::newRow("ACK") << QByteArray("ACK") << "raw"
                         << "" << 0 << QStringLiteral("ACK");
    QTest::newRow("ack") << QByteArray("ack") << "raw"
                         << "" << 0 << QStringLiteral("ack");
    QTest::newRow("Ac too short") << QByteArray("Ac") << "raw"
                                  << "" << 0 << QStringLiteral("Ac");
    QTest::newRow("utp") << QByteArray("utp") << "utp"
                         << "" << 0 << QString();
    QTest::newRow("utp then text") << QByteArray("utp 5 ok\r\n") << "utp"
                                   << "" << 0 << QString();
    QTest::newRow("UTP") << QByteArray("UTP") << "raw"
                         << "" << 0 << QStringLiteral("UTP");
    QTest::newRow("edm") << QByteArray("edm") << "edm"
                         << "" << 0 << QString();
    QTest::newRow("edm then text") << QByteArray("edm 1234\r\n") << "edm"
                                   << "" << 0 << QString();
    QTest::newRow("EDM") << QByteArray("EDM") << "raw"
                         << "" << 0 << QStringLiteral("EDM");

    // Everything else comes back as it came.
    QTest::newRow("empty") << QByteArray() << "raw"
                           << "" << 0 << QString();
    QTest::newRow("free answer") << QByteArray("Version 2.1\r\n") << "raw"
                                 << "" << 0 << QStringLiteral("Version 2.1\r\n");
    QTest::newRow("lone CR LF") << QByteArray("\r\n") << "raw"
                                << "" << 0 << QStringLiteral("\r\n");

    // A byte of 0x80 or above blanks the whole chunk, whatever it was.
    QTest::newRow("0xFF after a valid route report") << QByteArray("s12\xff") << "raw"
                                                     << "" << 0 << QString();
    QTest::newRow("0xFF before a valid route report") << QByteArray("\xffs12") << "raw"
                                                      << "" << 0 << QString();
    QTest::newRow("0x80 inside a status report") << QByteArray("\r\ns10s21\x80s32s43") << "raw"
                                                 << "" << 0 << QString();
    QTest::newRow("0xFE after a UTP status") << QByteArray("ust05\xfe") << "raw"
                                             << "" << 0 << QString();
    QTest::newRow("0x81 after Ack") << QByteArray("Ack\x81") << "raw"
                                    << "" << 0 << QString();
}

void TstReplyParser::classify()
{
    QFETCH(QByteArray, chunk);
    QFETCH(QString, kind);
    QFETCH(QString, routes);
    QFETCH(int, mask);
    QFETCH(QString, raw);

    const Reply reply = protocol::classify(protocol::replyText(chunk));
    QCOMPARE(kindName(reply.kind), kind);
    QCOMPARE(routeList(reply.routes), routes);
    QCOMPARE(reply.oneWireMask, mask);
    QCOMPARE(reply.text, raw);
    QCOMPARE(reply.text.size(), raw.size());
}

void TstReplyParser::routeLines_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("line");
    QTest::newRow("s10") << QByteArray("s10") << "HDMI Out1 -> HDMI In 1";
    QTest::newRow("s11") << QByteArray("s11") << "HDMI Out1 -> HDMI In 2";
    QTest::newRow("s12") << QByteArray("s12") << "HDMI Out1 -> HDMI In 3";
    QTest::newRow("s13") << QByteArray("s13") << "HDMI Out1 -> HDMI In 4";
    QTest::newRow("s20") << QByteArray("s20") << "HDMI Out2 -> HDMI In 1";
    QTest::newRow("s21") << QByteArray("s21") << "HDMI Out2 -> HDMI In 2";
    QTest::newRow("s22") << QByteArray("s22") << "HDMI Out2 -> HDMI In 3";
    QTest::newRow("s23") << QByteArray("s23") << "HDMI Out2 -> HDMI In 4";
    QTest::newRow("s30") << QByteArray("s30") << "HDMI Out3 -> HDMI In 1";
    QTest::newRow("s31") << QByteArray("s31") << "HDMI Out3 -> HDMI In 2";
    QTest::newRow("s32") << QByteArray("s32") << "HDMI Out3 -> HDMI In 3";
    QTest::newRow("s33") << QByteArray("s33") << "HDMI Out3 -> HDMI In 4";
    QTest::newRow("s40") << QByteArray("s40") << "HDMI Out4 -> HDMI In 1";
    QTest::newRow("s41") << QByteArray("s41") << "HDMI Out4 -> HDMI In 2";
    QTest::newRow("s42") << QByteArray("s42") << "HDMI Out4 -> HDMI In 3";
    QTest::newRow("s43") << QByteArray("s43") << "HDMI Out4 -> HDMI In 4";
}

void TstReplyParser::routeLines()
{
    QFETCH(QByteArray, chunk);
    QFETCH(QString, line);
    const Reply reply = protocol::classify(protocol::replyText(chunk));
    QCOMPARE(reply.routes.size(), 1);
    QCOMPARE(protocol::routeLine(reply.routes.first()), line);
}

QTEST_APPLESS_MAIN(TstReplyParser)
#include "tst_replyparser.moc"
