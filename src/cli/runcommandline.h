// SPDX-License-Identifier: MIT
#pragma once

// The varnok command line, for scripts and programs: parses the arguments, opens the port the
// window saved (or --port) without writing anything, runs one command and returns the exit
// status. Uses QCoreApplication only, so it runs with no display.
int runCommandLine(int& argc, char** argv);
