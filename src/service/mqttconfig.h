// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

class QDir;
class QSettings;

// The [mqtt] group of varnokd's configuration: the broker every switch is published on. Plain
// data; reading it opens no connection.
struct MqttConfig
{
    static constexpr quint16 defaultPort = 1883;

    QString host;
    quint16 port = defaultPort;
    QString clientId; // each switch's connection adds "-ID"; empty: "varnokd-HOSTNAME"
    QString user;
    QString password; // given, or the first line of password_file (without its line end)
    QString cafile;   // TLS when not empty
    QString certfile; // a client certificate, with keyfile
    QString keyfile;
    QString base = QStringLiteral("varnok");
    QString discoveryPrefix = QStringLiteral("homeassistant");

    bool usesTls() const { return !cafile.isEmpty(); }
    bool operator==(const MqttConfig&) const = default;

    // Reads the group `settings` is in, files named relative to `folder`; each fault goes to
    // `fault` with the key it is about (empty: the group).
    using Fault = std::function<void(const QString& key, const QString& text)>;
    static MqttConfig read(QSettings& settings, const QDir& folder, const Fault& fault);
};
