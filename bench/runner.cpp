// SPDX-License-Identifier: MIT
// varnok-bench: runs every benchmark and prints one Markdown table of the figures against their
// targets. Targets are goals, not pass marks: a missed one is marked, the exit status is 0. The
// exit status is 1 only when a program measured misbehaves (wrong bytes, no lamp, a crash).
// Progress goes to stderr. Windows use the offscreen platform (QT_QPA_PLATFORM=offscreen), but for
// the start-up against the same widgets, which runs on a virtual X display (Xvfb, xcb platform).
// "varnok-bench startup [RUNS]" runs only the start-up and memory figures.
// "varnok-bench service [MINUTES]" runs only varnokd's, the scale run lasting MINUTES (1).
#include "benchsupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using bench::median;
using bench::monotonicNs;

void progress(const QString& text)
{
    std::fprintf(stderr, "varnok-bench: %s\n", qPrintable(text));
}

[[noreturn]] void fail(const QString& text)
{
    std::fprintf(stderr, "varnok-bench: FAILED: %s\n", qPrintable(text));
    std::exit(1);
}

// A process started by fork and exec in `directory`; its stdout is a pipe when `capture` is set,
// /dev/null otherwise. `environment` holds NAME=value entries added to this process's
// environment. `startNs` is taken immediately before the fork.
struct Child
{
    pid_t pid = -1;
    int out = -1;
    std::int64_t startNs = 0;
};

Child start(const QStringList& command, const QString& directory, bool capture,
            const QList<QByteArray>& environment = {})
{
    QList<QByteArray> args;
    for (const QString& a : command)
        args << a.toLocal8Bit();
    QList<char*> argv;
    for (QByteArray& a : args)
        argv << a.data();
    argv << nullptr;
    // Built before the fork: the child only calls what is safe there.
    QList<QByteArray> env = environment;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        if (std::none_of(environment.begin(), environment.end(),
                         [&name](const QByteArray& own) { return own.startsWith(name); }))
            env << entry;
    }
    QList<char*> envp;
    for (QByteArray& e : env)
        envp << e.data();
    envp << nullptr;
    const QByteArray dir = directory.toLocal8Bit();
    int pipeFds[2] = {-1, -1};
    if (capture && pipe2(pipeFds, O_CLOEXEC) != 0)
        fail(QStringLiteral("pipe"));
    Child child;
    child.startNs = monotonicNs();
    child.pid = fork();
    if (child.pid < 0)
        fail(QStringLiteral("fork"));
    if (child.pid == 0) {
        const int out = capture ? pipeFds[1] : open("/dev/null", O_WRONLY);
        if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || chdir(dir.constData()) != 0)
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (capture) {
        close(pipeFds[1]);
        child.out = pipeFds[0];
    }
    return child;
}

// Waits for the child to end; returns its whole stdout. A failed exit ends the run.
QByteArray finish(Child& child, const QString& name)
{
    QByteArray out;
    if (child.out >= 0) {
        char buffer[4096];
        for (ssize_t n; (n = read(child.out, buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                out.append(buffer, n);
            else if (errno != EINTR)
                break;
        }
        close(child.out);
        child.out = -1;
    }
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(QStringLiteral("%1 failed (status %2)").arg(name).arg(status));
    return out;
}

void stop(Child& child)
{
    if (child.pid <= 0)
        return;
    kill(child.pid, SIGTERM);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
}

// "name key=value key=value" lines, by name.
QMap<QByteArray, QMap<QByteArray, QByteArray>> parseFigures(const QByteArray& out)
{
    QMap<QByteArray, QMap<QByteArray, QByteArray>> figures;
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.isEmpty() || words[0].isEmpty())
            continue;
        QByteArray name = words[0].contains('=') ? QByteArray() : words[0];
        for (const QByteArray& w : words) {
            const qsizetype eq = w.indexOf('=');
            if (eq > 0)
                figures[name][w.left(eq)] = w.mid(eq + 1);
        }
    }
    return figures;
}

double number(const QMap<QByteArray, QByteArray>& fields, const char* key, const QString& what)
{
    bool ok = false;
    const double value = fields.value(key).toDouble(&ok);
    if (!ok)
        fail(QStringLiteral("%1: no figure \"%2\"").arg(what, QLatin1String(key)));
    return value;
}

