// SPDX-License-Identifier: MIT
// A web page's requests: the key commands they put on the line, and the refusals (bad JSON,
// unknown requests, a read-only page, a wrong PIN) that put nothing there.
#include "link/matrixsetup.h"
#include "service/webconfig.h"
#include "service/webmessages.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestWebMessages : public QObject
{
    Q_OBJECT
private slots:
    void request_data();
    void request();
    void stateNamesEverything();
    void editsChangeTheSetup_data();
    void editsChangeTheSetup();
    void webGroup_data();
    void webGroup();
};

void TestWebMessages::request_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<QByteArray>("wire"); // every command, in order
    QTest::addColumn<bool>("denied");
    const QString none;
    const QByteArray nothing;
    QTest::newRow("out2 in3") << QByteArray(R"({"type":"key","output":2,"input":3})") << false
                              << none << QByteArray("cir 59\r\n") << false;
    QTest::newRow("out1 prev") << QByteArray(R"({"type":"key","output":1,"arrow":"prev"})") << false
                               << none << QByteArray("cir 57\r\n") << false;
    QTest::newRow("out4 next") << QByteArray(R"({"type":"key","output":4,"arrow":"next"})") << false
                               << none << QByteArray("cir 40\r\n") << false;
    QTest::newRow("status") << QByteArray(R"({"type":"status"})") << false << none
                            << QByteArray("bc \r\n") << false;
    QTest::newRow("recall: out2 only") << QByteArray(R"({"type":"recall","preset":"lecture"})")
                                       << false << none << QByteArray("recall Lecture") << false;
    QTest::newRow("right PIN") << QByteArray(R"({"type":"status","pin":"4711"})") << false
                               << QStringLiteral("4711") << QByteArray("bc \r\n") << false;
    // Refused: nothing on the line.
    QTest::newRow("not JSON") << QByteArray(R"({"type":"key",)") << false << none << nothing
                              << false;
    QTest::newRow("array") << QByteArray("[1,2]") << false << none << nothing << false;
    QTest::newRow("unknown") << QByteArray(R"({"type":"reboot"})") << false << none << nothing
                             << false;
    QTest::newRow("input 5") << QByteArray(R"({"type":"key","output":1,"input":5})") << false
                             << none << nothing << false;
    QTest::newRow("input 2.5") << QByteArray(R"({"type":"key","output":1,"input":2.5})") << false
                               << none << nothing << false;
    QTest::newRow("input \"3\"") << QByteArray(R"({"type":"key","output":1,"input":"3"})") << false
                                 << none << nothing << false;
    QTest::newRow("bad arrow") << QByteArray(R"({"type":"key","output":1,"arrow":"up"})") << false
                               << none << nothing << false;
    QTest::newRow("no preset") << QByteArray(R"({"type":"recall","preset":"gone"})") << false
                               << none << nothing << false;
    QTest::newRow("read-only") << QByteArray(R"({"type":"key","output":2,"input":3})") << true
                               << none << nothing << true;
    QTest::newRow("read-only, bad JSON") << QByteArray("{") << true << none << nothing << false;
    QTest::newRow("no PIN") << QByteArray(R"({"type":"status"})") << false << QStringLiteral("4711")
                            << nothing << true;
    QTest::newRow("wrong PIN") << QByteArray(R"({"type":"status","pin":"4712"})") << false
                               << QStringLiteral("4711") << nothing << true;
    QTest::newRow("read-only, name") << QByteArray(R"({"type":"name","output":1,"name":"x"})")
                                     << true << none << nothing << true;
    QTest::newRow("no PIN, delete") << QByteArray(R"({"type":"delete","preset":"Lecture"})")
                                    << false << QStringLiteral("4711") << nothing << true;
}

// A page's changes of names and presets, made in the set-up folder; `after`: every name and
// preset then, or the start of the refusal.
void TestWebMessages::editsChangeTheSetup_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("reported"); // the routing the switch reported; "": not all of it
    QTest::addColumn<QString>("after");
    const QString all = QStringLiteral("2 2 2 2");
    QTest::newRow("output name") << QByteArray(R"({"type":"name","output":2,"name":" Beamer "})")
                                 << all << "|Beamer||/|||Lectern/Lecture=1 3 1 4";
    QTest::newRow("input name taken away")
        << QByteArray(R"({"type":"name","input":4,"name":""})") << all << "|||/|||/Lecture=1 3 1 4";
    QTest::newRow("save") << QByteArray(R"({"type":"save","preset":"Video"})") << all
                          << "|||/|||Lectern/Lecture=1 3 1 4,Video=2 2 2 2";
    QTest::newRow("rename") << QByteArray(R"({"type":"rename","preset":"lecture","to":"Talk"})")
                            << all << "|||/|||Lectern/Talk=1 3 1 4";
    QTest::newRow("delete") << QByteArray(R"({"type":"delete","preset":"Lecture"})") << all
                            << "|||/|||Lectern/";
    QTest::newRow("save, routing not known")
        << QByteArray(R"({"type":"save","preset":"Video"})") << ""
        << "refused: The switch has";
    QTest::newRow("save as custom") << QByteArray(R"({"type":"save","preset":"Custom"})") << all
                                    << "refused: \"custom\" stands for";
    QTest::newRow("name too long")
        << QByteArray(R"({"type":"name","input":1,"name":"123456789012345678901234567890123"})")
        << all << "refused: ";
    QTest::newRow("input 5") << QByteArray(R"({"type":"name","input":5,"name":"x"})") << all
                             << "refused: \"output\" or \"input\" must be 1 to 4";
}

