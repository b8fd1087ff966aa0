// SPDX-License-Identifier: MIT
// A far end that sends an endless stream as fast as the loopback carries it, for SECONDS, against
// the main window (offscreen, over real TCP on 127.0.0.1) or against `varnok monitor`.
// Usage: varnok-bench-flood window|monitor [SECONDS]
// The flood comes from a child process: lines of 62 printable characters and CR LF, written with
// blocking writes, so it goes exactly as fast as the console takes it off the line.
// Prints one line: bytes taken, peak and final resident memory, processor time as a share of one
// core, and (window only) the longest gap between two turns of a 1 ms heartbeat and how many
// gaps exceeded 20 and 50 ms. Exits 1 when the console took nothing.
#include "benchsupport.h"
#include "link/anyport.h"
#include "link/receiveframer.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-flood: %s\n", what);
    std::exit(1);
}

struct Peer
{
    pid_t pid = -1;
    quint16 port = 0;
    int sentPipe = -1; // the child writes the bytes it sent when the console hangs up
};

// Listens on 127.0.0.1, forks a child that accepts one connection and writes until it fails.
Peer startFloodPeer()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        fail("cannot listen on 127.0.0.1");
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        fail("cannot make a pipe");
    Peer peer;
    peer.port = ntohs(address.sin_port);
    peer.pid = ::fork();
    if (peer.pid < 0)
        fail("cannot fork the flood peer");
    if (peer.pid == 0) {
        ::signal(SIGPIPE, SIG_IGN);
        ::close(pipeEnds[0]);
        const int connection = ::accept(listener, nullptr, nullptr);
        QByteArray line(62, 'x');
        for (int i = 0; i < line.size(); ++i)
            line[i] = static_cast<char>(' ' + 1 + i);
        const QByteArray chunk = (line + "\r\n").repeated(1024);
        long long sent = 0;
        for (;;) {
            const ssize_t n = ::write(connection, chunk.constData(), size_t(chunk.size()));
            if (n <= 0)
                break;
            sent += n;
        }
        (void)!::write(pipeEnds[1], &sent, sizeof sent);
        ::_exit(0);
    }
    ::close(listener);
    ::close(pipeEnds[1]);
    peer.sentPipe = pipeEnds[0];
    return peer;
}

long long floodSent(const Peer& peer)
{
    long long sent = 0;
    if (::read(peer.sentPipe, &sent, sizeof sent) != sizeof sent)
        sent = -1;
    ::waitpid(peer.pid, nullptr, 0);
    return sent;
}

double processorSeconds(const QByteArray& pid)
{
    QFile file("/proc/" + pid + "/stat");
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // Fields after the command's closing parenthesis: state is the 3rd, utime the 14th.
    const QList<QByteArray> fields = file.readAll().split(')').constLast().trimmed().split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double mib(qint64 kib)
{
    return double(kib) / 1024.0;
}

int floodWindow(int seconds, const Peer& peer)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        fail("cannot make a folder for the console");
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path())); // its session log too
    AnyPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    window.show();
    QComboBox* box = portList(window);
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("tcp://127.0.0.1:%1").arg(peer.port));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    qint64 taken = 0;
    QObject::connect(window.findChild<ReceiveFramer*>(), &ReceiveFramer::bytesReceived,
                     [&](const QByteArray& bytes) { taken += bytes.size(); });
    const qint64 rssBefore = bench::statusField("self", "VmRSS");
    const double cpuBefore = processorSeconds("self");
    QElapsedTimer wall;
    wall.start();
    QTest::mouseClick(linkButton(window), Qt::LeftButton);

    QElapsedTimer sinceBeat;
    qint64 longestNs = 0;
    int over20 = 0;
    int over50 = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 gap = sinceBeat.nsecsElapsed();
        sinceBeat.restart();
        longestNs = std::max(longestNs, gap);
        over20 += gap > 20'000'000;
        over50 += gap > 50'000'000;
    });
    sinceBeat.start();
    heartbeat.start();
    runFor(seconds * 1000);
    heartbeat.stop();
    const double cpu = processorSeconds("self") - cpuBefore;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const qint64 rssEnd = bench::statusField("self", "VmRSS");
    const qint64 peak = bench::statusField("self", "VmHWM");
    port.close();
    const long long sent = floodSent(peer);
    std::printf("flood target=window seconds=%.1f taken_mib=%.1f sent_mib=%.1f "
                "rss_before_mib=%.1f rss_end_mib=%.1f rss_peak_mib=%.1f cpu_percent=%.0f "
                "longest_gap_ms=%.1f gaps_over_20ms=%d gaps_over_50ms=%d boxes=%lld\n",
                elapsed, mib(taken / 1024), mib(sent / 1024), mib(rssBefore), mib(rssEnd),
                mib(peak), 100.0 * cpu / elapsed, double(longestNs) / 1e6, over20, over50,
                static_cast<long long>(boxes.shown.size()));
    return taken > 0 ? 0 : 1;
}

int floodMonitor(int seconds, const Peer& peer)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail("cannot make a folder for the command line");
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path())); // its session log too
    QProcess monitor;
    monitor.setProgram(QStringLiteral(VARNOK_APP));
    monitor.setArguments({QStringLiteral("--port"),
                          QStringLiteral("tcp://127.0.0.1:%1").arg(peer.port),
                          QStringLiteral("monitor")});
    monitor.setWorkingDirectory(dir.path());
    monitor.setStandardOutputFile(QProcess::nullDevice());
    monitor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer wall;
    wall.start();
    monitor.start();
    if (!monitor.waitForStarted())
        fail("cannot start varnok monitor");
    const QByteArray pid = QByteArray::number(monitor.processId());
    qint64 rssAt10 = -1;
    QTimer::singleShot(10000, [&] { rssAt10 = bench::statusField(pid, "VmRSS"); });
    runFor(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double cpu = processorSeconds(pid);
    const qint64 rssEnd = bench::statusField(pid, "VmRSS");
    const qint64 peak = bench::statusField(pid, "VmHWM");
    monitor.terminate();
    if (!monitor.waitForFinished(5000)) {
        monitor.kill();
        monitor.waitForFinished();
    }
    const long long sent = floodSent(peer);
    std::printf("flood target=monitor seconds=%.1f sent_mib=%.1f rss_10s_mib=%.1f "
                "rss_end_mib=%.1f rss_peak_mib=%.1f cpu_percent=%.0f exit=%d\n",
                elapsed, mib(sent / 1024), mib(rssAt10), mib(rssEnd), mib(peak),
                100.0 * cpu / elapsed, monitor.exitCode());
    return sent > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const QByteArray target = argc > 1 ? QByteArray(argv[1]) : QByteArray("window");
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    if ((target != "window" && target != "monitor") || seconds <= 0) {
        std::fprintf(stderr, "usage: varnok-bench-flood window|monitor [SECONDS]\n");
        return 1;
    }
    const Peer peer = startFloodPeer(); // before any thread exists
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return target == "window" ? floodWindow(seconds, peer) : floodMonitor(seconds, peer);
}
