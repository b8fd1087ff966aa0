// SPDX-License-Identifier: MIT
#pragma once

#include "serialport.h"

#include <QSerialPort>

// SerialPort over QSerialPort. COMn is found by comDevicePath() at every open.
class QtSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);

    void setSettings(const QString& settings) override;
    QString settings() const override { return settingsText; }
    void setInputLen(int length) override { inputLen = length; }
    void setRThreshold(int threshold) override { rThreshold = threshold; }
    void setCommPort(int port) override;
    int commPort() const override { return port; }
    void open() override;
    void close() override;
    bool isOpen() const override;
    void output(const QByteArray& bytes) override;
    QByteArray input() override;
    qint64 bytesWaiting() const override;
    QString lastOpenFailure() const override { return openFailure; }

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    QString openFailureText(QSerialPort::SerialPortError error, const QString& reason) const;
    void onReadyRead();

    QSerialPort serial;
    QString settingsText = QStringLiteral("9600,N,8,1");
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    int inputLen = 0;
    int rThreshold = 0;
    int port = 1;
    QString device; // what the last open looked up for COMn
    QString openFailure;
    QByteArray receivedBeforeLoss; // read from the line before it went, not yet taken
};
