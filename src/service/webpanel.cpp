// SPDX-License-Identifier: MIT
#include "webpanel.h"

#include "link/presetrecall.h"
#include "link/setupwatch.h"
#include "webmessages.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QWebSocket>

namespace {

// The files of the page, under /_/ (a switch's id never starts with "_").
const QStringList pageFiles{QStringLiteral("panel.css"), QStringLiteral("panel.js")};

QHttpServerResponse resource(const QString& name)
{
    QHttpServerResponse response = QHttpServerResponse::fromFile(QStringLiteral(":/web/") + name);
    response.setHeader("Cache-Control", "no-cache");
    return response;
}

} // namespace

WebPanel::WebPanel(const WebConfig& config, QObject* parent) : QObject(parent), settings(config)
{
    listenRetry.setSingleShot(true);
    listenRetry.setInterval(listenRetryMs);
    connect(&listenRetry, &QTimer::timeout, this, &WebPanel::tryListen);
    connect(&http, &QHttpServer::newWebSocketConnection, this, &WebPanel::onNewSocket);
    route();
}

WebPanel::~WebPanel()
{
    for (auto& [socket, page] : pages) {
        socket->disconnect(this);
        if (const auto found = switches.find(page.id); found != switches.end())
            found->second.line->commands().forget(page.asker);
        socket->abort();
        socket->deleteLater();
    }
}

void WebPanel::start()
{
    tryListen();
}

bool WebPanel::isListening() const
{
    return listener != nullptr;
}

quint16 WebPanel::listeningPort() const
{
    return listener ? listener->serverPort() : 0;
}

void WebPanel::tryListen()
{
    auto server = std::make_unique<QTcpServer>();
    if (!server->listen(settings.listenHost, settings.listenPort)) {
        const QString problem =
            tr("cannot listen on %1 (%2); trying again every %3 s")
                .arg(listenAddressText(settings.listenHost, settings.listenPort),
                     server->errorString())
                .arg(listenRetryMs / 1000);
        if (problem != lastProblem)
            tell(problem);
        lastProblem = problem;
        listenRetry.start();
        return;
    }
    listener = server.release();
    http.bind(listener); // takes it as a child
    tell(tr("listening on http://%1/")
             .arg(listenAddressText(settings.listenHost, listener->serverPort())));
}

void WebPanel::route()
{
    http.route(QStringLiteral("/"), [this] {
        QHttpServerResponse response("text/html; charset=utf-8", indexHtml());
        response.setHeader("Cache-Control", "no-cache");
        return response;
    });
    http.route(QStringLiteral("/<arg>/"), [this](const QString& id) {
        if (switches.count(id) == 0)
            return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
        return resource(QStringLiteral("panel.html"));
    });
    // The page's socket: Qt 6.4 hands a WebSocket upgrade on only when a route takes it and
    // writes nothing. Anything else there is a bad request.
    http.route(
        QStringLiteral("/<arg>/socket"),
        [](const QString&, const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                responder.write(QHttpServerResponder::StatusCode::BadRequest);
        });
    http.route(QStringLiteral("/_/<arg>"), [](const QString& name) {
        if (!pageFiles.contains(name))
            return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
        return resource(name);
    });
}

