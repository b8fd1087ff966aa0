// SPDX-License-Identifier: MIT
#include "statefolder.h"

#include <QDir>

QString stateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // Relative paths are invalid there and are ignored.
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/varnok");
}
