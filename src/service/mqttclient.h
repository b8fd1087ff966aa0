// SPDX-License-Identifier: MIT
#pragma once

#include "mqttconfig.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class QSocketNotifier;
struct mosquitto;

// One connection to the MQTT broker through libmosquitto, driven by the Qt event loop: socket
// notifiers for reading and writing, a timer for the keep-alive. Nothing waits: the broker's
// name is looked up and the connection made in the background, and a lost or refused
// connection is made again with a growing pause. Speaks MQTT 5 so that a retained message
// stays marked as retained however it arrives (through a bridge too), and 3.1.1 with a broker
// that knows no other. Knows no switch.
class MqttClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int keepAliveSeconds = 30;
    static constexpr int firstRetryMs = 1000;
    static constexpr int maxRetryMs = 30000;
    static constexpr int refusedRetryMs = 60000; // a wrong password or certificate: slowly
    static constexpr int finishMs = 2000;
    static constexpr int connectMs = 10000; // from the connection made to the broker's answer

    // `willTopic` (none when empty) gets `willPayload` (retained) from the broker when the
    // connection is lost.
    MqttClient(const MqttConfig& config, const QString& clientId, const QString& willTopic,
               const QByteArray& willPayload, QObject* parent = nullptr);
    ~MqttClient() override;
    // Put before its lines in the log ("hall: ").
    void setLogPrefix(const QString& prefix) { logPrefix = prefix; }

    // Connects, and keeps connecting until finish().
    void start();
    bool isConnected() const { return connectedNow; }
    // Sent at once at QoS 1 when connected; false, and nothing kept, when not.
    bool publish(const QString& topic, const QByteArray& payload, bool retain);
    bool subscribe(const QString& filter);
    // Leaves the broker once it has acknowledged what was published before (finishMs at
    // most); finished() follows.
    void finish();

signals:
    void connected();
    void disconnected();
    // `retained`: a message the broker kept, not one published now.
    void message(const QString& topic, const QByteArray& payload, bool retained);
    void finished();

private:
    static void onConnect(mosquitto*, void* self, int code);
    static void onDisconnect(mosquitto*, void* self, int code);
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);
    static void onPublish(mosquitto*, void* self, int messageId);
    static void onLog(mosquitto*, void* self, int level, const char* text);
    void makeHandle();
    void dropHandle();
    void connectTo(const QString& address);
    void connectDone(int code);
    void connectionLost(int code);
    void retryIn(int ms);
    // After the library read, wrote or kept the connection alive.
    void afterLoop(int result);
    void watchSocket();
    void dropNotifiers();
    void leaveWhenAcknowledged();
    // A line for the log (with the prefix), unless it was the last one.
    void tell(QtMsgType level, const QString& line);
    QString brokerText() const;
    // The library's words for `code`, with the TLS library's reason when there is one.
    QString failure(int code) const;

    MqttConfig config;
    QString logPrefix;
    QByteArray id;
    QByteArray lastWillTopic;
    QByteArray lastWillPayload;
    mosquitto* handle = nullptr; // made at the first start(), and anew after a silent broker
    QTimer misc;  // keep-alive and the library's own retries of unacknowledged messages
    QTimer retry; // the next connection attempt
    QTimer connectLimit;
    QTimer finishLimit;
    QSocketNotifier* reading = nullptr;
    QSocketNotifier* writing = nullptr;
    int watchedSocket = -1;
    int retryMs = firstRetryMs;
    bool connectedNow = false;
    bool finishing = false;
    bool refused = false;
    bool lossReported = false; // since the last connection attempt
    bool mqtt5 = true;         // until a broker refuses it
    bool tlsRetried = false;   // a TLS failure without its reason was tried once more
    QSet<int> unacknowledged;  // messages published and not yet acknowledged
    QString lastError;         // the library's last error line (the TLS library's reason)
    QString lastNote;
};