QByteArray WebPanel::indexHtml() const
{
    QString items;
    for (const auto& [id, item] : switches)
        items += QStringLiteral("<li><a href=\"/%1/\">%1</a></li>\n").arg(id); // ids: a-z 0-9 -
    QFile file(QStringLiteral(":/web/index.html"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("<!--switches-->"), items)
        .toUtf8();
}

void WebPanel::setConfig(const WebConfig& config)
{
    settings = config;
    for (const auto& [socket, page] : pages)
        sendState(socket, switches.at(page.id));
}

void WebPanel::attach(const SwitchConfig& config, SharedLine& line)
{
    detach(config.id);
    Switch& item = switches[config.id];
    item.config = config;
    item.line = &line;
    item.setup = std::make_unique<SetupWatch>(config.dir);
    const QString id = config.id;
    // Names and presets changed by any program: every page shows them at once.
    connect(item.setup.get(), &SetupWatch::changed, this, [this, id] {
        for (const auto& [socket, page] : pages) {
            if (page.id == id)
                sendState(socket, switches.at(id));
        }
    });
    connect(&line.routing(), &RoutingState::routingChanged, this,
            [this, id](const Routing& routing) { tellPages(id, webmessages::routing(routing)); });
    connect(&line, &SharedLine::linkChanged, this,
            [this, id](bool up) { tellPages(id, webmessages::link(up)); });
}

void WebPanel::detach(const QString& id)
{
    const auto found = switches.find(id);
    if (found == switches.end())
        return;
    found->second.line->disconnect(this);
    found->second.line->routing().disconnect(this);
    for (auto it = pages.begin(); it != pages.end();) {
        QWebSocket* socket = it->first;
        if (it->second.id != id) {
            ++it;
            continue;
        }
        found->second.line->commands().forget(it->second.asker);
        it = pages.erase(it);
        socket->disconnect(this);
        socket->close(QWebSocketProtocol::CloseCodeGoingAway, tr("the switch is restarting"));
        socket->deleteLater();
    }
    switches.erase(found);
}

void WebPanel::onNewSocket()
{
    while (http.hasPendingWebSocketConnections()) {
        QWebSocket* socket = http.nextPendingWebSocketConnection().release();
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(maxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(maxMessageBytes);
        const QStringList parts = socket->requestUrl().path().split(QLatin1Char('/'));
        const QString id =
            parts.size() == 3 && parts[2] == QLatin1String("socket") ? parts[1] : QString();
        const auto found = switches.find(id);
        if (found == switches.end() || int(pages.size()) >= maxPages) {
            if (found == switches.end())
                send(socket, webmessages::error(tr("no such switch")));
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                          found == switches.end() ? tr("no such switch") : tr("too many pages"));
            socket->deleteLater();
            continue;
        }
        pages[socket] = {id, found->second.line->commands().newAsker(),
                         socket->peerAddress().toString()};
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { onMessage(socket, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this,
                [this, socket] { send(socket, webmessages::error(tr("not a JSON object"))); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] {
            const auto page = pages.find(socket);
            if (page == pages.end())
                return;
            if (const auto item = switches.find(page->second.id); item != switches.end())
                item->second.line->commands().forget(page->second.asker);
            pages.erase(page);
            socket->deleteLater();
        });
        found->second.setup->edit().reload(); // as it is now, even before its change is seen
        sendState(socket, found->second);
    }
}

void WebPanel::onMessage(QWebSocket* socket, const QString& text)
{
    const auto page = pages.find(socket);
    if (page == pages.end())
        return;
    Switch& item = switches.at(page->second.id);
    if (isLockedOut(page->second.address)) {
        send(socket, webmessages::error(tr("too many wrong PINs: try again later")));
        return;
    }
    item.setup->edit().reload(); // a preset saved a moment ago elsewhere is already there
    const WebAccess access = settings.accessOf(page->second.id);
    const webmessages::Outcome outcome =
        webmessages::request(text.toUtf8(), access, item.setup->setup());
    if (outcome.deniedAccess)
        tell(tr("%1: request from %2 refused: %3")
                 .arg(page->second.id, page->second.address, outcome.error));
    if (outcome.deniedAccess && !access.readOnly)
        countWrongPin(page->second.address);
    else if (outcome.error.isEmpty())
        strikes.erase(page->second.address); // the right PIN, or none needed
    if (!outcome.error.isEmpty()) {
        send(socket, webmessages::error(outcome.error));
        return;
    }
    if (outcome.recall) {
        auto* recall = new PresetRecall(item.line->commands(), page->second.asker, socket);
        connect(recall, &PresetRecall::finished, socket,
                [this, socket, recall](const auto& result) {
                    if (const QString problem = PresetRecall::describe(result); !problem.isEmpty())
                        send(socket, webmessages::error(problem));
                    recall->deleteLater();
                });
        recall->recall(*outcome.recall, item.line->routing().whole());
        return;
    }
    for (const QByteArray& command : outcome.commands) {
        PendingCommand* pending = item.line->commands().submit(page->second.asker, command);
        // The failure of a page's own command is told to that page alone.
        connect(pending, &PendingCommand::failed, socket, [this, socket, pending] {
            if (pending->error() != PendingCommand::Error::Replaced &&
                pending->error() != PendingCommand::Error::Forgotten)
                send(socket, webmessages::error(pending->errorString()));
        });
        if (pending->isFinished())
            return; // refused: what follows would be refused too
    }
}

bool WebPanel::isLockedOut(const QString& address)
{
    const auto found = strikes.find(address);
    if (found == strikes.end() || found->second.wrongPins < maxWrongPins)
        return false;
    if (!found->second.lockedUntil.hasExpired())
        return true;
    strikes.erase(found); // served its time: a fresh start
    return false;
}

void WebPanel::countWrongPin(const QString& address)
{
    if (strikes.size() > std::size_t(maxPages) && strikes.count(address) == 0)
        std::erase_if(strikes,
                      [](const auto& entry) { return entry.second.wrongPins < maxWrongPins; });
    Strikes& own = strikes[address];
    if (++own.wrongPins < maxWrongPins)
        return;
    own.lockedUntil.setRemainingTime(wrongPinLockMs);
    tell(tr("%1 gave %2 wrong PINs: its requests are refused for %3 s")
             .arg(address)
             .arg(maxWrongPins)
             .arg(wrongPinLockMs / 1000));
}

void WebPanel::send(QWebSocket* socket, const QByteArray& message)
{
    socket->sendTextMessage(QString::fromUtf8(message));
    // A page that reads nothing is dropped (it reconnects when it wakes); later, as the pages
    // may be being walked through.
    if (socket->bytesToWrite() > maxBacklogBytes)
        QMetaObject::invokeMethod(socket, &QWebSocket::abort, Qt::QueuedConnection);
}

void WebPanel::sendState(QWebSocket* socket, const Switch& item)
{
    send(socket,
         webmessages::state(item.config.id, item.line->isOpen(), item.line->routing().routing(),
                            item.setup->setup(), settings.accessOf(item.config.id)));
}

void WebPanel::tellPages(const QString& id, const QByteArray& message)
{
    for (const auto& [socket, page] : pages) {
        if (page.id == id)
            send(socket, message);
    }
}

void WebPanel::tell(const QString& line)
{
    emit note(QStringLiteral("web: ") + line);
}
