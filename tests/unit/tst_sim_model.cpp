// SPDX-License-Identifier: MIT
// The simulated switch's protocol, without a terminal: bytes in, reply bytes out.

#include "protocol/logtext.h"
#include "switchmodel.h"

#include <QSet>
#include <QtTest>

using sim::Routes;
using sim::SwitchModel;

namespace {

// "2031": the input digit of outputs 1 to 4, for comparing against literals.
QByteArray routesText(const Routes& routes)
{
    QByteArray text;
    for (int input : routes)
        text += char('0' + input);
    return text;
}

Routes routesFrom(const QByteArray& text)
{
    Routes routes{};
    for (int i = 0; i < 4; ++i)
        routes[i] = text[i] - '0';
    return routes;
}

struct Fed
{
    QByteArray commands; // joined with '|'
    QByteArray replies;  // concatenated
};

Fed feedAll(SwitchModel& model, const QList<QByteArray>& chunks)
{
    Fed fed;
    QList<QByteArray> commands;
    for (const QByteArray& chunk : chunks) {
        for (const sim::Exchange& exchange : model.feed(chunk)) {
            commands.append(exchange.command);
            fed.replies += exchange.reply;
        }
    }
    fed.commands = commands.join('|');
    return fed;
}

} // namespace

class TestSimModel : public QObject
{
    Q_OBJECT

private slots:
    void commandReply_data();
    void commandReply();
    void keys_data();
    void keys();
    void arrowsWrap_data();
    void arrowsWrap();
    void unknownKeyKeepsRouting_data();
    void unknownKeyKeepsRouting();
    void statusFollowsRouting_data();
    void statusFollowsRouting();
    void framing_data();
    void framing();
    void byteByByte();
    void overlongLine();
    void utpThenRup_data();
    void utpThenRup();
    void networkStored_data();
    void networkStored();
    void malformedSipKeepsSetting_data();
    void malformedSipKeepsSetting();
    void errorsStayRaw_data();
    void errorsStayRaw();
    void frontPanelChangesOneOutput();
    void frontPanelReachesEveryChange();
    void escaped_data();
    void escaped();
    void parseRoutes_data();
    void parseRoutes();
};

void TestSimModel::commandReply_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("status") << QByteArray("bc ") << QByteArray("\r\ns10s21s32s43\r\n");
    QTest::newRow("status without blank") << QByteArray("bc") << QByteArray("\r\ns10s21s32s43\r\n");
    QTest::newRow("utp query") << QByteArray("rup ") << QByteArray("ust00\r\n");
    QTest::newRow("utp query without blank") << QByteArray("rup") << QByteArray("ust00\r\n");
    QTest::newRow("utp set") << QByteArray("utp 5") << QByteArray("utp\r\n");
    QTest::newRow("dhcp") << QByteArray("dhc") << QByteArray("Ack\r\n");
    QTest::newRow("fixed address") << QByteArray("sip C0 A8 1 A") << QByteArray("Ack\r\n");
    QTest::newRow("key") << QByteArray("cir 59") << QByteArray("s22\r\n");
    QTest::newRow("key lower-case hex") << QByteArray("cir 1d") << QByteArray("s11\r\n");
    QTest::newRow("key with trailing blanks") << QByteArray("cir 08  ") << QByteArray("s23\r\n");
    QTest::newRow("unknown key") << QByteArray("cir 00") << QByteArray("ERR key\r\n");
    QTest::newRow("key one digit") << QByteArray("cir 5") << QByteArray("ERR cir\r\n");
    QTest::newRow("key three digits") << QByteArray("cir 123") << QByteArray("ERR cir\r\n");
    QTest::newRow("key not hex") << QByteArray("cir G1") << QByteArray("ERR cir\r\n");
    QTest::newRow("key missing") << QByteArray("cir") << QByteArray("ERR cir\r\n");
    QTest::newRow("key two blanks") << QByteArray("cir  59") << QByteArray("ERR cir\r\n");
    QTest::newRow("status with argument") << QByteArray("bc 1") << QByteArray("ERR bc\r\n");
    QTest::newRow("utp query with argument") << QByteArray("rup 1") << QByteArray("ERR rup\r\n");
    QTest::newRow("dhcp with argument") << QByteArray("dhc 1") << QByteArray("ERR dhc\r\n");
    QTest::newRow("utp set missing") << QByteArray("utp") << QByteArray("ERR utp\r\n");
    QTest::newRow("utp set two digits") << QByteArray("utp 10") << QByteArray("ERR utp\r\n");
    QTest::newRow("utp set not hex") << QByteArray("utp G") << QByteArray("ERR utp\r\n");
    QTest::newRow("unknown word") << QByteArray("hello") << QByteArray("ERR unknown\r\n");
    QTest::newRow("upper case") << QByteArray("BC") << QByteArray("ERR unknown\r\n");
    QTest::newRow("control bytes") << QByteArray("\x01\x02") << QByteArray("ERR unknown\r\n");
}

