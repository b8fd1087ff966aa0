// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What varnokd's command line asks for.
struct ServiceOptions
{
    static constexpr auto defaultConfig = "/etc/varnok/varnokd.conf";
    QString configPath = QString::fromLatin1(defaultConfig);
    bool checkOnly = false;
    bool help = false;
    bool version = false;
};

// Parses varnokd's arguments (without the program name); nullopt with `error` set on bad usage.
std::optional<ServiceOptions> parseServiceOptions(const QStringList& arguments, QString& error);
QString serviceUsage();
