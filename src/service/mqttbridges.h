// SPDX-License-Identifier: MIT
#pragma once

#include "mqttbridge.h"
#include "mqttconfig.h"
#include "serviceconfig.h"
#include "sharedline.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <map>
#include <optional>

class MqttClient;
class SwitchService;

// The bridges of every switch the service runs, while the configuration has an [mqtt] group,
// and the service's own retained topic (BASE/_service/NODE): its version, its switches, and
// whether it is online, the broker saying "offline" for a service gone.
class MqttBridges : public QObject
{
    Q_OBJECT
public:
    // `configPath` tells this service from another on the same machine.
    MqttBridges(SwitchService& service, const QString& configPath, QObject* parent = nullptr);

    // The configuration about to be applied: its broker (none: no MQTT; another one restarts
    // every bridge), its switches (a switch stopping that is not among them is removed) and
    // the web panel's address ("http://HOST:PORT/", empty: none).
    void configure(const std::optional<MqttConfig>& broker, const QList<SwitchConfig>& switches,
                   const QString& panelUrl = {});

    // "HOST-HASH": the host's name, and a hash of the machine's id and the configuration file.
    static QString nodeFor(const QString& configPath);

private:
    struct Served
    {
        SwitchConfig config;
        QPointer<SharedLine> line;
        MqttBridge* bridge = nullptr;
    };
    void startBridge(Served& served);
    void stopBridge(Served& served, bool removed);
    void startService();
    void publishService();
    QString serviceTopic() const;
    QByteArray servicePayload(bool online) const;

    std::optional<MqttConfig> broker;
    MqttSite site;
    QSet<QString> kept;
    std::map<QString, Served> served;
    MqttClient* serviceClient = nullptr;
};
