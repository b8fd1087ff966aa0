// SPDX-License-Identifier: MIT
#include "mqttdiscovery.h"

#include "link/matrixsetup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

MqttDiscovery::MqttDiscovery(const MqttConfig& brokerConfig, const SwitchConfig& switchConfig)
    : broker(brokerConfig), config(switchConfig)
{
}

QString MqttDiscovery::topic(const QString& leaf) const
{
    return QStringLiteral("%1/%2/%3").arg(broker.base, config.id, leaf);
}

QString MqttDiscovery::discoveryTopic(const QString& component, const QString& object) const
{
    return QStringLiteral("%1/%2/varnok_%3/%4/config")
        .arg(broker.discoveryPrefix, component, config.id, object);
}

QStringList MqttDiscovery::topics() const
{
    QStringList out;
    for (int output = 1; output <= 4; ++output)
        out << discoveryTopic(QStringLiteral("select"), QStringLiteral("output%1").arg(output));
    out << discoveryTopic(QStringLiteral("select"), QStringLiteral("preset"))
        << discoveryTopic(QStringLiteral("binary_sensor"), QStringLiteral("link"))
        << discoveryTopic(QStringLiteral("binary_sensor"), QStringLiteral("problem"));
    return out;
}

QString MqttDiscovery::inputLabel(const MatrixSetup& setup, int input)
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

QString MqttDiscovery::outputLabel(const MatrixSetup& setup, int output)
{
    const QString name = setup.outputName(output);
    return name.isEmpty() ? QStringLiteral("HDMI Out%1").arg(output) : name;
}

QList<std::pair<QString, QByteArray>> MqttDiscovery::messages(const MatrixSetup& setup) const
{
    const QJsonObject device{
        {"identifiers", QJsonArray{QStringLiteral("varnok_") + config.id}},
        {"name", config.id},
        {"manufacturer", "VARNOK"},
        {"model", "4x4 HDMI matrix switch"},
        {"sw_version", VARNOK_VERSION},
    };
    const auto available = [this](const char* leaf, const char* up, const char* down) {
        return QJsonObject{{"topic", topic(QLatin1String(leaf))},
                           {"payload_available", up},
                           {"payload_not_available", down}};
    };
    const QJsonArray bridgeOnly{available("bridge", "online", "offline")};
    QJsonArray both = bridgeOnly;
    both.append(available("link", "up", "down"));
    const auto entity = [&](const QString& object, const QString& name, const QJsonArray& avail) {
        return QJsonObject{{"name", name},
                           {"unique_id", QStringLiteral("varnok_%1_%2").arg(config.id, object)},
                           {"object_id", QStringLiteral("varnok_%1_%2").arg(config.id, object)},
                           {"availability", avail},
                           {"availability_mode", "all"},
                           {"device", device},
                           {"qos", 1}};
    };
    const QStringList to = topics();
    QList<std::pair<QString, QByteArray>> out;
    const auto add = [&](const QJsonObject& payload) {
        out.append({to[out.size()], QJsonDocument(payload).toJson(QJsonDocument::Compact)});
    };
    QJsonArray inputs;
    for (int input = 1; input <= 4; ++input)
        inputs.append(inputLabel(setup, input));
    for (int output = 1; output <= 4; ++output) {
        const QString leaf = QStringLiteral("output/%1").arg(output);
        QJsonObject select =
            entity(QStringLiteral("output%1").arg(output), outputLabel(setup, output), both);
        select.insert("state_topic", topic(leaf));
        select.insert("command_topic", topic(leaf + QStringLiteral("/set")));
        select.insert("options", inputs);
        add(select);
    }
    QJsonArray presets;
    for (const Preset& preset : setup.presets())
        presets.append(preset.name);
    presets.append(QStringLiteral("custom"));
    QJsonObject preset = entity(QStringLiteral("preset"), tr("Preset"), both);
    preset.insert("state_topic", topic(QStringLiteral("preset")));
    preset.insert("command_topic", topic(QStringLiteral("preset/set")));
    preset.insert("options", presets);
    add(preset);

    QJsonObject link = entity(QStringLiteral("link"), tr("Link"), bridgeOnly);
    link.insert("device_class", "connectivity");
    link.insert("state_topic", topic(QStringLiteral("link")));
    link.insert("payload_on", "up");
    link.insert("payload_off", "down");
    add(link);

    QJsonObject problem = entity(QStringLiteral("problem"), tr("Route not followed"), both);
    problem.insert("device_class", "problem");
    problem.insert("state_topic", topic(QStringLiteral("problem")));
    problem.insert("value_template", "{{ 'ON' if value_json.problems else 'OFF' }}");
    problem.insert("json_attributes_topic", topic(QStringLiteral("problem")));
    add(problem);
    return out;
}
