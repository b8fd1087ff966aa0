// SPDX-License-Identifier: MIT
#include "switchfront.h"

#include "clientlink.h"
#include "link/keepalive.h"
#include "protocol/logtext.h"
#include "servicelog.h"

SwitchFront::SwitchFront(SharedLine& sharedLine, const SwitchConfig& switchConfig, QObject* parent)
    : QObject(parent), line(sharedLine), config(switchConfig)
{
    server.setParent(this);
    listenRetry.setParent(this);
    listenRetry.setInterval(listenRetryMs);
    listenRetry.setSingleShot(true);
    connect(&listenRetry, &QTimer::timeout, this, &SwitchFront::tryListen);
    connect(&server, &QTcpServer::pendingConnectionAvailable, this, &SwitchFront::onNewConnection);
    connect(&server, &PacedListener::note, this,
            [this](const QString& text) { tell(QtWarningMsg, text); });
    connect(&line.commands(), &CommandChannel::unaskedBytes, this,
            [this](const QByteArray& bytes) { sendAll(bytes, CommandChannel::nobody); });
    connect(&line, &SharedLine::report, this, &SwitchFront::onReport);
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
        tell(QtInfoMsg, tr("listening on %1").arg(bound.listenText()));
        return;
    }
    if (server.errorString() != lastProblem) {
        lastProblem = server.errorString();
        tell(QtCriticalMsg, tr("cannot listen on %1: %2; trying again every %3 s")
                                .arg(config.listenText(), lastProblem)
                                .arg(listenRetryMs / 1000));
    }
    listenRetry.start();
}

void SwitchFront::onNewConnection()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        const Asker asker = line.commands().newAsker();
        keepAlive(*socket); // a controller gone without a word is let go
        auto* client = new ClientLink(socket, this);
        clients.emplace(asker, client);
        line.nameAsker(asker, client->peer());
        tell(QtInfoMsg,
             tr("%1 connected (%n client(s))", nullptr, int(clients.size())).arg(client->peer()));
        connect(client, &ClientLink::command, this, [this, asker, client](const QByteArray& bytes) {
            onCommand(asker, client, bytes);
        });
        connect(client, &ClientLink::lineDropped, this, [this, client](const QString& why) {
            tell(QtWarningMsg,
                 tr("%1: an unfinished line is not sent (%2)").arg(client->peer(), why));
        });
        connect(client, &ClientLink::gone, this, [this, asker, client](const QString& reason) {
            clients.erase(asker);
            refusedTold.erase(asker);
            line.commands().forget(asker);
            line.nameAsker(asker, {});
            tell(QtInfoMsg, tr("%1 %2 (%n client(s))", nullptr, int(clients.size()))
                                .arg(client->peer(), reason));
        });
    }
}

void SwitchFront::onCommand(Asker asker, ClientLink* client, const QByteArray& bytes)
{
    PendingCommand* command = line.commands().submit(asker, bytes);
    if (!command->isFinished()) {
        // A client that polls too fast has one command taken each time one is answered: its
        // streak ends only once it waits for nothing else.
        if (client->awaitedCount() == 0)
            refusedTold.erase(asker);
        client->track(command);
        return;
    }
    // As an unplugged switch: no answer.
    if (command->error() == PendingCommand::Error::Replaced || !refusedTold.insert(asker).second)
        return;
    const QString sent = QString::fromLatin1(protocol::logEscaped(bytes));
    if (command->error() == PendingCommand::Error::LineDown)
        tell(QtWarningMsg,
             tr("%1 sent %2 while the line is down: it and what follows until the line is "
                "back are not answered")
                 .arg(client->peer(), sent));
    else
        tell(QtWarningMsg,
             tr("%1 has %2 commands waiting: %3 and what follows are not sent until they go")
                 .arg(client->peer())
                 .arg(CommandChannel::maxWaitingPerAsker)
                 .arg(sent));
}

void SwitchFront::tell(QtMsgType level, const QString& text)
{
    servicelog::write(lcFront(), level, config.id + QStringLiteral(": ") + text);
}

void SwitchFront::onReport(const QByteArray& bytes, Asker heardBy, bool answers, bool changed)
{
    if (heardBy == CommandChannel::nobody)
        return; // every client had its bytes as they came
    if (heardBy != line.service())
        sendAll(bytes, heardBy); // the asker had it as its answer
    else if (!answers || changed)
        sendAll(bytes, CommandChannel::nobody); // the line's own request: news only
}

void SwitchFront::sendAll(const QByteArray& bytes, Asker except)
{
    // A client dropped while writing leaves the map: walk a copy.
    const auto everyone = clients;
    for (const auto& [asker, client] : everyone) {
        if (asker != except)
            client->send(bytes);
    }
}
