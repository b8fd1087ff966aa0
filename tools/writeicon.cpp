// SPDX-License-Identifier: MIT
// Writes the console's window icon as a PNG file, for the desktop entry of an installation.
#include "ui/artwork.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const int size = argc == 3 ? std::atoi(argv[2]) : 32;
    if (argc < 2 || argc > 3 || size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: varnok-writeicon FILE.png [SIZE 16-1024, default 32]\n");
        return 2;
    }
    return makeWindowIcon(size).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
