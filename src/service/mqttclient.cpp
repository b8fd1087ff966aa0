// SPDX-License-Identifier: MIT
#include "mqttclient.h"

#include "servicelog.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

QString libraryError(int code)
{
    if (code == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(code));
}

} // namespace

MqttClient::MqttClient(const MqttConfig& brokerConfig, const QString& clientId,
                       const QString& willTopic, const QByteArray& willPayload, QObject* parent)
    : QObject(parent), config(brokerConfig), id(clientId.toUtf8()),
      lastWillTopic(willTopic.toUtf8()), lastWillPayload(willPayload)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    misc.setInterval(1000);
    connect(&misc, &QTimer::timeout, this, [this] { afterLoop(mosquitto_loop_misc(handle)); });
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, &MqttClient::start);
    connectLimit.setSingleShot(true);
    connectLimit.setInterval(connectMs);
    connect(&connectLimit, &QTimer::timeout, this, [this] {
        // A broker that took the connection but does not answer: all is made anew.
        tell(QtWarningMsg, tr("MQTT broker %1 not reached: no answer within %2 s")
                               .arg(brokerText())
                               .arg(connectMs / 1000));
        dropHandle();
        retryIn(retryMs);
    });
    finishLimit.setSingleShot(true);
    finishLimit.setInterval(finishMs);
    connect(&finishLimit, &QTimer::timeout, this, &MqttClient::finished);
}

MqttClient::~MqttClient()
{
    dropHandle();
}

