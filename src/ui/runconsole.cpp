// SPDX-License-Identifier: MIT
#include "runconsole.h"

#include "form1.h"
#include "ui/messageboxes.h"
#include "link/serialport.h"
#include "link/terminationsignals.h"

#include <QApplication>
#include <QDir>

int runConsole(int& argc, char** argv, const std::function<void(Form1&)>& beforeStartUp)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    SerialPort port;
    // Asked to stop (logout, Ctrl+C, kill): close the port, which removes its lock file, and
    // leave every event loop, a box's included.
    TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &TerminationSignals::received, &app, [&port] {
        port.close();
        QApplication::exit(0);
    });
    QtMessageBoxes boxes;
    Form1 window(port, boxes, QDir::currentPath());
    if (beforeStartUp)
        beforeStartUp(window);
    window.startUp();
    window.show();
    return QApplication::exec();
}
