// SPDX-License-Identifier: MIT
#pragma once

#include "link/presetrecall.h"
#include "link/setupwatch.h"
#include "mqttconfig.h"
#include "mqttdiscovery.h"
#include "serviceconfig.h"
#include "sharedline.h"

#include <QObject>
#include <QPointer>

#include <optional>

class MqttClient;

class MqttClaim;

// Who this service is among those on the broker, and where its web panel is.
struct MqttSite
{
    QString node;     // the same after a restart, another on another machine or configuration
    QString clientId; // this process's connections start with it
    QString panelUrl; // "http://HOST:PORT/" of the web panel; empty: none
};

// One switch on the MQTT broker: the routing the switch confirmed, the link and the bridge's
// availability, routes that did not follow, and Home Assistant's discovery of it; commands from
// the broker go through the switch's command channel like any client's, the newest route for an
// output replacing one still waiting. Keeps no state of its own: it shows the shared line's
// routing and problems. Never publishes a route the switch has not reported, nor anything
// while another service serves a switch of the same id on the broker.
class MqttBridge : public QObject
{
    Q_OBJECT
public:
    MqttBridge(const MqttConfig& broker, const SwitchConfig& config, SharedLine& line,
               const MqttSite& site, QObject* parent = nullptr);
    ~MqttBridge() override;

    void start();
    // The switch stops (its line goes next): says the bridge is offline and, when `removed`,
    // takes the switch's entities off Home Assistant. finished() once the broker has it.
    void stop(bool removed);

signals:
    void finished();

private:
    // "ID: text" in the log.
    void tell(QtMsgType level, const QString& text);
    QString topic(const QString& leaf) const { return discovery.topic(leaf); }
    QString inputLabel(int input) const;
    QString presetState() const;
    // The labels and presets discovery shows, to tell a change of them from other edits.
    QString setupText() const;

    void onClaimDecided(bool owns);
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);
    std::optional<QList<protocol::Route>> parseCommand(const QString& leaf,
                                                       const QByteArray& payload, QString& why);
    void send(const QList<protocol::Route>& routes, const QString& from);
    void recall(const Preset& preset);
    void onSetupChanged();
    void detach();

    void publish(const QString& leaf, const QByteArray& payload);
    void publishDiscovery();
    // The outputs that differ from `before` (all by default), the routing and the preset.
    void publishState(const Routing& before = {});
    void publishProblems();
    // The switch's topics and its entities are taken off the broker.
    void removeAll();

    MqttConfig broker;
    SwitchConfig config;
    MqttDiscovery discovery;
    QPointer<SharedLine> line;
    SharedLine::Asker asker = CommandChannel::nobody;
    SetupWatch setup;
    QString setupSeen; // labels and presets as last published
    MqttClient* client = nullptr;
    MqttClaim* claim = nullptr;
    PresetRecall* recaller = nullptr;
    std::optional<Preset> nextPreset; // asked for while a recall ran: the newest wins
    QString lastRecalled;             // shown of presets with the same routing
    bool refusing = false;            // commands refused since the last one taken: told once
    bool leftTold = false;            // left to another service: told once
    bool stopping = false;
};
