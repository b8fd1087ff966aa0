// SPDX-License-Identifier: MIT
#pragma once

#include "port.h"
#include "sharedswitch.h"

#include <QTimer>
#include <QUrl>
#include <QWebSocket>

#include <optional>

// A Port through varnokd's web panel, "http://HOST:PORT/ID/" (https with TLS) as a browser shows
// the switch's page: its socket carries the bytes of this controller's commands to the shared
// line and back the switch's answers and reports, as a TCP client of the service gets them. The
// service keeps the line; this port is open while its socket is. Connecting happens in the
// background, bounded as a TCP port's (see Port::isOpening).
class PanelPort : public Port
{
    Q_OBJECT
public:
    static constexpr int connectTimeoutMs = 3000;

    // The page's socket address ("ws://HOST:PORT/ID/socket?bytes"), from the page's; nothing
    // for any other text.
    static std::optional<QUrl> socketUrl(const QString& pageAddress);

    explicit PanelPort(QObject* parent = nullptr);
    ~PanelPort() override;

    void setConnectTimeout(int ms) { connectTimer.setInterval(ms); }
    // Sent with every command where the switch's page asks for one.
    void setPin(const QString& secret) { shared.setPin(secret); }

    bool open(const QString& address) override;
    void close() override;
    bool isOpen() const override { return connected; }
    bool isOpening() const override { return connectTimer.isActive(); }
    QString errorString() const override { return error; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override { return std::exchange(received, {}); }
    qint64 bytesAvailable() const override { return received.size(); }
    SharedSwitch* sharedSwitch() override { return &shared; }

private:
    void onMessage(const QString& text);
    void onDisconnected();
    void failOpen(const QString& reason);
    bool sendRequest(const QJsonObject& request);

    QWebSocket socket;
    QTimer connectTimer;
    QString address;
    QString error;
    QByteArray received;
    bool connected = false;
    SharedSwitch shared{[this](const QJsonObject& request) { return sendRequest(request); }};
};
