// SPDX-License-Identifier: MIT
#include "mqttbridge.h"

#include "link/routingjson.h"
#include "mqttclient.h"
#include "protocol/commands.h"

#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString online = QStringLiteral("online");
const QString offline = QStringLiteral("offline");

} // namespace

MqttBridge::MqttBridge(const MqttConfig& brokerConfig, const SwitchConfig& switchConfig,
                       SharedLine& sharedLine, QObject* parent)
    : QObject(parent), broker(brokerConfig), config(switchConfig),
      discovery(brokerConfig, switchConfig), line(&sharedLine), setup(switchConfig.dir)
{
    QString clientId = broker.clientId;
    if (clientId.isEmpty())
        clientId = QStringLiteral("varnokd-") + QHostInfo::localHostName();
    client = new MqttClient(broker, clientId + QLatin1Char('-') + config.id, topic("bridge"),
                            offline.toUtf8(), this);
    connect(client, &MqttClient::note, this, &MqttBridge::note);
    connect(client, &MqttClient::connected, this, &MqttBridge::onConnected);
    connect(client, &MqttClient::message, this, &MqttBridge::onMessage);
    connect(client, &MqttClient::finished, this, &MqttBridge::finished);

    asker = sharedLine.commands().newAsker();
    recaller = new PresetRecall(sharedLine.commands(), asker, this);
    connect(recaller, &PresetRecall::finished, this, [this](const PresetRecall::Result& result) {
        if (const QString problem = PresetRecall::describe(result); !problem.isEmpty())
            emit note(QStringLiteral("MQTT: ") + problem);
        if (nextPreset)
            recall(*std::exchange(nextPreset, std::nullopt));
    });
    const RoutingState& routing = sharedLine.routing();
    connect(&routing, &RoutingState::routingChanged, this,
            [this](const Routing&, const Routing& before) { publishState(before); });
    connect(&routing, &RoutingState::problemsChanged, this, &MqttBridge::publishProblems);
    connect(&sharedLine, &SharedLine::linkChanged, this,
            [this](bool up) { publish(QStringLiteral("link"), up ? "up" : "down"); });
    connect(&setup, &SetupWatch::changed, this, &MqttBridge::onSetupChanged);
    setupSeen = setupText();
}

MqttBridge::~MqttBridge()
{
    detach();
}

void MqttBridge::start()
{
    client->start();
}

void MqttBridge::detach()
{
    if (!line)
        return;
    line->commands().forget(asker);
    disconnect(line, nullptr, this, nullptr);
    disconnect(&line->routing(), nullptr, this, nullptr);
    line = nullptr;
}

void MqttBridge::stop(bool removed)
{
    detach();
    stopping = true;
    if (removed) {
        for (const QString& each : discovery.topics())
            client->publish(each, {}, true);
    }
    publish(QStringLiteral("bridge"), offline.toUtf8());
    client->finish();
}

QString MqttBridge::inputLabel(int input) const
{
    return MqttDiscovery::inputLabel(setup.setup(), input);
}

QString MqttBridge::presetState() const
{
    const std::optional<Routing> routing = line ? line->routing().whole() : std::nullopt;
    if (!routing)
        return {};
    for (const Preset& preset : setup.setup().presets()) {
        if (preset.routing == *routing)
            return preset.name;
    }
    return QStringLiteral("custom");
}

void MqttBridge::publish(const QString& leaf, const QByteArray& payload)
{
    client->publish(topic(leaf), payload, true); // not connected: all is sent on connecting
}

void MqttBridge::onConnected()
{
    if (stopping)
        return;
    for (const char* leaf : {"output/+/set", "preset/set", "routing/set"})
        client->subscribe(topic(QLatin1String(leaf)));
    client->subscribe(broker.discoveryPrefix + QStringLiteral("/status"));
    publish(QStringLiteral("bridge"), online.toUtf8());
    publish(QStringLiteral("link"), line && line->isOpen() ? "up" : "down");
    publishDiscovery();
    publishState();
    publishProblems();
}

void MqttBridge::publishDiscovery()
{
    for (const auto& [to, payload] : discovery.messages(setup.setup()))
        client->publish(to, payload, true);
}

void MqttBridge::publishState(const Routing& before)
{
    if (!line)
        return;
    const Routing& routing = line->routing().routing();
    for (int output = 1; output <= 4; ++output) {
        if (const int input = routing[output - 1]; input != 0 && input != before[output - 1])
            publish(QStringLiteral("output/%1").arg(output), inputLabel(input).toUtf8());
    }
    if (routing != Routing{})
        publish(QStringLiteral("routing"), routingjson::routing(routing));
    if (const QString state = presetState(); !state.isEmpty())
        publish(QStringLiteral("preset"), state.toUtf8());
}

