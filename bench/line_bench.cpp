// SPDX-License-Identifier: MIT
// The console on a real pseudo-terminal, with this program as the switch's end of the line.
// Usage: varnok-bench-line CLICKS REPORTS REPLIES FLOOD_BYTES
//
// 1. Click to wire: CLICKS clicks on routing button Command1_10, each timed from the click to
//    the eighth byte of "cir 59" CR LF read at the far end.
// 2. Reply to lamp: REPORTS route reports for output 2, alternating "s20" and "s21" CR LF, each
//    timed from the write at the far end to the paint of the lamp it lights.
// 3. Responsiveness: a 1 ms heartbeat timer runs for 10 s with nothing arriving (the reference),
//    then while REPLIES route reports arrive one after another, then while FLOOD_BYTES of raw
//    text lines arrive as fast as the line takes them; the longest gap between two heartbeats
//    is reported for each.
// Prints one "name key=value..." line per figure; exits 1 when the console got anything wrong.
#include "benchsupport.h"
#include "link/receiveframer.h"
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "ptypair.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

using bench::monotonicNs;

constexpr int idleReferenceMs = 10000;

void printSummary(const char* name, const QList<double>& samples, const char* unit)
{
    std::printf("%s n=%lld unit=%s median=%.3f p99=%.3f min=%.3f max=%.3f\n", name,
                static_cast<long long>(samples.size()), unit, bench::median(samples),
                bench::quantile(samples, 0.99), bench::quantile(samples, 0.0),
                bench::quantile(samples, 1.0));
    std::fflush(stdout);
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-line: %s\n", what);
    std::exit(1);
}

// Calls `onEvent` for every event of the watched objects.
class EventWatch : public QObject
{
public:
    std::function<void(QObject*, QEvent*)> onEvent;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (onEvent)
            onEvent(watched, event);
        return false;
    }
};

// Runs the event loop until `quit` is called or `timeoutMs` passes; returns whether it was quit.
class Wait
{
public:
    bool run(int timeoutMs)
    {
        done = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(timeoutMs);
        if (!done)
            loop.exec();
        return done;
    }
    void quit()
    {
        done = true;
        loop.quit();
    }

private:
    QEventLoop loop;
    bool done = false;
};

// The longest gap between ticks of a 1 ms timer, from the last reset.
class Heartbeat
{
public:
    Heartbeat()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const std::int64_t now = monotonicNs();
            longestNs = std::max(longestNs, now - lastNs);
            if (now - lastNs > 5'000'000)
                ++over5ms;
            lastNs = now;
        });
    }
    void start()
    {
        reset();
        timer.start();
    }
    void reset()
    {
        lastNs = monotonicNs();
        longestNs = 0;
        over5ms = 0;
    }
    int gapsOver5ms() const { return over5ms; }
    // The gap still open counts too: the loop may have been left from inside it.
    double longestMs() const { return double(std::max(longestNs, monotonicNs() - lastNs)) / 1e6; }

private:
    QTimer timer;
    std::int64_t lastNs = 0;
    std::int64_t longestNs = 0;
    int over5ms = 0;
};

struct Rig
{
    QTemporaryDir dir;
    PtyPair pty;
    SerialPort port;
    RecordingMessageBoxes boxes;
    std::unique_ptr<MainWindow> window;
    ReceiveFramer* handler = nullptr;

    Rig()
    {
        if (!dir.isValid() || !pty.ok() ||
            !QFile::link(pty.slavePath, dir.filePath(QStringLiteral("COM1"))) ||
            !QDir::setCurrent(dir.path()))
            fail("cannot set up the pseudo-terminal and its COM1 link");
        window = std::make_unique<MainWindow>(port, boxes, dir.path());
        window->startUp();
        if (!port.isOpen() || !boxes.shown.isEmpty())
            fail("the console did not open COM1");
        handler = window->findChild<ReceiveFramer*>();
        if (!handler)
            fail("no receive handler in the main window");
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            fail("the main window was not exposed");
    }
};

