// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

class QSettings;

// Every key of a folder's varnok.conf, and the one place it is read. The link's and the log's
// settings come as values; the names and presets as the groups MatrixSetup parses. A missing
// key, or a file that is refused (see setupfile.h), gives the default. Writes only through
// keep(), under the file's lock.
struct SetupSettings
{
    static constexpr const char* fileName = "varnok.conf";
    static constexpr const char* portKey = "link/port";           // a typed port; wins over COMPORT
    static constexpr const char* reconnectKey = "link/reconnect"; // true when missing
    static constexpr const char* pollKey = "link/poll";           // seconds, 0 (off) when missing
    static constexpr const char* logKey = "log/enabled";          // true when missing
    static constexpr const char* namesGroup = "names";            // output1 = ..., input1 = ...
    static constexpr const char* presetsGroup = "presets";        // 1 = name|2 3 1 4

    QString port;
    bool reconnect = true;
    int pollSeconds = 0;
    bool log = true;

    static QString pathIn(const QString& directory);
    static SetupSettings read(const QString& directory);
    // The file's settings as they are now, for the names and presets.
    static std::unique_ptr<QSettings> open(const QString& directory);
    // Writes `value` under `key`, or removes the key when `value` is empty. Not kept is no loss
    // to the caller: the value holds for its session.
    static void keep(const QString& directory, const char* key, const QString& value);
};
