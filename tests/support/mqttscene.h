// SPDX-License-Identifier: MIT
#pragma once

#include "service/mqttclient.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

// What the MQTT tests set up on 127.0.0.1: mosquitto brokers, a dashboard's view of one, and
// varnokd processes with their logs.
namespace mqttscene {

inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// The last payload of every topic seen, as a dashboard keeps it.
struct Watcher
{
    MqttClient client;
    QHash<QString, QByteArray> last;
    explicit Watcher(const MqttConfig& broker) : client(broker, QStringLiteral("watcher"), {}, {})
    {
        QObject::connect(&client, &MqttClient::connected, &client,
                         [this] { client.subscribe(QStringLiteral("#")); });
        QObject::connect(&client, &MqttClient::message, &client,
                         [this](const QString& topic, const QByteArray& payload) {
                             last.insert(topic, payload);
                         });
        client.start();
    }
};

// A mosquitto broker listening on `port` of 127.0.0.1 with `lines` of configuration more, its
// configuration written to `confPath`. Stopped when it goes.
struct Broker
{
    quint16 port = freePort();
    std::unique_ptr<QProcess> process;

    bool listening() const
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(100);
    }
    void start(const QString& confPath, const QByteArray& lines)
    {
        QFile conf(confPath);
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("listener " + QByteArray::number(port) + " 127.0.0.1\nuser root\n" + lines);
        conf.close();
        process = std::make_unique<QProcess>();
        process->start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), confPath});
        QTRY_VERIFY(listening());
    }
    // As a service manager stops it: what it keeps is saved.
    void stop()
    {
        if (!process)
            return;
        process->terminate();
        process->waitForFinished();
        process.reset();
    }
    ~Broker() { stop(); }
    MqttConfig config() const
    {
        MqttConfig broker;
        broker.host = QStringLiteral("127.0.0.1");
        broker.port = port;
        return broker;
    }
};

// varnok-sim with `arguments` on a free port of 127.0.0.1; its address.
inline QByteArray startSim(QProcess& sim, const QStringList& arguments = {})
{
    sim.start(QStringLiteral(VARNOK_SIM_PATH),
              QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} + arguments);
    while (!sim.canReadLine() && sim.waitForReadyRead(10000)) {
    }
    return sim.readLine().trimmed().split(' ').last();
}

inline void publish(quint16 port, const QString& topic, const QByteArray& payload,
                    bool retained = false)
{
    QStringList arguments{QStringLiteral("-p"), QString::number(port),
                          QStringLiteral("-t"), topic,
                          QStringLiteral("-m"), QString::fromUtf8(payload)};
    if (retained)
        arguments << QStringLiteral("-r");
    QCOMPARE(QProcess::execute(QStringLiteral("mosquitto_pub"), arguments), 0);
}

// varnokd with `configPath` and a state folder of its own, its log kept.
struct Service
{
    QProcess process;
    QString log;

    void start(const QString& configPath, const QString& stateDir)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), stateDir);
        process.setProcessEnvironment(environment);
        QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                         [this] { log += QString::fromUtf8(process.readAllStandardError()); });
        process.start(QStringLiteral(VARNOKD_PATH), {QStringLiteral("--config"), configPath});
    }
    void stop()
    {
        process.terminate();
        process.waitForFinished();
        log += QString::fromUtf8(process.readAllStandardError());
    }
    ~Service()
    {
        if (process.state() != QProcess::NotRunning)
            stop();
    }
};

} // namespace mqttscene
