// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class SharedSwitch;

// A byte line to the switch, in Qt's own idiom: open, write, read what waits, and say why
// something failed. Lives on the thread that made it; never throws.
class Port : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The most a port takes off the line before the console reads it. A far end that sends
    // faster than the console handles what it read is made to wait (TCP's receive window, the
    // terminal's buffer) instead of filling memory; one framing window reads at most this.
    static constexpr qint64 readBufferBytes = 16 * 1024;

    // Opens `device` (an absolute path). False when it cannot; errorString() says why, in
    // words a user can act on.
    virtual bool open(const QString& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // A line over the network is not open when open() returns: true while it waits for the far
    // end, which ends in opened() or openFailed(). A device opens at once and never waits.
    virtual bool isOpening() const { return false; }
    // Why the last open or write failed.
    virtual QString errorString() const = 0;

    // Queues every byte, in order, nothing added. False while closed or when the line refuses.
    virtual bool write(const QByteArray& bytes) = 0;
    // Returns and removes every byte waiting.
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;

    // What a shared switch's service says besides the switch's bytes (its names and presets),
    // for a port that can carry it; nothing for a plain line. The same object for the port's
    // life, known only while it is open on such a switch.
    virtual SharedSwitch* sharedSwitch() { return nullptr; }

signals:
    // An open() that had to wait succeeded (see isOpening).
    void opened();
    // An open() that had to wait failed; errorString() says why, as does `reason`.
    void openFailed(const QString& reason);
    // Bytes wait to be read.
    void readyRead();
    // The device vanished or the far end hung up; the port is already closed. Bytes received
    // before can still be read once.
    void linkLost(const QString& reason);
    // The device refused bytes that write() had accepted; the port stays open.
    void writeFailed(const QString& reason);
};