void TestWebMessages::editsChangeTheSetup()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, reported);
    QFETCH(QString, after);
    QTemporaryDir dir;
    MatrixSetup setup(dir.path());
    QVERIFY(setup.setInputName(4, QStringLiteral("Lectern")));
    QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {1, 3, 1, 4}));
    webmessages::Outcome outcome = webmessages::request(json, {}, setup);
    QString why = outcome.error;
    if (outcome.edit && applyEdit(*outcome.edit, setup, MatrixSetup::parseRouting(reported), why)) {
        MatrixSetup again(dir.path()); // as saved
        QStringList outputs, inputs, presets;
        for (int i = 1; i <= 4; ++i) {
            outputs << again.outputName(i);
            inputs << again.inputName(i);
        }
        for (const Preset& preset : again.presets())
            presets << preset.name + '=' + MatrixSetup::routingText(preset.routing);
        why = outputs.join('|') + '/' + inputs.join('|') + '/' + presets.join(',');
        QCOMPARE(why, after);
    } else {
        QVERIFY2(after.startsWith("refused: ") && why.startsWith(after.mid(9)), qPrintable(why));
    }
}

void TestWebMessages::request()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, readOnly);
    QFETCH(QString, pin);
    QFETCH(QByteArray, wire);
    QFETCH(bool, denied);
    QTemporaryDir dir;
    MatrixSetup setup(dir.path());
    QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {1, 3, 1, 4}));
    const webmessages::Outcome outcome = webmessages::request(json, {readOnly, pin}, setup);
    QCOMPARE(outcome.recall ? "recall " + outcome.recall->name.toUtf8() : outcome.commands.join(),
             wire);
    QCOMPARE(outcome.error.isEmpty(), !wire.isEmpty());
    QCOMPARE(outcome.deniedAccess, denied);
}

void TestWebMessages::stateNamesEverything()
{
    QTemporaryDir dir;
    MatrixSetup setup(dir.path());
    QVERIFY(setup.setOutputName(2, QStringLiteral("Beamer")));
    QVERIFY(setup.setInputName(4, QStringLiteral("Lectern")));
    QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {1, 3, 1, 4}));
    const QJsonObject state =
        QJsonDocument::fromJson(webmessages::state(QStringLiteral("room"), true, {2, 0, 1, 4},
                                                   setup, {false, QStringLiteral("4711")},
                                                   QStringLiteral("Lecture hall")))
            .object();
    QCOMPARE(
        QJsonDocument(state).toJson(QJsonDocument::Compact),
        QByteArray(
            R"({"inputs":["","","","Lectern"],"link":true,"name":"Lecture hall",)"
            R"("outputs":["","Beamer","",""],)"
            R"("pin":true,"presetRoutings":[[1,3,1,4]],"presets":["Lecture"],"readOnly":false,)"
            R"("routing":[2,0,1,4],)"
            R"("switch":"room","type":"state"})"));
}

void TestWebMessages::webGroup_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("faultLine"); // 0: none
    QTest::newRow("sound") << QByteArray("listen=127.0.0.1:8080\nroom.pin=4711\n") << 0;
    QTest::newRow("no listen") << QByteArray("room.read-only=true\n") << 1;
    QTest::newRow("bad listen") << QByteArray("listen=localhost:80\n") << 2;
    QTest::newRow("short PIN") << QByteArray("listen=[::1]:80\nroom.pin=471\n") << 3;
    QTest::newRow("other switch") << QByteArray("listen=[::1]:80\nhall.pin=4711\n") << 3;
    QTest::newRow("read-only=yes") << QByteArray("listen=[::1]:80\nroom.read-only=yes\n") << 3;
    QTest::newRow("unknown key") << QByteArray("listen=[::1]:80\nroom.colour=red\n") << 3;
    QTest::newRow("certificate, no key") << QByteArray("listen=[::1]:80\ncertfile=c.pem\n") << 3;
    QTest::newRow("unreadable certificate")
        << QByteArray("listen=[::1]:80\ncertfile=none.pem\nkeyfile=none.key\n") << 3;
}

void TestWebMessages::webGroup()
{
    QFETCH(QByteArray, group);
    QFETCH(int, faultLine);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("varnokd.conf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[web]\n" + group);
    file.close();
    QSettings settings(file.fileName(), QSettings::IniFormat);
    QList<int> faults;
    // Line numbers of this file: [web] is 1, its keys follow in order.
    const QStringList keys = QString::fromLatin1(group).split(u'\n');
    const auto lineOf = [&keys](const QString& key) {
        for (int i = 0; i < keys.size(); ++i)
            if (!key.isEmpty() && keys[i].startsWith(key + u'='))
                return i + 2;
        return 1;
    };
    const std::optional<WebConfig> config =
        readWebConfig(settings, QDir(dir.path()), {QStringLiteral("room")}, lineOf,
                      [&faults](int line, const QString&) { faults << line; });
    QCOMPARE(faults, faultLine ? QList<int>{faultLine} : QList<int>{});
    QCOMPARE(config.has_value(), faultLine == 0);
    if (config)
        QCOMPARE(config->accessOf(QStringLiteral("room")).pin, QStringLiteral("4711"));
}

QTEST_GUILESS_MAIN(TestWebMessages)
#include "tst_webmessages.moc"
