// SPDX-License-Identifier: MIT
#include "scriptoutput.h"

#include <cerrno>
#include <cstring>

namespace {

// "output":2,"input":3
QByteArray routeFields(const protocol::Route& route)
{
    return "\"output\":" + QByteArray::number(route.output) +
           ",\"input\":" + QByteArray::number(route.input);
}

QString utpMode(int oneWireMask, int output)
{
    return oneWireMask & (1 << (output - 1)) ? QStringLiteral("1 wire") : QStringLiteral("2 wires");
}

} // namespace

ScriptOutput::ScriptOutput(bool jsonLines, std::FILE* outStream, std::FILE* errStream)
    : json(jsonLines), out(outStream), err(errStream)
{
}

void ScriptOutput::useNames(const MatrixSetup& setup)
{
    for (int i = 1; i <= 4; ++i) {
        outputNames[i - 1] = setup.outputName(i);
        inputNames[i - 1] = setup.inputName(i);
    }
}

QByteArray ScriptOutput::routeObject(const protocol::Route& route) const
{
    QByteArray object = '{' + routeFields(route);
    if (const QString& name = outputNames[route.output - 1]; !name.isEmpty())
        object += ",\"output_name\":" + jsonString(name);
    if (const QString& name = inputNames[route.input - 1]; !name.isEmpty())
        object += ",\"input_name\":" + jsonString(name);
    return object + '}';
}

void ScriptOutput::write(const QByteArray& bytes)
{
    if (failure != 0)
        return;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) != size_t(bytes.size()) ||
        std::fflush(out) != 0)
        failure = errno != 0 ? errno : EIO;
}

void ScriptOutput::line(const QByteArray& text)
{
    write(text + '\n');
}

bool ScriptOutput::readerGone() const
{
    return failure == EPIPE;
}

QString ScriptOutput::writeError() const
{
    return QString::fromLocal8Bit(std::strerror(failure));
}

void ScriptOutput::route(const protocol::Route& route)
{
    if (json)
        return line(routeObject(route));
    QString text = protocol::routeLine(route);
    const QString& output = outputNames[route.output - 1];
    const QString& input = inputNames[route.input - 1];
    if (!output.isEmpty() || !input.isEmpty())
        text += QStringLiteral("  (%1 <- %2)")
                    .arg(output.isEmpty() ? QStringLiteral("Out%1").arg(route.output) : output,
                         input.isEmpty() ? QStringLiteral("In %1").arg(route.input) : input);
    line(text.toUtf8());
}

void ScriptOutput::routing(const QList<protocol::Route>& routes)
{
    if (!json) {
        for (const protocol::Route& each : routes)
            route(each);
        return;
    }
    QByteArrayList objects;
    for (const protocol::Route& route : routes)
        objects << routeObject(route);
    line("{\"routes\":[" + objects.join(',') + "]}");
}

void ScriptOutput::utpModes(int oneWireMask)
{
    const QByteArray digit(1, "0123456789ABCDEF"[oneWireMask & 0xF]);
    if (json) {
        QByteArrayList modes;
        for (int output = 1; output <= 4; ++output)
            modes << jsonString(utpMode(oneWireMask, output));
        line("{\"mask\":\"" + digit + "\",\"outputs\":[" + modes.join(',') + "]}");
        return;
    }
    line(digit);
    for (int output = 1; output <= 4; ++output)
        line(QStringLiteral("UTP%1: %2").arg(output).arg(utpMode(oneWireMask, output)).toUtf8());
}

void ScriptOutput::network(const QString& address)
{
    if (json) {
        line(address.isEmpty() ? QByteArray("{\"network\":\"dhcp\"}")
                               : "{\"network\":\"fixed\",\"address\":" + jsonString(address) + '}');
        return;
    }
    line("network: " + (address.isEmpty() ? QByteArray("DHCP") : address.toUtf8()));
}

void ScriptOutput::reply(const QByteArray& bytes)
{
    if (json) {
        line("{\"reply\":" + jsonString(QString::fromLatin1(bytes)) + '}');
        return;
    }
    write(bytes);
}

void ScriptOutput::presets(const QList<Preset>& presets)
{
    if (!json) {
        for (const Preset& preset : presets)
            line((preset.name + QStringLiteral(": ") + MatrixSetup::routingText(preset.routing))
                     .toUtf8());
        return;
    }
    QByteArrayList objects;
    for (const Preset& preset : presets) {
        QByteArrayList routes;
        for (int output = 1; output <= 4; ++output)
            routes << '{' + routeFields({output, preset.routing[output - 1]}) + '}';
        objects << "{\"name\":" + jsonString(preset.name) + ",\"routes\":[" + routes.join(',') +
                       "]}";
    }
    line("{\"presets\":[" + objects.join(',') + "]}");
}

void ScriptOutput::problem(const QString& message)
{
    const QByteArray text = "varnok: " + message.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), err);
    std::fflush(err);
}

QByteArray ScriptOutput::jsonString(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\')
            quoted += QLatin1Char('\\') + c;
        else if (u < 0x20 || u == 0x7F)
            quoted += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            quoted += c; // surrogate pairs stay together for the UTF-8 below
    }
    return (quoted + QLatin1Char('"')).toUtf8();
}