// A directory holding "COMPORT" (COM1 chosen) and the simulated switch's COM1 link.
class SwitchDirectory
{
public:
    SwitchDirectory()
    {
        QFile comport(dir.filePath(QStringLiteral("COMPORT")));
        if (!comport.open(QIODevice::WriteOnly) || comport.write(" 0 \r\n") != 5)
            fail(QStringLiteral("cannot write COMPORT"));
        comport.close();
        const QString link = dir.filePath(QStringLiteral("COM1"));
        sim =
            start({QStringLiteral(VARNOK_SIM), QStringLiteral("--link"), link}, dir.path(), false);
        for (int i = 0; i < 500 && !QFileInfo(link).isSymLink(); ++i)
            QThread::msleep(10);
        if (!QFileInfo(link).isSymLink())
            fail(QStringLiteral("the simulated switch made no COM1 link"));
    }
    ~SwitchDirectory() { stop(sim); }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    Child sim;
};

// A virtual X display of its own (Xvfb on the first free display number), for as long as the
// object lives.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        // -displayfd: Xvfb picks a free number and writes it to stdout once it accepts clients.
        server = start({QStringLiteral("/usr/bin/Xvfb"), QStringLiteral("-displayfd"),
                        QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24"), QStringLiteral("-dpi"), QStringLiteral("96"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                       QDir::tempPath(), true);
        QByteArray number;
        char c = 0;
        for (ssize_t n; (n = read(server.out, &c, 1)) != 0 && c != '\n';) {
            if (n > 0)
                number.append(c);
            else if (errno != EINTR)
                break;
        }
        if (number.isEmpty())
            fail(QStringLiteral("Xvfb did not start"));
        name = ':' + number.trimmed();
    }
    ~VirtualDisplay()
    {
        close(server.out);
        stop(server);
    }
    QByteArray display() const { return name; }

private:
    Child server;
    QByteArray name;
};

struct Series
{
    QList<double> values;
    double mid() const { return median(values); }
    QString text(int decimals) const
    {
        return QStringLiteral("%1 (%2–%3)")
            .arg(mid(), 0, 'f', decimals)
            .arg(bench::quantile(values, 0), 0, 'f', decimals)
            .arg(bench::quantile(values, 1), 0, 'f', decimals);
    }
};

struct Row
{
    QString figure;
    QString console;
    QString reference;
    QString ratio;
    QString target;
    bool met = true;
};

QList<Row> rows;
QStringList notes;

QString fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

void startupAndMemory(int runs)
{
    progress(QStringLiteral("start-up and memory: %1 runs each, interleaved").arg(runs));
    SwitchDirectory directory;
    Series paint[2], frame[2], rss[2], hwm[2];
    const char* programs[2] = {VARNOK_BENCH_CONSOLE, VARNOK_BENCH_REFERENCE};
    // One unmeasured run each first, so both find the libraries in the page cache.
    for (int warm = 0; warm < 2; ++warm) {
        Child c = start({QLatin1String(programs[warm])}, directory.path(), true);
        finish(c, QLatin1String(programs[warm]));
    }
    for (int run = 0; run < runs; ++run) {
        for (int order = 0; order < 2; ++order) {
            const int which = (run + order) % 2; // alternate which one goes first
            Child c = start({QLatin1String(programs[which])}, directory.path(), true);
            const auto figures = parseFigures(finish(c, QLatin1String(programs[which])))[""];
            const QString what = QLatin1String(programs[which]);
            paint[which].values << (number(figures, "first_paint_ns", what) - double(c.startNs)) /
                                       1e6;
            frame[which].values << (number(figures, "frame_done_ns", what) - double(c.startNs)) /
                                       1e6;
            rss[which].values << number(figures, "vmrss_kb", what) / 1024;
            hwm[which].values << number(figures, "vmhwm_kb", what) / 1024;
        }
    }
    const auto add = [](const QString& figure, const Series s[2], int decimals,
                        const QString& unit) {
        const double ratio = s[0].mid() / s[1].mid();
        rows << Row{figure,          s[0].text(decimals) + unit,    s[1].text(decimals) + unit,
                    fixed(ratio, 2), QStringLiteral("ratio ≤ 1.3"), ratio <= 1.3};
    };
    add(QStringLiteral("Start-up: process start → first frame painted"), frame, 1, u" ms"_qs);
    add(QStringLiteral("Start-up: process start → first paint event"), paint, 1, u" ms"_qs);
    add(QStringLiteral("Memory after start-up: VmRSS"), rss, 1, u" MiB"_qs);
    add(QStringLiteral("Memory after start-up: VmHWM"), hwm, 1, u" MiB"_qs);
    notes << QStringLiteral("Start-up and memory: %1 runs of each program, alternating which "
                            "goes first, after one unmeasured run each; COMPORT selects COM1, a "
                            "link to the running varnok-sim.")
                 .arg(runs);
}

