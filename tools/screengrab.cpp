// SPDX-License-Identifier: MIT
// Saves a rectangle of the X screen as PNG: varnok-screengrab X Y WIDTH HEIGHT FILE.
// Used by scripts/run on a machine without a display, to leave a picture of the console.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: varnok-screengrab X Y WIDTH HEIGHT FILE\n");
        return 2;
    }
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = args[i + 1].toInt(&ok);
        if (!ok) {
            std::fprintf(stderr, "varnok-screengrab: not a number: %s\n", qPrintable(args[i + 1]));
            return 2;
        }
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen->grabWindow(0, values[0], values[1], values[2], values[3]);
    if (shot.isNull() || !shot.save(args[5], "PNG")) {
        std::fprintf(stderr, "varnok-screengrab: could not save %s\n", qPrintable(args[5]));
        return 1;
    }
    return 0;
}
