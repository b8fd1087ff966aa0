// SPDX-License-Identifier: MIT
// varnokd's MQTT bridge against a real mosquitto broker and varnok-sim on 127.0.0.1:
//   latency [COMMANDS]: a set topic published to the confirmed state arriving from the broker,
//     against the simulated switch's own answer to the same key command on a connection of its
//     own, in one run (median and 99th percentile); each command finds the line idle;
//   scale [SWITCHES] [SECONDS]: that many switches on one varnokd and one broker, each one's
//     front panel changing every 100 ms: messages a second arriving, CPU and memory of varnokd.
// Without arguments it runs both with their defaults (300 commands; 50 switches, 10 s).
#include "benchsupport.h"
#include "protocol/commands.h"
#include "service/mqttclient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>

#include <unistd.h>

namespace {

using Process = std::unique_ptr<QProcess>;

bool waitFor(const std::function<bool()>& done, int ms = 10000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-mqtt: %s\n", what);
    std::exit(1);
}

// The broker, the simulators and varnokd of one measurement, gone with it.
struct Rig
{
    QTemporaryDir temp;
    MqttConfig broker;
    Process mosquitto;
    std::vector<Process> sims;
    Process service;

    Rig()
    {
        broker.host = QStringLiteral("127.0.0.1");
        broker.port = freePort();
        QFile conf(temp.filePath(QStringLiteral("mosquitto.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            fail("no temporary folder");
        conf.write("listener " + QByteArray::number(broker.port) +
                   " 127.0.0.1\nallow_anonymous true\npersistence false\nuser root\n"
                   "max_queued_messages 100000\nset_tcp_nodelay true\n");
        conf.close();
        mosquitto = std::make_unique<QProcess>();
        mosquitto->start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), conf.fileName()});
        if (!waitFor([this] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, broker.port);
                return probe.waitForConnected(100);
            }))
            fail("mosquitto did not start");
    }
    ~Rig()
    {
        for (QProcess* process : {service.get(), mosquitto.get()}) {
            if (process) {
                process->terminate();
                process->waitForFinished();
            }
        }
        for (Process& sim : sims) {
            sim->terminate();
            sim->waitForFinished();
        }
    }
    // A simulator's "127.0.0.1:PORT".
    QByteArray startSim(const QStringList& arguments)
    {
        sims.push_back(std::make_unique<QProcess>());
        QProcess& sim = *sims.back();
        sim.start(QStringLiteral(VARNOK_SIM_PATH),
                  QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                      arguments);
        if (!waitFor([&sim] { return sim.canReadLine(); }))
            fail("varnok-sim did not start");
        return sim.readLine().trimmed().split(' ').last();
    }
    // varnokd serving switches b0, b1, ... each on its simulator.
    void startService(const QList<QByteArray>& simAddresses, int pollSeconds)
    {
        QByteArray text = "[mqtt]\nhost=127.0.0.1\nport=" + QByteArray::number(broker.port) + '\n';
        for (qsizetype i = 0; i < simAddresses.size(); ++i) {
            const QByteArray id = "b" + QByteArray::number(i);
            QDir(temp.path()).mkdir(QString::fromLatin1(id));
            text += '[' + id + "]\ndir=" + temp.filePath(QString::fromLatin1(id)).toUtf8() +
                    "\nport=tcp://" + simAddresses[i] +
                    "\nlisten=127.0.0.1:0\npoll=" + QByteArray::number(pollSeconds) + '\n';
        }
        QFile conf(temp.filePath(QStringLiteral("varnokd.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            fail("no configuration file");
        conf.write(text);
        conf.close();
        service = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), temp.path());
        service->setProcessEnvironment(environment);
        service->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service->start(QStringLiteral(VARNOKD_PATH), {QStringLiteral("--config"), conf.fileName()});
    }
};

// Counts and keeps what arrives on `filter`.
struct Listener
{
    MqttClient client;
    QHash<QString, QByteArray> last;
    qint64 received = 0;
    std::int64_t lastNs = 0;
    Listener(const MqttConfig& broker, const QString& filter)
        : client(broker, QStringLiteral("bench-%1").arg(getpid()), {}, {})
    {
        QObject::connect(&client, &MqttClient::connected, &client,
                         [this, filter] { client.subscribe(filter); });
        QObject::connect(&client, &MqttClient::message, &client,
                         [this](const QString& topic, const QByteArray& payload) {
                             lastNs = bench::monotonicNs();
                             ++received;
                             last.insert(topic, payload);
                         });
        client.start();
        if (!waitFor([this] { return client.isConnected(); }))
            fail("the bench's MQTT client did not connect");
    }
};

