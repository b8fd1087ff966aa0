// SPDX-License-Identifier: MIT
// One line that never ends, growing in the receive pane, as from a device that sends text
// without line breaks. The main window runs on a fake port; every CHUNK bytes go the reply path
// from the classifier on (as in growth_bench.cpp), one chunk per turn of the event loop, so the
// window is laid out and painted between chunks, until the line is BYTES long. At 9600 baud a
// line grows by at most 960 bytes a second, about 10 bytes per 30 ms framing window: here the
// chunks follow one another as fast as the window takes them, so the run is time-compressed and
// every gap between two turns is the cost of one chunk. The run stops early after MAX_SECONDS.
// Past 1 MiB the pane's cap drops the oldest characters.
// Usage: varnok-bench-longline BYTES [CHUNK] [MAX_SECONDS]
// Prints: longline bytes=<n> reached=<n> chunk=<n> ms=<t> max_gap_ms=<t>
//         gap_eighths_ms=<t,t,...> append_us_first=<t> append_us_last=<t>
// where gap_eighths_ms is the longest gap in each eighth of the line's final length and
// append_us_first/last the mean time per chunk over the first and last eighth.
#include "benchsupport.h"
#include "fakeportconsole.h"
#include "mainwindowelements.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-longline: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = args.size() >= 2 && args.size() <= 4;
    const qsizetype bytes = ok ? args[1].toLongLong(&ok) : 0;
    const int chunkSize = ok && args.size() >= 3 ? args[2].toInt(&ok) : 10;
    const int maxSeconds = ok && args.size() >= 4 ? args[3].toInt(&ok) : 600;
    if (!ok || bytes <= 0 || chunkSize <= 0 || maxSeconds <= 0)
        fail("usage: varnok-bench-longline BYTES [CHUNK] [MAX_SECONDS]");

    bench::FakePortConsole console;
    if (!console.start())
        fail("the main window did not start");
    QCoreApplication::processEvents();

    // Digits only: no chunk is taken for a route report, an acknowledgement or a line break.
    QByteArray chunk;
    for (int i = 0; i < chunkSize; ++i)
        chunk += char('0' + i % 10);

    constexpr int eighths = 8;
    double gapMs[eighths] = {};
    double appendNs[eighths] = {};
    int appends[eighths] = {};
    qsizetype reached = 0;
    double longestMs = 0;
    const std::int64_t startNs = bench::monotonicNs();
    // The gap between two ticks is the chunk's handling plus the layout and painting after it.
    std::int64_t lastTurnNs = startNs;
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, &app, [&] {
        const std::int64_t now = bench::monotonicNs();
        const auto eighth = static_cast<int>(std::min<qsizetype>(reached * eighths / bytes, 7));
        const double gap = double(now - lastTurnNs) / 1e6;
        gapMs[eighth] = std::max(gapMs[eighth], gap);
        longestMs = std::max(longestMs, gap);
        if (reached >= bytes || now - startNs > std::int64_t(maxSeconds) * 1'000'000'000) {
            feeder.stop();
            app.quit();
            return;
        }
        emit console.handler->replyReceived(protocol::classify(protocol::replyText(chunk)));
        const std::int64_t done = bench::monotonicNs();
        appendNs[eighth] += double(done - now);
        ++appends[eighth];
        reached += chunk.size();
        lastTurnNs = now;
    });
    feeder.start(0);
    app.exec();
    const std::int64_t endNs = bench::monotonicNs();

    // The pane holds the line's newest characters exactly as they came: nothing added, and all
    // of it while the line is within the pane's cap of 1 MiB characters.
    const QString text = receivePane(console.window)->text();
    const qsizetype dropped = reached - text.size();
    if (dropped < 0 || text.size() > (1 << 20) || (reached <= (1 << 20) && dropped != 0))
        fail("the receive pane does not hold the line as it came");
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] != QLatin1Char(char('0' + (dropped + i) % chunkSize % 10)))
            fail("the receive pane's text differs from the line that came");

    QStringList perEighth;
    for (double g : gapMs)
        perEighth << QString::number(g, 'f', 2);
    const auto meanUs = [&](int eighth) {
        return appends[eighth] ? appendNs[eighth] / appends[eighth] / 1e3 : 0.0;
    };
    std::printf("longline bytes=%lld reached=%lld chunk=%d ms=%.1f max_gap_ms=%.2f "
                "gap_eighths_ms=%s append_us_first=%.1f append_us_last=%.1f pane_chars=%lld\n",
                static_cast<long long>(bytes), static_cast<long long>(reached), chunkSize,
                double(endNs - startNs) / 1e6, longestMs, qPrintable(perEighth.join(u',')),
                meanUs(0), meanUs(eighths - 1), static_cast<long long>(text.size()));
    return 0;
}
