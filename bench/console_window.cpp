// SPDX-License-Identifier: MIT
// The console's start-up as app/main.cpp does it, with a probe that reports the first paint of
// the main window and quits. Run it in a directory holding "COMPORT" and a COM1 link.
#include "ui/form1.h"
#include "ui/runconsole.h"
#include "firstpaint.h"

#include <memory>

int main(int argc, char* argv[])
{
    std::unique_ptr<bench::FirstPaintProbe> probe;
    return runConsole(argc, argv, [&probe](Form1& window) {
        probe = std::make_unique<bench::FirstPaintProbe>(window);
    });
}
