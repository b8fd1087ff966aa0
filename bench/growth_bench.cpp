// SPDX-License-Identifier: MIT
// Cost of many route reports in the receive pane. The main window runs on a fake port; each
// report goes the reply path from the classifier on: its bytes are turned into text and
// classified, and the receive handler's reply signal runs the window's handler (line appended,
// lamp lit, whole text selected). The 30 ms framing window is left out, so that 100,000 reports
// take seconds rather than an hour. The event loop turns after every TURN_EVERY reports (default
// 1: after each, as between replies on the line), so the window is laid out and painted.
// Usage: varnok-bench-growth REPORTS [TURN_EVERY]
// Prints: growth reports=<n> ms=<t> rss_before_kb=<n> rss_halfway_kb=<n> rss_after_kb=<n>
//         hwm_kb=<n> pane_chars=<n>
#include "benchsupport.h"
#include "fakeportconsole.h"
#include "link/receiveframer.h"
#include "mainwindowelements.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-growth: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = args.size() == 2 || args.size() == 3;
    const int reports = ok ? args[1].toInt(&ok) : 0;
    const int turnEvery = ok && args.size() == 3 ? args[2].toInt(&ok) : 1;
    if (!ok || reports <= 0 || turnEvery <= 0)
        fail("usage: varnok-bench-growth REPORTS [TURN_EVERY]");

    bench::FakePortConsole console;
    if (!console.start())
        fail("the main window did not start");
    MainWindow& window = console.window;
    ReceiveFramer* handler = console.handler;
    QCoreApplication::processEvents();

    // Every output, every input in turn, so lamps change with each report.
    QList<QByteArray> cycle;
    for (char out = '1'; out <= '4'; ++out)
        for (char in = '0'; in <= '3'; ++in)
            cycle << QByteArray("s") + out + in + "\r\n";

    const qint64 rssBefore = bench::statusField("self", "VmRSS");
    qint64 rssHalfway = 0;
    const std::int64_t startNs = bench::monotonicNs();
    for (int i = 0; i < reports; ++i) {
        emit handler->replyReceived(
            protocol::classify(protocol::replyText(cycle[i % cycle.size()])));
        if ((i + 1) % turnEvery == 0 || i + 1 == reports)
            QCoreApplication::processEvents();
        if (i + 1 == reports / 2)
            rssHalfway = bench::statusField("self", "VmRSS");
    }
    const std::int64_t endNs = bench::monotonicNs();

    // The last report is the newest line and the pane stays under its cap.
    const QString text = receivePane(window)->text();
    if (!text.endsWith(QStringLiteral("\r\nHDMI Out") +
                       QString::number((reports - 1) % 16 / 4 + 1) +
                       QStringLiteral(" -> HDMI In ") + QString::number((reports - 1) % 4 + 1)) ||
        text.size() > (1 << 20))
        fail("the receive pane does not end with the last report or exceeds its cap");

    std::printf("growth reports=%d ms=%.1f rss_before_kb=%lld rss_halfway_kb=%lld "
                "rss_after_kb=%lld hwm_kb=%lld pane_chars=%lld\n",
                reports, double(endNs - startNs) / 1e6, rssBefore, rssHalfway,
                bench::statusField("self", "VmRSS"), bench::statusField("self", "VmHWM"),
                static_cast<long long>(text.size()));
    return 0;
}
