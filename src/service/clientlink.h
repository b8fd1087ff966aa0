// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class PendingCommand;
class QTcpSocket;

// One network client of a switch's front: splits what it sends into whole lines (each ending in
// LF), writes to it without ever waiting for it, and writes each of its commands' answers as
// they come. A line left unfinished for unfinishedLineMs, or longer than maxCommandBytes, is
// dropped, never sent: it would run into another client's command. A client that closes its
// sending side still has its commands answered before its socket closes; one that lets
// maxUnread bytes wait unread is dropped, so it never holds back the others.
class ClientLink : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 maxUnread = 64 * 1024;
    static constexpr int maxCommandBytes = 1024;
    static constexpr int unfinishedLineMs = 2000;

    // Takes `socket` over (it becomes the link's child).
    explicit ClientLink(QTcpSocket* socket, QObject* parent = nullptr);
    ~ClientLink() override;

    // "ADDRESS:PORT" of the far end, for the log.
    QString peer() const { return peerText; }
    void send(const QByteArray& bytes);
    // One of its commands, on its way: its answer is written to the client.
    void track(PendingCommand* command);
    // Its commands not yet answered or failed.
    int awaitedCount() const { return awaited; }

signals:
    void command(const QByteArray& bytes);
    // An unfinished line was dropped (`why`), once a streak.
    void lineDropped(const QString& why);
    // The client left, or was dropped (`reason` says why); the link deletes itself afterwards.
    void gone(const QString& reason);

private:
    void onReadyRead();
    void dropUnfinished(const QString& why);
    void onSendingClosed();
    void closeWhenAnswered();
    void drop(const QString& reason);

    QTcpSocket* socket;
    // A second descriptor of the connection: Qt closes its own when the client closes its
    // sending side, and the answers still owed go out through this one.
    int spare = -1;
    QString peerText;
    QByteArray partial; // a line still without its end
    QTimer unfinished;
    int awaited = 0;            // its commands not yet answered or failed
    bool sendingClosed = false; // the client sends nothing more
    bool droppedStreak = false; // an unfinished line was told since the last whole one
    bool dropped = false;
};
