// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where varnok keeps what it learns between runs (the session log, the notices already given):
// $XDG_STATE_HOME/varnok, or ~/.local/state/varnok when that is unset or not an absolute path.
QString stateFolder();
