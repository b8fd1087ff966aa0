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

#include <map>

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
    // Who `asker` is, for the log of who asked what and whose answer changed the routing:
    // "127.0.0.1:40122", "web 192.168.1.20", "MQTT varnok/hall/output/2/set"; empty when it
    // left.
    void nameAsker(Asker asker, const QString& who);

signals:
    void linkChanged(bool up);
    // A whole report: its bytes, who has them already (see CommandChannel::reported) and
    // whether it changed the routing.
    void report(const QByteArray& bytes, SharedLine::Asker heardBy, bool answers, bool changed);

private:
    void tryOpen();
    void onOpenChanged(bool open);
    void poll();
    // One line for the log, "ID: line", unless it was the last one.
    void tell(QtMsgType level, const QString& line);
    QString whoIs(Asker asker) const;
    // The outputs that moved since `before`, and why: the answer to `answered`, or unasked.
    void tellRoutes(const Routing& before, Asker answered);
    // Who asked what, what changed: in the log and the session log.
    void audit(QtMsgType level, const QString& text);

    QString id;
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
    std::map<Asker, QString> askerNames;
};
