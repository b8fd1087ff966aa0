// SPDX-License-Identifier: MIT
#include "panelport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QRegularExpression>

std::optional<QUrl> PanelPort::socketUrl(const QString& page)
{
    const QUrl url(page, QUrl::StrictMode);
    const bool secure = url.scheme() == QLatin1String("https");
    if (!url.isValid() || (!secure && url.scheme() != QLatin1String("http")) ||
        url.host().isEmpty() || !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    static const QRegularExpression idPath(QStringLiteral("^/[a-z0-9-]{1,32}/?$"));
    if (!idPath.match(url.path()).hasMatch())
        return std::nullopt;
    QUrl socket = url;
    socket.setScheme(secure ? QStringLiteral("wss") : QStringLiteral("ws"));
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    socket.setPath(path + QStringLiteral("socket"));
    socket.setQuery(QStringLiteral("bytes"));
    return socket;
}

PanelPort::PanelPort(QObject* parent) : Port(parent)
{
    connectTimer.setSingleShot(true);
    connectTimer.setInterval(connectTimeoutMs);
    connect(&connectTimer, &QTimer::timeout, this, [this] {
        failOpen(
            tr("%1: no connection within %2 s").arg(address).arg(connectTimer.interval() / 1000));
    });
    connect(&socket, &QWebSocket::connected, this, [this] {
        connectTimer.stop();
        connected = true;
        emit opened();
    });
    connect(&socket, &QWebSocket::textMessageReceived, this, &PanelPort::onMessage);
    connect(&socket, &QWebSocket::disconnected, this, &PanelPort::onDisconnected);
}

PanelPort::~PanelPort()
{
    // The socket goes after this object's own part: its last signals must find no slot here.
    socket.disconnect(this);
    socket.abort();
}

bool PanelPort::open(const QString& text)
{
    if (connected || isOpening()) {
        error = tr("%1 is already open").arg(address);
        return false;
    }
    error.clear();
    received.clear();
    address = text;
    const std::optional<QUrl> url = socketUrl(text);
    if (!url) {
        error = tr("%1 is not a web panel's page: write http://HOST:PORT/ID/").arg(text);
        return false;
    }
    // The panel lets its own pages use the socket, and says so by the page's origin.
    QNetworkRequest request(*url);
    request.setRawHeader("Origin", QUrl(text).adjusted(QUrl::RemovePath).toString().toUtf8());
    connectTimer.start();
    socket.open(request);
    return true;
}

void PanelPort::failOpen(const QString& reason)
{
    connectTimer.stop();
    socket.abort();
    error = reason;
    emit openFailed(reason);
}

void PanelPort::close()
{
    connectTimer.stop();
    connected = false;
    socket.abort();
    received.clear();
    shared.forget(tr("the port is closed"));
}

bool PanelPort::write(const QByteArray& bytes)
{
    if (!connected) {
        error = tr("the port is closed");
        return false;
    }
    QJsonObject request{{"type", "line"}, {"text", QString::fromLatin1(bytes)}};
    shared.stamp(request);
    return sendRequest(request);
}

bool PanelPort::sendRequest(const QJsonObject& request)
{
    if (!connected)
        return false;
    socket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    return true;
}

void PanelPort::onMessage(const QString& text)
{
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    const QString type = message.value("type").toString();
    if (type == QLatin1String("bytes")) {
        received += message.value("data").toString().toLatin1();
        emit readyRead();
    } else if (!shared.take(message) && type == QLatin1String("error")) {
        // The service refused a command: the line stays.
        emit writeFailed(QStringLiteral("%1: %2").arg(address, message.value("text").toString()));
    }
}

void PanelPort::onDisconnected()
{
    if (isOpening()) {
        failOpen(QStringLiteral("%1: %2").arg(address, socket.errorString()));
        return;
    }
    if (!std::exchange(connected, false))
        return;
    shared.forget(tr("%1 closed the connection").arg(address));
    const QString reason = socket.closeReason().isEmpty()
                               ? tr("%1 closed the connection").arg(address)
                               : QStringLiteral("%1: %2").arg(address, socket.closeReason());
    emit linkLost(reason);
}
