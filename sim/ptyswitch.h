// SPDX-License-Identifier: MIT
#pragma once

#include "options.h"

#include <QByteArray>

#include <functional>
#include <memory>

namespace sim {

class Pty;

// The switch on a pseudo-terminal: reads commands from the line, answers them through the
// model, and plays the faults the options ask for (late, silent or dribbled answers, noise, a
// hang-up, a restart, front-panel changes). Every command and answer goes to the log.
class PtySwitch
{
public:
    using Log = std::function<void(const QByteArray&)>;
    PtySwitch(const Options& options, Pty& pty, Log log);
    ~PtySwitch();
    PtySwitch(const PtySwitch&) = delete;
    PtySwitch& operator=(const PtySwitch&) = delete;

private:
    class Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace sim
