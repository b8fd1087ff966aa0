// SPDX-License-Identifier: MIT
#pragma once

#include "switchmodel.h"

#include <QString>

#include <optional>

namespace sim {

// What the command line asked of the simulated switch.
struct Options
{
    QString link = QStringLiteral("./COM1");
    int delayMs = 0;
    bool silent = false;
    int dribbleMs = 0;
    bool noise = false;
    int hangupAfter = 0;  // 0: never
    int restartAfter = 0; // 0: never
    int frontPanelMs = 0; // 0: never
    int stuckOutput = 0;  // 0: none
    Routes initial{0, 1, 2, 3};
    std::optional<quint32> seed;
    QString listenHost; // empty: serve a pseudo-terminal
    quint16 listenPort = 0;
};

} // namespace sim