void clickToWire(Rig& rig, int clicks)
{
    // Literal bytes of the key command of Command1_10: input 3 of output 2.
    const QByteArray key("cir 59\r\n");
    // The routing request sent as the link opened is still unread at the first click.
    const QByteArray opening("bc \r\n");
    QByteArray expected = opening + key;
    QSocketNotifier wire(rig.pty.master, QSocketNotifier::Read);
    Wait wait;
    QByteArray got;
    std::int64_t arrivedNs = 0;
    QObject::connect(&wire, &QSocketNotifier::activated, [&] {
        char buffer[256];
        for (ssize_t n; (n = ::read(rig.pty.master, buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
        if (got.size() >= expected.size() && arrivedNs == 0) {
            arrivedNs = monotonicNs();
            wait.quit();
        }
    });
    QList<double> samples;
    for (int i = 0; i < clicks; ++i) {
        got.clear();
        arrivedNs = 0;
        const std::int64_t clickNs = monotonicNs();
        QTest::mouseClick(routingButton(*rig.window, 10), Qt::LeftButton);
        if (arrivedNs == 0 && !wait.run(2000))
            fail("a click's command did not reach the line within 2 s");
        if (got != expected)
            fail("the line carried other bytes than \"cir 59\" CR LF");
        expected = key;
        samples << double(arrivedNs - clickNs) / 1e3;
    }
    printSummary("click_to_wire", samples, "us");
}

// Writes route reports for output 2, alternating inputs 1 and 2 (whichever is dark), each after
// the previous one has been shown; `measured` gets the time from the write to the lit lamp's paint.
void routeReports(Rig& rig, int count, QList<double>* measured)
{
    const std::array<QByteArray, 2> reports{QByteArray("s20\r\n"), QByteArray("s21\r\n")};
    const std::array<QString, 2> lines{QStringLiteral("\r\nHDMI Out2 -> HDMI In 1"),
                                       QStringLiteral("\r\nHDMI Out2 -> HDMI In 2")};
    Lamp* const lamps[2] = {routingLamp(*rig.window, 1, 0), routingLamp(*rig.window, 1, 1)};
    EventWatch watch;
    Wait wait;
    Lamp* target = nullptr;
    std::int64_t litNs = 0;
    watch.onEvent = [&](QObject* watched, QEvent* event) {
        if (watched == target && event->type() == QEvent::Paint && target->isLit() && !litNs) {
            litNs = monotonicNs();
            wait.quit();
        }
    };
    for (Lamp* lamp : lamps)
        lamp->installEventFilter(&watch);
    for (int i = 0; i < count; ++i) {
        // The input whose lamp is dark, so that every report changes the row.
        const int k = lamps[0]->isLit() ? 1 : 0;
        target = lamps[k];
        litNs = 0;
        const std::int64_t writeNs = monotonicNs();
        if (!rig.pty.write(reports[k]))
            fail("cannot write to the line");
        if (!wait.run(2000))
            fail("a route report lit no lamp within 2 s");
        if (!receivePane(*rig.window)->text().endsWith(lines[k]) || lamps[1 - k]->isLit())
            fail("a route report was shown wrongly");
        if (measured)
            *measured << double(litNs - writeNs) / 1e6;
    }
}

// Text lines that the console shows as they come: no "s", "Ack", "utp" or "edm" anywhere, so
// however the line is cut into replies, every piece is raw text.
QByteArray floodText(qsizetype bytes, const QByteArray& lastLine)
{
    QByteArray text;
    text.reserve(bytes + 64);
    for (int n = 0; text.size() + lastLine.size() < bytes; ++n)
        text += "line " + QByteArray::number(n).rightJustified(7, '0') +
                " ABCDEFGHIJKLMNOPQRTUVWXYZ 0123456789 abcdefghijklmnopqr\r\n";
    text.truncate(bytes - lastLine.size());
    return text + lastLine;
}

void responsiveness(Rig& rig, int replies, qsizetype floodBytes)
{
    Heartbeat heartbeat;
    // The reference: the same heartbeat with nothing arriving, for what the machine's own
    // scheduling and timers make of it.
    heartbeat.start();
    Wait idle;
    idle.run(idleReferenceMs);
    std::printf("gap_idle duration_ms=%d unit=ms max=%.3f over_5ms=%d\n", idleReferenceMs,
                heartbeat.longestMs(), heartbeat.gapsOver5ms());
    heartbeat.reset();
    routeReports(rig, replies, nullptr);
    std::printf("gap_during_replies n=%d unit=ms max=%.3f over_5ms=%d\n", replies,
                heartbeat.longestMs(), heartbeat.gapsOver5ms());

    const QByteArray lastLine("END OF FLOOD\r\n");
    const QByteArray flood = floodText(floodBytes, lastLine);
    int chunks = 0;
    Wait wait;
    QObject::connect(rig.handler, &ReceiveFramer::replyReceived, rig.window.get(), [&] {
        ++chunks;
        if (receivePane(*rig.window)->text().endsWith(QString::fromLatin1(lastLine)))
            wait.quit();
    });
    // The far end writes from a thread of its own, so its work is no part of the gaps.
    std::atomic<bool> writeFailed = false;
    heartbeat.reset();
    const std::int64_t startNs = monotonicNs();
    std::thread writer([&] {
        qsizetype at = 0;
        while (at < flood.size()) {
            pollfd p{rig.pty.master, POLLOUT, 0};
            if (poll(&p, 1, 2000) <= 0) {
                writeFailed = true;
                return;
            }
            const ssize_t n = ::write(rig.pty.master, flood.constData() + at,
                                      static_cast<size_t>(flood.size() - at));
            if (n > 0)
                at += n;
            else if (errno != EAGAIN && errno != EINTR) {
                writeFailed = true;
                return;
            }
        }
    });
    const bool shown = wait.run(60000);
    const double longest = heartbeat.longestMs();
    writer.join();
    if (writeFailed || !shown)
        fail("the flood did not reach the receive pane");
    if (receivePane(*rig.window)->characterCount() > (1 << 20))
        fail("the receive pane holds more than its cap");
    std::printf("gap_during_flood bytes=%lld unit=ms max=%.3f over_5ms=%d chunks=%d "
                "duration_ms=%.1f pane_chars=%lld\n",
                static_cast<long long>(floodBytes), longest, heartbeat.gapsOver5ms(), chunks,
                double(monotonicNs() - startNs) / 1e6,
                static_cast<long long>(receivePane(*rig.window)->characterCount()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5)
        fail("usage: varnok-bench-line CLICKS REPORTS REPLIES FLOOD_BYTES");
    Rig rig;
    clickToWire(rig, args[1].toInt());
    QList<double> lampMs;
    routeReports(rig, args[2].toInt(), &lampMs);
    printSummary("reply_to_lamp", lampMs, "ms");
    responsiveness(rig, args[3].toInt(), args[4].toLongLong());
    return 0;
}