QString figures(const QList<double>& ms)
{
    return QStringLiteral("median %1 ms, p99 %2 ms (%3 samples)")
        .arg(bench::median(ms), 0, 'f', 3)
        .arg(bench::quantile(ms, 0.99), 0, 'f', 3)
        .arg(ms.size());
}

void latency(int commands)
{
    Rig rig;
    const QByteArray bridged = rig.startSim({});
    const QByteArray direct = rig.startSim({});
    rig.startService({bridged}, 0);
    Listener listener(rig.broker, QStringLiteral("varnok/b0/output/1"));
    const QString state = QStringLiteral("varnok/b0/output/1");
    if (!waitFor([&] { return listener.last.value(state) == "HDMI In 1"; }))
        fail("varnokd did not publish output 1");

    QTcpSocket sim;
    sim.connectToHost(QHostAddress::LocalHost, quint16(direct.split(':').last().toUInt()));
    if (!sim.waitForConnected(5000))
        fail("no connection to the direct simulator");

    QList<double> viaMqtt;
    QList<double> fromSwitch;
    for (int i = 0; i < commands; ++i) {
        const int input = i % 2 == 0 ? 2 : 1;
        const QByteArray expected = "HDMI In " + QByteArray::number(input);
        // The line idle, as a user's command finds it: the previous answer's framing window
        // (30 ms) has ended.
        waitFor([] { return false; }, 50);
        std::int64_t start = bench::monotonicNs();
        listener.client.publish(QStringLiteral("varnok/b0/output/1/set"), QByteArray::number(input),
                                false);
        if (!waitFor([&] { return listener.last.value(state) == expected; }))
            fail("a command was not confirmed");
        viaMqtt << double(listener.lastNs - start) / 1e6;

        QByteArray answer;
        start = bench::monotonicNs();
        sim.write(protocol::routingKeyCommand(protocol::routingButtonIndex(1, input + 1)));
        if (!waitFor([&] { return (answer += sim.readAll()).endsWith("\r\n"); }))
            fail("the simulator did not answer");
        fromSwitch << double(bench::monotonicNs() - start) / 1e6;
    }
    std::printf("| MQTT set -> confirmed state on the broker | %s |\n",
                qPrintable(figures(viaMqtt)));
    std::printf("| The simulated switch's own answer (direct TCP) | %s |\n",
                qPrintable(figures(fromSwitch)));
    std::printf("| Added by service, bridge and broker (median) | %.3f ms |\n",
                bench::median(viaMqtt) - bench::median(fromSwitch));
}

double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = file.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime: fields 14 and 15 of the line, 12 and 13 after the command's name.
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

void scale(int switches, int seconds)
{
    Rig rig;
    QList<QByteArray> addresses;
    for (int i = 0; i < switches; ++i)
        addresses << rig.startSim({QStringLiteral("--front-panel"), QStringLiteral("0.1")});
    rig.startService(addresses, 5);
    Listener listener(rig.broker, QStringLiteral("varnok/#"));
    if (!waitFor(
            [&] {
                int online = 0;
                for (int i = 0; i < switches; ++i)
                    online +=
                        listener.last.value(QStringLiteral("varnok/b%1/bridge").arg(i)) == "online";
                return online == switches;
            },
            30000))
        fail("not every switch came online");
    const QByteArray pid = QByteArray::number(rig.service->processId());
    const double cpuBefore = cpuSeconds(rig.service->processId());
    const qint64 before = listener.received;
    QElapsedTimer clock;
    clock.start();
    waitFor([] { return false; }, seconds * 1000);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds(rig.service->processId()) - cpuBefore;
    std::printf("| %d switches, front panels every 100 ms: messages received | %.0f a second |\n",
                switches, double(listener.received - before) / elapsed);
    std::printf("| varnokd CPU | %.1f %% of one core |\n", 100.0 * cpu / elapsed);
    std::printf("| varnokd memory: VmRSS, VmHWM | %.1f MiB, %.1f MiB |\n",
                double(bench::statusField(pid, "VmRSS")) / 1024.0,
                double(bench::statusField(pid, "VmHWM")) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    std::printf("| Figure | Value |\n|---|---|\n");
    if (mode.isEmpty() || mode == QLatin1String("latency"))
        latency(arguments.value(1, QStringLiteral("300")).toInt());
    if (mode.isEmpty() || mode == QLatin1String("scale"))
        scale(arguments.value(1, QStringLiteral("50")).toInt(),
              arguments.value(2, QStringLiteral("10")).toInt());
    return 0;
}
