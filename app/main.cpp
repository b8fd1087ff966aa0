// SPDX-License-Identifier: MIT
#include "ui/runconsole.h"

int main(int argc, char* argv[])
{
    return runConsole(argc, argv);
}
