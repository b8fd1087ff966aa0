// SPDX-License-Identifier: MIT
#pragma once

#include "pacedlistener.h"
#include <QSslConfiguration>
#include <QStringList>

#include <QTimer>

#include <map>
#include <optional>

class QTcpSocket;

// The web panel's listener: every request head is read and judged here before the HTTP server
// sees a byte of it, so that no request can cost more than a few kilobytes or keep a connection
// for long. Refuses with a short readable answer a request line over maxLineBytes (414), a head
// over maxHeadBytes or maxHeaderLines (431), a body (413), a method but GET and HEAD (405), a
// Host that is not the panel's (421), and a WebSocket from another site's page (403). Closes a
// connection that sends no whole request for idleMs; takes maxConnectionsPerAddress from one
// address at a time; pauses accepting for a moment when descriptors run out (see
// PacedListener). With TLS set, it
// speaks HTTPS. A WebSocket, once upgraded, is left to its owner.
class HttpGate : public PacedListener
{
    Q_OBJECT
public:
    static constexpr qsizetype maxLineBytes = 8 * 1024;
    static constexpr qsizetype maxHeadBytes = 16 * 1024;
    static constexpr int maxHeaderLines = 100;
    static constexpr int idleMs = 10000;
    static constexpr int maxConnectionsPerAddress = 64;
    static constexpr int maxConnections = 1024;

    // `hosts`: the names (with or without a port) the panel may be reached by besides an IP
    // address; `tls`: the certificate and key to serve HTTPS with, none for plain HTTP.
    HttpGate(const QStringList& hosts, const std::optional<QSslConfiguration>& tls,
             QObject* parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection
    {
        QString address;
        QByteArray head;      // the request head read so far
        qsizetype judged = 0; // bytes waiting in the socket that the gate has read
        bool handed = false;  // the HTTP server has the socket
        QTimer* idle = nullptr;
    };
    void onReadyRead(QTcpSocket* socket);
    // The refusal for a whole head, as "CODE Reason|text"; empty when it may pass.
    QString judge(const QByteArray& head, bool& upgrade) const;
    bool isOwnHost(const QString& host) const;
    void refuse(QTcpSocket* socket, const QString& refusal);
    void drop(QTcpSocket* socket);
    void tell(const QString& line);

    QStringList names;
    std::optional<QSslConfiguration> tls;
    std::map<QTcpSocket*, Connection> connections;
    QString lastTold;
};
