// SPDX-License-Identifier: MIT
#include "comdevice.h"

#include <QDir>
#include <QFileInfo>

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

QStringList attachedUsbSerialAdapters()
{
    QStringList found;
#ifndef Q_OS_WIN
    const QDir dev(QStringLiteral("/dev"));
    const QStringList names = dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                            QDir::System, QDir::Name);
    for (const QString& n : names)
        found << dev.absoluteFilePath(n);
#endif
    return found;
}

QString comDevicePath(int port)
{
    return comDevicePath(port, QDir::currentPath(), attachedUsbSerialAdapters());
}