void MqttBridge::publishProblems()
{
    if (!line)
        return;
    QJsonArray list;
    for (const RoutingState::Problem& problem : line->routing().problems())
        list.append(QJsonObject{{"output", problem.output},
                                {"asked", problem.asked},
                                {"reported", problem.reported},
                                {"asked_name", inputLabel(problem.asked)},
                                {"reported_name", inputLabel(problem.reported)}});
    publish(QStringLiteral("problem"),
            QJsonDocument(QJsonObject{{"problems", list}}).toJson(QJsonDocument::Compact));
}

void MqttBridge::onMessage(const QString& topic, const QByteArray& payload, bool retained)
{
    if (topic == broker.discoveryPrefix + QStringLiteral("/status")) {
        if (payload == online.toUtf8() && !stopping)
            publishDiscovery(); // Home Assistant started again
        return;
    }
    const QString leaf = topic.mid(this->topic(QString()).size());
    if (retained) {
        // Kept by the broker from some earlier time: replaying it would undo what came since.
        emit note(tr("MQTT %1: a retained command is ignored").arg(topic));
        return;
    }
    if (leaf == QLatin1String("preset/set")) {
        if (const std::optional<Preset> preset =
                setup.setup().findPreset(QString::fromUtf8(payload.trimmed())))
            return recall(*preset);
        emit note(tr("MQTT %1: \"%2\" ignored: %3")
                      .arg(topic, QString::fromUtf8(payload.left(64)), tr("no such preset")));
        return;
    }
    QString why;
    const auto routes = parseCommand(leaf, payload.trimmed(), why);
    if (!routes) {
        emit note(
            tr("MQTT %1: \"%2\" ignored: %3").arg(topic, QString::fromUtf8(payload.left(64)), why));
        return;
    }
    send(*routes, topic);
}

std::optional<QList<protocol::Route>>
MqttBridge::parseCommand(const QString& leaf, const QByteArray& payload, QString& why)
{
    if (leaf == QLatin1String("routing/set")) {
        auto routes = routingjson::read(payload);
        if (!routes)
            why = tr("not {\"routes\":[{\"output\":1,\"input\":2},...]} with outputs and "
                     "inputs 1 to 4");
        return routes;
    }
    static const QRegularExpression outputSet(QStringLiteral("^output/([1-4])/set$"));
    const QRegularExpressionMatch match = outputSet.match(leaf);
    if (!match.hasMatch()) {
        why = tr("not a command topic");
        return std::nullopt;
    }
    const int output = match.captured(1).toInt();
    const QString text = QString::fromUtf8(payload);
    bool numeric = false;
    if (const int input = text.toInt(&numeric); numeric && input >= 1 && input <= 4)
        return QList<protocol::Route>{{output, input}};
    for (int input = 1; input <= 4; ++input) {
        const QString name = setup.setup().inputName(input);
        if (text.compare(inputLabel(input), Qt::CaseInsensitive) == 0 ||
            (!name.isEmpty() && text.compare(name, Qt::CaseInsensitive) == 0))
            return QList<protocol::Route>{{output, input}};
    }
    why = tr("not an input's name or a number 1 to 4");
    return std::nullopt;
}

void MqttBridge::send(const QList<protocol::Route>& routes, const QString& from)
{
    if (!line)
        return;
    for (const protocol::Route& route : routes) {
        PendingCommand* command =
            line->commands().submit(asker, protocol::routeCommand(route.output, route.input));
        if (command->isFinished()) {
            if (!std::exchange(refusing, true)) // once a streak
                emit note(tr("MQTT %1: not sent: %2").arg(from, command->errorString()));
            return;
        }
    }
    refusing = false;
}

void MqttBridge::recall(const Preset& preset)
{
    if (!line)
        return;
    if (recaller->isRunning()) {
        nextPreset = preset;
        return;
    }
    recaller->recall(preset, line->routing().whole());
}

QString MqttBridge::setupText() const
{
    QStringList seen;
    for (int index = 1; index <= 4; ++index)
        seen << inputLabel(index) << MqttDiscovery::outputLabel(setup.setup(), index);
    for (const Preset& preset : setup.setup().presets())
        seen << preset.name << MatrixSetup::routingText(preset.routing);
    return seen.join(QLatin1Char('\n'));
}

void MqttBridge::onSetupChanged()
{
    const QString now = setupText();
    if (now == std::exchange(setupSeen, now) || stopping)
        return;
    publishDiscovery();
    publishState();
}
