// SPDX-License-Identifier: MIT
#include "tcpport.h"

#include "keepalive.h"

#include <QUrl>

#include <utility>

std::optional<TcpPort::Address> TcpPort::parse(const QString& text)
{
    if (!text.startsWith(QLatin1String("tcp://")))
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.path().isEmpty() ||
        url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return std::nullopt;
    return Address{url.host(), static_cast<quint16>(url.port())};
}

TcpPort::TcpPort(QObject* parent) : Port(parent)
{
    connectTimer.setSingleShot(true);
    connectTimer.setInterval(connectTimeoutMs);
    connect(&connectTimer, &QTimer::timeout, this, [this] {
        const int ms = connectTimer.interval();
        failOpen(tr("%1: no connection within %2")
                     .arg(url, ms % 1000 == 0 ? tr("%1 s").arg(ms / 1000) : tr("%1 ms").arg(ms)));
    });
    connect(&socket, &QTcpSocket::connected, this, &TcpPort::onConnected);
    connect(&socket, &QTcpSocket::errorOccurred, this, &TcpPort::onErrorOccurred);
    connect(&socket, &QTcpSocket::readyRead, this, &Port::readyRead);
    socket.setReadBufferSize(readBufferBytes);
    // The switch's replies are a few bytes each: send them at once.
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

bool TcpPort::open(const QString& text)
{
    if (isOpening() || socket.state() != QAbstractSocket::UnconnectedState) {
        error = tr("%1 is already open").arg(url);
        return false;
    }
    error.clear();
    receivedBeforeLoss.clear();
    url = text;
    const std::optional<Address> address = parse(text);
    if (!address) {
        error = tr("%1 is not a network port: write tcp://HOST:PORT").arg(text);
        return false;
    }
    connectTimer.start();
    inOpen = true;
    socket.connectToHost(address->host, address->port);
    inOpen = false;
    return isOpening();
}

void TcpPort::onConnected()
{
    connectTimer.stop();
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    keepAlive(socket); // a device server switched off mid-session is a lost link
    emit opened();
}

void TcpPort::failOpen(const QString& reason)
{
    connectTimer.stop();
    socket.abort();
    error = reason;
    if (!inOpen)
        emit openFailed(reason);
}

void TcpPort::onErrorOccurred(QAbstractSocket::SocketError code)
{
    if (isOpening()) {
        switch (code) {
        case QAbstractSocket::ConnectionRefusedError:
            failOpen(tr("%1: the connection was refused (nothing listens there)").arg(url));
            return;
        case QAbstractSocket::HostNotFoundError:
            failOpen(tr("%1: unknown host").arg(url));
            return;
        default:
            failOpen(QStringLiteral("%1: %2").arg(url, socket.errorString()));
            return;
        }
    }
    if (socket.state() == QAbstractSocket::UnconnectedState && !socket.isOpen())
        return;
    const QString reason = code == QAbstractSocket::RemoteHostClosedError
                               ? tr("%1 closed the connection").arg(url)
                               : QStringLiteral("%1: %2").arg(url, socket.errorString());
    // Closing drops the socket's buffer: keep what the switch said last.
    receivedBeforeLoss = socket.readAll();
    socket.abort();
    emit linkLost(reason);
}

void TcpPort::close()
{
    connectTimer.stop();
    receivedBeforeLoss.clear();
    socket.abort();
}

bool TcpPort::isOpen() const
{
    return socket.state() == QAbstractSocket::ConnectedState;
}

bool TcpPort::write(const QByteArray& bytes)
{
    if (!isOpen()) {
        error = tr("the port is closed");
        return false;
    }
    if (socket.write(bytes) != bytes.size()) {
        error = QStringLiteral("%1: %2").arg(url, socket.errorString());
        return false;
    }
    return true;
}

QByteArray TcpPort::readAll()
{
    if (!isOpen())
        return std::exchange(receivedBeforeLoss, {});
    return socket.readAll();
}

qint64 TcpPort::bytesAvailable() const
{
    return isOpen() ? socket.bytesAvailable() : receivedBeforeLoss.size();
}
