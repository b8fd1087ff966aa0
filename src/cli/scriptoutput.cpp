// SPDX-License-Identifier: MIT
#include "scriptoutput.h"

#include "link/routingjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <cerrno>
#include <cstring>

namespace {

// One value as Qt writes it: an array of one, its brackets taken off.
QByteArray jsonValue(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// "key":value, the value already written as JSON.
QByteArray writtenMember(const char* key, const QByteArray& written)
{
    return jsonValue(QLatin1String(key)) + ':' + written;
}

QByteArray member(const char* key, const QJsonValue& value)
{
    return writtenMember(key, jsonValue(value));
}

// An object with its members in the order given ("output" before "input", as people read a
// route), which a QJsonObject, keeping its keys sorted, would not keep.
QByteArray object(const QByteArrayList& members)
{
    return '{' + members.join(',') + '}';
}

QByteArray array(const QByteArrayList& items)
{
    return '[' + items.join(',') + ']';
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
    QByteArrayList names;
    if (const QString& name = outputNames[route.output - 1]; !name.isEmpty())
        names << member("output_name", name);
    if (const QString& name = inputNames[route.input - 1]; !name.isEmpty())
        names << member("input_name", name);
    return routingjson::route(route, names);
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
    line(routingjson::routes(objects));
}

void ScriptOutput::utpModes(int oneWireMask)
{
    const QByteArray digit(1, "0123456789ABCDEF"[oneWireMask & 0xF]);
    if (json) {
        QJsonArray modes;
        for (int output = 1; output <= 4; ++output)
            modes << utpMode(oneWireMask, output);
        line(object({member("mask", QString::fromLatin1(digit)), member("outputs", modes)}));
        return;
    }
    line(digit);
    for (int output = 1; output <= 4; ++output)
        line(QStringLiteral("UTP%1: %2").arg(output).arg(utpMode(oneWireMask, output)).toUtf8());
}

void ScriptOutput::network(const QString& address)
{
    if (json) {
        line(address.isEmpty() ? object({member("network", QStringLiteral("dhcp"))})
                               : object({member("network", QStringLiteral("fixed")),
                                         member("address", address)}));
        return;
    }
    line("network: " + (address.isEmpty() ? QByteArray("DHCP") : address.toUtf8()));
}

void ScriptOutput::reply(const QByteArray& bytes)
{
    if (json) {
        line(object({member("reply", QString::fromLatin1(bytes))}));
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
            routes << routingjson::route({output, preset.routing[output - 1]});
        objects << object({member("name", preset.name), writtenMember("routes", array(routes))});
    }
    line(object({writtenMember("presets", array(objects))}));
}

void ScriptOutput::problem(const QString& message)
{
    const QByteArray text = "varnok: " + message.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), err);
    std::fflush(err);
}