void TestSimModel::commandReply()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reply);
    SwitchModel model({0, 1, 2, 3});
    QCOMPARE(model.execute(line), reply);
}

void TestSimModel::keys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("routesAfter");

    // From the routing 2031 (output 1 on input 2, output 2 on 0, output 3 on 3, output 4 on 1).
    QTest::newRow("out1 left") << QByteArray("cir 57") << QByteArray("s11\r\n")
                               << QByteArray("1031");
    QTest::newRow("out1 right") << QByteArray("cir 41") << QByteArray("s13\r\n")
                                << QByteArray("3031");
    QTest::newRow("out1 in1") << QByteArray("cir 09") << QByteArray("s10\r\n")
                              << QByteArray("0031");
    QTest::newRow("out1 in2") << QByteArray("cir 1D") << QByteArray("s11\r\n")
                              << QByteArray("1031");
    QTest::newRow("out1 in3") << QByteArray("cir 1F") << QByteArray("s12\r\n")
                              << QByteArray("2031");
    QTest::newRow("out1 in4") << QByteArray("cir 0D") << QByteArray("s13\r\n")
                              << QByteArray("3031");
    QTest::newRow("out2 left") << QByteArray("cir 1B") << QByteArray("s23\r\n")
                               << QByteArray("2331");
    QTest::newRow("out2 right") << QByteArray("cir 11") << QByteArray("s21\r\n")
                                << QByteArray("2131");
    QTest::newRow("out2 in1") << QByteArray("cir 17") << QByteArray("s20\r\n")
                              << QByteArray("2031");
    QTest::newRow("out2 in2") << QByteArray("cir 12") << QByteArray("s21\r\n")
                              << QByteArray("2131");
    QTest::newRow("out2 in3") << QByteArray("cir 59") << QByteArray("s22\r\n")
                              << QByteArray("2231");
    QTest::newRow("out2 in4") << QByteArray("cir 08") << QByteArray("s23\r\n")
                              << QByteArray("2331");
    QTest::newRow("out3 left") << QByteArray("cir 55") << QByteArray("s32\r\n")
                               << QByteArray("2021");
    QTest::newRow("out3 right") << QByteArray("cir 48") << QByteArray("s30\r\n")
                                << QByteArray("2001");
    QTest::newRow("out3 in1") << QByteArray("cir 5E") << QByteArray("s30\r\n")
                              << QByteArray("2001");
    QTest::newRow("out3 in2") << QByteArray("cir 06") << QByteArray("s31\r\n")
                              << QByteArray("2011");
    QTest::newRow("out3 in3") << QByteArray("cir 05") << QByteArray("s32\r\n")
                              << QByteArray("2021");
    QTest::newRow("out3 in4") << QByteArray("cir 03") << QByteArray("s33\r\n")
                              << QByteArray("2031");
    QTest::newRow("out4 left") << QByteArray("cir 07") << QByteArray("s40\r\n")
                               << QByteArray("2030");
    QTest::newRow("out4 right") << QByteArray("cir 40") << QByteArray("s42\r\n")
                                << QByteArray("2032");
    QTest::newRow("out4 in1") << QByteArray("cir 18") << QByteArray("s40\r\n")
                              << QByteArray("2030");
    QTest::newRow("out4 in2") << QByteArray("cir 44") << QByteArray("s41\r\n")
                              << QByteArray("2031");
    QTest::newRow("out4 in3") << QByteArray("cir 0F") << QByteArray("s42\r\n")
                              << QByteArray("2032");
    QTest::newRow("out4 in4") << QByteArray("cir 51") << QByteArray("s43\r\n")
                              << QByteArray("2033");
}

