// SPDX-License-Identifier: MIT
#include "clientlink.h"

#include "link/pendingcommand.h"
#include "link/port.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <sys/socket.h>
#include <unistd.h>

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
    spare = ::dup(int(socket->socketDescriptor()));
    unfinished.setSingleShot(true);
    unfinished.setInterval(unfinishedLineMs);
    connect(&unfinished, &QTimer::timeout, this,
            [this] { dropUnfinished(tr("no line end within %1 ms").arg(unfinishedLineMs)); });
    connect(socket, &QTcpSocket::readyRead, this, &ClientLink::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &ClientLink::onSendingClosed);
    connect(socket, &QTcpSocket::errorOccurred, this, [this] {
        if (socket->error() != QAbstractSocket::RemoteHostClosedError)
            drop(socket->errorString());
    });
}

ClientLink::~ClientLink()
{
    if (spare >= 0)
        ::close(spare);
}

void ClientLink::onReadyRead()
{
    if (sendingClosed)
        return;
    partial += socket->readAll();
    qsizetype end;
    while ((end = partial.indexOf('\n')) >= 0 && end < maxCommandBytes) {
        const QByteArray next = partial.left(end + 1);
        partial.remove(0, end + 1);
        droppedStreak = false;
        emit command(next);
        if (dropped)
            return;
    }
    if (partial.size() >= maxCommandBytes || end >= maxCommandBytes) {
        const qsizetype skip = end >= 0 ? end + 1 : partial.size();
        partial.remove(0, skip);
        dropUnfinished(tr("a line of over %1 bytes").arg(maxCommandBytes));
        return onReadyRead();
    }
    if (partial.isEmpty())
        unfinished.stop();
    else if (!unfinished.isActive())
        unfinished.start();
}

void ClientLink::dropUnfinished(const QString& why)
{
    partial.clear();
    unfinished.stop();
    if (!std::exchange(droppedStreak, true))
        emit lineDropped(why);
}

void ClientLink::track(PendingCommand* command)
{
    ++awaited;
    connect(command, &PendingCommand::answerArriving, this, &ClientLink::send);
    const auto done = [this] {
        --awaited;
        closeWhenAnswered();
    };
    connect(command, &PendingCommand::answered, this, done);
    connect(command, &PendingCommand::failed, this, done);
}

void ClientLink::onSendingClosed()
{
    // What it sent before closing is still asked and answered; an unfinished line is not sent.
    onReadyRead();
    if (!partial.isEmpty())
        dropUnfinished(tr("the client closed before the line end"));
    sendingClosed = true;
    closeWhenAnswered();
}

void ClientLink::closeWhenAnswered()
{
    if (sendingClosed && awaited == 0)
        drop(tr("left"));
}

void ClientLink::send(const QByteArray& bytes)
{
    if (dropped)
        return;
    if (sendingClosed) {
        // A few bytes of answer: the kernel's send buffer takes them without waiting.
        if (spare < 0 || ::send(spare, bytes.constData(), size_t(bytes.size()),
                                MSG_NOSIGNAL | MSG_DONTWAIT) != bytes.size())
            drop(tr("its answers could not be written"));
        return;
    }
    if (socket->bytesToWrite() + bytes.size() > maxUnread) {
        drop(tr("dropped: %1 bytes wait unread").arg(socket->bytesToWrite()));
        return;
    }
    socket->write(bytes);
    // Into the kernel now, not at the next turn of the event loop: a client that closes its
    // sending side meanwhile would have Qt close the socket with the answer still in its buffer.
    socket->flush();
}

void ClientLink::drop(const QString& reason)
{
    if (dropped)
        return;
    dropped = true;
    unfinished.stop();
    socket->abort();
    if (spare >= 0)
        ::close(std::exchange(spare, -1));
    emit gone(reason);
    deleteLater();
}
