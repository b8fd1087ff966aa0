// SPDX-License-Identifier: MIT
#include "runconsole.h"

#include "form1.h"
#include "platform/messageboxes.h"
#include "platform/qtserialport.h"

#include <QApplication>
#include <QDir>

int runConsole(int& argc, char** argv, const std::function<void(Form1&)>& beforeStartUp)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    QtSerialPort port;
    QtMessageBoxes boxes;
    Form1 window(port, boxes, QDir::currentPath());
    if (beforeStartUp)
        beforeStartUp(window);
    window.startUp();
    window.show();
    return QApplication::exec();
}