// The console against the plainest stock Qt program that builds the same widgets, both on a
// virtual X display as a user starts them: strictly alternating, console first.
void startupOnDisplay(int runs)
{
    progress(QStringLiteral("start-up on a display against the same widgets: %1 runs each, "
                            "alternating")
                 .arg(runs));
    SwitchDirectory directory;
    VirtualDisplay display;
    const QList<QByteArray> environment{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display.display()};
    Series mapped[2], frame[2], rss[2];
    const char* programs[2] = {VARNOK_BENCH_CONSOLE, VARNOK_BENCH_SAMEWIDGETS};
    const auto runOnce = [&](int which) {
        const QString what = QLatin1String(programs[which]);
        Child c = start({what}, directory.path(), true, environment);
        return std::pair{c.startNs, parseFigures(finish(c, what))[""]};
    };
    for (int which = 0; which < 2; ++which)
        runOnce(which); // unmeasured: the libraries and fonts into the page cache
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const QString what = QLatin1String(programs[which]);
            const auto [startNs, figures] = runOnce(which);
            mapped[which].values << (number(figures, "mapped_ns", what) - double(startNs)) / 1e6;
            frame[which].values << (number(figures, "frame_done_ns", what) - double(startNs)) / 1e6;
            rss[which].values << number(figures, "mapped_vmrss_kb", what) / 1024;
        }
    }
    const auto add = [](const QString& figure, const Series s[2], int decimals, const QString& unit,
                        double target) {
        const double ratio = s[0].mid() / s[1].mid();
        rows << Row{figure,
                    s[0].text(decimals) + unit,
                    s[1].text(decimals) + unit + u" (same widgets)"_qs,
                    fixed(ratio, 2),
                    QStringLiteral("ratio ≤ %1").arg(fixed(target, 2)),
                    ratio <= target};
    };
    add(QStringLiteral("Start-up on X: process start → window mapped"), mapped, 1, u" ms"_qs, 1.10);
    add(QStringLiteral("Start-up on X: process start → first frame painted"), frame, 1, u" ms"_qs,
        1.10);
    add(QStringLiteral("Memory on X when mapped: VmRSS"), rss, 1, u" MiB"_qs, 1.05);
    notes << QStringLiteral("Start-up on X: varnok-bench-console and varnok-bench-samewidgets "
                            "(the main window's widgets, fonts, texts and colours built by the "
                            "plainest stock Qt program) on Xvfb with the xcb platform, %1 runs "
                            "of each, console, same widgets, console, ..., after one unmeasured "
                            "run each; \"mapped\" is the window's first expose event.")
                 .arg(runs);
}

