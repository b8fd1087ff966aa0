// SPDX-License-Identifier: MIT
#pragma once

#include "mqttconfig.h"
#include "serviceconfig.h"
#include "sharedline.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <map>
#include <optional>

class MqttBridge;
class SwitchService;

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
