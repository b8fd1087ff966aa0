// SPDX-License-Identifier: MIT
#include "receivehandler.h"

#include "platform/serialport.h"

ReceiveHandler::ReceiveHandler(SerialPort& serialPort, QObject* parent)
    : QObject(parent), port(serialPort)
{
    window.setSingleShot(true);
    window.setInterval(framingWindowMs);
    window.setTimerType(Qt::PreciseTimer);
    connect(&port, &SerialPort::comm, this, &ReceiveHandler::onComm);
    connect(&window, &QTimer::timeout, this, &ReceiveHandler::onWindowEnd);
}

void ReceiveHandler::onComm()
{
    // Bytes that arrive inside an open window belong to it.
    if (!window.isActive() && !pending)
        window.start();
}

void ReceiveHandler::onWindowEnd()
{
    if (holds > 0 || handling) {
        pending = true;
        return;
    }
    pending = false;
    handling = true;
    const replies::Reply reply = replies::classify(replies::bytes2BSTR(port.input()));
    emit replyReceived(reply);
    handling = false;
    // Bytes that came in while the reply was being handled start a window of their own.
    if (pending || (holds == 0 && port.bytesWaiting() > 0 && !window.isActive())) {
        pending = false;
        window.start();
    }
}

void ReceiveHandler::hold()
{
    ++holds;
}

void ReceiveHandler::release()
{
    if (holds > 0 && --holds == 0 && pending) {
        pending = false;
        // The bytes have waited for the box; read them now rather than after another window.
        onWindowEnd();
    }
}
