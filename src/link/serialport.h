// SPDX-License-Identifier: MIT
#pragma once

#include "port.h"

#include <QSerialPort>

// A Port on a serial device: always 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control, as the switch expects.
class SerialPort : public Port
{
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);

    bool open(const QString& device) override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return error; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;

    // The line settings in force while open, for checks.
    qint32 baudRate() const { return serial.baudRate(); }
    QSerialPort::DataBits dataBits() const { return serial.dataBits(); }
    QSerialPort::Parity parity() const { return serial.parity(); }
    QSerialPort::StopBits stopBits() const { return serial.stopBits(); }

private:
    void onErrorOccurred(QSerialPort::SerialPortError code);
    // "DEVICE is in use by HOLDER."
    QString inUseText(const QString& holder) const;
    QString openFailureText(QSerialPort::SerialPortError code, const QString& reason) const;

    QSerialPort serial;
    QString device;   // as the user named it
    QString resolved; // the device it led to at the open: the lock's key
    QString error;
    QByteArray receivedBeforeLoss; // read from the line before it went, not yet taken
};
