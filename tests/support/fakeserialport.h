// SPDX-License-Identifier: MIT
#pragma once

#include "platform/serialport.h"

#include <QList>
#include <QSet>

// A serial port that records what is written and lets a test play the switch's side.
class FakeSerialPort : public SerialPort
{
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    void setSettings(const QString& s) override { settingsText = s; }
    QString settings() const override { return settingsText; }
    void setInputLen(int length) override { inputLen = length; }
    void setRThreshold(int threshold) override { rThreshold = threshold; }
    void setCommPort(int port) override
    {
        if (port < 1 || port > 255)
            throw SerialError("invalid port number");
        commPortNumber = port;
    }
    int commPort() const override { return commPortNumber; }
    void open() override
    {
        ++openAttempts;
        openedPorts << commPortNumber;
        if (opened)
            throw SerialError("port already open");
        if (missingPorts.contains(commPortNumber)) {
            openFailure = openFailureReason;
            throw SerialError("no such port");
        }
        openFailure.clear();
        opened = true;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void output(const QByteArray& bytes) override
    {
        if (!opened || failWrites)
            throw SerialError("write failed");
        written += bytes;
        writes << bytes;
    }
    QByteArray input() override
    {
        ++inputReads;
        QByteArray all;
        all.swap(received);
        return all;
    }
    qint64 bytesWaiting() const override { return received.size(); }
    QString lastOpenFailure() const override { return openFailure; }

    // The switch's side: bytes arrive and the receive notification is raised.
    void feed(const QByteArray& bytes)
    {
        received += bytes;
        if (rThreshold > 0)
            emit comm();
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

    QString settingsText;
    int inputLen = -1;
    int rThreshold = -1;
    int commPortNumber = 1;
    bool opened = false;
    bool failWrites = false;
    QSet<int> missingPorts;
    QString openFailureReason = QStringLiteral("no such device");
    QString openFailure;
    int openAttempts = 0;
    QList<int> openedPorts;
    QByteArray written;
    QList<QByteArray> writes;
    QByteArray received;
    int inputReads = 0;
};
