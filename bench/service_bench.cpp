// SPDX-License-Identifier: MIT
// varnokd against simulated switches on 127.0.0.1: latency through the service, fan-out to many
// clients, and many switches at once.
// Usage: varnok-bench-service latency [ROUNDS]
//        varnok-bench-service burst [ROUNDS]
//        varnok-bench-service fanout [CLIENTS] [CHANGES]
//        varnok-bench-service scale [MINUTES] [SWITCHES] [CLIENTS_PER_SWITCH]
// Every switch is a `varnok-sim --listen 127.0.0.1:0`; varnokd runs with a configuration written
// here (listen=127.0.0.1:0, poll 5 s) and its session logs in a temporary folder. Clients are plain
// sockets read with poll(2) and timed by the kernel's receive time of each read, so the figures
// are the service's and the simulator's, not a client library's nor this loop's. Prints
// "name key=value ..." lines for varnok-bench, then a Markdown table.
// Exits 1 when a program misbehaves (no answer, wrong report, a client dropped).
#include "benchsupport.h"
#include "protocol/commands.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using bench::monotonicNs;

// The clock of the kernel's receive times (SO_TIMESTAMPNS), for times compared with them.
std::int64_t realtimeNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

QList<pid_t> children; // stopped by SIGTERM at exit, whatever the outcome

void stopChildren()
{
    for (const pid_t pid : std::as_const(children))
        kill(pid, SIGTERM);
    for (const pid_t pid : std::as_const(children)) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    children.clear();
}

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "varnok-bench-service: %s\n", qPrintable(what));
    stopChildren();
    std::exit(1);
}

void sleepMs(int ms)
{
    const timespec ts{ms / 1000, long(ms % 1000) * 1'000'000};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &ts, nullptr);
}

