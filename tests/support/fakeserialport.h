// SPDX-License-Identifier: MIT
#pragma once

#include "link/port.h"

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

// A port that records what is written and lets a test play the switch's side.
class FakeSerialPort : public Port
{
    Q_OBJECT
public:
    using Port::Port;

    // The COM number a device path stands for: /dev/ttyS3 is COM4, .../COM7 is COM7; else -1.
    static int comNumberOf(const QString& device)
    {
        static const QRegularExpression builtIn(QStringLiteral("^/dev/ttyS(\\d+)$"));
        static const QRegularExpression link(QStringLiteral("/COM(\\d+)$"));
        if (const auto m = builtIn.match(device); m.hasMatch())
            return m.captured(1).toInt() + 1;
        if (const auto m = link.match(device); m.hasMatch())
            return m.captured(1).toInt();
        return -1;
    }

    bool open(const QString& device) override
    {
        ++openAttempts;
        openedDevices << device;
        openedPorts << comNumberOf(device);
        if (opened) {
            error = QStringLiteral("port already open");
            return false;
        }
        if (missingPorts.contains(comNumberOf(device))) {
            error = openFailureReason;
            return false;
        }
        error.clear();
        if (waitsToOpen) {
            opening = true; // a network port: finishOpening() tells how it went
            return true;
        }
        opened = true;
        return true;
    }
    void close() override { opened = opening = false; }
    bool isOpen() const override { return opened; }
    bool isOpening() const override { return opening; }
    // Ends an open that waited, as the far end answers or not.
    void finishOpening(bool ok, const QString& reason = QStringLiteral("connection refused"))
    {
        opening = false;
        opened = ok;
        if (ok) {
            emit Port::opened();
        } else {
            error = reason;
            emit openFailed(reason);
        }
    }
    QString errorString() const override { return error; }
    bool write(const QByteArray& bytes) override
    {
        if (!opened || failWrites) {
            error = QStringLiteral("write failed");
            return false;
        }
        written += bytes;
        writes << bytes;
        return true;
    }
    QByteArray readAll() override
    {
        ++inputReads;
        QByteArray all;
        all.swap(received);
        return all;
    }
    qint64 bytesAvailable() const override { return received.size(); }

    // The switch's side: bytes arrive and the port says so.
    void feed(const QByteArray& bytes)
    {
        received += bytes;
        emit readyRead();
    }
    // The far end vanished: the port closes itself and says so.
    void hangUp(const QString& reason = QStringLiteral("device vanished"))
    {
        opened = false;
        emit linkLost(reason);
    }
    QByteArray takeWritten()
    {
        QByteArray all;
        all.swap(written);
        writes.clear();
        return all;
    }

    bool opened = false;
    bool waitsToOpen = false; // opens as a network port does: later, by signal
    bool opening = false;
    bool failWrites = false;
    QSet<int> missingPorts; // COM numbers whose open fails
    QString openFailureReason = QStringLiteral("no such device");
    QString error;
    int openAttempts = 0;
    QStringList openedDevices;
    QList<int> openedPorts; // COM numbers, in the order they were opened
    QByteArray written;
    QList<QByteArray> writes;
    QByteArray received;
    int inputReads = 0;
};
