// SPDX-License-Identifier: MIT
#include "runservice.h"

#include "link/language.h"
#include "mqttbridge.h"
#include "protocol/terminationsignals.h"
#include "serviceconfig.h"
#include "serviceoptions.h"
#include "switchservice.h"

#include <QCoreApplication>

#include <systemd/sd-daemon.h>

#include <csignal>
#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
}

// Reads the configuration again: a file with faults changes nothing.
void reload(SwitchService& service, MqttBridges& bridges, const QString& path)
{
    sd_notify(0, "RELOADING=1");
    const ServiceConfig config = ServiceConfig::read(path);
    for (const QString& line : config.faultLines())
        printLine(stderr, line);
    if (config.faults.isEmpty()) {
        printLine(stderr, QCoreApplication::translate("varnokd", "%1 read again").arg(path));
        bridges.configure(config.mqtt, config.switches);
        service.apply(config.switches);
    } else {
        printLine(stderr, QCoreApplication::translate(
                              "varnokd", "%1 has faults: the switches are kept as they were")
                              .arg(path));
    }
    sd_notify(0, "READY=1");
}

} // namespace

int runService(int& argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN); // a client gone is a failed write, not the service's end
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnokd"));
    installTranslations(app);
    QString usageError;
    const std::optional<ServiceOptions> options =
        parseServiceOptions(QCoreApplication::arguments().mid(1), usageError);
    if (!options) {
        printLine(stderr, QStringLiteral("varnokd: ") + usageError);
        return 1;
    }
    if (options->help) {
        std::fputs(qPrintable(serviceUsage()), stdout);
        return 0;
    }
    if (options->version) {
        printLine(stdout, QStringLiteral("varnokd " VARNOK_VERSION));
        return 0;
    }
    const ServiceConfig config = ServiceConfig::read(options->configPath);
    for (const QString& line : config.faultLines())
        printLine(stderr, line);
    if (options->checkOnly) {
        if (config.faults.isEmpty())
            printLine(stdout, QCoreApplication::translate("varnokd", "%1: %n switch(es), no fault",
                                                          nullptr, int(config.switches.size()))
                                  .arg(config.path));
        return config.faults.isEmpty() ? 0 : 1;
    }
    if (!config.faults.isEmpty())
        return 1;

    SwitchService service;
    QObject::connect(&service, &SwitchService::note, &app,
                     [](const QString& line) { printLine(stderr, line); });
    MqttBridges bridges(service);
    QObject::connect(&bridges, &MqttBridges::note, &app,
                     [](const QString& line) { printLine(stderr, line); });
    bridges.configure(config.mqtt, config.switches);
    TerminationSignals signalsReceived;
    QObject::connect(&signalsReceived, &TerminationSignals::received, &app,
                     [&service, &bridges, &options](int number) {
                         if (number == SIGHUP) {
                             reload(service, bridges, options->configPath);
                             return;
                         }
                         sd_notify(0, "STOPPING=1");
                         service.stopAll(); // every lock file goes before the exit
                         QCoreApplication::exit(0);
                     });
    printLine(stderr, QCoreApplication::translate("varnokd", "varnokd %1: %n switch(es) from %2",
                                                  nullptr, int(config.switches.size()))
                          .arg(QStringLiteral(VARNOK_VERSION), config.path));
    service.apply(config.switches);
    sd_notify(0, "READY=1");
    return QCoreApplication::exec();
}