void TestSimModel::keys()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, routesAfter);
    SwitchModel model({2, 0, 3, 1});
    QCOMPARE(model.execute(line), reply);
    QCOMPARE(routesText(model.routes()), routesAfter);
}

void TestSimModel::arrowsWrap_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("out1 right round")
        << QByteArray("0000") << QList<QByteArray>{"cir 41", "cir 41", "cir 41", "cir 41"}
        << QByteArray("s11\r\ns12\r\ns13\r\ns10\r\n");
    QTest::newRow("out1 left round")
        << QByteArray("0000") << QList<QByteArray>{"cir 57", "cir 57", "cir 57", "cir 57"}
        << QByteArray("s13\r\ns12\r\ns11\r\ns10\r\n");
    QTest::newRow("out4 right from input 4")
        << QByteArray("3333") << QList<QByteArray>{"cir 40", "cir 40"}
        << QByteArray("s40\r\ns41\r\n");
    QTest::newRow("out4 left from input 1")
        << QByteArray("0000") << QList<QByteArray>{"cir 07", "cir 07"}
        << QByteArray("s43\r\ns42\r\n");
    QTest::newRow("out2 left then right")
        << QByteArray("0000") << QList<QByteArray>{"cir 1B", "cir 11"}
        << QByteArray("s23\r\ns20\r\n");
    QTest::newRow("out3 right then left")
        << QByteArray("3333") << QList<QByteArray>{"cir 48", "cir 55"}
        << QByteArray("s30\r\ns33\r\n");
}

void TestSimModel::arrowsWrap()
{
    QFETCH(QByteArray, initial);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, replies);
    SwitchModel model(routesFrom(initial));
    QByteArray got;
    for (const QByteArray& line : lines)
        got += model.execute(line);
    QCOMPARE(got, replies);
}

void TestSimModel::unknownKeyKeepsRouting_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("00") << QByteArray("cir 00");
    QTest::newRow("FF") << QByteArray("cir FF");
    QTest::newRow("5A next to 59") << QByteArray("cir 5A");
    QTest::newRow("10") << QByteArray("cir 10");
    QTest::newRow("decimal 89 read as hex") << QByteArray("cir 89");
}

void TestSimModel::unknownKeyKeepsRouting()
{
    QFETCH(QByteArray, line);
    SwitchModel model({2, 0, 3, 1});
    QCOMPARE(model.execute(line), QByteArray("ERR key\r\n"));
    QCOMPARE(routesText(model.routes()), QByteArray("2031"));
    QCOMPARE(model.execute("bc"), QByteArray("\r\ns12s20s33s41\r\n"));
}

void TestSimModel::statusFollowsRouting_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QList<QByteArray>>("keys");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("reversed") << QByteArray("3210") << QList<QByteArray>{}
                              << QByteArray("\r\ns13s22s31s40\r\n");
    QTest::newRow("after keys") << QByteArray("0123")
                                << QList<QByteArray>{"cir 0D", "cir 17", "cir 48"}
                                << QByteArray("\r\ns13s20s33s43\r\n");
}

void TestSimModel::statusFollowsRouting()
{
    QFETCH(QByteArray, initial);
    QFETCH(QList<QByteArray>, keys);
    QFETCH(QByteArray, status);
    SwitchModel model(routesFrom(initial));
    for (const QByteArray& key : keys)
        model.execute(key);
    QCOMPARE(model.execute("bc "), status);
}