void line(int clicks, int reports, int replies, qsizetype floodBytes)
{
    progress(QStringLiteral("line: %1 clicks, %2 route reports, %3 replies and %4 bytes with the "
                            "heartbeat")
                 .arg(clicks)
                 .arg(reports)
                 .arg(replies)
                 .arg(floodBytes));
    QTemporaryDir work;
    Child c =
        start({QStringLiteral(VARNOK_BENCH_LINE), QString::number(clicks), QString::number(reports),
               QString::number(replies), QString::number(floodBytes)},
              work.path(), true);
    const auto figures = parseFigures(finish(c, QStringLiteral("varnok-bench-line")));
    const QString what = QStringLiteral("varnok-bench-line");

    const auto latency = [&](const char* name, const QString& figure, double scale, int decimals,
                             const QString& unit, double target, const QString& targetText) {
        const auto& f = figures[name];
        const double med = number(f, "median", what) * scale;
        rows << Row{figure,
                    QStringLiteral("%1 (%2–%3), p99 %4%5")
                        .arg(fixed(med, decimals), fixed(number(f, "min", what) * scale, decimals),
                             fixed(number(f, "max", what) * scale, decimals),
                             fixed(number(f, "p99", what) * scale, decimals), unit),
                    QString(),
                    QString(),
                    targetText,
                    med <= target};
    };
    latency("click_to_wire", QStringLiteral("Click to wire (%1 clicks)").arg(clicks), 1e-3, 3,
            u" ms"_qs, 1.0, u"median ≤ 1 ms"_qs);
    latency("reply_to_lamp", QStringLiteral("Reply to lamp (%1 reports)").arg(reports), 1, 2,
            u" ms"_qs, 33.0, u"median ≤ 33 ms"_qs);

    const auto gapText = [&](const char* name) {
        return QStringLiteral("%1 ms (%2 gaps over 5 ms)")
            .arg(fixed(number(figures[name], "max", what), 2),
                 fixed(number(figures[name], "over_5ms", what), 0));
    };
    const double repliesGap = number(figures["gap_during_replies"], "max", what);
    rows << Row{QStringLiteral("Longest event-loop gap, %1 route reports").arg(replies),
                gapText("gap_during_replies"),
                gapText("gap_idle") + u", nothing arriving"_qs,
                QString(),
                u"≤ 5 ms"_qs,
                repliesGap <= 5};
    const auto& flood = figures["gap_during_flood"];
    const double floodGap = number(flood, "max", what);
    rows << Row{QStringLiteral("Longest event-loop gap, %1 MiB raw text")
                    .arg(double(floodBytes) / (1 << 20)),
                gapText("gap_during_flood"),
                QString(),
                QString(),
                u"≤ 50 ms"_qs,
                floodGap <= 50};
    notes << QStringLiteral("Line: one run of varnok-bench-line on a pseudo-terminal; latencies "
                            "are median (min–max) and 99th percentile over the events; the "
                            "responsiveness reference is the same 1 ms heartbeat for %4 s before "
                            "the replies, the console open and idle. The flood "
                            "came in %1 replies over %2 ms; the pane then held %3 characters.")
                 .arg(fixed(number(flood, "chunks", what), 0),
                      fixed(number(flood, "duration_ms", what), 0),
                      fixed(number(flood, "pane_chars", what), 0))
                 .arg(fixed(number(figures["gap_idle"], "duration_ms", what) / 1000, 0));
}

void growth(int small, int large, int turnEvery, int runs)
{
    progress(
        QStringLiteral("growth: %1 and %2 reports, %3 runs each").arg(small).arg(large).arg(runs));
    QTemporaryDir work;
    Series ms[2], rssGrowth[2], pane[2], halfway, end;
    const int counts[2] = {small, large};
    for (int run = 0; run < runs; ++run)
        for (int which = 0; which < 2; ++which) {
            Child c = start({QStringLiteral(VARNOK_BENCH_GROWTH), QString::number(counts[which]),
                             QString::number(turnEvery)},
                            work.path(), true);
            const auto f = parseFigures(finish(c, QStringLiteral("varnok-bench-growth")))["growth"];
            const QString what = QStringLiteral("varnok-bench-growth");
            ms[which].values << number(f, "ms", what);
            rssGrowth[which].values
                << (number(f, "hwm_kb", what) - number(f, "rss_before_kb", what)) / 1024;
            pane[which].values << number(f, "pane_chars", what);
            if (which == 1) {
                halfway.values << (number(f, "rss_halfway_kb", what) -
                                   number(f, "rss_before_kb", what)) /
                                      1024;
                end.values << (number(f, "rss_after_kb", what) - number(f, "rss_before_kb", what)) /
                                  1024;
            }
        }
    const double timeRatio = ms[1].mid() / ms[0].mid();
    rows << Row{QStringLiteral("Growth: time for %1 → %2 route reports").arg(small).arg(large),
                ms[0].text(0) + u" ms → "_qs + ms[1].text(0) + u" ms"_qs,
                QString(),
                fixed(timeRatio, 2),
                u"ratio ≤ 12"_qs,
                timeRatio <= 12};
    const bool bounded = pane[1].mid() <= (1 << 20);
    rows << Row{QStringLiteral("Growth: peak memory above the shown window, %1 → %2 reports")
                    .arg(small)
                    .arg(large),
                rssGrowth[0].text(1) + u" MiB → "_qs + rssGrowth[1].text(1) + u" MiB"_qs,
                QString(),
                fixed(rssGrowth[1].mid() / std::max(rssGrowth[0].mid(), 0.1), 2),
                u"pane ≤ 1 MiB characters"_qs,
                bounded};
    notes << QStringLiteral("Growth: main window on the test fake port; each report is "
                            "classified and handed to the window's reply handler (the 30 ms "
                            "framing window left out); the event loop turns (layout, paint) "
                            "after every %1 reports. Pane characters at the end: %2 and %3. %4 "
                            "runs each, alternating. Memory is the peak resident set (VmHWM) "
                            "less the resident set before the first report. Bounded: in the "
                            "%5-report run the resident set grew by %6 MiB at half-way and %7 "
                            "MiB at the end.")
                 .arg(turnEvery)
                 .arg(fixed(pane[0].mid(), 0), fixed(pane[1].mid(), 0))
                 .arg(runs)
                 .arg(large)
                 .arg(fixed(halfway.mid(), 1), fixed(end.mid(), 1));
}

