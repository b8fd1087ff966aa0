// SPDX-License-Identifier: MIT
#pragma once

#include "link/matrixsetup.h"
#include "link/routing.h"
#include "mqttconfig.h"
#include "serviceconfig.h"
#include "sharedline.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <map>
#include <optional>
#include <utility>

class MqttClient;
class SwitchService;

// One switch on the MQTT broker: the routing the switch confirmed, the link and the bridge's
// availability, routes that did not follow, and Home Assistant's discovery of it; commands from
// the broker go through the switch's shared line like any client's. Never publishes a route
// the switch has not reported.
class MqttBridge : public QObject
{
    Q_OBJECT
public:
    MqttBridge(const MqttConfig& broker, const SwitchConfig& config, SharedLine& line,
               QObject* parent = nullptr);
    ~MqttBridge() override;

    void start();
    // The switch stops (its line goes next): says the bridge is offline and, when `removed`,
    // takes the switch's entities off Home Assistant. finished() once the broker has it.
    void stop(bool removed);

signals:
    void finished();
    void note(const QString& line);

private:
    struct Problem
    {
        int asked = 0;
        int reported = 0;
        bool operator==(const Problem&) const = default;
    };
    struct Pending
    {
        QByteArray command;
        protocol::Route route;
    };
    QString topic(const QString& leaf) const;
    QString discoveryTopic(const QString& component, const QString& object) const;
    QString inputLabel(int input) const;
    QString outputLabel(int output) const;
    QString presetState() const;
    QStringList discoveryTopics() const;
    // The labels and presets discovery shows, to tell a change of them from other edits.
    QString setupText() const;

    void onConnected();
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);
    std::optional<QList<protocol::Route>> parseCommand(const QString& leaf,
                                                       const QByteArray& payload, QString& why);
    void send(const QList<protocol::Route>& routes, const QString& from);
    void onAnswered(SharedLine::Asker asker, const QByteArray& command,
                    const protocol::Reply& reply);
    void onUnanswered(SharedLine::Asker asker, const QByteArray& command);
    void onRoutingChanged(const Routing& routing);
    void onSetupChanged();
    void detach();

    void publish(const QString& leaf, const QByteArray& payload);
    void publishDiscovery();
    // The outputs that differ from `before` (all by default), the routing and the preset.
    void publishState(const Routing& before = {});
    void publishProblems();

    MqttConfig broker;
    SwitchConfig config;
    QPointer<SharedLine> line;
    SharedLine::Asker asker = SharedLine::service;
    MatrixSetup setup;
    QFileSystemWatcher setupWatch;
    QTimer setupSettle; // a file written in steps is read once it is whole
    QString setupSeen;  // labels and presets as last published
    MqttClient* client = nullptr;
    Routing confirmed{}; // 0 where the switch has not reported since the bridge started
    std::deque<Pending> pending;
    std::map<int, Problem> problems; // by output
    bool stopping = false;
};

// The bridges of every switch the service runs, while the configuration has an [mqtt] group.
class MqttBridges : public QObject
{
    Q_OBJECT
public:
    explicit MqttBridges(SwitchService& service, QObject* parent = nullptr);

    // The configuration about to be applied: its broker (none: no MQTT; another one restarts
    // every bridge) and its switches (a switch stopping that is not among them is removed).
    void configure(const std::optional<MqttConfig>& broker, const QList<SwitchConfig>& switches);

signals:
    void note(const QString& line);

private:
    struct Served
    {
        SwitchConfig config;
        QPointer<SharedLine> line;
        MqttBridge* bridge = nullptr;
    };
    void startBridge(Served& served);
    void stopBridge(Served& served, bool removed);

    std::optional<MqttConfig> broker;
    QSet<QString> kept;
    std::map<QString, Served> served;
};
