// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

class QSettings;

// Who may press on a switch's web page: everyone, those who give its PIN, or no one.
struct WebAccess
{
    bool readOnly = false; // the page shows the lamps only; every command is refused
    QString pin;           // empty: no PIN asked for
    bool operator==(const WebAccess&) const = default;
};

// The [web] group of varnokd's configuration: where the web panel listens, and each switch's
// access. Without the group there is no web panel.
struct WebConfig
{
    static constexpr int minPinLength = 4;
    static constexpr int maxPinLength = 64;

    QHostAddress listenHost;
    quint16 listenPort = 0;              // 0: any free port (said in the log)
    QStringList hosts;                   // names the panel is also reached by (origins=)
    QString certFile;                    // HTTPS: certificate and key, PEM files (certfile=,
    QString keyFile;                     // keyfile=); none: plain HTTP
    std::map<QString, WebAccess> access; // by switch id; a switch not named: everyone may press

    WebAccess accessOf(const QString& id) const;
    // "http://HOST:PORT/" (https with TLS) as others reach the panel: its first origins= name,
    // or its address, this host's name for any address; empty on a port chosen at start.
    QString baseUrl() const;
    // The certificate and key as the server uses them; none without them or when they cannot be
    // read (`error` says why).
    std::optional<QSslConfiguration> tls(QString* error = nullptr) const;
    bool operator==(const WebConfig&) const = default;
};

// Reads the [web] group from `settings` (at the top level); files are named relative to
// `folder`. `switchIds` are the switches the file names; `lineOf(key)` is the line a key of the
// group is on, for `fail(line, text)`. Keys: listen=HOST:PORT, origins=NAME[:PORT],...,
// certfile=FILE, keyfile=FILE, ID.read-only=true|false, ID.pin=SECRET.
std::optional<WebConfig> readWebConfig(QSettings& settings, const QDir& folder,
                                       const QStringList& switchIds,
                                       const std::function<int(const QString& key)>& lineOf,
                                       const std::function<void(int, const QString&)>& fail);
