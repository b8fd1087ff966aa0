// SPDX-License-Identifier: MIT
#pragma once

#include "serviceconfig.h"
#include "sharedline.h"

#include "pacedlistener.h"
#include <QObject>

#include <QTimer>

#include <map>
#include <set>

class ClientLink;

// A switch's TCP front: a listener that speaks the switch's own language to any number of
// clients, each an asker of the shared line. What the switch says unasked, and every report,
// reaches every client once; an answer only its asker. A listener that cannot open yet is tried
// again.
class SwitchFront : public QObject
{
    Q_OBJECT
public:
    static constexpr int listenRetryMs = 5000;

    SwitchFront(SharedLine& line, const SwitchConfig& config, QObject* parent = nullptr);

    void start();
    bool isListening() const { return server.isListening(); }
    quint16 listeningPort() const { return server.serverPort(); }
    int clientCount() const { return int(clients.size()); }

private:
    using Asker = SharedLine::Asker;
    void tryListen();
    void onNewConnection();
    void onCommand(Asker asker, ClientLink* client, const QByteArray& bytes);
    void onReport(const QByteArray& bytes, Asker heardBy, bool answers, bool changed);
    // To every client but `except`.
    void sendAll(const QByteArray& bytes, Asker except);
    // "ID: text" in the log.
    void tell(QtMsgType level, const QString& text);

    SharedLine& line;
    SwitchConfig config;
    PacedListener server;
    QTimer listenRetry;
    QString lastProblem;
    std::map<Asker, ClientLink*> clients;
    // Askers told that their commands are refused, until one is taken again: told once a streak.
    std::set<Asker> refusedTold;
};
