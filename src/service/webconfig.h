// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
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
    std::map<QString, WebAccess> access; // by switch id; a switch not named: everyone may press

    WebAccess accessOf(const QString& id) const;
    bool operator==(const WebConfig&) const = default;
};

// Reads the [web] group from `settings` (at the top level). `switchIds` are the switches the
// file names; `lineOf(key)` is the line a key of the group is on, for `fail(line, text)`.
// Keys: listen=HOST:PORT, ID.read-only=true|false, ID.pin=SECRET.
std::optional<WebConfig> readWebConfig(QSettings& settings, const QStringList& switchIds,
                                       const std::function<int(const QString& key)>& lineOf,
                                       const std::function<void(int, const QString&)>& fail);
