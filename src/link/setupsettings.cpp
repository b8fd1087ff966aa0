// SPDX-License-Identifier: MIT
#include "setupsettings.h"

#include "setupfile.h"

#include <QDir>
#include <QSettings>

QString SetupSettings::pathIn(const QString& directory)
{
    return QDir(directory).filePath(QString::fromLatin1(fileName));
}

std::unique_ptr<QSettings> SetupSettings::open(const QString& directory)
{
    return setupfile::read(pathIn(directory));
}

SetupSettings SetupSettings::read(const QString& directory)
{
    const std::unique_ptr<QSettings> file = open(directory);
    SetupSettings settings;
    settings.port = file->value(portKey).toString();
    settings.reconnect = file->value(reconnectKey, true).toBool();
    settings.pollSeconds = file->value(pollKey, 0).toInt();
    settings.log = file->value(logKey, true).toBool();
    return settings;
}

void SetupSettings::keep(const QString& directory, const char* key, const QString& value)
{
    // A file that refuses the change was named to the user when it was read.
    QString unused;
    setupfile::change(
        pathIn(directory),
        [&](QSettings& settings) {
            if (value.isEmpty())
                settings.remove(key);
            else
                settings.setValue(key, value);
            return true;
        },
        unused);
}