// Starts `command` with stdout and stderr into `output`, `environment` (NAME=value) added.
pid_t spawn(const QStringList& command, const QString& output, const QByteArrayList& environment)
{
    QByteArrayList args;
    for (const QString& a : command)
        args << a.toLocal8Bit();
    QList<char*> argv;
    for (QByteArray& a : args)
        argv << a.data();
    argv << nullptr;
    QByteArrayList env = environment;
    for (char** e = environ; *e; ++e)
        env << QByteArray(*e); // the first of a name wins: ours come first
    QList<char*> envp;
    for (QByteArray& e : env)
        envp << e.data();
    envp << nullptr;
    const int out = open(QFile::encodeName(output).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0)
        fail(QStringLiteral("cannot write %1").arg(output));
    const pid_t pid = fork();
    if (pid < 0)
        fail(QStringLiteral("fork"));
    if (pid == 0) {
        if (dup2(out, STDOUT_FILENO) < 0 || dup2(out, STDERR_FILENO) < 0)
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out);
    children << pid;
    return pid;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits (10 s at most) until `path` holds `count` matches of `pattern`; returns the matches.
QList<QRegularExpressionMatch> waitFor(const QString& path, const QString& pattern, int count = 1)
{
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    for (int waited = 0; waited < 10000; waited += 10) {
        QList<QRegularExpressionMatch> found;
        for (auto it = expression.globalMatch(QString::fromUtf8(readAll(path))); it.hasNext();)
            found << it.next();
        if (found.size() >= count)
            return found;
        sleepMs(10);
    }
    fail(QStringLiteral("%1: waited 10 s for %2 × \"%3\"").arg(path).arg(count).arg(pattern));
}

// A simulated switch on 127.0.0.1; its TCP port.
quint16 startSimulator(const QString& folder, int number)
{
    const QString log = QStringLiteral("%1/sim-%2.out").arg(folder).arg(number);
    spawn({QStringLiteral(VARNOK_SIM), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")},
          log, {});
    return quint16(waitFor(log, QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"))
                       .constFirst()
                       .captured(1)
                       .toUInt());
}

// varnokd's configuration: switch "sN" on the simulator at ports[N], its front on any free port.
void writeConfig(const QString& folder, const QList<quint16>& ports)
{
    QByteArray text;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const QString dir = QStringLiteral("%1/s%2").arg(folder).arg(i);
        QDir().mkpath(dir);
        text += QStringLiteral("[s%1]\ndir=%2\nport=tcp://127.0.0.1:%3\nlisten=127.0.0.1:0\n"
                               "poll=5\n\n")
                    .arg(i)
                    .arg(dir)
                    .arg(ports[i])
                    .toUtf8();
    }
    QFile file(folder + QStringLiteral("/varnokd.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        fail(QStringLiteral("cannot write the configuration"));
}

struct Service
{
    pid_t pid = -1;
    QString log;
};

Service startService(const QString& folder)
{
    Service service;
    service.log = folder + QStringLiteral("/varnokd.err");
    service.pid = spawn({QStringLiteral(VARNOKD), QStringLiteral("--config"),
                         folder + QStringLiteral("/varnokd.conf")},
                        service.log,
                        {"XDG_STATE_HOME=" + QFile::encodeName(folder),
                         // its log lines are read here in English
                         "LC_ALL=C.UTF-8", "LANGUAGE="});
    return service;
}

// Waits until each of `switches` switches listens and has its line open; their front ports.
QList<quint16> waitForSwitches(const Service& service, int switches)
{
    QList<quint16> fronts(switches);
    for (const auto& m :
         waitFor(service.log, QStringLiteral("^s(\\d+): listening on 127\\.0\\.0\\.1:(\\d+)$"),
                 switches))
        fronts[m.captured(1).toInt()] = quint16(m.captured(2).toUInt());
    waitFor(service.log, QStringLiteral("^s\\d+: .* is open$"), switches);
    return fronts;
}

// A client: a TCP connection to 127.0.0.1 and the bytes read from it not yet taken.
struct Client
{
    int fd = -1;
    QByteArray pending;
    std::int64_t readNs = 0; // when the kernel received the bytes last read (CLOCK_REALTIME)
    std::int64_t gotNs = 0;  // the same for the awaited line
};

Client connectTo(quint16 port)
{
    Client client;
    client.fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (client.fd < 0 ||
        ::connect(client.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        fail(QStringLiteral("cannot connect to 127.0.0.1:%1").arg(port));
    const int on = 1;
    setsockopt(client.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // Each read says when its bytes reached the socket: what a client is given is timed by the
    // kernel, not by when this loop came round to it.
    setsockopt(client.fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    fcntl(client.fd, F_SETFL, O_NONBLOCK);
    return client;
}

void send(const Client& client, const QByteArray& bytes)
{
    if (::write(client.fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        fail(QStringLiteral("a client's write failed"));
}

// Reads what each client has; false when one was closed by the far end.
bool drain(QList<Client>& clients, const QList<pollfd>& ready)
{
    char buffer[4096];
    for (qsizetype i = 0; i < clients.size(); ++i) {
        if (!(ready[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        for (;;) {
            iovec data{buffer, sizeof buffer};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
            msghdr message{};
            message.msg_iov = &data;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(clients[i].fd, &message, 0);
            if (n > 0) {
                clients[i].pending.append(buffer, n);
                const cmsghdr* stamp = CMSG_FIRSTHDR(&message);
                if (!stamp || stamp->cmsg_level != SOL_SOCKET ||
                    stamp->cmsg_type != SCM_TIMESTAMPNS)
                    fail(QStringLiteral("a read came without its time of arrival"));
                timespec ts{};
                std::memcpy(&ts, CMSG_DATA(stamp), sizeof ts);
                clients[i].readNs = std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
            } else if (n == 0)
                return false;
            else
                break; // EAGAIN: all read
        }
    }
    return true;
}

// Waits until every client in `clients` has read `line`, noting when each did; 2 s at most.
void awaitLine(QList<Client>& clients, const QByteArray& line)
{
    QList<pollfd> fds;
    for (const Client& c : std::as_const(clients))
        fds << pollfd{c.fd, POLLIN, 0};
    qsizetype waiting = clients.size();
    for (Client& c : clients)
        c.gotNs = 0;
    const std::int64_t deadline = monotonicNs() + 2'000'000'000;
    while (waiting > 0) {
        const int timeout = int((deadline - monotonicNs()) / 1'000'000);
        if (timeout <= 0)
            fail(QStringLiteral("%1 of %2 clients did not get %3 within 2 s")
                     .arg(waiting)
                     .arg(clients.size())
                     .arg(QString::fromLatin1(line.trimmed())));
        if (poll(fds.data(), nfds_t(fds.size()), timeout) < 0 && errno != EINTR)
            fail(QStringLiteral("poll"));
        if (!drain(clients, fds))
            fail(QStringLiteral("the service closed a client"));
        for (Client& c : clients) {
            if (c.gotNs != 0)
                continue;
            const qsizetype at = c.pending.indexOf(line);
            if (at >= 0) {
                c.gotNs = c.readNs;
                c.pending.remove(0, at + line.size());
                --waiting;
            } else if (c.pending.size() > 4096) {
                fail(QStringLiteral("a client got something else: %1")
                         .arg(QString::fromLatin1(c.pending.left(64))));
            }
        }
    }
}

// Round `round`'s route: output 1 to 4 in turn, each to another input than before.
std::pair<QByteArray, QByteArray> route(int round)
{
    const int output = round % 4 + 1;
    const int input = (round / 4 + 1) % 4; // 0 to 3, as the report spells it
    const QByteArray report = 's' + QByteArray::number(output) + QByteArray::number(input) + "\r\n";
    return {protocol::routingKeyCommand(protocol::routingButtonIndex(output, input + 2)), report};
}

double ms(std::int64_t ns)
{
    return double(ns) / 1e6;
}

void printFigure(const char* name, const QList<double>& values)
{
    std::printf("%s median=%.3f p99=%.3f min=%.3f max=%.3f n=%lld\n", name, bench::median(values),
                bench::quantile(values, 0.99), bench::quantile(values, 0),
                bench::quantile(values, 1), static_cast<long long>(values.size()));
}

void printRow(const QString& figure, const QList<double>& values, const QString& target = {})
{
    std::printf("| %s | %.2f | %.2f | %.2f–%.2f | %s |\n", qPrintable(figure),
                bench::median(values), bench::quantile(values, 0.99), bench::quantile(values, 0),
                bench::quantile(values, 1), qPrintable(target.isEmpty() ? u"–"_qs : target));
}

// Two simulators started alike, one behind varnokd and one reached directly: a client of each.
QList<Client> twoPaths(const QString& folder)
{
    const QList<quint16> sims{startSimulator(folder, 0), startSimulator(folder, 1)};
    writeConfig(folder, {sims[0]});
    const Service service = startService(folder);
    const quint16 front = waitForSwitches(service, 1).constFirst();
    return {connectTo(front), connectTo(sims[1])};
}

// Two simulators started alike, one behind varnokd and one reached directly; each round sends one
// route command on each path, which goes first alternating, and times it to its report. Rounds
// are 45 ms apart, past the 30 ms framing window after which the service sends the next command.
int latency(int rounds)
{
    QTemporaryDir folder;
    QList<Client> paths = twoPaths(folder.path()); // 0: through varnokd, 1: direct
    QList<double> times[2];
    QList<double> added;
    const int warmUp = 20;
    for (int round = 0; round < warmUp + rounds; ++round) {
        const auto [command, report] = route(round);
        double took[2] = {};
        for (int turn = 0; turn < 2; ++turn) {
            const int path = (round + turn) % 2;
            QList<Client> one{paths[path]};
            const std::int64_t sent = realtimeNs();
            send(one[0], command);
            awaitLine(one, report);
            paths[path].pending = one[0].pending;
            took[path] = ms(one[0].gotNs - sent);
        }
        if (round >= warmUp) {
            times[0] << took[0];
            times[1] << took[1];
            added << took[0] - took[1];
        }
        sleepMs(45);
    }
    printFigure("latency_service", times[0]);
    printFigure("latency_direct", times[1]);
    printFigure("latency_added", added);
    std::printf("\n| Route command → its report, %d rounds (ms) | median | p99 | min–max | target "
                "|\n|---|---|---|---|---|\n",
                rounds);
    printRow(QStringLiteral("through varnokd"), times[0]);
    printRow(QStringLiteral("direct TCP"), times[1]);
    printRow(QStringLiteral("added by varnokd (same round)"), added, u"median ≤ 2 ms"_qs);
    stopChildren();
    return 0;
}

// Round `round`'s burst: all four outputs in one write, to inputs 3 4 1 2 in even rounds and
// 1 2 3 4 in odd ones, so each round moves every output; the four reports in output order.
std::pair<QByteArray, QByteArrayList> burstRoutes(int round)
{
    QByteArray commands;
    QByteArrayList reports;
    for (int output = 1; output <= 4; ++output) {
        const int input = (output - 1 + (round % 2 ? 0 : 2)) % 4; // 0 to 3, as the report spells it
        commands += protocol::routeCommand(output, input + 1);
        reports << 's' + QByteArray::number(output) + QByteArray::number(input) + "\r\n";
    }
    return {commands, reports};
}

// Like latency, but each round writes four route commands at once on each path and times them to
// the last of their four reports. Ten minutes at most: the rounds done by then are counted.
int burst(int rounds)
{
    QTemporaryDir folder;
    QList<Client> paths = twoPaths(folder.path()); // 0: through varnokd, 1: direct
    QList<double> times[2];
    QList<double> added;
    const int warmUp = 20;
    const std::int64_t stopAt = monotonicNs() + 600'000'000'000;
    for (int round = 0; round < warmUp + rounds && monotonicNs() < stopAt; ++round) {
        const auto [commands, reports] = burstRoutes(round);
        double took[2] = {};
        for (int turn = 0; turn < 2; ++turn) {
            const int path = (round + turn) % 2;
            QList<Client> one{paths[path]};
            const std::int64_t sent = realtimeNs();
            send(one[0], commands);
            for (const QByteArray& report : reports) {
                // A report read along with an earlier one is not waited for again.
                const qsizetype at = one[0].pending.indexOf(report);
                if (at >= 0)
                    one[0].pending.remove(0, at + report.size());
                else
                    awaitLine(one, report);
            }
            paths[path].pending = one[0].pending;
            took[path] = ms(one[0].readNs - sent); // the read that brought the last report
        }
        if (round >= warmUp) {
            times[0] << took[0];
            times[1] << took[1];
            added << took[0] - took[1];
        }
        sleepMs(45);
    }
    printFigure("burst_service", times[0]);
    printFigure("burst_direct", times[1]);
    printFigure("burst_added", added);
    std::printf(
        "\n| Four route commands in one write → the last of their reports, %lld rounds (ms) "
        "| median | p99 | min–max | target |\n|---|---|---|---|---|\n",
        static_cast<long long>(times[0].size()));
    printRow(QStringLiteral("through varnokd"), times[0]);
    printRow(QStringLiteral("direct TCP"), times[1]);
    printRow(QStringLiteral("added by varnokd (same round)"), added);
    stopChildren();
    return 0;
}

// `clients` clients on one switch; client 0 sends a route command, all of them are to get its
// report: client 0 as the bytes arrive, the others once the service's framing window has
// classified it. Times from client 0's answer (the report on the line, forwarded at once) to the
// first and the last other client having it.
int fanout(int clientCount, int changes)
{
    QTemporaryDir folder;
    writeConfig(folder.path(), {startSimulator(folder.path(), 0)});
    const Service service = startService(folder.path());
    const quint16 front = waitForSwitches(service, 1).constFirst();
    QList<Client> clients;
    for (int i = 0; i < clientCount; ++i)
        clients << connectTo(front);
    waitFor(service.log, QStringLiteral("connected \\(%1 ").arg(clientCount));
    QList<double> toAnswer, toFirst, toLast, spread;
    const int warmUp = 5;
    for (int change = 0; change < warmUp + changes; ++change) {
        const auto [command, report] = route(change);
        const std::int64_t sent = realtimeNs();
        send(clients[0], command);
        awaitLine(clients, report);
        std::int64_t first = INT64_MAX, last = 0;
        for (qsizetype i = 1; i < clients.size(); ++i) {
            first = std::min(first, clients[i].gotNs);
            last = std::max(last, clients[i].gotNs);
        }
        if (change >= warmUp) {
            toAnswer << ms(clients[0].gotNs - sent);
            toFirst << ms(first - clients[0].gotNs);
            toLast << ms(last - clients[0].gotNs);
            spread << ms(last - first);
        }
        sleepMs(10);
    }
    printFigure("fanout_command_to_asker", toAnswer);
    printFigure("fanout_asker_to_first", toFirst);
    printFigure("fanout_asker_to_last", toLast);
    printFigure("fanout_first_to_last", spread);
    std::printf("\n| Fan-out, %d clients, %d changes (ms) | median | p99 | min–max | target "
                "|\n|---|---|---|---|---|\n",
                clientCount, changes);
    printRow(QStringLiteral("client 0's command → its report"), toAnswer);
    printRow(QStringLiteral("report at client 0 → first other client"), toFirst);
    printRow(QStringLiteral("report at client 0 → last client"), toLast);
    printRow(QStringLiteral("first → last client"), spread);
    stopChildren();
    return 0;
}

double processorSeconds(pid_t pid)
{
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    // After the command's closing parenthesis: utime is the 12th field, stime the 13th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

qint64 rssKiB(pid_t pid)
{
    return bench::statusField(QByteArray::number(pid), "VmRSS");
}

// `switches` simulators and one varnokd, started with no switch (its resident set then) and given
// them all by SIGHUP; `perSwitch` clients on each, all read. Then `minutes` of nothing but the
// service's polls: processor time and the resident set every 10 s.
int scale(double minutes, int switches, int perSwitch)
{
    QTemporaryDir folder;
    QList<quint16> sims;
    for (int i = 0; i < switches; ++i)
        sims << startSimulator(folder.path(), i);
    writeConfig(folder.path(), {});
    const Service service = startService(folder.path());
    waitFor(service.log, QStringLiteral("^varnokd .*: 0 switch"));
    sleepMs(2000);
    const qint64 rssEmpty = rssKiB(service.pid);
    writeConfig(folder.path(), sims);
    kill(service.pid, SIGHUP);
    const QList<quint16> fronts = waitForSwitches(service, switches);
    QList<Client> clients;
    for (const quint16 front : fronts)
        for (int i = 0; i < perSwitch; ++i)
            clients << connectTo(front);
    waitFor(service.log, QStringLiteral("connected \\(%1 ").arg(perSwitch), switches);
    QList<pollfd> fds;
    for (const Client& c : std::as_const(clients))
        fds << pollfd{c.fd, POLLIN, 0};
    // Every line's first status request answered; the routing it brought is not counted.
    for (const std::int64_t settled = monotonicNs() + 5'000'000'000; monotonicNs() < settled;) {
        poll(fds.data(), nfds_t(fds.size()), 100);
        if (!drain(clients, fds))
            fail(QStringLiteral("the service closed a client"));
        for (Client& c : clients)
            c.pending.clear();
    }
    const qint64 rssStart = rssKiB(service.pid);
    const double cpuStart = processorSeconds(service.pid);
    const std::int64_t startNs = monotonicNs();
    const std::int64_t endNs = startNs + std::int64_t(minutes * 60e9);
    QList<double> samples{double(rssStart)};
    std::int64_t nextSample = startNs + 10'000'000'000;
    qint64 bytesToClients = 0;
    while (monotonicNs() < endNs) {
        if (poll(fds.data(), nfds_t(fds.size()), 1000) < 0 && errno != EINTR)
            fail(QStringLiteral("poll"));
        if (!drain(clients, fds))
            fail(QStringLiteral("the service closed a client"));
        for (Client& c : clients) {
            bytesToClients += c.pending.size();
            c.pending.clear();
        }
        if (monotonicNs() >= nextSample) {
            samples << double(rssKiB(service.pid));
            nextSample += 10'000'000'000;
        }
    }
    const double seconds = double(monotonicNs() - startNs) / 1e9;
    const double cpuPercent = 100 * (processorSeconds(service.pid) - cpuStart) / seconds;
    const qint64 rssEnd = rssKiB(service.pid);
    samples << double(rssEnd);
    const auto polls =
        waitFor(folder.path() + QStringLiteral("/sim-0.out"), QStringLiteral("^<- bc "), 1).size();
    const double perSwitchKiB = double(rssStart - rssEmpty) / switches;
    const double growth = double(rssEnd - rssStart);
    const double low = *std::min_element(samples.begin(), samples.end());
    const double high = *std::max_element(samples.begin(), samples.end());
    std::printf("scale switches=%d clients=%lld seconds=%.0f cpu_percent=%.3f rss_empty_kib=%lld "
                "rss_start_kib=%lld rss_end_kib=%lld rss_min_kib=%.0f rss_max_kib=%.0f "
                "per_switch_kib=%.1f growth_kib=%.0f bytes_to_clients=%lld sim0_status=%lld\n",
                switches, static_cast<long long>(clients.size()), seconds, cpuPercent,
                static_cast<long long>(rssEmpty), static_cast<long long>(rssStart),
                static_cast<long long>(rssEnd), low, high, perSwitchKiB, growth,
                static_cast<long long>(bytesToClients), static_cast<long long>(polls));
    std::printf("rss_samples_kib");
    for (qsizetype i = 0; i < samples.size(); ++i)
        std::printf("%s%.0f", i == 0 ? " values=" : ",", samples[i]);
    std::printf("\n\n| Scale: %d switches × %d clients, %.1f min, polling every 5 s | figure | "
                "target |\n|---|---|---|\n",
                switches, perSwitch, seconds / 60);
    std::printf("| varnokd's processor time | %.2f %% of a core | < 1 %% |\n", cpuPercent);
    std::printf("| resident set, no switch → %d switches | %.1f → %.1f MiB | – |\n", switches,
                double(rssEmpty) / 1024, double(rssStart) / 1024);
    std::printf("| resident set per switch (%d clients each) | %.0f KiB | – |\n", perSwitch,
                perSwitchKiB);
    std::printf("| resident set over the run: start → end (min–max) | %.1f → %.1f (%.1f–%.1f) "
                "MiB | no growth |\n",
                double(rssStart) / 1024, double(rssEnd) / 1024, low / 1024, high / 1024);
    std::printf("| bytes sent to clients (nothing changed) | %lld | 0 |\n",
                static_cast<long long>(bytesToClients));
    stopChildren();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    signal(SIGPIPE, SIG_IGN);
    const QByteArray what = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const auto arg = [&](int i, double fallback) {
        return argc > i ? std::atof(argv[i]) : fallback;
    };
    if (what == "latency" && arg(2, 1000) > 0)
        return latency(int(arg(2, 1000)));
    if (what == "burst" && arg(2, 200) > 0)
        return burst(int(arg(2, 200)));
    if (what == "fanout" && arg(2, 200) > 1 && arg(3, 200) > 0)
        return fanout(int(arg(2, 200)), int(arg(3, 200)));
    if (what == "scale" && arg(2, 10) > 0 && arg(3, 50) > 0 && arg(4, 4) > 0)
        return scale(arg(2, 10), int(arg(3, 50)), int(arg(4, 4)));
    std::fprintf(stderr, "usage: varnok-bench-service latency [ROUNDS]\n"
                         "       varnok-bench-service burst [ROUNDS]\n"
                         "       varnok-bench-service fanout [CLIENTS] [CHANGES]\n"
                         "       varnok-bench-service scale [MINUTES] [SWITCHES] "
                         "[CLIENTS_PER_SWITCH]\n");
    return 1;
}
