// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// A byte line to the switch, in Qt's own idiom: open, write, read what waits, and say why
// something failed. Lives on the thread that made it; never throws.
class Port : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens `device` (an absolute path). False when it cannot; errorString() says why, in
    // words a user can act on.
    virtual bool open(const QString& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Why the last open or write failed.
    virtual QString errorString() const = 0;

    // Queues every byte, in order, nothing added. False while closed or when the line refuses.
    virtual bool write(const QByteArray& bytes) = 0;
    // Returns and removes every byte waiting.
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;

signals:
    // Bytes wait to be read.
    void readyRead();
    // The device vanished or the far end hung up; the port is already closed. Bytes received
    // before can still be read once.
    void linkLost(const QString& reason);
    // The device refused bytes that write() had accepted; the port stays open.
    void writeFailed(const QString& reason);
};
