// SPDX-License-Identifier: MIT
#pragma once

#include "mqttconfig.h"
#include "serviceconfig.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <utility>

class MatrixSetup;

// What Home Assistant is told of one switch on the broker: the labels of its inputs and outputs
// as the select entities show them, and the retained discovery messages of its seven entities.
// Pure: the bridge publishes what these return.
class MqttDiscovery
{
    // Its texts are the bridge's in the catalogue.
    Q_DECLARE_TR_FUNCTIONS(MqttBridge)

public:
    MqttDiscovery(const MqttConfig& broker, const SwitchConfig& config);

    // The state and command topic of `leaf` ("output/1", "preset/set") of this switch.
    QString topic(const QString& leaf) const;
    // The seven discovery topics: outputs 1 to 4, preset, link, problem.
    QStringList topics() const;
    // Each discovery topic with its payload.
    QList<std::pair<QString, QByteArray>> messages(const MatrixSetup& setup) const;

    // The option that stands for `input` (1 to 4): its name, with its number when another input
    // has the same name; "HDMI In N" when it has none.
    static QString inputLabel(const MatrixSetup& setup, int input);
    static QString outputLabel(const MatrixSetup& setup, int output);

private:
    QString discoveryTopic(const QString& component, const QString& object) const;

    MqttConfig broker;
    SwitchConfig config;
};
