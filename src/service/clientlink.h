// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class QTcpSocket;

// One network client of a switch's front: splits what it sends into commands (a line ending in
// LF, or what came before a pause) and writes to it without ever waiting for it. A client that
// lets maxUnread bytes wait unread is dropped, so it never holds back the others.
class ClientLink : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 maxUnread = 64 * 1024;
    static constexpr int maxCommandBytes = 1024;

    // Takes `socket` over (it becomes the link's child).
    explicit ClientLink(QTcpSocket* socket, QObject* parent = nullptr);

    // "ADDRESS:PORT" of the far end, for the log.
    QString peer() const { return peerText; }
    void send(const QByteArray& bytes);

signals:
    void command(const QByteArray& bytes);
    // The client left, or was dropped (`reason` says why); the link deletes itself afterwards.
    void gone(const QString& reason);

private:
    void onReadyRead();
    void flushPartial();
    void drop(const QString& reason);

    QTcpSocket* socket;
    QString peerText;
    QByteArray partial; // a command still without its line end
    QTimer pause;       // a command without a line end counts once the client pauses
    bool dropped = false;
};
