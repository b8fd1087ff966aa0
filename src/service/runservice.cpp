// SPDX-License-Identifier: MIT
#include "runservice.h"

#include "link/language.h"
#include "serviceconfig.h"
#include "serviceoptions.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
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
    return 0;
}
