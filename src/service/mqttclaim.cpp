// SPDX-License-Identifier: MIT
#include "mqttclaim.h"

#include "mqttclient.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

MqttClaim::MqttClaim(MqttClient& mqttClient, QString topic, const QString& base, QString node,
                     QObject* parent)
    : QObject(parent), client(mqttClient), claimTopic(std::move(topic)),
      servicePrefix(base + QStringLiteral("/_service/")), own{std::move(node),
                                                              QCoreApplication::applicationPid(),
                                                              QDateTime::currentMSecsSinceEpoch()}
{
}

QByteArray MqttClaim::payload() const
{
    return QJsonDocument(QJsonObject{{"node", own.node}, {"pid", own.pid}, {"since", own.since}})
        .toJson(QJsonDocument::Compact);
}

std::optional<MqttClaim::Claim> MqttClaim::parse(const QByteArray& payload)
{
    const QJsonObject object = QJsonDocument::fromJson(payload).object();
    Claim claim{object.value("node").toString(), qint64(object.value("pid").toDouble()),
                qint64(object.value("since").toDouble())};
    if (claim.node.isEmpty())
        return std::nullopt;
    return claim;
}

void MqttClaim::start()
{
    state = State::Asking;
    heardBack = false;
    online.clear();
    other.reset();
    client.subscribe(servicePrefix + QLatin1Char('+'));
    client.subscribe(claimTopic);
    // Heard back once the broker has handed over every retained claim and service state
    // asked for above: one connection's messages keep their order.
    client.publish(claimTopic, payload(), false);
}

bool MqttClaim::take(const QString& topic, const QByteArray& payload)
{
    if (topic.startsWith(servicePrefix)) {
        const QString node = topic.mid(servicePrefix.size());
        online.insert(node, QJsonDocument::fromJson(payload).object().value("state") ==
                                QLatin1String("online"));
        if (other && other->node == node)
            decide();
        return true;
    }
    if (topic != claimTopic)
        return false;
    const std::optional<Claim> claim = parse(payload);
    if (claim && *claim == own) {
        if (!std::exchange(heardBack, true))
            decide();
        return true;
    }
    if (claim && claim->node == own.node)
        return true; // this service's own, from before a restart
    other = claim;   // none: the claim was taken away
    decide();
    return true;
}

void MqttClaim::decide()
{
    if (!heardBack)
        return; // more may be on the way
    // The earlier claim of a service that is online wins; the same moment, the lesser name.
    const bool leave = other && online.value(other->node) &&
                       std::pair(other->since, other->node) < std::pair(own.since, own.node);
    const State next = leave ? State::Yielding : State::Owning;
    if (next == State::Owning)
        client.publish(claimTopic, payload(), true); // the retained claim is this service's
    if (std::exchange(state, next) != next)
        emit decided(next == State::Owning);
}

void MqttClaim::release()
{
    if (owns())
        client.publish(claimTopic, {}, true);
    state = State::Yielding;
}
