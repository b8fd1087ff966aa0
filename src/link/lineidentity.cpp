// SPDX-License-Identifier: MIT
#include "lineidentity.h"

#include "comdevice.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isNetworkName(const QString& name)
{
    return name.startsWith(QLatin1String("tcp://"));
}

} // namespace

LineIdentity::Link LineIdentity::linkAt(const QString& path)
{
    Link found;
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st = {};
    if (::lstat(encoded.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return found;
    char target[4096];
    const ssize_t length = ::readlink(encoded.constData(), target, sizeof target);
    found.exists = true;
    found.target = QFile::decodeName(QByteArray(target, length > 0 ? length : 0));
    found.inode = st.st_ino;
    found.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return found;
}

LineIdentity LineIdentity::of(const QString& name, const QString& stableNames)
{
    LineIdentity identity;
    identity.portName = name;
    if (isNetworkName(name))
        return identity;
    identity.link = linkAt(name);
    const QString device = QFileInfo(name).canonicalFilePath();
    if (device.isEmpty())
        return identity;
    for (const StableSerialName& stable : stableSerialNames(stableNames)) {
        if (stable.device == device) {
            identity.stableName = stable.path;
            break;
        }
    }
    return identity;
}

QString LineIdentity::reopenPath() const
{
    if (isNetworkName(portName))
        return portName;
    // Someone pointed the name anew since the open, as a restarted simulator or udev does.
    const Link now = linkAt(portName);
    if (now.exists && now != link)
        return portName;
    if (stableName.isEmpty())
        return {};
    const QString adapter = QFileInfo(stableName).canonicalFilePath();
    if (adapter.isEmpty())
        return {};
    return QFileInfo(portName).canonicalFilePath() == adapter ? portName : stableName;
}
