// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class MqttClient;

// Whether this service may publish a switch's topics on the broker: it claims them with a
// retained message naming the service, and leaves them to another service that is online and
// claimed them first, until that one goes. Two sites that gave a switch the same id on one
// broker so never drive each other's switch. Publishes nothing of the switch itself.
class MqttClaim : public QObject
{
    Q_OBJECT
public:
    // `node`: this service among all on the broker, the same after a restart; `base`: where
    // the services say they are online ("BASE/_service/NODE").
    MqttClaim(MqttClient& client, QString claimTopic, const QString& base, QString node,
              QObject* parent = nullptr);

    // After each connection: asks the broker who claims the switch; decided() follows.
    void start();
    // A message on one of the claim's topics is taken (true); any other is left.
    bool take(const QString& topic, const QByteArray& payload);
    bool owns() const { return state == State::Owning; }
    // The node of the service the switch is left to.
    QString holder() const { return other ? other->node : QString(); }
    // The claim goes, as the switch does.
    void release();

signals:
    void decided(bool owns);

private:
    struct Claim
    {
        QString node;
        qint64 pid = 0;
        qint64 since = 0;
        bool operator==(const Claim&) const = default;
    };
    enum class State { Asking, Owning, Yielding };
    QByteArray payload() const;
    static std::optional<Claim> parse(const QByteArray& payload);
    // Owning or yielding, as the claims and services seen so far say.
    void decide();

    MqttClient& client;
    QString claimTopic;
    QString servicePrefix;
    Claim own;
    std::optional<Claim> other;  // the last claim of another service seen
    QHash<QString, bool> online; // by node, as each service says
    State state = State::Asking;
    bool heardBack = false; // this connection's first claim came back: all before it is known
};
