// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// What a port name led to when its line opened, so that a reconnect after a loss reaches the
// same device again and never the line of another program that took over its node or number.
// Proof of the same device: the same network address; the same stable USB name (by-id); a
// symbolic link re-pointed or re-created since the open. A device node that merely exists again
// under the old name (a reused pseudo-terminal number, a ttyUSB number) proves nothing.
class LineIdentity
{
public:
    LineIdentity() = default;
    // `name` as it stands now: an absolute path or tcp://HOST:PORT. `stableNames` is the folder
    // of the stable USB names.
    static LineIdentity of(const QString& name,
                           const QString& stableNames = QStringLiteral("/dev/serial/by-id"));

    // The path to reopen now: the name itself, or the stable name of the same adapter when the
    // name leads elsewhere. Empty while nothing proves that either leads to the same device.
    QString reopenPath() const;
    const QString& name() const { return portName; }

private:
    // A symbolic link as it stands: re-created links differ in inode or change time.
    struct Link
    {
        bool exists = false;
        QString target;
        quint64 inode = 0;
        qint64 changedNs = 0;
        bool operator==(const Link&) const = default;
    };
    static Link linkAt(const QString& path);

    QString portName;
    QString stableName; // the device's stable USB name at the open, if it had one
    Link link;
};
