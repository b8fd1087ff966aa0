// SPDX-License-Identifier: MIT
#include "comdevice.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

QString comDevicePath(int port, const QString& workingDirectory, const QStringList& usbAdapters)
{
    const QString name = QStringLiteral("COM%1").arg(port);
#ifdef Q_OS_WIN
    Q_UNUSED(workingDirectory);
    Q_UNUSED(usbAdapters);
    return name;
#else
    const QFileInfo local(QDir(workingDirectory).absoluteFilePath(name));
    if (local.exists() || local.isSymLink())
        return local.absoluteFilePath();
    if (port == 1 && usbAdapters.size() == 1)
        return usbAdapters.first();
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QStringList attachedUsbSerialAdapters(const QString& deviceDirectory)
{
    QStringList found;
#ifndef Q_OS_WIN
    // Names compared here, not as name filters: those are compiled to regular expressions, which
    // cost the console's start-up half a megabyte of memory. Sorted by name, as QDir::Name does.
    const QDir dev(deviceDirectory);
    for (QDirIterator it(dev.path(), QDir::System); it.hasNext();) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(QLatin1String("ttyUSB"), Qt::CaseInsensitive) ||
            name.startsWith(QLatin1String("ttyACM"), Qt::CaseInsensitive))
            found << dev.absoluteFilePath(name);
    }
    found.sort();
#endif
    return found;
}

QString comDevicePath(int port)
{
    return comDevicePath(port, QDir::currentPath(), attachedUsbSerialAdapters());
}

QList<StableSerialName> stableSerialNames(const QString& directory)
{
    QList<StableSerialName> found;
#ifndef Q_OS_WIN
    const QDir folder(directory);
    for (QDirIterator it(folder.path(), QDir::System | QDir::Files); it.hasNext();) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const QString target = entry.canonicalFilePath();
        found.append({folder.absoluteFilePath(entry.fileName()),
                      target.isEmpty() ? entry.symLinkTarget() : target});
    }
    std::sort(found.begin(), found.end(),
              [](const StableSerialName& a, const StableSerialName& b) { return a.path < b.path; });
#else
    Q_UNUSED(directory);
#endif
    return found;
}
