#include "console/form1.h"
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
    window.startUp();
    window.show();
    return QApplication::exec();
}
