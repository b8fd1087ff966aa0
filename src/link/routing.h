// SPDX-License-Identifier: MIT
#pragma once

#include <array>

// The input (1 to 4) feeding each output, output 1 first. Widget-free and port-free: shared by
// the stored presets, the session's record of what the switch reported and the recall.
using Routing = std::array<int, 4>;
