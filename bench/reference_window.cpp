// SPDX-License-Identifier: MIT
// The reference for the console's start-up and memory: the least a Qt Widgets program can do to
// show a window of the console's size, with the same first-paint probe.
#include "firstpaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("reference"));
    window.setFixedSize(645, 554);
    bench::FirstPaintProbe probe(window);
    window.show();
    return QApplication::exec();
}
