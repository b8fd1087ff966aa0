// SPDX-License-Identifier: MIT
#pragma once

#include "serviceconfig.h"
#include "sharedline.h"
#include "webconfig.h"

#include <QDeadlineTimer>
#include <QHttpServer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>
#include <set>

class SetupWatch;
class HttpGate;
class QWebSocket;

// The web panel: over HTTP, the list of switches (/) and each switch's routing page (/ID/,
// its files under /_/); over one WebSocket per page (/ID/socket), the switch's state as JSON
// and the page's requests, each an asker of the switch's shared line. Lamps follow the line's
// reports only. Every page, message and send backlog is bounded.
class WebPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr int maxPages = 256;
    static constexpr int maxPagesPerAddress = 16;
    static constexpr int maxMessageBytes = 4096;
    static constexpr qint64 maxBacklogBytes = 256 * 1024;
    static constexpr int listenRetryMs = 5000;
    // Wrong PINs an address may give before its requests are refused for a while, whatever
    // else it asks meanwhile, so that a short PIN cannot be found by trying them all; and wrong
    // PINs from all addresses together in a minute, so that many addresses cannot either.
    static constexpr int maxWrongPins = 5;
    static constexpr int wrongPinLockMs = 30000;
    static constexpr int strikeMemoryMs = 10 * 60 * 1000;
    static constexpr int maxWrongPinsPerMinute = 30;
    static constexpr std::size_t maxStrikeAddresses = 4096;

    explicit WebPanel(const WebConfig& config, QObject* parent = nullptr);
    ~WebPanel() override;

    // Listens on the configured address, and keeps trying until it can.
    void start();
    bool isListening() const;
    quint16 listeningPort() const;
    const WebConfig& config() const { return settings; }
    // New access settings (the address stays): pages are told their switch's anew.
    void setConfig(const WebConfig& config);

    // A switch served: its page opens; one stopping: its pages are closed (they reconnect).
    void attach(const SwitchConfig& config, SharedLine& line);
    void detach(const QString& id);
    int pageCount() const { return int(pages.size()); }

private:
    struct Switch
    {
        SwitchConfig config;
        SharedLine* line = nullptr;
        std::unique_ptr<SetupWatch> setup;
    };
    struct Page
    {
        QString id;
        SharedLine::Asker asker = 0;
        QString address;
        bool bytes = false; // a console: the switch's own bytes too
    };
    void tryListen();
    void route();
    QByteArray indexHtml() const;
    void onNewSocket();
    void onMessage(QWebSocket* socket, const QString& text);
    void send(QWebSocket* socket, const QByteArray& message);
    void sendState(QWebSocket* socket, const Switch& item);
    void tellPages(const QString& id, const QByteArray& message);
    // The switch's bytes to its consoles but the one that had them already.
    void tellConsoles(const QString& id, const QByteArray& bytes, SharedLine::Asker except);
    // "web: line" in the log.
    void tell(QtMsgType level, const QString& line);
    // Whether `address` must wait after too many wrong PINs (`pinAsked`: of all addresses).
    bool isLockedOut(const QString& address, bool pinAsked);
    void countWrongPin(const QString& address);
    void tellRefusal(const QString& id, const QString& address, const QString& why);

    WebConfig settings;
    QHttpServer http;
    HttpGate* listener = nullptr; // owned by `http` once bound
    QTimer listenRetry;
    QString lastProblem;
    std::map<QString, Switch> switches;
    std::map<QWebSocket*, Page> pages;
    struct Strikes
    {
        int wrongPins = 0;
        QDeadlineTimer lockedUntil;
        QDeadlineTimer forgotten; // strikeMemoryMs after its last wrong PIN
    };
    std::map<QString, Strikes> strikes;         // by client address, while it has wrong PINs
    std::deque<QDeadlineTimer> recentWrongPins; // each expires a minute after it was given
    QDeadlineTimer everyoneLockedUntil;
    std::set<QString> refusalTold; // "ID ADDRESS" whose refusals are told, until one is taken
};
