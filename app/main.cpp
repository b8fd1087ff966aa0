// SPDX-License-Identifier: MIT
#include "cli/commandline.h"
#include "cli/runcommandline.h"
#include "ui/runconsole.h"

int main(int argc, char* argv[])
{
    // Decided before any application object exists: a command never connects to a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (cli::wantsCommandLine(arguments))
        return runCommandLine(argc, argv);
    return runConsole(argc, argv);
}
