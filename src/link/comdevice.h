// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where the port name COMn leads on this system:
//  1. an entry named COMn in the working directory (usually a symbolic link to a device or a
//     pseudo-terminal), taken even while its target is missing so the open fails visibly;
//  2. for COM1 only: the one USB serial adapter (ttyUSB*, ttyACM*) when exactly one is attached;
//  3. otherwise /dev/ttyS(n-1), the n-th built-in serial port.
// On Windows COMn is COMn. The result is always an absolute path (or the Windows name).
QString comDevicePath(int port, const QString& workingDirectory, const QStringList& usbAdapters);

// The same rule against the process's working directory and the adapters attached now.
QString comDevicePath(int port);

// Absolute paths of the attached USB serial adapters, sorted: the device files (or links to them)
// named ttyUSB* or ttyACM* in `deviceDirectory`.
QStringList attachedUsbSerialAdapters(const QString& deviceDirectory = QStringLiteral("/dev"));

// A serial device by its stable name, and the device that name leads to now.
struct StableSerialName
{
    QString path;   // /dev/serial/by-id/usb-...
    QString device; // /dev/ttyUSB0
};
// The entries of `directory` (by default the names udev keeps for each attached serial device),
// sorted by name: one look at the folder and one link read per entry.
QList<StableSerialName>
stableSerialNames(const QString& directory = QStringLiteral("/dev/serial/by-id"));
