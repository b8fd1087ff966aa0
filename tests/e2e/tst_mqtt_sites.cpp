// SPDX-License-Identifier: MIT
// Several sites and services on MQTT: brokers bridged to each other, two sites on one broker,
// a switch renamed, each service a varnokd of its own with varnok-sim on 127.0.0.1.
#include "mqttscene.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <csignal>

using namespace mqttscene;

class TestMqttSites : public QObject
{
    Q_OBJECT
    QTemporaryDir temp;
    std::list<QProcess> sims;

    QString path(const QString& name) const { return temp.filePath(name); }
    // A switch `id` of base `base` on `broker`, served by a varnokd of its own from `name`.conf
    // (base-id by default); `more`: lines of the switch's group.
    void serve(Service& service, const Broker& broker, const QString& base, const QString& id,
               const QByteArray& more = {}, QString name = {})
    {
        const QByteArray address = startSim(sims.emplace_back());
        if (name.isEmpty())
            name = base + QLatin1Char('-') + id;
        QDir(temp.path()).mkpath(name);
        writeConfig(name, broker, base,
                    '[' + id.toUtf8() + "]\ndir=" + path(name).toUtf8() + "\nport=tcp://" +
                        address + "\nlisten=127.0.0.1:0\n" + more);
        service.start(path(name + QStringLiteral(".conf")), path(QStringLiteral("state")));
    }
    void writeConfig(const QString& name, const Broker& broker, const QString& base,
                     const QByteArray& groups)
    {
        QFile conf(path(name + QStringLiteral(".conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[mqtt]\nhost=127.0.0.1\nport=" + QByteArray::number(broker.port) +
                   "\nbase=" + base.toUtf8() + '\n' + groups);
    }
    static void publish(const Broker& broker, const QString& topic, const QByteArray& payload,
                        bool retained = false)
    {
        mqttscene::publish(broker.port, topic, payload, retained);
    }
    static QJsonObject json(const QByteArray& payload)
    {
        return QJsonDocument::fromJson(payload).object();
    }

private slots:
    void cleanup()
    {
        for (QProcess& sim : sims) {
            sim.kill();
            sim.waitForFinished();
        }
        sims.clear();
    }

    // A retained command on a broker bridged to the service's is never carried out, however
    // often the bridge hands it on, and is taken off the service's broker.
    void retainedCommandThroughABridge()
    {
        Broker here, there;
        here.start(path("here.conf"), "allow_anonymous true\npersistence false\n");
        const QByteArray bridged =
            "allow_anonymous true\npersistence true\npersistence_location " + temp.path().toUtf8() +
            "/\nconnection to-here\naddress 127.0.0.1:" + QByteArray::number(here.port) +
            "\ntopic varnok/# out 1\n";
        there.start(path("there.conf"), bridged);
        Watcher watcher(here.config());
        Service service;
        serve(service, here, "varnok", "bridged");
        QTRY_COMPARE_WITH_TIMEOUT(watcher.last.value("varnok/bridged/output/1"), "HDMI In 1",
                                  10000);

        publish(there, "varnok/bridged/output/1/set", "4", true);
        const QString ignored = QStringLiteral("retained command is ignored");
        QTRY_COMPARE(service.log.count(ignored), 1);
        QTRY_VERIFY(watcher.last.contains("varnok/bridged/output/1/set"));
        QTRY_COMPARE(watcher.last.value("varnok/bridged/output/1/set"), QByteArray());

        there.stop(); // the bridge comes back with the command it keeps
        there.start(path("there.conf"), bridged);
        QTRY_COMPARE_WITH_TIMEOUT(service.log.count(ignored), 2, 20000);
        publish(here, "varnok/bridged/output/3/set", "2");
        QTRY_COMPARE(watcher.last.value("varnok/bridged/output/3"), "HDMI In 2");
        QCOMPARE(watcher.last.value("varnok/bridged/output/1"), "HDMI In 1");
    }

    // Two sites with a switch "hall" each on one broker: entities, devices and services of their
    // own; a third service given the same topics leaves them to the first until it goes; one
    // site's rename leaves the other's entities.
    void sitesShareABroker()
    {
        Broker broker;
        broker.start(path("broker.conf"), "allow_anonymous true\npersistence false\n");
        Watcher watcher(broker.config());
        const quint16 webPort = freePort();
        Service a, b, c;
        serve(a, broker, "sitea", "hall",
              "name=Main hall, east\narea=Hall\n[web]\nlisten=127.0.0.1:" +
                  QByteArray::number(webPort) + '\n');
        serve(b, broker, "siteb", "hall");
        for (const char* site : {"sitea", "siteb"})
            QTRY_COMPARE_WITH_TIMEOUT(watcher.last.value(site + QStringLiteral("/hall/output/4")),
                                      "HDMI In 4", 10000);

        const QJsonObject output1 =
            json(watcher.last.value("homeassistant/select/varnok_sitea_hall/output1/config"));
        QCOMPARE(output1.value("unique_id").toString(), "varnok_sitea_hall_output1");
        QCOMPARE(output1.value("default_entity_id").toString(), "select.varnok_sitea_hall_output1");
        QVERIFY(!output1.contains("object_id"));
        QCOMPARE(output1.value("origin").toObject().value("name").toString(), "varnokd");
        const QJsonObject device = output1.value("device").toObject();
        QCOMPARE(device.value("identifiers").toArray(), QJsonArray{"varnok_sitea_hall"});
        QCOMPARE(device.value("name").toString(), "Main hall, east");
        QCOMPARE(device.value("suggested_area").toString(), "Hall");
        QCOMPARE(device.value("configuration_url").toString(),
                 QStringLiteral("http://127.0.0.1:%1/hall/").arg(webPort));
        QCOMPARE(
            json(watcher.last.value("homeassistant/binary_sensor/varnok_siteb_hall/link/config"))
                .value("entity_category")
                .toString(),
            "diagnostic");

        // Each site's command routes its own switch alone.
        publish(broker, "sitea/hall/output/2/set", "3");
        publish(broker, "siteb/hall/output/3/set", "1");
        QTRY_COMPARE(watcher.last.value("sitea/hall/output/2"), "HDMI In 3");
        QTRY_COMPARE(watcher.last.value("siteb/hall/output/3"), "HDMI In 1");
        QCOMPARE(watcher.last.value("siteb/hall/output/2"), "HDMI In 2");
        QCOMPARE(watcher.last.value("sitea/hall/output/3"), "HDMI In 3");
        QVERIFY2(!(a.log + b.log).contains(" lost"), qPrintable(a.log + b.log));
        const QStringList services = watcher.last.keys().filter("sitea/_service/");
        QCOMPARE(services.size(), 1);
        const QJsonObject service = json(watcher.last.value(services.first()));
        QCOMPARE(service.value("state").toString(), "online");
        QCOMPARE(service.value("switches").toArray(), QJsonArray{"hall"});

        // A third service with site a's topics: left out while a is online.
        serve(c, broker, "sitea", "hall", {}, "sitea-other");
        QTRY_VERIFY2(c.log.contains("serves a switch \"hall\" on this broker already"),
                     qPrintable(c.log));
        a.stop();
        QTRY_VERIFY(c.log.contains("the other service having left"));
        QTRY_COMPARE(watcher.last.value("sitea/hall/bridge"), "online");

        // Site b's switch renamed: its entities go, site a's stay.
        writeConfig("siteb-hall", broker, "siteb",
                    "[hall2]\ndir=" + path("siteb-hall").toUtf8() + "\nport=tcp://127.0.0.1:1\n" +
                        "listen=127.0.0.1:0\n");
        ::kill(pid_t(b.process.processId()), SIGHUP);
        const QString gone = "homeassistant/select/varnok_siteb_hall/output1/config";
        QTRY_VERIFY(watcher.last.value(gone).isEmpty());
        QTRY_VERIFY(!watcher.last.value("homeassistant/select/varnok_siteb_hall2/output1/config")
                         .isEmpty());
        QVERIFY(
            !watcher.last.value("homeassistant/select/varnok_sitea_hall/output1/config").isEmpty());
        for (Service* each : {&a, &b, &c})
            QVERIFY2(!each->log.contains("Sanitizer"), qPrintable(each->log));
    }
};

QTEST_GUILESS_MAIN(TestMqttSites)
#include "tst_mqtt_sites.moc"
