// SPDX-License-Identifier: MIT
// A link that keeps dropping: the console (real message boxes, nobody to press OK) on
// tcp://127.0.0.1:P against `varnok-sim --listen 127.0.0.1:0 --hangup-after 1`, which answers
// the routing request of every connection and then closes it. The console reconnects by itself,
// so the link comes and goes twice a second for as long as the run lasts.
// Usage: varnok-bench-flap [SECONDS]   (default 60)
// Prints one "flap ..." line: losses seen, boxes opened, the most open at once, and resident
// memory at the start, at its highest and at the end. Exits 1 when the link never dropped or
// more than one box was open at once.
#include "benchsupport.h"
#include "link/anyport.h"
#include "ui/mainwindow.h"
#include "ui/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-flap: %s\n", what);
    std::exit(1);
}

// The boxes a user would see, counted on their way in and out.
class CountingBoxes : public MessageBoxes
{
public:
    void show(QWidget* owner, const QString& text, const QString& title) override
    {
        ++opened;
        mostOpen = std::max(mostOpen, ++openNow);
        real.show(owner, text, title);
        --openNow;
    }
    int opened = 0;
    int openNow = 0;
    int mostOpen = 0;

private:
    QtMessageBoxes real;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds <= 0)
        fail("usage: varnok-bench-flap [SECONDS]");

    QProcess simulator;
    simulator.setProgram(QStringLiteral(VARNOK_SIM_PATH));
    simulator.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                            QStringLiteral("--hangup-after"), QStringLiteral("1")});
    simulator.setStandardErrorFile(QProcess::nullDevice());
    simulator.start();
    if (!simulator.waitForReadyRead(5000))
        fail("the simulated switch did not come up");
    const QByteArray first = simulator.readLine().trimmed(); // "listening on HOST:PORT"
    const QByteArray address = first.mid(first.lastIndexOf(' ') + 1);
    if (!first.startsWith("listening on ") || address.isEmpty())
        fail("the simulated switch did not say where it listens");
    // Its own log is not wanted: read and dropped as it comes.
    QObject::connect(&simulator, &QProcess::readyReadStandardOutput, &simulator,
                     [&simulator] { simulator.readAllStandardOutput(); });

    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("varnok.conf")));
    if (!dir.isValid() || !conf.open(QIODevice::WriteOnly) ||
        conf.write("[link]\nport=tcp://" + address + "\n") < 0 || !QDir::setCurrent(dir.path()))
        fail("cannot set up the console's folder");
    conf.close();
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state"))));

    AnyPort port;
    CountingBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    qint64 losses = 0;
    QObject::connect(&port, &Port::linkLost, &window, [&losses] { ++losses; });
    window.startUp();
    window.show();

    const qint64 rssStart = bench::statusField("self", "VmRSS");
    qint64 rssMax = rssStart;
    QTimer sample;
    sample.setInterval(1000);
    QObject::connect(&sample, &QTimer::timeout, &window,
                     [&rssMax] { rssMax = std::max(rssMax, bench::statusField("self", "VmRSS")); });
    sample.start();

    // The end may come inside any number of nested boxes: report from there and leave.
    QTimer::singleShot(seconds * 1000, &window, [&] {
        const qint64 rssEnd = bench::statusField("self", "VmRSS");
        rssMax = std::max(rssMax, rssEnd);
        std::printf("flap seconds=%d losses=%lld boxes_opened=%d boxes_most_open=%d "
                    "rss_start_kb=%lld rss_max_kb=%lld rss_end_kb=%lld\n",
                    seconds, static_cast<long long>(losses), boxes.opened, boxes.mostOpen, rssStart,
                    rssMax, rssEnd);
        std::fflush(stdout);
        simulator.kill();
        simulator.waitForFinished(2000);
        std::_Exit(losses > 0 && boxes.mostOpen <= 1 ? 0 : 1);
    });
    return QApplication::exec();
}
