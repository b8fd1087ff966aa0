// SPDX-License-Identifier: MIT
#pragma once

#include "protocol/replies.h"
#include "routing.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

#include <optional>

// The JSON of routes that scripts, the MQTT bridge and their users share:
// {"routes":[{"output":1,"input":2},...]}, "output" before "input" as people read a route (a
// QJsonObject would sort them). A route may carry more members, such as names.
namespace routingjson {

// {"output":O,"input":I}, then `extra` members already written as JSON ("\"key\":value").
QByteArray route(const protocol::Route& route, const QByteArrayList& extra = {});
// {"routes":[...]} of routes already written by route().
QByteArray routes(const QByteArrayList& written);
// {"routes":[...]} of a routing, the outputs not reported (0) left out.
QByteArray routing(const Routing& routing);
// The routes of such a document: each output once, every number 1 to 4; none when it is not one
// or holds no route.
std::optional<QList<protocol::Route>> read(const QByteArray& json);

} // namespace routingjson
