// SPDX-License-Identifier: MIT
// Where the console's start-up goes. Run it in a directory holding "COMPORT" and a COM1 link.
//   varnok-bench-phases window   the steps of ui/runconsole.cpp, timed one after the other, to
//                                the main window's first frame
//   varnok-bench-phases link     the link's share of them, one at a time in a fresh process:
//                                varnok.conf and the session log, the names, COMPORT (its
//                                folder's sync apart), the port's open and lock, the serial
//                                device names
// Each prints one line of name=nanoseconds pairs, counted from main().
#include "benchsupport.h"
#include "firstpaint.h"
#include "link/anyport.h"
#include "link/comdevice.h"
#include "link/matrixsetup.h"
#include "link/switchsession.h"
#include "link/terminationsignals.h"
#include "protocol/comportfile.h"
#include "ui/mainwindow.h"
#include "ui/messageboxes.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::int64_t startNs = 0;

void mark(const char* name)
{
    std::printf("%s=%lld ", name, static_cast<long long>(bench::monotonicNs() - startNs));
}

int windowSteps(int& argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    mark("application");
    AnyPort port;
    TerminationSignals stopRequests;
    QtMessageBoxes boxes;
    mark("port_signals");
    MainWindow window(port, boxes, QDir::currentPath());
    mark("window_built");
    bench::FirstPaintProbe probe(window);
    comportfile::holdFolderSync(true); // released after the first frame, as runConsole does
    window.startUp();
    mark("started_up");
    window.show();
    mark("shown");
    // The probe prints the first frame's figures (from the machine's clock, not from main()).
    std::printf("main_ns=%lld ", static_cast<long long>(startNs));
    const int status = QApplication::exec();
    comportfile::holdFolderSync(false);
    return status;
}

int linkSteps(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VARNOK"));
    mark("application");
    const QString here = QDir::currentPath();
    MatrixSetup names(here);
    mark("names");
    AnyPort port;
    SwitchSession session(port, here);
    mark("settings_and_log");
    const comportfile::ReadResult stored = comportfile::read(here);
    mark("comport_read");
    comportfile::holdFolderSync(true);
    comportfile::write(here, stored.index.value_or(0));
    mark("comport_written");
    comportfile::holdFolderSync(false);
    mark("comport_folder_synced");
    port.open(comDevicePath(1));
    mark("port_open_and_lock");
    const QStringList adapters = attachedUsbSerialAdapters();
    stableSerialNames();
    mark("device_names");
    port.close();
    std::printf("adapters=%lld\n", static_cast<long long>(adapters.size()));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    startNs = bench::monotonicNs();
    if (argc > 1 && std::strcmp(argv[1], "link") == 0)
        return linkSteps(argc, argv);
    return windowSteps(argc, argv);
}
