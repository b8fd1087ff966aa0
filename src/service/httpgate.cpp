// SPDX-License-Identifier: MIT
#include "httpgate.h"

#include <QHostAddress>
#include <QScopeGuard>
#include <QSslSocket>
#include <QUrl>

#include <algorithm>

namespace {

// The value of header `name` (lower case) in `lines`, the head's lines after the request line.
QByteArray headerValue(const QList<QByteArray>& lines, const QByteArray& name)
{
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// "Reason|text": the status line's reason and the body, for a code.
QString refusal(int code, const QString& reason, const QString& text)
{
    return QStringLiteral("%1 %2|%3\n").arg(code).arg(reason, text);
}

} // namespace

HttpGate::HttpGate(const QStringList& hosts, const std::optional<QSslConfiguration>& serverTls,
                   QObject* parent)
    : PacedListener(parent), names(hosts), tls(serverTls)
{
}

void HttpGate::incomingConnection(qintptr descriptor)
{
    QTcpSocket* socket = tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QString address = socket->peerAddress().toString();
    const auto fromThere =
        std::count_if(connections.cbegin(), connections.cend(),
                      [&](const auto& each) { return each.second.address == address; });
    if (int(connections.size()) >= maxConnections || fromThere >= maxConnectionsPerAddress) {
        tell(tr("%1 has %2 connections open: more are refused").arg(address).arg(fromThere));
        socket->abort();
        socket->deleteLater();
        return;
    }
    // What the gate has not judged yet waits in the socket: memory stays bounded whatever comes.
    socket->setReadBufferSize(2 * maxHeadBytes);
    Connection& connection = connections[socket];
    connection.address = address;
    connection.idle = new QTimer(socket);
    connection.idle->setSingleShot(true);
    connection.idle->setInterval(idleMs);
    connect(connection.idle, &QTimer::timeout, socket, [this, socket] {
        socket->abort();
        drop(socket);
    });
    connection.idle->start();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    if (auto* secure = qobject_cast<QSslSocket*>(socket)) {
        secure->setSslConfiguration(*tls);
        connect(secure, &QSslSocket::sslErrors, socket, [socket] { socket->abort(); });
        secure->startServerEncryption();
    }
}

void HttpGate::onReadyRead(QTcpSocket* socket)
{
    const auto found = connections.find(socket);
    if (found == connections.end())
        return;
    Connection& connection = found->second;
    // Before the HTTP server has it, the socket keeps every byte; after, the server takes all
    // that waits once the gate has judged it (the gate's notice comes first).
    const QByteArray waiting = socket->peek(socket->bytesAvailable());
    const QByteArray fresh = waiting.mid(connection.judged);
    const bool wasHanded = connection.handed;
    const auto judgedAll = qScopeGuard([&] {
        if (connections.count(socket) != 0)
            connection.judged = wasHanded ? 0 : waiting.size();
    });
    for (const char byte : fresh) {
        connection.head.append(byte);
        if (!connection.head.endsWith("\r\n\r\n")) {
            const qsizetype lineEnd = connection.head.indexOf("\r\n");
            if ((lineEnd < 0 ? connection.head.size() : lineEnd) > maxLineBytes)
                return refuse(socket, refusal(414, QStringLiteral("URI Too Long"),
                                              tr("The request's address is too long.")));
            if (connection.head.size() > maxHeadBytes ||
                connection.head.count("\r\n") > maxHeaderLines)
                return refuse(socket,
                              refusal(431, QStringLiteral("Request Header Fields Too Large"),
                                      tr("The request's header is too large.")));
            continue;
        }
        bool upgrade = false;
        if (const QString refused = judge(std::exchange(connection.head, {}), upgrade);
            !refused.isEmpty())
            return refuse(socket, refused);
        connection.idle->start(); // a whole request: the connection is in use
        if (!connection.handed) {
            connection.handed = true;
            addPendingConnection(socket);
            // The server reads on the socket's next notice: give it one for what waits.
            QTimer::singleShot(0, socket, [socket] { emit socket->readyRead(); });
        }
        if (upgrade) {
            // A page's socket from now on: its owner bounds it.
            socket->disconnect(this);
            delete connection.idle;
            connections.erase(found);
            return;
        }
    }
}

QString HttpGate::judge(const QByteArray& head, bool& upgrade) const
{
    QList<QByteArray> lines = head.chopped(4).split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    const QList<QByteArray> requestLine = lines.takeFirst().split(' ');
    const QByteArray method = requestLine.value(0);
    if (method != "GET" && method != "HEAD")
        return refusal(405, QStringLiteral("Method Not Allowed"),
                       tr("The panel only shows pages: %1 is not taken.")
                           .arg(QString::fromLatin1(method.left(16))));
    if (!headerValue(lines, "transfer-encoding").isEmpty() ||
        headerValue(lines, "content-length").toLongLong() > 0)
        return refusal(413, QStringLiteral("Content Too Large"),
                       tr("The panel takes no request body."));
    const QString host = QString::fromLatin1(headerValue(lines, "host"));
    if (!isOwnHost(host))
        return refusal(421, QStringLiteral("Misdirected Request"),
                       tr("This panel is not served under the name \"%1\".").arg(host.left(64)));
    upgrade = headerValue(lines, "upgrade").toLower() == "websocket";
    if (upgrade) {
        // A browser sends any site's page to the socket: only the panel's own may use it.
        const QUrl origin(QString::fromLatin1(headerValue(lines, "origin")));
        const QString authority = origin.authority();
        if (authority.compare(host, Qt::CaseInsensitive) != 0 &&
            !names.contains(origin.host(), Qt::CaseInsensitive) &&
            !names.contains(authority, Qt::CaseInsensitive))
            return refusal(403, QStringLiteral("Forbidden"),
                           tr("A page of another site may not use this panel."));
    }
    return {};
}

bool HttpGate::isOwnHost(const QString& host) const
{
    if (host.isEmpty())
        return false;
    if (names.contains(host, Qt::CaseInsensitive))
        return true;
    const QUrl url(QStringLiteral("http://") + host);
    const int defaultPort = tls ? 443 : 80;
    if (!url.isValid() || url.port(defaultPort) != int(serverPort()) || !url.path().isEmpty())
        return false;
    // An address cannot be given to another site's name: only a name can (DNS rebinding).
    const QString name = url.host();
    return !QHostAddress(name).isNull() ||
           name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           names.contains(name, Qt::CaseInsensitive);
}

void HttpGate::refuse(QTcpSocket* socket, const QString& refusalText)
{
    const qsizetype bar = refusalText.indexOf(QLatin1Char('|'));
    const QByteArray body = refusalText.mid(bar + 1).toUtf8();
    const QByteArray status = refusalText.left(bar).toLatin1();
    QByteArray answer = "HTTP/1.1 " + status +
                        "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
    if (status.startsWith("405"))
        answer += "Allow: GET, HEAD\r\n";
    socket->readAll(); // what it sent is not for the server
    socket->write(answer + "\r\n" + body);
    const auto found = connections.find(socket);
    if (found != connections.end() && !found->second.handed)
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    drop(socket);
}

void HttpGate::drop(QTcpSocket* socket)
{
    const auto found = connections.find(socket);
    if (found == connections.end())
        return;
    const bool handed = found->second.handed;
    connections.erase(found);
    socket->disconnect(this);
    if (!handed && socket->state() == QAbstractSocket::UnconnectedState)
        socket->deleteLater();
}

void HttpGate::tell(const QString& line)
{
    if (line == lastTold)
        return;
    lastTold = line;
    emit note(line);
}
