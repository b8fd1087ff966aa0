// SPDX-License-Identifier: MIT
#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace cli {

namespace {

constexpr int maxTimeoutMs = 3'600'000;
constexpr int maxPollSeconds = 86'400;

std::optional<int> numberIn(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

Parsed refuse(const QString& why)
{
    return {std::nullopt, why};
}

Parsed parsePreset(Request request, const QStringList& arguments)
{
    using Command = Request::Command;
    const QString action = arguments.value(0);
    if (action == QLatin1String("list")) {
        if (arguments.size() != 1)
            return refuse(QCoreApplication::translate("cli", "preset list takes no NAME"));
        request.command = Command::PresetList;
        return {request, {}};
    }
    const struct
    {
        const char* word;
        Command command;
    } actions[] = {{"save", Command::PresetSave},
                   {"recall", Command::PresetRecall},
                   {"delete", Command::PresetDelete}};
    for (const auto& each : actions) {
        if (action != QLatin1String(each.word))
            continue;
        if (arguments.size() != 2 || arguments[1].trimmed().isEmpty())
            return refuse(QCoreApplication::translate(
                              "cli", "preset %1 needs one NAME (quote it when it has blanks)")
                              .arg(action));
        request.command = each.command;
        request.preset = arguments[1].trimmed();
        return {request, {}};
    }
    return refuse(QCoreApplication::translate(
        "cli", "preset needs list, save NAME, recall NAME or delete NAME"));
}

// The words after the command; `request` already holds the options.
Parsed parseCommand(Request request, const QStringList& words)
{
    const QString& command = words.constFirst();
    const QStringList arguments = words.mid(1);
    const auto count = arguments.size();
    using Command = Request::Command;

    if (command == QLatin1String("route")) {
        if (count != 2)
            return refuse(
                QCoreApplication::translate("cli", "route needs OUT and IN (or next or prev)"));
        const auto output = numberIn(arguments[0], 1, 4);
        if (!output)
            return refuse(QCoreApplication::translate("cli", "route: output \"%1\" is not 1 to 4")
                              .arg(arguments[0]));
        request.command = Command::Route;
        request.output = *output;
        if (arguments[1] == QLatin1String("next") || arguments[1] == QLatin1String("prev")) {
            request.step = arguments[1] == QLatin1String("next") ? 1 : -1;
            return {request, {}};
        }
        const auto input = numberIn(arguments[1], 1, 4);
        if (!input)
            return refuse(QCoreApplication::translate(
                              "cli", "route: input \"%1\" is not 1 to 4, next or prev")
                              .arg(arguments[1]));
        request.input = *input;
        return {request, {}};
    }
    if (command == QLatin1String("status") || command == QLatin1String("monitor")) {
        if (count != 0)
            return refuse(QCoreApplication::translate("cli", "%1 takes no argument").arg(command));
        request.command = command == QLatin1String("status") ? Command::Status : Command::Monitor;
        return {request, {}};
    }
    if (command == QLatin1String("utp")) {
        if (count > 1)
            return refuse(QCoreApplication::translate("cli", "utp takes at most one MASK"));
        request.command = Command::Utp;
        if (count == 1) {
            static const QRegularExpression hexDigit(QStringLiteral("^[0-9A-Fa-f]$"));
            if (!hexDigit.match(arguments[0]).hasMatch())
                return refuse(
                    QCoreApplication::translate("cli", "utp: mask \"%1\" is not one hex digit 0-F")
                        .arg(arguments[0]));
            request.utpMask = arguments[0].toInt(nullptr, 16);
        }
        return {request, {}};
    }
    if (command == QLatin1String("ip")) {
        if (count != 1)
            return refuse(
                QCoreApplication::translate("cli", "ip needs dhcp or an address A.B.C.D"));
        request.command = Command::Ip;
        if (arguments[0] == QLatin1String("dhcp")) {
            request.dhcp = true;
            return {request, {}};
        }
        const QStringList fields = arguments[0].split(QLatin1Char('.'));
        static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,3}$"));
        bool valid = fields.size() == 4;
        for (const QString& field : fields)
            valid = valid && decimal.match(field).hasMatch() && field.toInt() <= 255;
        if (!valid)
            return refuse(QCoreApplication::translate(
                              "cli", "ip: \"%1\" is not dhcp or an address A.B.C.D (0-255 "
                                     "each)")
                              .arg(arguments[0]));
        QStringList plain;
        for (const QString& field : fields)
            plain << QString::number(field.toInt()); // "010" is 10, not octal
        request.address = plain.join(QLatin1Char('.'));
        return {request, {}};
    }
    if (command == QLatin1String("send")) {
        if (count != 1)
            return refuse(QCoreApplication::translate(
                "cli", "send needs one TEXT (quote it when it has blanks)"));
        if (arguments[0].isEmpty())
            return refuse(QCoreApplication::translate("cli", "send: TEXT is empty"));
        // The line carries one byte per character: a character beyond Latin-1 would go out as
        // some other byte, and a line end would split TEXT into commands answered apart.
        for (const char32_t c : arguments[0].toUcs4()) {
            if (c > 0xFF)
                return refuse(
                    QCoreApplication::translate("cli",
                                                "send: \"%1\" (U+%2) is not a Latin-1 character, "
                                                "and the line carries only those")
                        .arg(QString::fromUcs4(&c, 1), QString::number(uint(c), 16)
                                                           .toUpper()
                                                           .rightJustified(4, QLatin1Char('0'))));
            if (c == '\r' || c == '\n')
                return refuse(QCoreApplication::translate(
                    "cli", "send: TEXT holds a line end; send one command per "
                           "call"));
        }
        request.command = Command::Send;
        request.text = arguments[0];
        return {request, {}};
    }
    if (command == QLatin1String("preset"))
        return parsePreset(request, arguments);
    if (command == QLatin1String("name")) {
        const bool output = count > 0 && arguments[0] == QLatin1String("output");
        if (count != 3 || (!output && arguments[0] != QLatin1String("input")))
            return refuse(QCoreApplication::translate(
                "cli", "name needs output N TEXT or input N TEXT (\"\" removes "
                       "a name)"));
        const auto index = numberIn(arguments[1], 1, 4);
        if (!index)
            return refuse(QCoreApplication::translate("cli", "name: %1 \"%2\" is not 1 to 4")
                              .arg(arguments[0], arguments[1]));
        request.command = Command::Name;
        request.namesOutput = output;
        request.nameIndex = *index;
        request.text = arguments[2];
        return {request, {}};
    }
    return refuse(QCoreApplication::translate("cli", "unknown command \"%1\" (see varnok --help)")
                      .arg(command));
}

} // namespace

