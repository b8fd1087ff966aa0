// SPDX-License-Identifier: MIT
#pragma once

#include "protocol/replies.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <deque>

class Port;

// Turns the port's receive notifications into whole replies without blocking the event loop:
// the first notification opens a framing window; when it ends, everything waiting is read as
// one reply text. While held (a message box is open), each window's bytes are still taken out
// of the port and queued, and the queue is handled, one reply per window and in order, once the
// last hold is released. Knows nothing of what a reply means.
class ReceiveFramer : public QObject
{
    Q_OBJECT
public:
    static constexpr int framingWindowMs = 30;
    // Bytes kept for a box that stays open on a chatty line; the oldest windows go first.
    static constexpr qsizetype heldByteCap = 1 << 20;

    explicit ReceiveFramer(Port& port, QObject* parent = nullptr);

    // Eager: bytes are also taken off the line as they arrive and handed on at once
    // (bytesArriving), up to Port::readBufferBytes a window, for a relay that must not add the
    // framing window's delay. Replies are framed as before.
    void setEager(bool on) { eager = on; }

    void hold();
    void release();
    bool isHeld() const { return holds > 0; }

    // Windows opened so far, and replies handed on so far: a reply whose first byte has come
    // is handled once repliesHandled() reaches the value windowsOpened() had then.
    quint64 windowsOpened() const { return opened; }
    quint64 repliesHandled() const { return handled; }

    // What waits for a box to close: windows and their bytes.
    qsizetype heldWindowCount() const { return qsizetype(windowSizes.size()); }
    qsizetype heldByteCount() const { return qsizetype(heldBytes.size()); }

signals:
    // Eager only: the bytes just taken off the line, before their window ends.
    void bytesArriving(const QByteArray& bytes);
    // One framing window's reply: its bytes as they came, then the same reply classified.
    void bytesReceived(const QByteArray& bytes);
    void replyReceived(const protocol::Reply& reply);
    // Held windows were dropped to keep within heldByteCap; emitted before the next reply.
    void heldRepliesDropped(qsizetype count);

private:
    void onReadyRead();
    void readEagerly();
    void onWindowEnd();
    void onLinkLost();
    void queueWindow(const QByteArray& bytes);
    QByteArray takeOldestWindow();
    void dropOldestWindows();
    void handleQueue();

    Port& port;
    QTimer window;
    int holds = 0;
    bool eager = false;
    QByteArray arrived; // eager: the open window's bytes so far
    bool handling = false;
    quint64 opened = 0;
    quint64 handled = 0;
    qsizetype dropped = 0;
    // The queued windows back to back, and the size of each. A deque grows and shrinks by
    // small blocks, so memory follows the bytes held without copies or slack.
    std::deque<char> heldBytes;
    std::deque<quint32> windowSizes;
};
