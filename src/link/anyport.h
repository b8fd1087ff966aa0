// SPDX-License-Identifier: MIT
#pragma once

#include "panelport.h"
#include "serialport.h"
#include "tcpport.h"

// The console's line: "tcp://HOST:PORT" opens a TCP connection, "http://HOST:PORT/ID/" varnokd's
// web panel of switch ID, anything else a serial device.
class AnyPort : public Port
{
    Q_OBJECT
public:
    explicit AnyPort(QObject* parent = nullptr);

    // How long a network port may take to connect (a serial port opens at once).
    void setConnectTimeout(int ms)
    {
        tcp.setConnectTimeout(ms);
        panel.setConnectTimeout(ms);
    }
    // The PIN the web panel asks for, sent with every command through it.
    void setPanelPin(const QString& pin) { panel.setPin(pin); }

    bool open(const QString& device) override;
    void close() override { active->close(); }
    bool isOpen() const override { return active->isOpen(); }
    bool isOpening() const override { return active->isOpening(); }
    QString errorString() const override { return active->errorString(); }
    bool write(const QByteArray& bytes) override { return active->write(bytes); }
    QByteArray readAll() override { return active->readAll(); }
    qint64 bytesAvailable() const override { return active->bytesAvailable(); }
    SharedSwitch* sharedSwitch() override { return panel.sharedSwitch(); }

private:
    SerialPort serial;
    TcpPort tcp;
    PanelPort panel;
    Port* active = &serial;
};
