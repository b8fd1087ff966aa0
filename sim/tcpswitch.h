// SPDX-License-Identifier: MIT
#pragma once

#include "switchmodel.h"

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace sim {

// The switch behind a raw TCP port, as a serial device server or the switch's own network port
// presents it: one client at a time (a second one is turned away while the first stays), the
// same model for every client.
class TcpSwitch : public QObject
{
    Q_OBJECT
public:
    using Log = std::function<void(const QByteArray&)>;
    // hangupAfter: close each connection after that many commands (0: never).
    TcpSwitch(const Routes& initial, int hangupAfter, Log log);

    bool listen(const QString& host, quint16 port, QString* error);
    // "HOST:PORT" actually bound.
    QByteArray address() const;

private:
    void accept();
    void readCommands();

    QTcpServer server;
    QPointer<QTcpSocket> client;
    SwitchModel model;
    int hangupAfter = 0;
    int commands = 0;
    Log log;
};

} // namespace sim