void longLine(qsizetype bytes, int chunk)
{
    progress(QStringLiteral("long line: one line without line breaks growing to %1 bytes, %2 at "
                            "a time")
                 .arg(bytes)
                 .arg(chunk));
    QTemporaryDir work;
    Child c = start(
        {QStringLiteral(VARNOK_BENCH_LONGLINE), QString::number(bytes), QString::number(chunk)},
        work.path(), true);
    const QString what = QStringLiteral("varnok-bench-longline");
    const auto f = parseFigures(finish(c, what))["longline"];
    const double gap = number(f, "max_gap_ms", what);
    rows << Row{QStringLiteral("Longest event-loop gap, one line growing to %1 MiB")
                    .arg(double(bytes) / (1 << 20)),
                QStringLiteral("%1 ms; %2 µs → %3 µs per append, first → last eighth")
                    .arg(fixed(gap, 2), fixed(number(f, "append_us_first", what), 0),
                         fixed(number(f, "append_us_last", what), 0)),
                QString(),
                QString(),
                u"≤ 50 ms"_qs,
                gap <= 50};
    notes << QStringLiteral("Long line: main window on the test fake port; %1 bytes of digits "
                            "per reply, classified and handed to the window's reply handler, one "
                            "reply per turn of the event loop (time-compressed: the line grows "
                            "as fast as the window takes it, not at 960 B/s), %2 ms in all. "
                            "Longest gap between two turns in each eighth of the line: %3 ms.")
                 .arg(chunk)
                 .arg(fixed(number(f, "ms", what), 0),
                      QString::fromLatin1(f.value("gap_eighths_ms")).replace(u',', u"; "_qs));
}

qint64 voluntarySwitches(pid_t pid)
{
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        total += std::max<qint64>(
            0, bench::statusField(QStringLiteral("%1/task/%2").arg(pid).arg(tid).toLatin1(),
                                  "voluntary_ctxt_switches"));
    return total;
}

void idle(int seconds)
{
    progress(QStringLiteral("idle: the console with COM1 open, %1 s").arg(seconds));
    SwitchDirectory directory;
    Child app = start({QStringLiteral(VARNOK_APP)}, directory.path(), false);
    QThread::msleep(2000); // start-up done, the window shown and painted
    Series perSecond;
    qint64 before = voluntarySwitches(app.pid);
    for (int s = 0; s < seconds; ++s) {
        QThread::msleep(1000);
        const qint64 now = voluntarySwitches(app.pid);
        perSecond.values << double(now - before);
        before = now;
    }
    if (kill(app.pid, 0) != 0)
        fail(QStringLiteral("the console ended during the idle run"));
    stop(app);
    rows << Row{QStringLiteral("Idle wake-ups (voluntary context switches), port open"),
                perSecond.text(1) + u" /s"_qs,
                QString(),
                QString(),
                u"≤ 1 /s"_qs,
                perSecond.mid() <= 1};
    notes << QStringLiteral("Idle: the varnok executable itself, COM1 open on varnok-sim, no "
                            "traffic; all its threads counted, each of %1 one-second windows.")
                 .arg(seconds);
}

