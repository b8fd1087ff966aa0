// SPDX-License-Identifier: MIT
// Long sessions, for the figures a console left open for weeks must keep.
//
//   varnok-soak session REPLIES   The main window on a fake port, with the simulated switch's own
//                                 model answering: routing keys and now and then a status
//                                 request. Each answer goes the reply path from the classifier
//                                 on (the 30 ms framing window left out, so a million replies
//                                 take a minute, not a week).
//   varnok-soak line SECONDS      The main window on a real pseudo-terminal with varnok-sim
//                                 changing a route every millisecond, and a 1 ms heartbeat.
//
// Prints one "soak ..." line of figures; exits 1 when the console lost the newest text, let its
// receive pane outgrow the cap, or closed the line.
#include "benchsupport.h"
#include "fakeportconsole.h"
#include "link/receiveframer.h"
#include "link/serialport.h"
#include "mainwindowelements.h"
#include "protocol/commands.h"
#include "recordingmessageboxes.h"
#include "switchmodel.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

constexpr qsizetype paneCap = 1 << 20;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-soak: %s\n", what);
    std::exit(1);
}

int session(qint64 replies)
{
    bench::FakePortConsole console;
    if (!console.start())
        fail("the main window did not start");
    MainWindow& window = console.window;
    ReceiveFramer* handler = console.handler;

    sim::SwitchModel model;
    const qint64 rssStart = bench::statusField("self", "VmRSS");
    qint64 rssMax = rssStart;
    QList<qint64> rssQuarters; // after each quarter of the replies: flat once the pane is full
    QByteArray last;
    QElapsedTimer clock;
    clock.start();
    for (qint64 i = 0; i < replies; ++i) {
        // Mostly routing keys, every 97th a status request, as an operator's session goes.
        const QByteArray command =
            i % 97 == 96 ? protocol::statusRequest() : protocol::routingKeyCommand(int(i * 7 % 24));
        const QList<sim::Exchange> answers = model.feed(command);
        if (answers.size() != 1)
            fail("the simulated switch did not answer one command with one reply");
        last = answers.first().reply;
        emit handler->replyReceived(protocol::classify(protocol::replyText(last)));
        if (i % 100 == 99)
            QCoreApplication::processEvents();
        if (i % 50000 == 49999)
            rssMax = std::max(rssMax, bench::statusField("self", "VmRSS"));
        if ((i + 1) % (replies / 4 > 0 ? replies / 4 : 1) == 0 && rssQuarters.size() < 4)
            rssQuarters << bench::statusField("self", "VmRSS");
    }
    QCoreApplication::processEvents();
    const double seconds = double(clock.elapsed()) / 1000;

    // The newest reply is the end of the pane; the oldest lines made room for it.
    const QString text = receivePane(window)->text();
    const protocol::Reply newest = protocol::classify(protocol::replyText(last));
    QString expectedEnd;
    for (const protocol::Route& route : newest.routes)
        expectedEnd += QStringLiteral("\r\n") + protocol::routeLine(route);
    if (newest.kind == protocol::Reply::Kind::StatusReport)
        expectedEnd += QStringLiteral("\r\n");
    if (expectedEnd.isEmpty() || !text.endsWith(expectedEnd))
        fail("the receive pane does not end with the newest reply");
    if (text.size() > paneCap)
        fail("the receive pane outgrew its cap");
    QByteArray quarters;
    for (const qint64 kb : rssQuarters)
        quarters += (quarters.isEmpty() ? "" : ",") + QByteArray::number(kb);
    std::printf("soak session replies=%lld seconds=%.1f rss_start_kb=%lld rss_max_kb=%lld "
                "rss_quarters_kb=%s pane_chars=%lld\n",
                static_cast<long long>(replies), seconds, rssStart, rssMax, quarters.constData(),
                static_cast<long long>(text.size()));
    return 0;
}

int line(int seconds)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    QProcess simulator;
    simulator.setProgram(QStringLiteral(VARNOK_SIM_PATH));
    simulator.setArguments({QStringLiteral("--link"), link, QStringLiteral("--front-panel"),
                            QStringLiteral("0.001"), QStringLiteral("--seed"),
                            QStringLiteral("7")});
    simulator.setStandardOutputFile(QProcess::nullDevice());
    simulator.start();
    QElapsedTimer waiting;
    waiting.start();
    while (!QFileInfo::exists(link) && waiting.elapsed() < 5000)
        QTest::qWait(10);
    if (!QFileInfo::exists(link))
        fail("the simulated switch did not come up");
    QDir::setCurrent(dir.path());

    SerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    if (!port.isOpen())
        fail("the console could not open COM1");
    auto* handler = window.findChild<ReceiveFramer*>();
    qint64 handled = 0;
    QObject::connect(handler, &ReceiveFramer::replyReceived, &window, [&] { ++handled; });
    window.show();

    // The heartbeat: the longest time between two turns of the event loop.
    qint64 longestGapUs = 0;
    qint64 gapsOver5ms = 0;
    QElapsedTimer beat;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, &window, [&] {
        const qint64 gapUs = beat.nsecsElapsed() / 1000;
        longestGapUs = std::max(longestGapUs, gapUs);
        gapsOver5ms += gapUs > 5000;
        beat.restart();
    });
    QTest::qWait(500); // past start-up
    const qint64 rssStart = bench::statusField("self", "VmRSS");
    beat.start();
    heartbeat.start();
    // A plain event loop: QTest::qWait sleeps between its turns and would make gaps of its own.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    heartbeat.stop();
    const qint64 rssEnd = bench::statusField("self", "VmRSS");
    const bool stillOpen = port.isOpen();
    const QString text = receivePane(window)->text();
    simulator.terminate();
    simulator.waitForFinished(5000);

    if (!stillOpen)
        fail("the console lost the line");
    if (text.size() > paneCap)
        fail("the receive pane outgrew its cap");
    std::printf("soak line seconds=%d replies_handled=%lld longest_gap_ms=%.1f gaps_over_5ms=%lld "
                "rss_start_kb=%lld "
                "rss_end_kb=%lld pane_chars=%lld\n",
                seconds, static_cast<long long>(handled), double(longestGapUs) / 1000,
                static_cast<long long>(gapsOver5ms), rssStart, rssEnd,
                static_cast<long long>(text.size()));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = args.size() == 3;
    const qint64 count = ok ? args[2].toLongLong(&ok) : 0;
    if (ok && count > 0 && args[1] == QLatin1String("session"))
        return session(count);
    if (ok && count > 0 && args[1] == QLatin1String("line"))
        return line(int(count));
    fail("usage: varnok-soak session REPLIES | varnok-soak line SECONDS");
}
