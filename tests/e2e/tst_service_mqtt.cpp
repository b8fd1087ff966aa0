// SPDX-License-Identifier: MIT
// varnokd's MQTT bridge end to end: a mosquitto broker on a free port, varnok-sim on raw TCP and
// varnokd between them; commands published with mosquitto_pub, the broker watched by a client
// of the test's own.
#include "mqttscene.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>

namespace {

using Process = std::unique_ptr<QProcess>;
using namespace mqttscene;

} // namespace

class TestServiceMqtt : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir temp;
    MqttConfig broker;
    std::unique_ptr<Broker> mosquitto;
    std::unique_ptr<Watcher> watcher;
    Process sim;
    std::unique_ptr<Service> service;
    QString id;

    QString path(const QString& name) const { return temp.filePath(name); }
    void startBroker(const QByteArray& extra = "allow_anonymous true\n")
    {
        mosquitto = std::make_unique<Broker>();
        mosquitto->port = broker.port;
        mosquitto->start(path(QStringLiteral("mosquitto.conf")), "persistence false\n" + extra);
    }
    // varnok-sim on a free port, and varnokd serving it as switch `name` with `mqtt` lines.
    void startSwitch(const QString& name, const QStringList& simArguments = {},
                     const QByteArray& mqtt = {})
    {
        id = name;
        sim = std::make_unique<QProcess>();
        const QByteArray simAddress = startSim(*sim, simArguments);
        QDir(temp.path()).mkdir(id);
        QFile names(path(id + QStringLiteral("/varnok.conf")));
        QVERIFY(names.open(QIODevice::WriteOnly));
        names.write("[names]\ninput3=Camera\n[presets]\n1\\name=Show\n1\\routing=2 3 3 3\n"
                    "2\\name=Twin\n2\\routing=2 3 3 3\n");
        names.close();
        QFile conf(path(id + QStringLiteral(".conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[mqtt]\nhost=127.0.0.1\nport=" + QByteArray::number(broker.port) + '\n' + mqtt +
                   '[' + id.toUtf8() + "]\ndir=" + path(id).toUtf8() + "\nport=tcp://" +
                   simAddress + "\nlisten=127.0.0.1:0\n");
        conf.close();
        service = std::make_unique<Service>();
        // Its own state folder: what an earlier run kept (a route not followed) stays there.
        service->start(conf.fileName(), path(QStringLiteral("state")));
    }
    QByteArray state(const QString& leaf) const
    {
        return watcher->last.value(QStringLiteral("varnok/%1/%2").arg(id, leaf));
    }
    void publish(const QString& leaf, const QByteArray& payload, bool retained = false)
    {
        mqttscene::publish(broker.port, QStringLiteral("varnok/%1/%2").arg(id, leaf), payload,
                           retained);
    }
    // The bridge is up and has published the switch's routing.
    void waitOnline()
    {
        // Long enough for a reconnection after a pause that has grown.
        QTRY_COMPARE_WITH_TIMEOUT(state(QStringLiteral("bridge")), QByteArray("online"), 20000);
        QTRY_COMPARE(state(QStringLiteral("output/4")), QByteArray("HDMI In 4"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        broker.host = QStringLiteral("127.0.0.1");
        broker.port = freePort();
        startBroker();
        watcher = std::make_unique<Watcher>(broker);
        QTRY_VERIFY(watcher->client.isConnected());
    }
    void cleanup()
    {
        if (sim) {
            sim->kill();
            sim->waitForFinished();
        }
        sim.reset();
        if (!service)
            return;
        service->stop(); // the sanitizers' reports of a stop that went wrong
        const QString log = std::exchange(service, nullptr)->log;
        QVERIFY2(!log.contains(QStringLiteral("Sanitizer")), qPrintable(log));
    }
    void cleanupTestCase()
    {
        watcher.reset();
        mosquitto.reset();
    }

    // A command published to a set topic routes the switch; the state follows only what the
    // switch reports, and a route it did not follow is published as a problem.
    void command_data()
    {
        QTest::addColumn<QStringList>("simArguments");
        QTest::addColumn<QString>("leaf");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("output");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<QByteArray>("problem");
        QTest::addColumn<QString>("logged");
        const QStringList plain;
        const QByteArray none = R"({"problems":[]})";
        QTest::newRow("number") << plain << "output/2/set" << QByteArray("3") << 2
                                << QByteArray("Camera") << none
                                << "cmd-number: MQTT varnok/cmd-number/output/2/set asks cir ";
        QTest::newRow("name") << plain << "output/4/set" << QByteArray("camera") << 4
                              << QByteArray("Camera") << none << "";
        QTest::newRow("routing") << plain << "routing/set"
                                 << QByteArray(R"({"routes":[{"output":1,"input":3}]})") << 1
                                 << QByteArray("Camera") << none << "";
        QTest::newRow("preset") << plain << "preset/set" << QByteArray("Show") << 1
                                << QByteArray("HDMI In 2") << none << "";
        QTest::newRow("twin preset") << plain << "preset/set" << QByteArray("Twin") << 1
                                     << QByteArray("HDMI In 2") << none << "";
        QTest::newRow("custom") << plain << "preset/set" << QByteArray("custom") << 1
                                << QByteArray("HDMI In 1") << none
                                << "\"custom\" ignored: \"custom\" is the state";
        QTest::newRow("forged line")
            << plain << "output/2/set" << QByteArray("9\nMQTT x") << 2 << QByteArray("HDMI In 2")
            << none << "\"9\\x0aMQTT x\" ignored";
        QTest::newRow("bad input") << plain << "output/2/set" << QByteArray("9") << 2
                                   << QByteArray("HDMI In 2") << none << "\"9\" ignored";
        QTest::newRow("bad json") << plain << "routing/set" << QByteArray(R"({"routes":[{}]})") << 2
                                  << QByteArray("HDMI In 2") << none << "ignored";
        QTest::newRow("stuck") << QStringList{QStringLiteral("--stuck"), QStringLiteral("2")}
                               << "output/2/set" << QByteArray("3") << 2 << QByteArray("HDMI In 2")
                               << QByteArray(R"({"problems":[{"asked":3,"asked_name":"Camera",)"
                                             R"("output":2,"reported":2,)"
                                             R"("reported_name":"HDMI In 2"}]})")
                               << "output 2 stayed on input 2, not 3";
    }
    void command()
    {
        QFETCH(QStringList, simArguments);
        QFETCH(QString, leaf);
        QFETCH(QByteArray, payload);
        QFETCH(int, output);
        QFETCH(QByteArray, shown);
        QFETCH(QByteArray, problem);
        QFETCH(QString, logged);
        startSwitch(QStringLiteral("cmd-%1").arg(QTest::currentDataTag()).replace(' ', '-'),
                    simArguments);
        waitOnline();
        publish(leaf, payload);
        if (leaf == QLatin1String("preset/set") && logged.isEmpty()) // of two alike, the one
            QTRY_COMPARE(state(QStringLiteral("preset")), payload);  // recalled
        // A later command to output 3, once confirmed, shows the first one was handled.
        publish(QStringLiteral("output/3/set"), "1");
        QTRY_COMPARE(state(QStringLiteral("output/3")), QByteArray("HDMI In 1"));
        QCOMPARE(state(QStringLiteral("output/%1").arg(output)), shown);
        QCOMPARE(state(QStringLiteral("problem")), problem);
        if (!logged.isEmpty())
            QTRY_VERIFY2(service->log.contains(logged), qPrintable(service->log));
    }

    void frontPanelChangeReachesTheState()
    {
        startSwitch(QStringLiteral("panel"),
                    {QStringLiteral("--front-panel"), QStringLiteral("0.2")});
        QTRY_VERIFY(!state(QStringLiteral("routing")).isEmpty());
        const QByteArray first = state(QStringLiteral("routing"));
        QTRY_VERIFY(state(QStringLiteral("routing")) != first);
    }

    void lostLineKeepsTheConfirmedState()
    {
        startSwitch(QStringLiteral("lost"));
        waitOnline();
        sim->kill();
        QTRY_COMPARE(state(QStringLiteral("link")), QByteArray("down"));
        QCOMPARE(state(QStringLiteral("output/4")), QByteArray("HDMI In 4"));
    }

    void retainedCommandIsNotReplayed()
    {
        id = QStringLiteral("retained");
        publish(QStringLiteral("output/1/set"), "4", true);
        startSwitch(id);
        waitOnline();
        publish(QStringLiteral("output/2/set"), "3");
        QTRY_COMPARE(state(QStringLiteral("output/2")), QByteArray("Camera"));
        QCOMPARE(state(QStringLiteral("output/1")), QByteArray("HDMI In 1"));
        QTRY_VERIFY(service->log.contains(QStringLiteral("retained command is ignored")));
        publish(QStringLiteral("output/1/set"), {}, true);
    }

    // Discovery: what Home Assistant needs of each component, ids from the switch's id alone.
    void discovery_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QStringList>("required");
        const QStringList select{"command_topic", "options", "state_topic"};
        QTest::newRow("output") << "select/varnok_disco/output2/config" << select;
        QTest::newRow("preset") << "select/varnok_disco/preset/config" << select;
        QTest::newRow("link") << "binary_sensor/varnok_disco/link/config"
                              << QStringList{"state_topic", "device_class"};
        QTest::newRow("problem") << "binary_sensor/varnok_disco/problem/config"
                                 << QStringList{"state_topic", "device_class", "value_template"};
    }
    void discovery()
    {
        QFETCH(QString, topic);
        QFETCH(QStringList, required);
        startSwitch(QStringLiteral("disco"));
        const QString full = QStringLiteral("homeassistant/") + topic;
        QTRY_VERIFY(!watcher->last.value(full).isEmpty());
        QJsonParseError error;
        const QJsonObject config =
            QJsonDocument::fromJson(watcher->last.value(full), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        for (const QString& key : required + QStringList{"name", "availability", "device"})
            QVERIFY2(config.contains(key), qPrintable(key));
        QVERIFY(config.value("unique_id").toString().startsWith("varnok_disco_"));
        QCOMPARE(config.value("device").toObject().value("identifiers").toArray(),
                 QJsonArray{"varnok_disco"});
        if (topic.startsWith("select/varnok_disco/output"))
            QCOMPARE(config.value("options").toArray(),
                     (QJsonArray{"HDMI In 1", "HDMI In 2", "Camera", "HDMI In 4"}));
    }

    // Home Assistant follows the set-up: a renamed input, its own restart, a switch removed
    // with every entity and retained topic of its own.
    void discoveryFollowsChanges()
    {
        startSwitch(QStringLiteral("edit"));
        waitOnline();
        const QString output1 = QStringLiteral("homeassistant/select/varnok_edit/output1/config");
        QFile names(path(QStringLiteral("edit/varnok.conf")));
        QVERIFY(names.open(QIODevice::WriteOnly));
        names.write("[names]\ninput1=Stage\n");
        names.close();
        QTRY_VERIFY(watcher->last.value(output1).contains(R"(["Stage","HDMI In 2")"));
        QTRY_COMPARE(state(QStringLiteral("output/1")), QByteArray("Stage"));

        watcher->last.remove(output1);
        mqttscene::publish(broker.port, QStringLiteral("homeassistant/status"), "online");
        QTRY_VERIFY(watcher->last.contains(output1));

        QFile conf(path(QStringLiteral("edit.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[mqtt]\nhost=127.0.0.1\nport=" + QByteArray::number(broker.port) + '\n');
        conf.close();
        ::kill(pid_t(service->process.processId()), SIGHUP);
        QTRY_VERIFY(watcher->last.value(output1).isEmpty());
        for (const char* leaf : {"bridge", "link", "output/1", "routing", "preset", "claim"})
            QTRY_VERIFY2(state(leaf).isEmpty(), qPrintable(leaf));
        for (auto [topic, payload] : watcher->last.asKeyValueRange()) {
            if (topic.contains(QStringLiteral("/varnok_edit/")))
                QVERIFY2(payload.isEmpty(), qPrintable(topic));
        }
    }

    // The broker gone and back: the TCP front serves meanwhile, and all is published again.
    void brokerRestarts()
    {
        startSwitch(QStringLiteral("restart"));
        waitOnline();
        mosquitto->process->kill();
        mosquitto->process->waitForFinished();
        watcher->last.clear();
        QTRY_VERIFY(service->log.contains(
            QStringLiteral("MQTT broker 127.0.0.1:%1 lost").arg(broker.port)));
        const QRegularExpression listening(QStringLiteral("listening on 127.0.0.1:(\\d+)"));
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost,
                             quint16(listening.match(service->log).captured(1).toUInt()));
        QVERIFY(client.waitForConnected(5000));
        client.write("bc \r\n");
        QByteArray answer;
        QTRY_VERIFY((answer += client.readAll()).contains("s1"));
        startBroker();
        waitOnline();
        QVERIFY(watcher->last.contains("homeassistant/select/varnok_restart/output1/config"));
    }

    // A broker that refuses the service says why in the log; TLS with the right authority.
    void brokerAccess_data()
    {
        QTest::addColumn<QByteArray>("brokerLines");
        QTest::addColumn<QByteArray>("serviceLines");
        QTest::addColumn<QString>("logged");
        const QByteArray tls = "allow_anonymous true\ncafile @/srv.pem\ncertfile @/srv.pem\n"
                               "keyfile @/srv.key\n";
        QTest::newRow("wrong password")
            << QByteArray("allow_anonymous false\npassword_file @/users\n")
            << QByteArray("user=room\npassword=wrong\n")
            << "refused the connection: Not authorized";
        QTest::newRow("password file ending in CR LF")
            << QByteArray("allow_anonymous false\npassword_file @/users\n")
            << QByteArray("user=room\npassword_file=@/password\n") << "connected";
        QTest::newRow("unknown authority")
            << tls << QByteArray("cafile=@/other.pem\n") << "certificate verify failed";
        QTest::newRow("tls") << tls << QByteArray("cafile=@/srv.pem\n") << "connected";
    }
    void brokerAccess()
    {
        QFETCH(QByteArray, brokerLines);
        QFETCH(QByteArray, serviceLines);
        QFETCH(QString, logged);
        const auto run = [](const QString& program, const QStringList& arguments) {
            QProcess process; // its output is of no interest
            process.start(program, arguments);
            return process.waitForFinished() ? process.exitCode() : -1;
        };
        QCOMPARE(run("mosquitto_passwd", {"-b", "-c", path("users"), "room", "right"}), 0);
        QFile password(path("password"));
        QVERIFY(password.open(QIODevice::WriteOnly));
        password.write("right\r\n");
        password.close();
        for (const QString name : {"srv", "other"})
            QCOMPARE(
                run("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                "ec_paramgen_curve:prime256v1", "-nodes", "-days", "1", "-subj",
                                "/CN=localhost", "-addext", "subjectAltName=IP:127.0.0.1",
                                "-keyout", path(name + ".key"), "-out", path(name + ".pem")}),
                0);
        QFile::setPermissions(path("srv.key"), QFile::ReadOwner | QFile::ReadOther);
        const quint16 openPort = broker.port;
        std::unique_ptr<Broker> open = std::move(mosquitto);
        broker.port = freePort();
        startBroker(brokerLines.replace('@', temp.path().toUtf8()));
        startSwitch(QStringLiteral("access"), {}, serviceLines.replace('@', temp.path().toUtf8()));
        QTRY_VERIFY2(service->log.contains(logged), qPrintable(service->log));
        cleanup();
        mosquitto = std::move(open);
        broker.port = openPort;
    }
};

QTEST_GUILESS_MAIN(TestServiceMqtt)
#include "tst_service_mqtt.moc"
