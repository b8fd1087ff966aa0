// SPDX-License-Identifier: MIT
#include "routingjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace routingjson {

QByteArray route(const protocol::Route& route, const QByteArrayList& extra)
{
    QByteArrayList members{"\"output\":" + QByteArray::number(route.output),
                           "\"input\":" + QByteArray::number(route.input)};
    members += extra;
    return '{' + members.join(',') + '}';
}

QByteArray routes(const QByteArrayList& written)
{
    return "{\"routes\":[" + written.join(',') + "]}";
}

QByteArray routing(const Routing& routing)
{
    QByteArrayList written;
    for (int output = 1; output <= 4; ++output) {
        if (routing[output - 1] != 0)
            written << route({output, routing[output - 1]});
    }
    return routes(written);
}

std::optional<QList<protocol::Route>> read(const QByteArray& json)
{
    const QJsonArray routes = QJsonDocument::fromJson(json).object().value("routes").toArray();
    QList<protocol::Route> out;
    std::array<bool, 4> seen{};
    for (const QJsonValue& each : routes) {
        const int output = each.toObject().value("output").toInt();
        const int input = each.toObject().value("input").toInt();
        if (output < 1 || output > 4 || input < 1 || input > 4 || seen[output - 1])
            return std::nullopt;
        seen[output - 1] = true;
        out.append({output, input});
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace routingjson
