// SPDX-License-Identifier: MIT
#pragma once

// varnokd's main: arguments, --check, or serving every configured switch until SIGTERM.
int runService(int& argc, char** argv);
