// SPDX-License-Identifier: MIT
#include "console/runconsole.h"

int main(int argc, char* argv[])
{
    return runConsole(argc, argv);
}
