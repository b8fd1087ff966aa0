// SPDX-License-Identifier: MIT
#include "setupwatch.h"

#include <QFileInfo>

SetupWatch::SetupWatch(const QString& directory, QObject* parent)
    : QObject(parent), current(directory)
{
    // An editor or the console replaces the file: the folder sees that, the file its edits.
    watch.addPath(directory);
    if (QFileInfo::exists(current.filePath()))
        watch.addPath(current.filePath());
    settle.setSingleShot(true);
    settle.setInterval(settleMs);
    connect(&watch, &QFileSystemWatcher::directoryChanged, &settle, qOverload<>(&QTimer::start));
    connect(&watch, &QFileSystemWatcher::fileChanged, &settle, qOverload<>(&QTimer::start));
    connect(&settle, &QTimer::timeout, this, &SetupWatch::reread);
}

void SetupWatch::reread()
{
    current.reload();
    // A replaced file is watched again under its name.
    if (!watch.files().contains(current.filePath()) && QFileInfo::exists(current.filePath()))
        watch.addPath(current.filePath());
    emit changed();
}
