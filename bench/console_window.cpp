// The console's start-up as app/main.cpp does it, with a probe that reports the first paint of
// the main window and quits. Run it in a directory holding "COMPORT" and a COM1 link.
#include "console/form1.h"
#include "firstpaint.h"
#include "platform/messageboxes.h"
#include "platform/qtserialport.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    QtSerialPort port;
    QtMessageBoxes boxes;
    Form1 window(port, boxes, QDir::currentPath());
    bench::FirstPaintProbe probe(window);
    window.startUp();
    window.show();
    return QApplication::exec();
}
