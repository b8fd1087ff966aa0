// SPDX-License-Identifier: MIT
#include "tcpswitch.h"

#include "protocol/logtext.h"

#include <QHostAddress>

namespace sim {

TcpSwitch::TcpSwitch(const Routes& initial, int hangupAfterCommands, Log logLine)
    : model(initial), hangupAfter(hangupAfterCommands), log(std::move(logLine))
{
    connect(&server, &QTcpServer::newConnection, this, &TcpSwitch::accept);
    connect(&frontPanelTimer, &QTimer::timeout, this, &TcpSwitch::frontPanel);
}

TcpSwitch::~TcpSwitch()
{
    // The socket is the server's child: gone with it, it would still call back into members
    // destroyed before the server.
    if (client) {
        client->disconnect(this);
        delete client.data();
    }
}

void TcpSwitch::startFrontPanel(int intervalMs, quint32 seed)
{
    random.seed(seed);
    frontPanelTimer.start(intervalMs);
}

void TcpSwitch::frontPanel()
{
    const QByteArray report = model.frontPanelChange(quint32(random()));
    log("** front panel: output " + report.mid(1, 1) + " to input " + report.mid(2, 1));
    if (client) {
        log("-> " + protocol::logEscaped(report));
        client->write(report);
    }
}

bool TcpSwitch::listen(const QString& host, quint16 port, QString* error)
{
    const QHostAddress address(host == QLatin1String("localhost") ? QStringLiteral("127.0.0.1")
                                                                  : host);
    if (address.isNull()) {
        *error = QStringLiteral("--listen needs a numeric address, not %1").arg(host);
        return false;
    }
    if (!server.listen(address, port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(host)
                     .arg(port)
                     .arg(server.errorString());
        return false;
    }
    return true;
}

QByteArray TcpSwitch::address() const
{
    const QHostAddress host = server.serverAddress();
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(host.toString())
                             : host.toString();
    return name.toLatin1() + ':' + QByteArray::number(server.serverPort());
}

void TcpSwitch::accept()
{
    while (QTcpSocket* next = server.nextPendingConnection()) {
        if (client) {
            log("** turned away " + next->peerAddress().toString().toLatin1() + ": busy");
            next->abort();
            next->deleteLater();
            continue;
        }
        client = next;
        commands = 0;
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        log("** client " + client->peerAddress().toString().toLatin1() + ':' +
            QByteArray::number(client->peerPort()));
        connect(client, &QTcpSocket::readyRead, this, &TcpSwitch::readCommands);
        connect(client, &QTcpSocket::disconnected, this, [this] {
            log("** client gone");
            client->deleteLater();
            client = nullptr;
        });
    }
}

void TcpSwitch::readCommands()
{
    if (!client)
        return;
    for (const Exchange& exchange : model.feed(client->readAll())) {
        log("<- " + protocol::logEscaped(exchange.command));
        if (!exchange.reply.isEmpty()) {
            log("-> " + protocol::logEscaped(exchange.reply));
            client->write(exchange.reply);
        }
        if (hangupAfter > 0 && ++commands >= hangupAfter) {
            log("** hanging up after " + QByteArray::number(commands) + " commands");
            client->disconnectFromHost(); // the reply goes out first
            return;
        }
    }
}

} // namespace sim
