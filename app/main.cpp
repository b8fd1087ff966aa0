// SPDX-License-Identifier: MIT
#include "cli/commandline.h"
#include "cli/runcommandline.h"
#include "ui/runconsole.h"

int main(int argc, char* argv[])
{
    // Decided before any application object exists: a command, or an argument the window does
    // not know, never connects to a display nor writes a file of the window's.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<QString> folder = cli::windowFolder(arguments);
    if (!folder)
        return runCommandLine(argc, argv);
    if (!folder->isEmpty() && !enterSetUpFolder(*folder))
        return 1; // bad usage, as for a command
    return runConsole(argc, argv);
}
