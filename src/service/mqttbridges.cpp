// SPDX-License-Identifier: MIT
#include "mqttbridges.h"

#include "mqttclient.h"
#include "switchservice.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSysInfo>

MqttBridges::MqttBridges(SwitchService& service, const QString& configPath, QObject* parent)
    : QObject(parent)
{
    site.node = nodeFor(configPath);
    // Unique per process too: two services on one machine never take each other's connection.
    site.clientId =
        QStringLiteral("varnokd-%1-%2").arg(site.node).arg(QCoreApplication::applicationPid());
    connect(&service, &SwitchService::switchStarted, this,
            [this](const SwitchConfig& config, SharedLine& line) {
                Served& item = served[config.id];
                item = {config, &line, nullptr};
                startBridge(item);
                publishService();
            });
    connect(&service, &SwitchService::switchStopping, this, [this](const QString& id) {
        const auto found = served.find(id);
        if (found == served.end())
            return;
        stopBridge(found->second, !kept.contains(id));
        served.erase(found);
        publishService();
    });
}

QString MqttBridges::nodeFor(const QString& configPath)
{
    QString host = QHostInfo::localHostName().toLower();
    host.replace(QRegularExpression(QStringLiteral("[^a-z0-9-]+")), QStringLiteral("-"));
    const QByteArray hash = QCryptographicHash::hash(
        QSysInfo::machineUniqueId() + '\n' + QFileInfo(configPath).absoluteFilePath().toUtf8(),
        QCryptographicHash::Sha256);
    return host + QLatin1Char('-') + QString::fromLatin1(hash.toHex().left(8));
}

void MqttBridges::configure(const std::optional<MqttConfig>& next,
                            const QList<SwitchConfig>& switches, const QString& panelUrl)
{
    kept.clear();
    for (const SwitchConfig& config : switches)
        kept.insert(config.id);
    if (next == broker && panelUrl == site.panelUrl)
        return;
    for (auto& [id, item] : served)
        stopBridge(item, false);
    if (serviceClient) {
        serviceClient->publish(serviceTopic(), servicePayload(false), true);
        serviceClient->finish();
        serviceClient = nullptr;
    }
    broker = next;
    site.panelUrl = panelUrl;
    startService();
    for (auto& [id, item] : served)
        startBridge(item);
}

QString MqttBridges::serviceTopic() const
{
    return QStringLiteral("%1/_service/%2").arg(broker->base, site.node);
}

void MqttBridges::startService()
{
    if (!broker)
        return;
    MqttConfig own = *broker;
    const QString clientId = own.clientId.isEmpty() ? site.clientId : own.clientId;
    serviceClient = new MqttClient(own, clientId, serviceTopic(), servicePayload(false), this);
    serviceClient->setLogPrefix(QStringLiteral("service: "));
    connect(serviceClient, &MqttClient::finished, serviceClient, &QObject::deleteLater);
    connect(serviceClient, &MqttClient::connected, this, &MqttBridges::publishService);
    serviceClient->start();
}

void MqttBridges::publishService()
{
    if (serviceClient)
        serviceClient->publish(serviceTopic(), servicePayload(true), true);
}

QByteArray MqttBridges::servicePayload(bool online) const
{
    QJsonArray ids;
    for (const auto& [id, item] : served)
        ids.append(id);
    return QJsonDocument(QJsonObject{{"state", online ? "online" : "offline"},
                                     {"version", VARNOK_VERSION},
                                     {"switches", ids}})
        .toJson(QJsonDocument::Compact);
}

void MqttBridges::startBridge(Served& item)
{
    if (!broker || !item.line)
        return;
    MqttSite bridgeSite = site;
    if (!broker->clientId.isEmpty())
        bridgeSite.clientId = broker->clientId;
    item.bridge = new MqttBridge(*broker, item.config, *item.line, bridgeSite, this);
    connect(item.bridge, &MqttBridge::finished, item.bridge, &QObject::deleteLater);
    item.bridge->start();
}

void MqttBridges::stopBridge(Served& item, bool removed)
{
    if (item.bridge)
        item.bridge->stop(removed);
    item.bridge = nullptr;
}
