// SPDX-License-Identifier: MIT
// The console's start-up as app/main.cpp does it, with a probe that reports the first paint of
// the main window and quits. Run it in a directory holding "COMPORT" and a COM1 link.
#include "firstpaint.h"
#include "ui/mainwindow.h"
#include "ui/runconsole.h"

#include <memory>

int main(int argc, char* argv[])
{
    std::unique_ptr<bench::FirstPaintProbe> probe;
    return runConsole(argc, argv, [&probe](MainWindow& window) {
        probe = std::make_unique<bench::FirstPaintProbe>(window);
    });
}
