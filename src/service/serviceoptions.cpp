// SPDX-License-Identifier: MIT
#include "serviceoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption config{QStringLiteral("config"),
                              QCoreApplication::translate("varnokd", "read the switches from FILE"),
                              QStringLiteral("FILE"),
                              QString::fromLatin1(ServiceOptions::defaultConfig)};
    QCommandLineOption check{QStringLiteral("check"),
                             QCoreApplication::translate(
                                 "varnokd", "check the configuration, name every fault, and exit")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QCoreApplication::translate("varnokd", "show this help")};
    QCommandLineOption version{QStringLiteral("version"),
                               QCoreApplication::translate("varnokd", "show the version")};

    Parser()
    {
        parser.setApplicationDescription(QCoreApplication::translate(
            "varnokd", "Shares each VARNOK matrix switch's line with every controller."));
        parser.addOptions({config, check, help, version});
    }
};

} // namespace

std::optional<ServiceOptions> parseServiceOptions(const QStringList& arguments, QString& error)
{
    Parser p;
    if (!p.parser.parse(QStringList{QStringLiteral("varnokd")} + arguments)) {
        error = p.parser.errorText();
        return std::nullopt;
    }
    if (!p.parser.positionalArguments().isEmpty()) {
        error = QCoreApplication::translate("varnokd", "unexpected argument \"%1\"")
                    .arg(p.parser.positionalArguments().first());
        return std::nullopt;
    }
    ServiceOptions options;
    options.configPath = p.parser.value(p.config);
    options.checkOnly = p.parser.isSet(p.check);
    options.help = p.parser.isSet(p.help);
    options.version = p.parser.isSet(p.version);
    return options;
}

QString serviceUsage()
{
    return Parser().parser.helpText();
}
