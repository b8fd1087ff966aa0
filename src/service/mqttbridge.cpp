// SPDX-License-Identifier: MIT
#include "mqttbridge.h"

#include "servicelog.h"

#include "link/routingjson.h"
#include "mqttclaim.h"
#include "mqttclient.h"
#include "protocol/commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString online = QStringLiteral("online");
const QString offline = QStringLiteral("offline");

// A payload as a log line may show it: its start, control characters escaped, so that no
// payload can write a line of its own.
QString printable(const QByteArray& payload)
{
    QString out;
    for (const QChar each : QString::fromUtf8(payload.left(64))) {
        if (each.category() == QChar::Other_Control || each == QLatin1Char('\\'))
            out += QStringLiteral("\\x%1").arg(each.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += each;
    }
    return payload.size() > 64 ? out + QStringLiteral("...") : out;
}

} // namespace

MqttBridge::MqttBridge(const MqttConfig& brokerConfig, const SwitchConfig& switchConfig,
                       SharedLine& sharedLine, const MqttSite& site, QObject* parent)
    : QObject(parent), broker(brokerConfig), config(switchConfig),
      discovery(brokerConfig, switchConfig,
                site.panelUrl.isEmpty() ? QString() : site.panelUrl + switchConfig.id + '/'),
      line(&sharedLine), setup(switchConfig.dir)
{
    client = new MqttClient(broker, site.clientId + QLatin1Char('-') + config.id, topic("bridge"),
                            offline.toUtf8(), this);
    claim = new MqttClaim(*client, topic(QStringLiteral("claim")), broker.base, site.node, this);
    client->setLogPrefix(config.id + QStringLiteral(": "));
    connect(client, &MqttClient::connected, claim, &MqttClaim::start);
    connect(claim, &MqttClaim::decided, this, &MqttBridge::onClaimDecided);
    connect(client, &MqttClient::message, this, &MqttBridge::onMessage);
    connect(client, &MqttClient::finished, this, &MqttBridge::finished);

    asker = sharedLine.commands().newAsker();
    recaller = new PresetRecall(sharedLine.commands(), asker, this);
    connect(recaller, &PresetRecall::finished, this, [this](const PresetRecall::Result& result) {
        if (const QString problem = PresetRecall::describe(result); !problem.isEmpty())
            tell(QtWarningMsg, QStringLiteral("MQTT: ") + problem);
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
    if (claim->owns()) {
        if (removed)
            removeAll();
        else
            publish(QStringLiteral("bridge"), offline.toUtf8());
    }
    client->finish();
}

void MqttBridge::removeAll()
{
    for (const QString& each : discovery.topics() + discovery.stateTopics()) {
        if (each != topic(QStringLiteral("claim")))
            client->publish(each, {}, true);
    }
    claim->release();
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
    QString shown;
    for (const Preset& preset : setup.setup().presets()) {
        if (preset.routing != *routing || MqttDiscovery::isCustom(preset.name))
            continue;
        if (preset.name == lastRecalled)
            return preset.name;
        if (shown.isEmpty())
            shown = preset.name;
    }
    return shown.isEmpty() ? MqttDiscovery::customState() : shown;
}

void MqttBridge::publish(const QString& leaf, const QByteArray& payload)
{
    // Not connected or not the switch's service: all is sent once both are so.
    if (claim->owns())
        client->publish(topic(leaf), payload, true);
}

void MqttBridge::onClaimDecided(bool owns)
{
    if (stopping)
        return;
    if (!owns) {
        if (!std::exchange(leftTold, true))
            tell(QtWarningMsg,
                 tr("MQTT: another service (%1) serves a switch \"%2\" on this broker "
                    "already: left to it, this one is not published")
                     .arg(claim->holder(), config.id));
        return;
    }
    if (std::exchange(leftTold, false))
        tell(QtInfoMsg, tr("MQTT: published here, the other service having left"));
    for (const char* leaf : {"output/+/set", "preset/set", "routing/set", "bridge"})
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
    if (!claim->owns())
        return;
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
    if (stopping || claim->take(topic, payload) || !claim->owns())
        return;
    if (topic == broker.discoveryPrefix + QStringLiteral("/status")) {
        if (payload == online.toUtf8())
            publishDiscovery(); // Home Assistant started again
        return;
    }
    const QString leaf = topic.mid(this->topic(QString()).size());
    if (leaf == QLatin1String("bridge")) {
        // The last will of a service that served the switch before, come late.
        if (payload == offline.toUtf8())
            publish(leaf, online.toUtf8());
        return;
    }
    if (payload.isEmpty())
        return; // a retained command taken away, by this bridge or another client
    if (retained) {
        // Kept by the broker from some earlier time: replaying it would undo what came since,
        // and a bridge between brokers would hand it on again at each reconnection.
        tell(QtWarningMsg,
             tr("MQTT %1: a retained command is ignored and taken off the broker: \"%2\"")
                 .arg(topic, printable(payload)));
        client->publish(topic, {}, true);
        return;
    }
    const auto ignored = [&](const QString& why) {
        tell(QtWarningMsg, tr("MQTT %1: \"%2\" ignored: %3").arg(topic, printable(payload), why));
    };
    if (line)
        line->nameAsker(asker, QStringLiteral("MQTT ") + topic); // for the log of who asked
    if (leaf == QLatin1String("preset/set")) {
        const QString name = QString::fromUtf8(payload.trimmed());
        if (MqttDiscovery::isCustom(name))
            return ignored(tr("\"%1\" is the state of a routing no preset has, and no preset "
                              "may be called so")
                               .arg(MqttDiscovery::customState()));
        if (const std::optional<Preset> preset = setup.setup().findPreset(name))
            return recall(*preset);
        return ignored(tr("no such preset"));
    }
    QString why;
    const auto routes = parseCommand(leaf, payload.trimmed(), why);
    if (!routes)
        return ignored(why);
    send(*routes, topic);
}

void MqttBridge::tell(QtMsgType level, const QString& text)
{
    servicelog::write(lcMqtt(), level, config.id + QStringLiteral(": ") + text);
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
    if (const int input = MqttDiscovery::inputFor(setup.setup(), QString::fromUtf8(payload)))
        return QList<protocol::Route>{{output, input}};
    why = tr("not an option, an input's name or a number 1 to 4");
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
                tell(QtWarningMsg, tr("MQTT %1: not sent: %2").arg(from, command->errorString()));
            return;
        }
    }
    refusing = false;
}

void MqttBridge::recall(const Preset& preset)
{
    if (!line)
        return;
    lastRecalled = preset.name;
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
    if (now == std::exchange(setupSeen, now) || stopping || !claim->owns())
        return;
    publishDiscovery();
    publishState();
}
