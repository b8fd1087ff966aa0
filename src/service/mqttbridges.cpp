// SPDX-License-Identifier: MIT
#include "mqttbridges.h"

#include "mqttbridge.h"
#include "switchservice.h"

MqttBridges::MqttBridges(SwitchService& service, QObject* parent) : QObject(parent)
{
    connect(&service, &SwitchService::switchStarted, this,
            [this](const SwitchConfig& config, SharedLine& line) {
                Served& item = served[config.id];
                item = {config, &line, nullptr};
                startBridge(item);
            });
    connect(&service, &SwitchService::switchStopping, this, [this](const QString& id) {
        const auto found = served.find(id);
        if (found == served.end())
            return;
        stopBridge(found->second, !kept.contains(id));
        served.erase(found);
    });
}

void MqttBridges::configure(const std::optional<MqttConfig>& next,
                            const QList<SwitchConfig>& switches)
{
    kept.clear();
    for (const SwitchConfig& config : switches)
        kept.insert(config.id);
    if (next == broker)
        return;
    for (auto& [id, item] : served)
        stopBridge(item, false);
    broker = next;
    for (auto& [id, item] : served)
        startBridge(item);
}

void MqttBridges::startBridge(Served& item)
{
    if (!broker || !item.line)
        return;
    item.bridge = new MqttBridge(*broker, item.config, *item.line, this);
    connect(item.bridge, &MqttBridge::note, this, [this, id = item.config.id](const QString& line) {
        emit note(QStringLiteral("%1: %2").arg(id, line));
    });
    connect(item.bridge, &MqttBridge::finished, item.bridge, &QObject::deleteLater);
    item.bridge->start();
}

void MqttBridges::stopBridge(Served& item, bool removed)
{
    if (item.bridge)
        item.bridge->stop(removed);
    item.bridge = nullptr;
}
