// SPDX-License-Identifier: MIT
#pragma once

#include "mqttconfig.h"
#include "webconfig.h"

#include <QHostAddress>
#include <QList>
#include <QString>

#include <optional>

// A TCP address to listen on as the configuration writes it: "HOST:PORT" with an address literal,
// "[::1]:4001" for IPv6. False when `text` is not one.
bool parseListenAddress(const QString& text, QHostAddress& host, quint16& port);
QString listenAddressText(const QHostAddress& host, quint16 port);

// One switch the service serves, as its configuration group names it.
struct SwitchConfig
{
    static constexpr int defaultPollSeconds = 5;

    QString id;   // the group's name: lower-case letters, digits and hyphens
    QString dir;  // its set-up folder, as the console's (port choice, names, presets)
    QString port; // overrides the folder's port choice when not empty
    QHostAddress listenHost;
    quint16 listenPort = 0;               // 0: any free port (said in the log)
    int pollSeconds = defaultPollSeconds; // 0: never asks unasked
    QString name;                         // the name people know it by; none: its id
    QString area;                         // where it is, for Home Assistant

    QString listenText() const;
    bool operator==(const SwitchConfig&) const = default;
};

// varnokd's configuration file (INI): one group per switch. Every fault is kept with the line it
// is on, so that --check names them all and a reload keeps the switches served as they were.
struct ServiceConfig
{
    struct Fault
    {
        int line = 0; // 0: the file as a whole
        QString text;
    };

    QString path;
    QList<SwitchConfig> switches;
    std::optional<MqttConfig> mqtt; // none without an [mqtt] group
    std::optional<WebConfig> web;   // the [web] group: none, no web panel
    QList<Fault> faults;

    static ServiceConfig read(const QString& path);
    // "FILE:LINE: fault" lines, one per fault.
    QStringList faultLines() const;
};
