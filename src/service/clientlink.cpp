// SPDX-License-Identifier: MIT
#include "clientlink.h"

#include "link/port.h"
#include "link/receiveframer.h"

#include <QHostAddress>
#include <QTcpSocket>

ClientLink::ClientLink(QTcpSocket* client, QObject* parent) : QObject(parent), socket(client)
{
    socket->setParent(this);
    // A client that sends faster than the line takes commands is made to wait by TCP.
    socket->setReadBufferSize(Port::readBufferBytes);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const QHostAddress address = socket->peerAddress();
    peerText = (address.protocol() == QAbstractSocket::IPv6Protocol
                    ? QStringLiteral("[%1]").arg(address.toString())
                    : address.toString()) +
               QStringLiteral(":%1").arg(socket->peerPort());
    pause.setSingleShot(true);
    pause.setInterval(ReceiveFramer::framingWindowMs);
    connect(&pause, &QTimer::timeout, this, &ClientLink::flushPartial);
    connect(socket, &QTcpSocket::readyRead, this, &ClientLink::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, [this] { drop(tr("left")); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this] {
        if (socket->error() != QAbstractSocket::RemoteHostClosedError)
            drop(socket->errorString());
    });
}

void ClientLink::onReadyRead()
{
    partial += socket->readAll();
    qsizetype end;
    while ((end = partial.indexOf('\n')) >= 0 || partial.size() >= maxCommandBytes) {
        const qsizetype length =
            end >= 0 ? std::min<qsizetype>(end + 1, maxCommandBytes) : maxCommandBytes;
        const QByteArray next = partial.left(length);
        partial.remove(0, length);
        emit command(next);
        if (dropped)
            return;
    }
    if (partial.isEmpty())
        pause.stop();
    else
        pause.start();
}

void ClientLink::flushPartial()
{
    if (!partial.isEmpty())
        emit command(std::exchange(partial, {}));
}

void ClientLink::send(const QByteArray& bytes)
{
    if (dropped)
        return;
    if (socket->bytesToWrite() + bytes.size() > maxUnread) {
        drop(tr("dropped: %1 bytes wait unread").arg(socket->bytesToWrite()));
        return;
    }
    socket->write(bytes);
}

void ClientLink::drop(const QString& reason)
{
    if (dropped)
        return;
    dropped = true;
    pause.stop();
    socket->abort();
    emit gone(reason);
    deleteLater();
}
