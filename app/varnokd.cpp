// SPDX-License-Identifier: MIT
#include "service/runservice.h"

int main(int argc, char* argv[])
{
    return runService(argc, argv);
}
