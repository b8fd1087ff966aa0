// SPDX-License-Identifier: MIT
#include "mqttbridge.h"

#include "mqttclient.h"
#include "protocol/commands.h"
#include "protocol/replies.h"
#include "switchservice.h"

#include <QFileInfo>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString online = QStringLiteral("online");
const QString offline = QStringLiteral("offline");

// {"routes":[{"output":1,"input":2},...]}: the command line's JSON of a routing, the outputs
// not reported left out.
QByteArray routingJson(const Routing& routing)
{
    QStringList routes;
    for (int output = 1; output <= 4; ++output) {
        if (routing[output - 1] != 0)
            routes << QStringLiteral(R"({"output":%1,"input":%2})")
                          .arg(output)
                          .arg(routing[output - 1]);
    }
    return QStringLiteral(R"({"routes":[%1]})").arg(routes.join(QLatin1Char(','))).toUtf8();
}

// The routes of a routing JSON: each output once, every number 1 to 4; none when it is not one.
std::optional<QList<protocol::Route>> parseRoutingJson(const QByteArray& payload)
{
    const QJsonArray routes = QJsonDocument::fromJson(payload).object().value("routes").toArray();
    QList<protocol::Route> out;
    std::array<bool, 4> seen{};
    for (const QJsonValue& each : routes) {
        const int output = each.toObject().value("output").toInt();
        const int input = each.toObject().value("input").toInt();
        if (output < 1 || output > 4 || input < 1 || input > 4 || seen[output - 1])
            return std::nullopt;
        seen[output - 1] = true;
        out.append({output, input});
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace

MqttBridge::MqttBridge(const MqttConfig& brokerConfig, const SwitchConfig& switchConfig,
                       SharedLine& sharedLine, QObject* parent)
    : QObject(parent), broker(brokerConfig), config(switchConfig), line(&sharedLine),
      setup(switchConfig.dir)
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

    asker = sharedLine.newAsker();
    connect(&sharedLine, &SharedLine::answered, this, &MqttBridge::onAnswered);
    connect(&sharedLine, &SharedLine::unanswered, this, &MqttBridge::onUnanswered);
    connect(&sharedLine, &SharedLine::routingChanged, this, &MqttBridge::onRoutingChanged);
    connect(&sharedLine, &SharedLine::linkChanged, this, [this](bool up) {
        if (!up)
            pending.clear(); // the line dropped them
        publish(QStringLiteral("link"), up ? "up" : "down");
    });

    // Names and presets edited by the console or by hand: the folder sees a file replaced.
    setupWatch.addPath(config.dir);
    setupWatch.addPath(setup.filePath());
    setupSettle.setSingleShot(true);
    setupSettle.setInterval(200);
    connect(&setupWatch, &QFileSystemWatcher::directoryChanged, &setupSettle,
            qOverload<>(&QTimer::start));
    connect(&setupWatch, &QFileSystemWatcher::fileChanged, &setupSettle,
            qOverload<>(&QTimer::start));
    connect(&setupSettle, &QTimer::timeout, this, &MqttBridge::onSetupChanged);
    setupSeen = setupText();
}

MqttBridge::~MqttBridge()
{
    detach();
}

void MqttBridge::start()
{
    onRoutingChanged(line->routing()); // the line may have been open for a while
    client->start();
}

void MqttBridge::detach()
{
    if (!line)
        return;
    line->forget(asker);
    disconnect(line, nullptr, this, nullptr);
    line = nullptr;
}

void MqttBridge::stop(bool removed)
{
    detach();
    stopping = true;
    if (removed) {
        for (const QString& each : discoveryTopics())
            client->publish(each, {}, true);
    }
    publish(QStringLiteral("bridge"), offline.toUtf8());
    client->finish();
}

QString MqttBridge::topic(const QString& leaf) const
{
    return QStringLiteral("%1/%2/%3").arg(broker.base, config.id, leaf);
}

QString MqttBridge::discoveryTopic(const QString& component, const QString& object) const
{
    return QStringLiteral("%1/%2/varnok_%3/%4/config")
        .arg(broker.discoveryPrefix, component, config.id, object);
}

QStringList MqttBridge::discoveryTopics() const
{
    QStringList out;
    for (int output = 1; output <= 4; ++output)
        out << discoveryTopic(QStringLiteral("select"), QStringLiteral("output%1").arg(output));
    out << discoveryTopic(QStringLiteral("select"), QStringLiteral("preset"))
        << discoveryTopic(QStringLiteral("binary_sensor"), QStringLiteral("link"))
        << discoveryTopic(QStringLiteral("binary_sensor"), QStringLiteral("problem"));
    return out;
}

QString MqttBridge::inputLabel(int input) const
{
    const QString name = setup.inputName(input);
    if (name.isEmpty())
        return QStringLiteral("HDMI In %1").arg(input);
    // A select's options are told apart by their text: a name two inputs share gets its number.
    for (int other = 1; other <= 4; ++other) {
        if (other != input && setup.inputName(other).compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 (%2)").arg(name).arg(input);
    }
    return name;
}

QString MqttBridge::outputLabel(int output) const
{
    const QString name = setup.outputName(output);
    return name.isEmpty() ? QStringLiteral("HDMI Out%1").arg(output) : name;
}

QString MqttBridge::presetState() const
{
    if (!std::all_of(confirmed.begin(), confirmed.end(), [](int input) { return input != 0; }))
        return {};
    for (const Preset& preset : setup.presets()) {
        if (preset.routing == confirmed)
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
    const QJsonObject device{
        {"identifiers", QJsonArray{QStringLiteral("varnok_") + config.id}},
        {"name", config.id},
        {"manufacturer", "VARNOK"},
        {"model", "4x4 HDMI matrix switch"},
        {"sw_version", VARNOK_VERSION},
    };
    const auto available = [this](const char* leaf, const QString& up, const QString& down) {
        return QJsonObject{{"topic", topic(QLatin1String(leaf))},
                           {"payload_available", up},
                           {"payload_not_available", down}};
    };
    const QJsonArray bridgeOnly{available("bridge", online, offline)};
    QJsonArray both = bridgeOnly;
    both.append(available("link", QStringLiteral("up"), QStringLiteral("down")));
    const auto entity = [&](const QString& object, const QString& name, const QJsonArray& avail) {
        return QJsonObject{{"name", name},
                           {"unique_id", QStringLiteral("varnok_%1_%2").arg(config.id, object)},
                           {"object_id", QStringLiteral("varnok_%1_%2").arg(config.id, object)},
                           {"availability", avail},
                           {"availability_mode", "all"},
                           {"device", device},
                           {"qos", 1}};
    };
    const auto send = [this](const QString& to, const QJsonObject& payload) {
        client->publish(to, QJsonDocument(payload).toJson(QJsonDocument::Compact), true);
    };
    const QStringList topics = discoveryTopics();
    QJsonArray inputs;
    for (int input = 1; input <= 4; ++input)
        inputs.append(inputLabel(input));
    for (int output = 1; output <= 4; ++output) {
        const QString leaf = QStringLiteral("output/%1").arg(output);
        QJsonObject select =
            entity(QStringLiteral("output%1").arg(output), outputLabel(output), both);
        select.insert("state_topic", topic(leaf));
        select.insert("command_topic", topic(leaf + QStringLiteral("/set")));
        select.insert("options", inputs);
        send(topics[output - 1], select);
    }
    QJsonArray presets;
    for (const Preset& preset : setup.presets())
        presets.append(preset.name);
    presets.append(QStringLiteral("custom"));
    QJsonObject preset = entity(QStringLiteral("preset"), tr("Preset"), both);
    preset.insert("state_topic", topic(QStringLiteral("preset")));
    preset.insert("command_topic", topic(QStringLiteral("preset/set")));
    preset.insert("options", presets);
    send(topics[4], preset);

    QJsonObject link = entity(QStringLiteral("link"), tr("Link"), bridgeOnly);
    link.insert("device_class", "connectivity");
    link.insert("state_topic", topic(QStringLiteral("link")));
    link.insert("payload_on", "up");
    link.insert("payload_off", "down");
    send(topics[5], link);

    QJsonObject problem = entity(QStringLiteral("problem"), tr("Route not followed"), both);
    problem.insert("device_class", "problem");
    problem.insert("state_topic", topic(QStringLiteral("problem")));
    problem.insert("value_template", "{{ 'ON' if value_json.problems else 'OFF' }}");
    problem.insert("json_attributes_topic", topic(QStringLiteral("problem")));
    send(topics[6], problem);
}

void MqttBridge::publishState(const Routing& before)
{
    for (int output = 1; output <= 4; ++output) {
        if (const int input = confirmed[output - 1]; input != 0 && input != before[output - 1])
            publish(QStringLiteral("output/%1").arg(output), inputLabel(input).toUtf8());
    }
    if (confirmed != Routing{})
        publish(QStringLiteral("routing"), routingJson(confirmed));
    if (const QString state = presetState(); !state.isEmpty())
        publish(QStringLiteral("preset"), state.toUtf8());
}

void MqttBridge::publishProblems()
{
    QJsonArray list;
    for (const auto& [output, problem] : problems)
        list.append(QJsonObject{{"output", output},
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
    const QString text = QString::fromUtf8(payload);
    if (leaf == QLatin1String("preset/set")) {
        const std::optional<Preset> preset = setup.findPreset(text);
        if (!preset) {
            why = tr("no such preset");
            return std::nullopt;
        }
        QList<protocol::Route> routes;
        for (int output = 1; output <= 4; ++output)
            routes.append({output, preset->routing[output - 1]});
        return routes;
    }
    if (leaf == QLatin1String("routing/set")) {
        auto routes = parseRoutingJson(payload);
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
    bool numeric = false;
    if (const int input = text.toInt(&numeric); numeric && input >= 1 && input <= 4)
        return QList<protocol::Route>{{output, input}};
    for (int input = 1; input <= 4; ++input) {
        if (text.compare(inputLabel(input), Qt::CaseInsensitive) == 0 ||
            (!setup.inputName(input).isEmpty() &&
             text.compare(setup.inputName(input), Qt::CaseInsensitive) == 0))
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
        const QByteArray command = protocol::routingKeyCommand(
            protocol::routingButtonIndex(route.output, route.input + 1));
        const SharedLine::Refusal refusal = line->submit(asker, command);
        if (refusal != SharedLine::Refusal::None) {
            emit note(tr("MQTT %1: not sent: %2")
                          .arg(from, refusal == SharedLine::Refusal::LineDown
                                         ? tr("the line is down")
                                         : tr("too many commands waiting")));
            return;
        }
        pending.push_back({command, route});
    }
}

void MqttBridge::onAnswered(SharedLine::Asker from, const QByteArray& command,
                            const protocol::Reply& reply)
{
    if (from != asker)
        return;
    // Commands the line dropped (not sent, or queued when it went down) are never answered.
    while (!pending.empty() && pending.front().command != command)
        pending.pop_front();
    if (pending.empty())
        return;
    const protocol::Route asked = pending.front().route;
    pending.pop_front();
    for (const protocol::Route& route : reply.routes) {
        if (route.output != asked.output)
            continue;
        const std::map<int, Problem> before = problems;
        if (route.input == asked.input)
            problems.erase(asked.output);
        else
            problems[asked.output] = {asked.input, route.input};
        if (problems != before) {
            if (route.input != asked.input)
                emit note(tr("MQTT: output %1 stayed on input %2, not %3 as asked")
                              .arg(asked.output)
                              .arg(route.input)
                              .arg(asked.input));
            publishProblems();
        }
    }
}

void MqttBridge::onUnanswered(SharedLine::Asker from, const QByteArray& command)
{
    if (from != asker)
        return;
    while (!pending.empty() && pending.front().command != command)
        pending.pop_front();
    if (!pending.empty())
        pending.pop_front();
}

void MqttBridge::onRoutingChanged(const Routing& routing)
{
    const Routing before = confirmed;
    for (int output = 1; output <= 4; ++output) {
        if (routing[output - 1] != 0)
            confirmed[output - 1] = routing[output - 1];
    }
    // A route that did not follow is over once the output shows what was asked.
    const auto solved = std::erase_if(problems, [this](const auto& item) {
        return confirmed[item.first - 1] == item.second.asked;
    });
    if (confirmed != before)
        publishState(before);
    if (solved > 0)
        publishProblems();
}

QString MqttBridge::setupText() const
{
    QStringList seen;
    for (int index = 1; index <= 4; ++index)
        seen << inputLabel(index) << outputLabel(index);
    for (const Preset& preset : setup.presets())
        seen << preset.name << MatrixSetup::routingText(preset.routing);
    return seen.join(QLatin1Char('\n'));
}

void MqttBridge::onSetupChanged()
{
    setup.reload();
    // The file may have been replaced: watched again under its name.
    if (!setupWatch.files().contains(setup.filePath()) && QFileInfo::exists(setup.filePath()))
        setupWatch.addPath(setup.filePath());
    const QString now = setupText();
    if (now == std::exchange(setupSeen, now) || stopping)
        return;
    publishDiscovery();
    publishState();
}

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
