// SPDX-License-Identifier: MIT
#include "mqttdiscovery.h"

#include "link/matrixsetup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

MqttDiscovery::MqttDiscovery(const MqttConfig& brokerConfig, const SwitchConfig& switchConfig,
                             QString panelUrl)
    : broker(brokerConfig), config(switchConfig), panel(std::move(panelUrl))
{
}

QString MqttDiscovery::key() const
{
    if (broker.base == MqttConfig().base)
        return QStringLiteral("varnok_") + config.id;
    // Home Assistant's ids take lower-case letters, digits and underscores.
    QString base = broker.base.toLower();
    for (QChar& each : base) {
        if (!(each.isDigit() || (each >= QLatin1Char('a') && each <= QLatin1Char('z'))))
            each = QLatin1Char('_');
    }
    return QStringLiteral("varnok_%1_%2").arg(base, config.id);
}

QStringList MqttDiscovery::stateTopics() const
{
    QStringList out;
    for (int output = 1; output <= 4; ++output)
        out << topic(QStringLiteral("output/%1").arg(output));
    for (const char* leaf : {"routing", "preset", "problem", "link", "bridge", "claim"})
        out << topic(QLatin1String(leaf));
    return out;
}

QString MqttDiscovery::topic(const QString& leaf) const
{
    return QStringLiteral("%1/%2/%3").arg(broker.base, config.id, leaf);
}