bool needsSwitch(Request::Command command)
{
    using Command = Request::Command;
    return command != Command::Help && command != Command::Version &&
           command != Command::PresetList && command != Command::PresetDelete &&
           command != Command::Name;
}

std::optional<QString> windowFolder(const QStringList& arguments)
{
    // The toolkit's options for every window, taken out by the application object itself.
    static const QStringList withValue{
        "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
        "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
        "-display",         "-geometry",           "-style",         "-stylesheet"};
    static const QStringList alone{"-reverse", "-widgetcount"};
    static const QStringList joined{"-style=", "-stylesheet=", "-qmljsdebugger="};
    QString folder;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("-C") || argument == QLatin1String("--dir")) {
            if (!hasValue || arguments[i + 1].isEmpty())
                return std::nullopt; // the command line says what is missing
            folder = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--dir=")) && argument.size() > 6) {
            folder = argument.mid(6);
        } else if (withValue.contains(argument) && hasValue) {
            ++i;
        } else if (!alone.contains(argument) &&
                   std::none_of(joined.begin(), joined.end(), [&argument](const QString& option) {
                       return argument.startsWith(option);
                   })) {
            return std::nullopt;
        }
    }
    return folder;
}

namespace {

// The options that take the next word as their value.
const QStringList& valueOptions()
{
    static const QStringList options{"-C", "--dir", "--port", "--timeout", "--poll", "--pin-file"};
    return options;
}

// A single dash is for -C and -h alone: "-json" is a typo of --json, not four one-letter
// options, and "-v" is no short --version. A value-taking option as the last word has no value.
std::optional<QString> wrongDash(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (valueOptions().contains(argument)) {
            if (++i == arguments.size())
                return QCoreApplication::translate("cli", "%1 needs a value").arg(argument);
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1 &&
                   !argument.startsWith(QLatin1String("--")) && argument != QLatin1String("-h")) {
            return QCoreApplication::translate("cli", "unknown option \"%1\" (see varnok --help)")
                .arg(argument);
        }
    }
    return std::nullopt;
}

// "-C" or "--dir", as the user wrote the option for the folder.
QString folderOptionTyped(const QStringList& arguments)
{
    for (qsizetype i = arguments.size() - 1; i >= 0; --i) {
        if (arguments[i] == QLatin1String("-C"))
            return arguments[i];
    }
    return QStringLiteral("--dir");
}

// The words up to the first --help, -h or --version, which answers whatever follows it.
QStringList untilHelp(const QStringList& arguments)
{
    static const QStringList answers{"--help", "-h", "--version"};
    for (qsizetype i = 0; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        if (answers.contains(arguments[i]))
            return arguments.mid(0, i + 1);
        if (valueOptions().contains(arguments[i]))
            ++i;
    }
    return arguments;
}

} // namespace