// varnokd on simulated switches: one run of each varnok-bench-service figure (the scale run
// shortened to `scaleMinutes`).
void service(int rounds, int clients, int changes, double scaleMinutes)
{
    progress(QStringLiteral("varnokd: %1 route rounds, %2 clients × %3 changes, 50 switches for "
                            "%4 min")
                 .arg(rounds)
                 .arg(clients)
                 .arg(changes)
                 .arg(scaleMinutes));
    QTemporaryDir work;
    const QString what = QStringLiteral("varnok-bench-service");
    const auto run = [&](const QStringList& args) {
        Child c =
            start(QStringList{QStringLiteral(VARNOK_BENCH_SERVICE)} + args, work.path(), true);
        return parseFigures(finish(c, what));
    };
    const auto spread = [&](const QMap<QByteArray, QByteArray>& f) {
        return QStringLiteral("%1 (%2–%3), p99 %4 ms")
            .arg(fixed(number(f, "median", what), 2), fixed(number(f, "min", what), 2),
                 fixed(number(f, "max", what), 2), fixed(number(f, "p99", what), 2));
    };
    const auto latency = run({QStringLiteral("latency"), QString::number(rounds)});
    const double added = number(latency["latency_added"], "median", what);
    rows << Row{QStringLiteral("varnokd: route command → report (%1 rounds)").arg(rounds),
                spread(latency["latency_service"]),
                spread(latency["latency_direct"]) + u" (direct TCP)"_qs,
                QString(),
                u"≤ 2 ms added (median)"_qs,
                added <= 2};
    const auto fan =
        run({QStringLiteral("fanout"), QString::number(clients), QString::number(changes)});
    rows << Row{QStringLiteral("varnokd: report at the asker → last of %1 clients").arg(clients),
                spread(fan["fanout_asker_to_last"]),
                QString(),
                QString(),
                u"–"_qs,
                true};
    const auto scaled = run({QStringLiteral("scale"), QString::number(scaleMinutes)})["scale"];
    const double cpu = number(scaled, "cpu_percent", what);
    rows << Row{u"varnokd: processor, 50 switches × 4 clients polled every 5 s"_qs,
                QStringLiteral("%1 % of a core").arg(fixed(cpu, 2)),
                QString(),
                QString(),
                u"< 1 %"_qs,
                cpu < 1};
    rows << Row{u"varnokd: resident set per switch; growth over the run"_qs,
                QStringLiteral("%1 KiB; %2 KiB")
                    .arg(fixed(number(scaled, "per_switch_kib", what), 0),
                         fixed(number(scaled, "growth_kib", what), 0)),
                QString(),
                QString(),
                u"–"_qs,
                true};
    notes << QStringLiteral("varnokd: varnok-bench-service against varnok-sim --listen on "
                            "127.0.0.1. Latency: two simulators started alike, one behind "
                            "varnokd, one reached directly, one command on each per round "
                            "(which goes first alternating), rounds 45 ms apart; the target is "
                            "on the median of the per-round difference (%1 ms). Fan-out: client "
                            "0 sends the command and has the report as it arrives; the others "
                            "get it once the 30 ms framing window has classified it. Scale: "
                            "%2 min here (10 min in bench/findings.md); the resident set per "
                            "switch is that with 50 switches less that with none, over 50.")
                 .arg(fixed(added, 2))
                 .arg(scaleMinutes);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns on every start without one; a private one keeps the programs' output clean.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    signal(SIGPIPE, SIG_IGN);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args[1] == QLatin1String("startup")) {
        const int runs = args.size() > 2 ? args[2].toInt() : 8;
        startupOnDisplay(runs > 0 ? runs : 8);
        startupAndMemory(runs > 0 ? runs : 15);
    } else if (args.size() > 1 && args[1] == QLatin1String("service")) {
        const double minutes = args.size() > 2 ? args[2].toDouble() : 1;
        service(1000, 200, 200, minutes > 0 ? minutes : 1);
    } else {
        startupOnDisplay(8);
        startupAndMemory(15);
        line(1000, 1000, 1000, qsizetype(1) << 20);
        growth(10000, 100000, 100, 3);
        longLine(qsizetype(1) << 20, 10);
        idle(10);
        service(1000, 200, 200, 1);
    }

    std::printf("| Figure | Console: median (min–max) | Reference | Ratio | Target | Met |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& r : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(r.figure),
                    qPrintable(r.console),
                    qPrintable(r.reference.isEmpty() ? u"–"_qs : r.reference),
                    qPrintable(r.ratio.isEmpty() ? u"–"_qs : r.ratio), qPrintable(r.target),
                    r.met ? "yes" : "**no**");
    std::printf("\n");
    for (const QString& n : notes)
        std::printf("- %s\n", qPrintable(n));
    return 0;
}
