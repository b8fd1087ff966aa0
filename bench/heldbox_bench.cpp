// SPDX-License-Identifier: MIT
// Memory while a message box stays open on a chatty line: the console on a pseudo-terminal, a
// box opened by the switch's "utp" confirmation and held for SECONDS while this program trickles
// route reports byte by byte at the line's speed (9600 baud: about one byte a millisecond).
// Usage: varnok-bench-heldbox [SECONDS] [--no-box]
// With --no-box the same trickle runs with no box open, for comparison.
// Prints resident memory when the box opens, when it closes and after the held replies have been
// handled, with the bytes received meanwhile; exits 1 when nothing reached the receive pane.
#include "benchsupport.h"
#include "link/serialport.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

double residentMiB()
{
    return double(bench::statusField("self", "VmRSS")) / 1024.0;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-heldbox: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 40;
    const bool withBox = !(argc > 2 && QByteArray(argv[2]) == "--no-box");
    QTemporaryDir dir;
    PtyPair pty;
    if (!dir.isValid() || !pty.ok() ||
        !QFile::link(pty.slavePath, dir.filePath(QStringLiteral("COM1"))) ||
        !QDir::setCurrent(dir.path()))
        fail("cannot set up the pseudo-terminal and its COM1 link");
    SerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    if (!port.isOpen())
        fail("the console did not open COM1");

    const QByteArray report("s12\r\n");
    std::atomic<bool> trickling{true};
    std::atomic<qint64> sent{0};
    double atOpen = 0, atClose = 0;
    const auto trickle = [&] {
        atOpen = residentMiB();
        std::thread writer([&] {
            for (qint64 i = 0; trickling; ++i) {
                if (pty.write(report.mid(i % report.size(), 1)))
                    ++sent;
                std::this_thread::sleep_for(std::chrono::microseconds(1042));
            }
        });
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        trickling = false;
        writer.join();
        // Let the last bytes reach the console before the box closes.
        QEventLoop settle;
        QTimer::singleShot(200, &settle, &QEventLoop::quit);
        settle.exec();
        atClose = residentMiB();
    };
    if (withBox) {
        boxes.whileOpen = [&](const RecordingMessageBoxes::Box&) { trickle(); };
        if (!pty.write("utp\r\n"))
            fail("cannot write to the line");
    } else {
        trickle();
        boxes.shown.append(RecordingMessageBoxes::Box{});
    }
    QEventLoop loop;
    QTimer::singleShot((seconds + 10) * 1000, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!boxes.shown.isEmpty() && boxes.openNow == 0)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    // Handled after the box: give the queue a moment.
    QEventLoop after;
    QTimer::singleShot(500, &after, &QEventLoop::quit);
    after.exec();
    const double handled = residentMiB();
    const qsizetype shown = window.findChild<TextPane*>(QStringLiteral("Text1"))->text().size();
    std::printf("heldbox seconds=%d bytes=%lld rss_open_mib=%.1f rss_close_mib=%.1f "
                "rss_after_mib=%.1f growth_per_byte=%.1f pane_chars=%lld\n",
                seconds, static_cast<long long>(sent.load()), atOpen, atClose, handled,
                (atClose - atOpen) * 1048576.0 / double(qMax<qint64>(1, sent.load())),
                static_cast<long long>(shown));
    return shown > 0 ? 0 : 1;
}
