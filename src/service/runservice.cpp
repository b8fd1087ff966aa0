// SPDX-License-Identifier: MIT
#include "runservice.h"

#include "link/language.h"
#include "mqttbridges.h"
#include "protocol/terminationsignals.h"
#include "serviceconfig.h"
#include "servicelog.h"
#include "serviceoptions.h"
#include "servicestatus.h"
#include "switchservice.h"
#include "webpanel.h"

#include <QCoreApplication>
#include <QTranslator>

#include <systemd/sd-daemon.h>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

void printLine(FILE* stream, const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
}

// The web panel as `config` asks: none, the one running (new access settings), or a new one on
// another address, following the switches already served and those to come.
void applyWeb(std::unique_ptr<WebPanel>& panel, const ServiceConfig& config, SwitchService& service)
{
    if (panel && config.web && panel->config().listenHost == config.web->listenHost &&
        panel->config().listenPort == config.web->listenPort &&
        panel->config().hosts == config.web->hosts &&
        panel->config().certFile == config.web->certFile &&
        panel->config().keyFile == config.web->keyFile) {
        panel->setConfig(*config.web);
        return;
    }
    panel.reset();
    if (!config.web)
        return;
    panel = std::make_unique<WebPanel>(*config.web);
    WebPanel* web = panel.get();
    QObject::connect(&service, &SwitchService::switchStarted, web, &WebPanel::attach);
    QObject::connect(&service, &SwitchService::switchStopping, web, &WebPanel::detach);
    for (const SwitchConfig& item : config.switches) {
        if (SharedLine* line = service.line(item.id))
            web->attach(item, *line);
    }
    web->start();
}

QString panelUrl(const ServiceConfig& config)
{
    return config.web ? config.web->baseUrl() : QString();
}

// Reads the configuration again: a file with faults changes nothing.
void reload(SwitchService& service, MqttBridges& bridges, std::unique_ptr<WebPanel>& web,
            const QString& path)
{
    sd_notify(0, "RELOADING=1");
    const ServiceConfig config = ServiceConfig::read(path);
    for (const QString& line : config.faultLines())
        qCWarning(lcConfig).noquote() << line;
    if (config.faults.isEmpty()) {
        qCInfo(lcConfig).noquote() << path + QStringLiteral(" read again");
        bridges.configure(config.mqtt, config.switches, panelUrl(config));
        service.apply(config.switches);
        applyWeb(web, config, service);
    } else {
        qCWarning(lcConfig).noquote()
            << path + QStringLiteral(" has faults: the switches are kept as they were");
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

    // Serving: the log is for whoever reads the journal, in English whatever the locale, each
    // line with its priority.
    for (QTranslator* translator : app.findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(translator);
    servicelog::install();
    SwitchService service;
    std::unique_ptr<WebPanel> web;
    MqttBridges bridges(service, config.path);
    bridges.configure(config.mqtt, config.switches, panelUrl(config));
    TerminationSignals signalsReceived;
    QObject::connect(&signalsReceived, &TerminationSignals::received, &app,
                     [&service, &bridges, &web, &options](int number) {
                         if (number == SIGHUP) {
                             reload(service, bridges, web, options->configPath);
                             return;
                         }
                         sd_notify(0, "STOPPING=1");
                         service.stopAll(); // every lock file goes before the exit
                         QCoreApplication::exit(0);
                     });
    qCInfo(lcConfig).noquote() << QStringLiteral("varnokd %1: %2 switch(es) from %3")
                                      .arg(QStringLiteral(VARNOK_VERSION))
                                      .arg(config.switches.size())
                                      .arg(config.path);
    service.apply(config.switches);
    applyWeb(web, config, service);
    sd_notify(0, "READY=1");
    const ServiceStatus status(service, [&web] { return web ? web->pageCount() : 0; });
    return QCoreApplication::exec();
}