void TestSimModel::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("split inside a command") << QList<QByteArray>{"ci", "r 5", "9\r", "\n"}
                                            << QByteArray("cir 59") << QByteArray("s22\r\n");
    QTest::newRow("split between CR and LF")
        << QList<QByteArray>{"cir 59\r", "\nbc \r\n"} << QByteArray("cir 59|bc ")
        << QByteArray("s22\r\n\r\ns10s22s32s43\r\n");
    QTest::newRow("several in one chunk")
        << QList<QByteArray>{"cir 59\r\nbc \r\nrup \r\n"} << QByteArray("cir 59|bc |rup ")
        << QByteArray("s22\r\n\r\ns10s22s32s43\r\nust00\r\n");
    QTest::newRow("lone CR ends a line")
        << QList<QByteArray>{"cir 59\rcir 08\r"} << QByteArray("cir 59|cir 08")
        << QByteArray("s22\r\ns23\r\n");
    QTest::newRow("lone LF ends a line")
        << QList<QByteArray>{"cir 59\ncir 08\n"} << QByteArray("cir 59|cir 08")
        << QByteArray("s22\r\ns23\r\n");
    QTest::newRow("CR LF counts once")
        << QList<QByteArray>{"cir 11\r\n"} << QByteArray("cir 11") << QByteArray("s22\r\n");
    QTest::newRow("LF CR ends one line")
        << QList<QByteArray>{"rup\n\r"} << QByteArray("rup") << QByteArray("ust00\r\n");
    QTest::newRow("empty lines ignored") << QList<QByteArray>{"\r\n\r\n\n\r", "\r", "rup\r\n", "\n"}
                                         << QByteArray("rup") << QByteArray("ust00\r\n");
    QTest::newRow("unfinished line waits")
        << QList<QByteArray>{"cir 59", "\x20"} << QByteArray() << QByteArray();
    QTest::newRow("finished later") << QList<QByteArray>{"cir 5", "", "9", "\n"}
                                    << QByteArray("cir 59") << QByteArray("s22\r\n");
}

void TestSimModel::framing()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, replies);
    SwitchModel model({0, 1, 2, 3});
    const Fed fed = feedAll(model, chunks);
    QCOMPARE(fed.commands, commands);
    QCOMPARE(fed.replies, replies);
}

void TestSimModel::byteByByte()
{
    SwitchModel model({0, 1, 2, 3});
    const QByteArray stream("utp A\r\nrup \r\ncir 51\r\n");
    QList<QByteArray> chunks;
    for (char c : stream)
        chunks.append(QByteArray(1, c));
    const Fed fed = feedAll(model, chunks);
    QCOMPARE(fed.commands, QByteArray("utp A|rup |cir 51"));
    QCOMPARE(fed.replies, QByteArray("utp\r\nust0A\r\ns43\r\n"));
}

void TestSimModel::overlongLine()
{
    SwitchModel model({0, 1, 2, 3});
    // 128 bytes is still a line (an unknown one); 129 is too long and is dropped whole.
    QCOMPARE(feedAll(model, {QByteArray(128, 'x') + "\r\n"}).replies,
             QByteArray("ERR unknown\r\n"));
    const Fed fed = feedAll(model, {QByteArray(100, 'y'), QByteArray(100, 'y') + "\r\nbc\r\n"});
    QCOMPARE(fed.replies, QByteArray("ERR long\r\n\r\ns10s21s32s43\r\n"));
}

void TestSimModel::utpThenRup_data()
{
    QTest::addColumn<QList<QByteArray>>("sets");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("none set") << QList<QByteArray>{} << QByteArray("ust00\r\n");
    QTest::newRow("0") << QList<QByteArray>{"utp 0"} << QByteArray("ust00\r\n");
    QTest::newRow("5") << QList<QByteArray>{"utp 5"} << QByteArray("ust05\r\n");
    QTest::newRow("8") << QList<QByteArray>{"utp 8"} << QByteArray("ust08\r\n");
    QTest::newRow("F") << QList<QByteArray>{"utp F"} << QByteArray("ust0F\r\n");
    QTest::newRow("lower-case a answered upper-case")
        << QList<QByteArray>{"utp a"} << QByteArray("ust0A\r\n");
    QTest::newRow("last one wins")
        << QList<QByteArray>{"utp 3", "utp C"} << QByteArray("ust0C\r\n");
    QTest::newRow("malformed keeps mask")
        << QList<QByteArray>{"utp 5", "utp X", "utp 55"} << QByteArray("ust05\r\n");
}

