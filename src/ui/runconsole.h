// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class MainWindow;

// The console's whole life: the application, the real serial port and message boxes, the main
// window, its load sequence, the event loop. `beforeStartUp` sees the window once it is built and
// before its load sequence runs (the start-up benchmark hooks its probe in there).
int runConsole(int& argc, char** argv, const std::function<void(MainWindow&)>& beforeStartUp = {});