Parsed parse(const QStringList& allArguments)
{
    const QStringList arguments = untilHelp(allArguments);
    if (const auto problem = wrongDash(arguments))
        return refuse(*problem);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("P"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), {}, QStringLiteral("MS"));
    const QCommandLineOption poll(QStringLiteral("poll"), {}, QStringLiteral("SECONDS"));
    const QCommandLineOption dir(QStringList{"C", "dir"}, {}, QStringLiteral("DIR"));
    const QCommandLineOption pinFile(QStringLiteral("pin-file"), {}, QStringLiteral("FILE"));
    QCommandLineParser parser;
    parser.addOptions({help, version, json, port, timeout, poll, dir, pinFile});
    if (!parser.parse(QStringList{QStringLiteral("varnok")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refuse(
                QCoreApplication::translate("cli", "unknown option \"%1\" (see varnok --help)")
                    .arg(QStringLiteral("--") + unknown.constFirst()));
        return refuse(parser.errorText());
    }

    Request request;
    if (parser.isSet(help) || parser.isSet(version)) {
        request.command = parser.isSet(help) ? Request::Command::Help : Request::Command::Version;
        return {request, {}};
    }
    request.json = parser.isSet(json);
    const QStringList folders = parser.values(dir);
    if (folders.contains(QString()))
        return refuse(QCoreApplication::translate("cli", "%1 needs a folder")
                          .arg(folderOptionTyped(arguments)));
    if (!folders.isEmpty())
        request.directory = folders.constLast();
    if (parser.isSet(port)) {
        request.port = parser.value(port);
        if (request.port.trimmed().isEmpty())
            return refuse(QCoreApplication::translate("cli", "--port needs a port"));
    }
    if (parser.isSet(pinFile)) {
        QFile file(parser.value(pinFile));
        if (!file.open(QIODevice::ReadOnly))
            return refuse(QCoreApplication::translate("cli", "--pin-file %1 cannot be read: %2")
                              .arg(file.fileName(), file.errorString()));
        // Its first line, as a password file's: an editor's line end is no part of it.
        request.pin = QString::fromUtf8(file.readLine(256)).remove(QRegularExpression("\\r?\\n$"));
    }
    if (parser.isSet(poll)) {
        const QString value = parser.value(poll);
        const auto seconds = numberIn(value, 0, maxPollSeconds);
        if (!seconds)
            return refuse(QCoreApplication::translate(
                              "cli", "--poll \"%1\" is not a number of seconds from 0 to %2")
                              .arg(value)
                              .arg(maxPollSeconds));
        request.pollSeconds = *seconds;
    }
    if (parser.isSet(timeout)) {
        const QString value = parser.value(timeout);
        const auto ms = numberIn(value, 1, maxTimeoutMs);
        if (!ms)
            return refuse(QCoreApplication::translate(
                              "cli", "--timeout \"%1\" is not a number of milliseconds from 1 "
                                     "to %2")
                              .arg(value)
                              .arg(maxTimeoutMs));
        request.timeoutMs = *ms;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return refuse(QCoreApplication::translate("cli", "no command given (see varnok --help)"));
    const Parsed parsed = parseCommand(request, words);
    if (parsed.request && parsed.request->pollSeconds > 0 &&
        parsed.request->command != Request::Command::Monitor)
        return refuse(QCoreApplication::translate("cli", "--poll is for monitor only"));
    return parsed;
}

QString usage()
{
    return QCoreApplication::translate("cli",
                                       R"(Usage:
varnok [-C DIR]                         the console window, as today
varnok --help | --version               usage, or "varnok %1"; exit 0; no window, no file written
varnok [OPTIONS] route OUT IN           input IN (1-4) to output OUT (1-4)
varnok [OPTIONS] route OUT next|prev    the arrow keys of output OUT
varnok [OPTIONS] status                 the routing of all four outputs
varnok [OPTIONS] utp [MASK]             read the UTP output modes, or set them (one hex digit 0-F)
varnok [OPTIONS] ip dhcp | ip A.B.C.D   the switch's network setting
varnok [OPTIONS] send TEXT              TEXT + CR LF on the line; print the reply as it came
                                        (one command: Latin-1 characters, no line end)
varnok [OPTIONS] monitor [--poll SECONDS]
                                        print every route the switch reports until interrupted;
                                        with --poll, ask for the routing (bc) every SECONDS
                                        the line is idle, so front-panel changes show too
varnok [OPTIONS] preset list|save NAME|recall NAME|delete NAME
                                        presets: whole routings kept in varnok.conf
varnok [-C DIR] name output|input N TEXT  a name (up to 32 characters, "" removes it)
OPTIONS: -C DIR, --dir DIR  the set-up folder (COMPORT, varnok.conf, COM1-COM10 links), as the
                      window's; default: the working directory
         --port P     COM1-COM10 (mapped as the window maps them), a device path, tcp://HOST:PORT,
                      or varnokd's web panel page of the switch, http://HOST:PORT/ID/;
                      default: the choice the window saved (COMPORT / varnok.conf in the set-up folder)
         --pin-file FILE  the web panel's PIN for that switch, the first line of FILE
         --timeout MS how long to wait for a network connection, then for the switch (default 1000)
         --json       machine-readable output, one JSON document per line
Exit status: 0 done and confirmed; 1 bad usage (nothing sent); 2 the port could not be opened
or the link was lost; 3 no answer, or a different answer than asked for, within the timeout;
4 the result (or the preset a save asked for) could not be written; a reader that went away
ends it as SIGPIPE does.
)")
        .arg(QStringLiteral(VARNOK_VERSION));
}

} // namespace cli
