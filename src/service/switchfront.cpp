// SPDX-License-Identifier: MIT
#include "switchfront.h"

#include "clientlink.h"
#include "protocol/logtext.h"

SwitchFront::SwitchFront(SharedLine& sharedLine, const SwitchConfig& switchConfig, QObject* parent)
    : QObject(parent), line(sharedLine), config(switchConfig)
{
    server.setParent(this);
    listenRetry.setParent(this);
    listenRetry.setInterval(listenRetryMs);
    listenRetry.setSingleShot(true);
    connect(&listenRetry, &QTimer::timeout, this, &SwitchFront::tryListen);
    connect(&server, &QTcpServer::newConnection, this, &SwitchFront::onNewConnection);
    connect(&line, &SharedLine::answerBytes, this,
            [this](SharedLine::Asker asker, const QByteArray& bytes) {
                if (const auto found = clients.find(asker); found != clients.end())
                    found->second->send(bytes);
            });
    connect(&line, &SharedLine::sharedBytes, this,
            [this](const QByteArray& bytes, SharedLine::Asker except) {
                // A client dropped while writing leaves the map: walk a copy.
                const auto everyone = clients;
                for (const auto& [asker, client] : everyone) {
                    if (asker != except)
                        client->send(bytes);
                }
            });
}

void SwitchFront::start()
{
    tryListen();
}

void SwitchFront::tryListen()
{
    if (server.listen(config.listenHost, config.listenPort)) {
        lastProblem.clear();
        SwitchConfig bound = config;
        bound.listenPort = server.serverPort();
        emit note(tr("listening on %1").arg(bound.listenText()));
        return;
    }
    if (server.errorString() != lastProblem) {
        lastProblem = server.errorString();
        emit note(tr("cannot listen on %1: %2; trying again every %3 s")
                      .arg(config.listenText(), lastProblem)
                      .arg(listenRetryMs / 1000));
    }
    listenRetry.start();
}

void SwitchFront::onNewConnection()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        const SharedLine::Asker asker = line.newAsker();
        auto* client = new ClientLink(socket, this);
        clients.emplace(asker, client);
        emit note(
            tr("%1 connected (%n client(s))", nullptr, int(clients.size())).arg(client->peer()));
        connect(client, &ClientLink::command, this, [this, asker, client](const QByteArray& bytes) {
            onCommand(asker, client, bytes);
        });
        connect(client, &ClientLink::gone, this, [this, asker, client](const QString& reason) {
            clients.erase(asker);
            refusedTold.erase(asker);
            line.forget(asker);
            emit note(tr("%1 %2 (%n client(s))", nullptr, int(clients.size()))
                          .arg(client->peer(), reason));
        });
    }
}

void SwitchFront::onCommand(SharedLine::Asker asker, ClientLink* client, const QByteArray& bytes)
{
    const SharedLine::Refusal refusal = line.submit(asker, bytes);
    if (refusal == SharedLine::Refusal::None) {
        refusedTold.erase(asker);
        return;
    }
    const QString command = QString::fromLatin1(protocol::logEscaped(bytes));
    if (refusal == SharedLine::Refusal::LineDown) {
        // As an unplugged switch: no answer. Every such command is worth a line in the log.
        emit note(
            tr("%1 sent %2 while the line is down: not answered").arg(client->peer(), command));
        return;
    }
    if (refusedTold.insert(asker).second)
        emit note(tr("%1 has %2 commands waiting: %3 and what follows are not sent until they go")
                      .arg(client->peer())
                      .arg(SharedLine::maxQueuedPerAsker)
                      .arg(command));
}
