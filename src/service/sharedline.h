// SPDX-License-Identifier: MIT
#pragma once

#include "link/anyport.h"
#include "link/commandchannel.h"
#include "link/portchoice.h"
#include "link/routingstate.h"
#include "link/switchsession.h"
#include "serviceconfig.h"

#include <QObject>
#include <QTimer>

// One switch's line as the service holds it: the link (opened at start and kept trying,
// reopened when lost, only to the same device, with growing pauses), the command channel that
// every front shares, and the routing the switch reported. Asks for the routing whenever the
// line opens and, when so configured, once it has been quiet for the poll interval. Knows no
// socket: each front is an adapter of its channel and routing.
class SharedLine : public QObject
{
    Q_OBJECT
public:
    using Asker = CommandChannel::Asker;
    static constexpr int openRetryMs = 2000;
    static constexpr int longestRetryMs = 30000;

    explicit SharedLine(const SwitchConfig& config, QObject* parent = nullptr);
    ~SharedLine() override;

    // Opens the line, and keeps trying until it opens.
    void start();
    bool isOpen() const { return session.isOpen(); }
    QString portName() const { return session.portName(); }

    CommandChannel& commands() { return channel; }
    const RoutingState& routing() const { return reported; }
    // The asker of the line's own status requests.
    Asker service() const { return self; }

signals:
    void linkChanged(bool up);
    // A whole report: its bytes, who has them already (see CommandChannel::reported) and
    // whether it changed the routing.
    void report(const QByteArray& bytes, SharedLine::Asker heardBy, bool answers, bool changed);
    // Something for the service's log.
    void note(const QString& line);

private:
    void tryOpen();
    void onOpenChanged(bool open);
    void poll();
    void tell(const QString& line);

    AnyPort port;
    PortChoice choice;
    SwitchSession session;
    CommandChannel channel{session};
    RoutingState reported;
    Asker self = channel.newAsker();
    QTimer openRetry;
    QTimer idle; // the service's own status request once the line has been quiet this long
    QString lastNote;
    bool openedBefore = false;
};
