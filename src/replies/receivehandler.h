// SPDX-License-Identifier: MIT
#pragma once

#include "replyparser.h"

#include <QObject>
#include <QTimer>

class SerialPort;

// Turns the port's receive notifications into whole replies without blocking the event loop:
// the first notification opens a framing window; when it ends, everything waiting is read as
// one reply text. While held (a message box is open), bytes wait in the port and are handled,
// in order, once the last hold is released.
class ReceiveHandler : public QObject
{
    Q_OBJECT
public:
    static constexpr int framingWindowMs = 30;

    explicit ReceiveHandler(SerialPort& port, QObject* parent = nullptr);

    void hold();
    void release();
    bool isHeld() const { return holds > 0; }

signals:
    // One notification window's reply, already classified.
    void replyReceived(const replies::Reply& reply);

private:
    void onComm();
    void onWindowEnd();

    SerialPort& port;
    QTimer window;
    int holds = 0;
    bool pending = false; // a window ended while held: its bytes still wait in the port
    bool handling = false;
};