QString MqttDiscovery::discoveryTopic(const QString& component, const QString& object) const
{
    return QStringLiteral("%1/%2/%3/%4/config")
        .arg(broker.discoveryPrefix, component, key(), object);
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

std::array<QString, 4> MqttDiscovery::inputLabels(const MatrixSetup& setup)
{
    std::array<QString, 4> labels;
    for (int input = 1; input <= 4; ++input) {
        const QString name = setup.inputName(input);
        labels[input - 1] = name.isEmpty() ? QStringLiteral("HDMI In %1").arg(input) : name;
    }
    const std::array<QString, 4> plain = labels;
    const auto shared = [&labels](int index) {
        for (int other = 0; other < 4; ++other) {
            if (other != index && labels[other].compare(labels[index], Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    // An option stands for one input, told apart by its text alone: a label two inputs share
    // gets the input's number, again while that makes it another input's label.
    for (int round = 0; round < 3; ++round) {
        QList<int> clashing;
        for (int index = 0; index < 4; ++index) {
            if (shared(index))
                clashing << index;
        }
        if (clashing.isEmpty())
            return labels;
        for (int index : clashing)
            labels[index] += QStringLiteral(" (%1)").arg(index + 1);
    }
    for (int index = 0; index < 4; ++index) // unique by their first character
        labels[index] = QStringLiteral("%1: %2").arg(index + 1).arg(plain[index]);
    return labels;
}

QString MqttDiscovery::inputLabel(const MatrixSetup& setup, int input)
{
    return inputLabels(setup)[input - 1];
}

int MqttDiscovery::inputFor(const MatrixSetup& setup, const QString& text)
{
    const std::array<QString, 4> labels = inputLabels(setup);
    // The one input whose option or name `text` is, compared as `sensitivity` says.
    const auto onlyMatch = [&](Qt::CaseSensitivity sensitivity) {
        int found = 0;
        for (int input = 1; input <= 4; ++input) {
            if (labels[input - 1].compare(text, sensitivity) == 0)
                return input; // options are unique, even ignoring case
        }
        for (int input = 1; input <= 4; ++input) {
            if (setup.inputName(input).compare(text, sensitivity) == 0 && !text.isEmpty()) {
                if (found != 0)
                    return -1; // a name two inputs share names neither
                found = input;
            }
        }
        return found;
    };
    if (const int input = onlyMatch(Qt::CaseSensitive); input != 0)
        return std::max(input, 0);
    if (const int input = onlyMatch(Qt::CaseInsensitive); input != 0)
        return std::max(input, 0);
    bool numeric = false;
    const int number = text.toInt(&numeric);
    return numeric && number >= 1 && number <= 4 ? number : 0;
}

bool MqttDiscovery::isCustom(const QString& name)
{
    return name.compare(customState(), Qt::CaseInsensitive) == 0;
}

QString MqttDiscovery::outputLabel(const MatrixSetup& setup, int output)
{
    const QString name = setup.outputName(output);
    return name.isEmpty() ? QStringLiteral("HDMI Out%1").arg(output) : name;
}

QList<std::pair<QString, QByteArray>> MqttDiscovery::messages(const MatrixSetup& setup) const
{
    QJsonObject device{
        {"identifiers", QJsonArray{key()}},
        {"name", config.name.isEmpty() ? config.id : config.name},
        {"manufacturer", "VARNOK"},
        {"model", "4x4 HDMI matrix switch"},
        {"sw_version", VARNOK_VERSION},
    };
    if (!config.area.isEmpty())
        device.insert("suggested_area", config.area);
    if (!panel.isEmpty())
        device.insert("configuration_url", panel);
    const QJsonObject origin{{"name", "varnokd"}, {"sw_version", VARNOK_VERSION}};
    const auto available = [this](const char* leaf, const char* up, const char* down) {
        return QJsonObject{{"topic", topic(QLatin1String(leaf))},
                           {"payload_available", up},
                           {"payload_not_available", down}};
    };
    const QJsonArray bridgeOnly{available("bridge", "online", "offline")};
    QJsonArray both = bridgeOnly;
    both.append(available("link", "up", "down"));
    const auto entity = [&](const char* component, const QString& object, const QString& name,
                            const QJsonArray& avail) {
        const QString id = key() + QLatin1Char('_') + object;
        return QJsonObject{{"name", name},
                           {"unique_id", id},
                           // An entity id has no hyphen.
                           {"default_entity_id", QLatin1String(component) + QLatin1Char('.') +
                                                     QString(id).replace('-', '_')},
                           {"availability", avail},
                           {"availability_mode", "all"},
                           {"device", device},
                           {"origin", origin},
                           {"qos", 1}};
    };
    const QStringList to = topics();
    QList<std::pair<QString, QByteArray>> out;
    const auto add = [&](const QJsonObject& payload) {
        out.append({to[out.size()], QJsonDocument(payload).toJson(QJsonDocument::Compact)});
    };
    QJsonArray inputs;
    for (const QString& label : inputLabels(setup))
        inputs.append(label);
    for (int output = 1; output <= 4; ++output) {
        const QString leaf = QStringLiteral("output/%1").arg(output);
        QJsonObject select = entity("select", QStringLiteral("output%1").arg(output),
                                    outputLabel(setup, output), both);
        select.insert("state_topic", topic(leaf));
        select.insert("command_topic", topic(leaf + QStringLiteral("/set")));
        select.insert("options", inputs);
        add(select);
    }
    QJsonArray presets;
    for (const Preset& preset : setup.presets()) {
        if (!isCustom(preset.name))
            presets.append(preset.name);
    }
    presets.append(customState()); // the state of a routing no preset has
    QJsonObject preset = entity("select", QStringLiteral("preset"), tr("Preset"), both);
    preset.insert("state_topic", topic(QStringLiteral("preset")));
    preset.insert("command_topic", topic(QStringLiteral("preset/set")));
    preset.insert("options", presets);
    add(preset);

    QJsonObject link = entity("binary_sensor", QStringLiteral("link"), tr("Link"), bridgeOnly);
    link.insert("device_class", "connectivity");
    link.insert("entity_category", "diagnostic");
    link.insert("state_topic", topic(QStringLiteral("link")));
    link.insert("payload_on", "up");
    link.insert("payload_off", "down");
    add(link);

    QJsonObject problem =
        entity("binary_sensor", QStringLiteral("problem"), tr("Route not followed"), both);
    problem.insert("device_class", "problem");
    problem.insert("entity_category", "diagnostic");
    problem.insert("state_topic", topic(QStringLiteral("problem")));
    problem.insert("value_template", "{{ 'ON' if value_json.problems else 'OFF' }}");
    problem.insert("json_attributes_topic", topic(QStringLiteral("problem")));
    add(problem);
    return out;
}
