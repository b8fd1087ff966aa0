// Writes the console's window icon as a PNG file, for the desktop entry of an installation.
#include "console/artwork.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnok-writeicon FILE.png\n");
        return 2;
    }
    return makeWindowIcon().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
