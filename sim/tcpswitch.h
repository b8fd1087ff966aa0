// SPDX-License-Identifier: MIT
#pragma once

#include "switchmodel.h"

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <random>

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
    ~TcpSwitch() override;

    // As a person at the switch: every intervalMs a random output moves to another input, and
    // the connected client (if any) gets its route report.
    void startFrontPanel(int intervalMs, quint32 seed);
    // See SwitchModel::setStuckOutput.
    void setStuckOutput(int output) { model.setStuckOutput(output); }

    bool listen(const QString& host, quint16 port, QString* error);
    // "HOST:PORT" actually bound.
    QByteArray address() const;

private:
    void accept();
    void readCommands();
    void frontPanel();

    QTcpServer server;
    QPointer<QTcpSocket> client;
    SwitchModel model;
    int hangupAfter = 0;
    int commands = 0;
    Log log;
    QTimer frontPanelTimer;
    std::mt19937 random;
};

} // namespace sim
