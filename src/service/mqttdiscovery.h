// SPDX-License-Identifier: MIT
#pragma once

#include "mqttconfig.h"
#include "serviceconfig.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <array>
#include <utility>

class MatrixSetup;

// What Home Assistant is told of one switch on the broker: the options of its select entities,
// which stand each for exactly one input, and the retained discovery messages of its seven
// entities, with ids of their own for every base. Pure: the bridge publishes what these return.
class MqttDiscovery
{
    // Its texts are the bridge's in the catalogue.
    Q_DECLARE_TR_FUNCTIONS(MqttBridge)

public:
    // `panelUrl`: the switch's page on the web panel, when there is one.
    MqttDiscovery(const MqttConfig& broker, const SwitchConfig& config, QString panelUrl = {});

    // The state and command topic of `leaf` ("output/1", "preset/set") of this switch.
    QString topic(const QString& leaf) const;
    // Every retained topic of the switch's own: its state, availability and claim.
    QStringList stateTopics() const;
    // The seven discovery topics: outputs 1 to 4, preset, link, problem.
    QStringList topics() const;
    // Each discovery topic with its payload.
    QList<std::pair<QString, QByteArray>> messages(const MatrixSetup& setup) const;
    // What the entities' ids are made of: "varnok_ID" with the default base, so that existing
    // entities stay; "varnok_BASE_ID" with another, so that two sites never share one.
    QString key() const;

    // The options that stand for inputs 1 to 4, unique ignoring case: a name, "HDMI In N"
    // without one, with the input's number added while it is not unique.
    static std::array<QString, 4> inputLabels(const MatrixSetup& setup);
    static QString inputLabel(const MatrixSetup& setup, int input);
    static QString outputLabel(const MatrixSetup& setup, int output);
    // The input `text` stands for: an option, an input's name (ignoring case only when that
    // names one input) or its number; 0 for none.
    static int inputFor(const MatrixSetup& setup, const QString& text);
    // The preset select's state for a routing no preset has: never a command.
    static QString customState() { return QStringLiteral("custom"); }
    static bool isCustom(const QString& name);

private:
    QString discoveryTopic(const QString& component, const QString& object) const;

    MqttConfig broker;
    SwitchConfig config;
    QString panel;
};
