// SPDX-License-Identifier: MIT
#pragma once

#include "port.h"

#include <QTcpSocket>
#include <QTimer>

#include <optional>

// A Port on a raw TCP connection, "tcp://HOST:PORT": a serial device server or the switch's own
// network port. Resolving and connecting happen in the background, bounded by connectTimeoutMs
// unless set otherwise; open() only starts them (see Port::isOpening).
class TcpPort : public Port
{
    Q_OBJECT
public:
    static constexpr int connectTimeoutMs = 3000;

    struct Address
    {
        QString host;
        quint16 port = 0;
    };
    // HOST:PORT out of "tcp://HOST:PORT" (an IPv6 host in brackets), or nothing.
    static std::optional<Address> parse(const QString& url);

    explicit TcpPort(QObject* parent = nullptr);

    // How long the next open() may take to resolve and connect.
    void setConnectTimeout(int ms) { connectTimer.setInterval(ms); }

    bool open(const QString& url) override;
    void close() override;
    bool isOpen() const override;
    bool isOpening() const override { return connectTimer.isActive(); }
    QString errorString() const override { return error; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;

private:
    void onConnected();
    void onErrorOccurred(QAbstractSocket::SocketError code);
    void failOpen(const QString& reason);

    QTcpSocket socket;
    QTimer connectTimer;
    QString url;
    QString error;
    QByteArray receivedBeforeLoss;
    bool inOpen = false; // failures inside open() are returned, not signalled
};