void TestSimModel::utpThenRup()
{
    QFETCH(QList<QByteArray>, sets);
    QFETCH(QByteArray, status);
    SwitchModel model;
    for (const QByteArray& set : sets)
        model.execute(set);
    QCOMPARE(model.execute("rup "), status);
}

void TestSimModel::networkStored_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("dhcp");
    QTest::addColumn<QList<int>>("address");

    QTest::newRow("fixed") << QList<QByteArray>{"sip C0 A8 1 A"} << false
                           << QList<int>{192, 168, 1, 10};
    QTest::newRow("lower-case hex")
        << QList<QByteArray>{"sip ff 0 0 f"} << false << QList<int>{255, 0, 0, 15};
    QTest::newRow("leading zeros")
        << QList<QByteArray>{"sip 0A 00 01 0F"} << false << QList<int>{10, 0, 1, 15};
    QTest::newRow("fixed then dhcp")
        << QList<QByteArray>{"sip C0 A8 1 A", "dhc"} << true << QList<int>{192, 168, 1, 10};
    QTest::newRow("dhcp then fixed")
        << QList<QByteArray>{"dhc", "sip A 0 0 F"} << false << QList<int>{10, 0, 0, 15};
}

void TestSimModel::networkStored()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, dhcp);
    QFETCH(QList<int>, address);
    SwitchModel model;
    for (const QByteArray& line : lines)
        QCOMPARE(model.execute(line), QByteArray("Ack\r\n"));
    QCOMPARE(model.network().dhcp, dhcp);
    const auto& stored = model.network().address;
    QCOMPARE((QList<int>{stored[0], stored[1], stored[2], stored[3]}), address);
}

void TestSimModel::malformedSipKeepsSetting_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("three fields") << QByteArray("sip C0 A8 1");
    QTest::newRow("five fields") << QByteArray("sip C0 A8 1 A 5");
    QTest::newRow("three digits") << QByteArray("sip 100 0 0 0");
    QTest::newRow("not hex") << QByteArray("sip G 0 0 0");
    QTest::newRow("two blanks between") << QByteArray("sip C0  A8 1 A");
    QTest::newRow("two blanks before") << QByteArray("sip  C0 A8 1 A");
    QTest::newRow("dots") << QByteArray("sip C0.A8.1.A");
    QTest::newRow("no fields") << QByteArray("sip");
    QTest::newRow("no fields, blank") << QByteArray("sip ");
}

void TestSimModel::malformedSipKeepsSetting()
{
    QFETCH(QByteArray, line);
    SwitchModel model;
    QCOMPARE(model.execute("sip 1 2 3 4"), QByteArray("Ack\r\n"));
    QCOMPARE(model.execute(line), QByteArray("ERR sip\r\n"));
    QVERIFY(!model.network().dhcp);
    const auto& stored = model.network().address;
    QCOMPARE((QList<int>{stored[0], stored[1], stored[2], stored[3]}), (QList<int>{1, 2, 3, 4}));
}

void TestSimModel::errorsStayRaw_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("unknown key") << QByteArray("cir 00");
    QTest::newRow("bad key") << QByteArray("cir x");
    QTest::newRow("bad utp") << QByteArray("utp");
    QTest::newRow("bad sip") << QByteArray("sip 1");
    QTest::newRow("bc argument") << QByteArray("bc 1");
    QTest::newRow("rup argument") << QByteArray("rup 1");
    QTest::newRow("dhc argument") << QByteArray("dhc 1");
    QTest::newRow("unknown") << QByteArray("s12");
    QTest::newRow("too long") << QByteArray(300, 'a');
}

