// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

class QSocketNotifier;

// A TCP listener that, when the process has no descriptor left for a new connection, stops
// accepting for a moment and says so once, where QTcpServer tries again at once, for ever, at a
// core's full speed. Connections come as QTcpServer's: incomingConnection(), then
// pendingConnectionAvailable().
class PacedListener : public QTcpServer
{
    Q_OBJECT
public:
    static constexpr int pauseMs = 1000;

    explicit PacedListener(QObject* parent = nullptr);

    // As QTcpServer::listen(), which it hides: the listener accepts through its own notifier.
    bool listen(const QHostAddress& address, quint16 port);
    QTcpSocket* nextPendingConnection() override;

signals:
    // Something for the log, once a streak.
    void note(const QString& line);

private:
    void acceptWaiting();

    QSocketNotifier* notifier = nullptr;
    QTimer resume;
    bool told = false;
};
