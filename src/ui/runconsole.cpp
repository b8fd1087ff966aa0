// SPDX-License-Identifier: MIT
#include "runconsole.h"

#include "link/anyport.h"
#include "link/language.h"
#include "link/terminationsignals.h"
#include "mainwindow.h"
#include "ui/messageboxes.h"

#include <QApplication>
#include <QDir>

int runConsole(int& argc, char** argv, const std::function<void(MainWindow&)>& beforeStartUp)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    installTranslations(app);
    AnyPort port;
    // Asked to stop (logout, Ctrl+C, kill): close the port, which removes its lock file, and
    // leave every event loop, a box's included.
    TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &TerminationSignals::received, &app, [&port] {
        port.close();
        QApplication::exit(0);
    });
    QtMessageBoxes boxes;
    MainWindow window(port, boxes, QDir::currentPath());
    if (beforeStartUp)
        beforeStartUp(window);
    window.startUp();
    window.show();
    return QApplication::exec();
}