void MqttClient::makeHandle()
{
    handle = mosquitto_new(id.constData(), true, this);
    Q_ASSERT(handle); // only fails without memory
    mosquitto_connect_callback_set(handle, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(handle, &MqttClient::onDisconnect);
    mosquitto_message_callback_set(handle, &MqttClient::onMessage);
    mosquitto_publish_callback_set(handle, &MqttClient::onPublish);
    mosquitto_log_callback_set(handle, &MqttClient::onLog);
    // Small messages go out at once, not held back for a delayed acknowledgement.
    mosquitto_int_option(handle, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_int_option(handle, MOSQ_OPT_PROTOCOL_VERSION,
                         mqtt5 ? MQTT_PROTOCOL_V5 : MQTT_PROTOCOL_V311);
    if (!lastWillTopic.isEmpty())
        mosquitto_will_set(handle, lastWillTopic.constData(), int(lastWillPayload.size()),
                           lastWillPayload.constData(), 1, true);
    if (!config.user.isEmpty())
        mosquitto_username_pw_set(handle, config.user.toUtf8().constData(),
                                  config.password.isEmpty() ? nullptr
                                                            : config.password.toUtf8().constData());
    if (config.usesTls()) {
        const QByteArray ca = config.cafile.toLocal8Bit(), cert = config.certfile.toLocal8Bit(),
                         key = config.keyfile.toLocal8Bit();
        const int result = mosquitto_tls_set(handle, ca.constData(), nullptr,
                                             cert.isEmpty() ? nullptr : cert.constData(),
                                             key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (result != MOSQ_ERR_SUCCESS)
            tell(QtWarningMsg, tr("MQTT TLS set-up failed: %1").arg(libraryError(result)));
    }
}

void MqttClient::dropHandle()
{
    dropNotifiers();
    unacknowledged.clear();
    if (!handle)
        return;
    mosquitto_disconnect_callback_set(handle, nullptr);
    mosquitto_destroy(handle);
    handle = nullptr;
}

QString MqttClient::failure(int code) const
{
    QString reason = libraryError(code);
    if (code == MOSQ_ERR_TLS && !lastError.isEmpty())
        reason += QStringLiteral(" (%1)").arg(lastError); // the TLS library's own words
    return reason;
}

QString MqttClient::brokerText() const
{
    return QStringLiteral("%1:%2").arg(config.host).arg(config.port);
}

void MqttClient::tell(QtMsgType level, const QString& line)
{
    // A broker that stays away is told once, not at every attempt.
    if (line == lastNote)
        return;
    lastNote = line;
    servicelog::write(lcMqtt(), level, logPrefix + line);
}

void MqttClient::start()
{
    if (finishing || connectedNow)
        return;
    if (!handle)
        makeHandle();
    if (QHostAddress address; address.setAddress(config.host)) {
        connectTo(config.host);
        return;
    }
    // The lookup runs in the background; connecting to the address then never waits for it.
    QHostInfo::lookupHost(config.host, this, [this](const QHostInfo& info) {
        if (finishing)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            tell(QtWarningMsg, tr("MQTT broker %1: %2").arg(brokerText(), info.errorString()));
            retryIn(retryMs);
            return;
        }
        // TLS checks the certificate against the name, which the resolver has just answered.
        connectTo(config.usesTls() ? config.host : info.addresses().constFirst().toString());
    });
}

void MqttClient::connectTo(const QString& address)
{
    lastError.clear();
    lossReported = false;
    const int result = mosquitto_connect_async(handle, address.toUtf8().constData(), config.port,
                                               keepAliveSeconds);
    if (result != MOSQ_ERR_SUCCESS) {
        // On a near broker the handshake may fail before connecting returns.
        tell(QtWarningMsg, tr("MQTT broker %1 not reached: %2").arg(brokerText(), failure(result)));
        dropNotifiers();
        retryIn(result == MOSQ_ERR_TLS ? refusedRetryMs : retryMs);
        return;
    }
    misc.start();
    connectLimit.start();
    watchSocket();
}

void MqttClient::retryIn(int ms)
{
    misc.stop();
    retry.start(ms);
    if (ms == retryMs)
        retryMs = std::min(retryMs * 2, maxRetryMs);
}

void MqttClient::onConnect(mosquitto*, void* self, int code)
{
    // Acted on outside the library's call, which may then be left safely.
    QMetaObject::invokeMethod(
        static_cast<MqttClient*>(self),
        [self, code] { static_cast<MqttClient*>(self)->connectDone(code); }, Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto*, void* self, int code)
{
    auto* client = static_cast<MqttClient*>(self);
    client->lossReported = true;
    client->dropNotifiers(); // the socket is closed already
    QMetaObject::invokeMethod(
        client, [client, code] { client->connectionLost(code); }, Qt::QueuedConnection);
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    auto* client = static_cast<MqttClient*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    QMetaObject::invokeMethod(
        client, [=] { emit client->message(topic, payload, retained); }, Qt::QueuedConnection);
}

void MqttClient::onPublish(mosquitto*, void* self, int messageId)
{
    auto* client = static_cast<MqttClient*>(self);
    client->unacknowledged.remove(messageId);
    if (client->finishing && client->unacknowledged.isEmpty())
        QMetaObject::invokeMethod(client, &MqttClient::leaveWhenAcknowledged, Qt::QueuedConnection);
}

void MqttClient::onLog(mosquitto*, void* self, int level, const char* text)
{
    if (level == MOSQ_LOG_ERR)
        static_cast<MqttClient*>(self)->lastError = QString::fromUtf8(text);
}

void MqttClient::connectDone(int code)
{
    connectLimit.stop();
    if (!handle)
        return; // made anew meanwhile
    if (code != 0 && mqtt5 &&
        (code == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION ||
         code == CONNACK_REFUSED_PROTOCOL_VERSION)) {
        // An older broker: retained commands passed on by its bridges look like new ones there.
        tell(QtWarningMsg, tr("MQTT broker %1 speaks MQTT 3.1.1 only").arg(brokerText()));
        mqtt5 = false;
        misc.stop();
        dropHandle();
        retry.start(0);
        return;
    }
    if (code != 0) {
        // The broker's own reason, told once; asked again only slowly.
        refused = true;
        tell(QtWarningMsg,
             tr("MQTT broker %1 refused the connection: %2")
                 .arg(brokerText(), QString::fromUtf8(mqtt5 ? mosquitto_reason_string(code)
                                                            : mosquitto_connack_string(code))));
        mosquitto_disconnect(handle);
        return;
    }
    refused = false;
    tlsRetried = false;
    retryMs = firstRetryMs;
    connectedNow = true;
    lastNote.clear();
    tell(QtInfoMsg, tr("MQTT broker %1 connected").arg(brokerText()));
    emit connected();
    watchSocket();
}

void MqttClient::connectionLost(int code)
{
    const bool was = std::exchange(connectedNow, false);
    misc.stop();
    connectLimit.stop();
    if (finishing) {
        finishLimit.stop();
        emit finished();
        return;
    }
    if (was)
        emit disconnected();
    if (refused) {
        retryIn(refusedRetryMs);
        return;
    }
    if (code == MOSQ_ERR_TLS && lastError.isEmpty() && !std::exchange(tlsRetried, true)) {
        // The TLS library's reason is now and then not handed on: the next try says it.
        retry.start(firstRetryMs);
        return;
    }
    const QString reason = failure(code);
    tell(QtWarningMsg, was ? tr("MQTT broker %1 lost: %2").arg(brokerText(), reason)
                           : tr("MQTT broker %1 not reached: %2").arg(brokerText(), reason));
    retryIn(code == MOSQ_ERR_TLS ? refusedRetryMs : retryMs);
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    if (!connectedNow)
        return false;
    int messageId = 0;
    const int result = mosquitto_publish(handle, &messageId, topic.toUtf8().constData(),
                                         int(payload.size()), payload.constData(), 1, retain);
    if (result == MOSQ_ERR_SUCCESS)
        unacknowledged.insert(messageId);
    watchSocket();
    return result == MOSQ_ERR_SUCCESS;
}

bool MqttClient::subscribe(const QString& filter)
{
    if (!connectedNow)
        return false;
    // Retained as published: a bridge's retained copy stays marked as such for a subscription
    // made before it came.
    const QByteArray text = filter.toUtf8();
    const int result = mqtt5 ? mosquitto_subscribe_v5(handle, nullptr, text.constData(), 1,
                                                      MQTT_SUB_OPT_RETAIN_AS_PUBLISHED, nullptr)
                             : mosquitto_subscribe(handle, nullptr, text.constData(), 1);
    watchSocket();
    return result == MOSQ_ERR_SUCCESS;
}

void MqttClient::finish()
{
    if (finishing)
        return;
    finishing = true;
    retry.stop();
    if (!connectedNow) {
        QMetaObject::invokeMethod(this, &MqttClient::finished, Qt::QueuedConnection);
        return;
    }
    finishLimit.start();
    leaveWhenAcknowledged();
}

void MqttClient::leaveWhenAcknowledged()
{
    // Leaving earlier would lose what the broker has not taken yet: removals above all.
    if (!finishing || !connectedNow || !unacknowledged.isEmpty())
        return;
    mosquitto_disconnect(handle);
    watchSocket();
}

void MqttClient::afterLoop(int result)
{
    if (result != MOSQ_ERR_SUCCESS && result != MOSQ_ERR_NO_CONN && !lossReported) {
        // A failure the library did not report as a disconnection (a refused TLS handshake):
        // the connection is made anew from the start.
        lossReported = true;
        dropHandle();
        QMetaObject::invokeMethod(
            this, [this, result] { connectionLost(result); }, Qt::QueuedConnection);
        return;
    }
    watchSocket();
}

void MqttClient::watchSocket()
{
    if (!handle)
        return;
    const int socket = mosquitto_socket(handle);
    if (socket != watchedSocket) {
        dropNotifiers();
        if (socket < 0)
            return;
        watchedSocket = socket;
        reading = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        connect(reading, &QSocketNotifier::activated, this,
                [this] { afterLoop(mosquitto_loop_read(handle, 1)); });
        writing = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(writing, &QSocketNotifier::activated, this,
                [this] { afterLoop(mosquitto_loop_write(handle, 1)); });
    }
    if (writing)
        writing->setEnabled(mosquitto_want_write(handle));
}

void MqttClient::dropNotifiers()
{
    // Disabled at once (the socket may be closed), deleted once out of their own signals.
    for (QSocketNotifier* notifier : {reading, writing}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    reading = writing = nullptr;
    watchedSocket = -1;
}
