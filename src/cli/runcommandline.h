// SPDX-License-Identifier: MIT
#pragma once

class QString;

// The varnok command line, for scripts and programs: parses the arguments, opens the port the
// window saved (or --port) without writing anything, runs one command and returns the exit
// status. Uses QCoreApplication only, so it runs with no display.
int runCommandLine(int& argc, char** argv);

// Makes `folder` the working directory, and so the set-up folder (COMPORT, varnok.conf, COMn)
// of the window or the command, as `make -C` and `git -C` do. Says why on stderr when it cannot.
bool enterSetUpFolder(const QString& folder);