// An error answer must reach the console's receive pane as text, so none may start like a reply
// the console interprets.
void TestSimModel::errorsStayRaw()
{
    QFETCH(QByteArray, line);
    SwitchModel model;
    const QList<sim::Exchange> exchanges = model.feed(line + "\r\n");
    QCOMPARE(exchanges.size(), 1);
    const QByteArray r = exchanges.first().reply;
    const auto digit = [&r](qsizetype i) { return i < r.size() && r[i] >= '0' && r[i] <= '9'; };
    QVERIFY2(r.startsWith("ERR "), r.constData());
    QVERIFY(r.endsWith("\r\n"));
    QVERIFY(!(r.startsWith('s') && digit(1) && digit(2)));
    QVERIFY(!(r.startsWith("ust") && digit(3)));
    QVERIFY(!r.startsWith("Ack"));
    QVERIFY(!r.startsWith("utp"));
    QVERIFY(!r.startsWith("edm"));
    QVERIFY(!r.startsWith("\r\n"));
    QCOMPARE(routesText(model.routes()), QByteArray("0123"));
}

void TestSimModel::frontPanelChangesOneOutput()
{
    SwitchModel model({0, 1, 2, 3});
    for (quint32 random : {0u, 1u, 2u, 3u, 5u, 11u, 12u, 1000003u, 0xFFFFFFFFu}) {
        const Routes before = model.routes();
        const QByteArray report = model.frontPanelChange(random);
        const Routes after = model.routes();
        int changed = -1;
        for (int output = 0; output < 4; ++output) {
            if (before[output] != after[output]) {
                QCOMPARE(changed, -1);
                changed = output;
            }
        }
        QVERIFY2(changed >= 0, "the front panel left the routing as it was");
        QByteArray expected = "s";
        expected += char('1' + changed);
        expected += char('0' + after[changed]);
        QCOMPARE(report, expected + "\r\n");
        QCOMPARE(model.execute("bc").mid(2 + 3 * changed, 3), expected);
    }
}

void TestSimModel::frontPanelReachesEveryChange()
{
    // Twelve consecutive random values give every output every other input.
    QSet<QByteArray> reports;
    for (quint32 random = 0; random < 12; ++random) {
        SwitchModel model({0, 1, 2, 3});
        reports.insert(model.frontPanelChange(random));
    }
    const QSet<QByteArray> expected = {
        "s11\r\n", "s12\r\n", "s13\r\n", "s20\r\n", "s22\r\n", "s23\r\n",
        "s30\r\n", "s31\r\n", "s33\r\n", "s40\r\n", "s41\r\n", "s42\r\n",
    };
    QCOMPARE(reports, expected);
}

void TestSimModel::escaped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("printable") << QByteArray("cir 59") << QByteArray("cir 59");
    QTest::newRow("line end") << QByteArray("s22\r\n") << QByteArray("s22\\r\\n");
    QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\tb");
    QTest::newRow("backslash") << QByteArray("a\\b") << QByteArray("a\\\\b");
    QTest::newRow("control and high")
        << QByteArray("\x01\x7F\x80\xFF", 4) << QByteArray("\\x01\\x7F\\x80\\xFF");
    QTest::newRow("nul") << QByteArray("a\0b", 3) << QByteArray("a\\x00b");
}

void TestSimModel::escaped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(protocol::logEscaped(bytes), text);
}

void TestSimModel::parseRoutes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("routes"); // empty: refused
    QTest::newRow("identity") << QByteArray("0123") << QByteArray("0123");
    QTest::newRow("all on 4") << QByteArray("3333") << QByteArray("3333");
    QTest::newRow("empty") << QByteArray("") << QByteArray();
    QTest::newRow("three") << QByteArray("012") << QByteArray();
    QTest::newRow("five") << QByteArray("01230") << QByteArray();
    QTest::newRow("input 4 counted from 0") << QByteArray("0124") << QByteArray();
    QTest::newRow("letter") << QByteArray("a123") << QByteArray();
}

void TestSimModel::parseRoutes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, routes);
    const auto parsed = sim::parseRoutes(text);
    QCOMPARE(parsed.has_value(), !routes.isEmpty());
    if (parsed)
        QCOMPARE(routesText(*parsed), routes);
}

QTEST_APPLESS_MAIN(TestSimModel)
#include "tst_sim_model.moc"
