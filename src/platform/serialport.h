// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <stdexcept>

// Raised by SerialPort operations that cannot be carried out: opening a port that does not
// exist or is in use, choosing an invalid port number, writing while the port is closed or
// when the write fails. Callers catch it where they report the failure to the user.
class SerialError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The console's one serial line to the switch, shaped after the operations the console uses:
// line settings, read length, receive threshold, port number, open/close/query, write, the
// receive notification and the read of everything waiting. Lives on the user-interface thread.
class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // "9600,N,8,1": baud, parity (N/E/O/M/S), data bits, stop bits; applies from the next open.
    // Throws SerialError on a malformed text.
    virtual void setSettings(const QString& settings) = 0;
    virtual QString settings() const = 0;

    // 0 means a read returns every byte waiting.
    virtual void setInputLen(int length) = 0;
    // 1 raises the receive notification as soon as one byte waits; 0 raises none.
    virtual void setRThreshold(int threshold) = 0;

    // COM port number used by the next open; throws SerialError for 0 or a number above 255.
    virtual void setCommPort(int port) = 0;
    virtual int commPort() const = 0;

    // Opens the chosen port; throws SerialError (port missing, in use, invalid) and stays closed.
    virtual void open() = 0;
    // Closes; never fails.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Sends every byte in order, nothing added. Throws SerialError while closed or when the
    // write fails; nothing is sent then.
    virtual void output(const QByteArray& bytes) = 0;
    // Returns and removes every byte waiting, raw.
    virtual QByteArray input() = 0;
    // Bytes waiting to be read, without taking them.
    virtual qint64 bytesWaiting() const = 0;

    // Why the last open failed, in words a user can act on (empty when it did not fail).
    virtual QString lastOpenFailure() const { return {}; }

signals:
    // The receive notification: raised on the user-interface thread when bytes wait.
    void comm();
    // The device vanished or the far end hung up; the port has already been closed. Bytes
    // received before can still be read once.
    void linkLost(const QString& reason);
    // The device refused bytes that output() had accepted; the port stays open.
    void writeFailed(const QString& reason);
};
