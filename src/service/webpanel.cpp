// SPDX-License-Identifier: MIT
#include "webpanel.h"

#include "httpgate.h"
#include "link/presetrecall.h"
#include "link/setupwatch.h"
#include "pagelanguage.h"
#include "servicelog.h"
#include "webmessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QWebSocket>

namespace {

// The files of the page, under /_/ (a switch's id never starts with "_").
const QStringList pageFiles{QStringLiteral("panel.css"), QStringLiteral("panel.js")};

// A short answer a person can read: a browser shows an empty one as a broken site.
QHttpServerResponse notFound()
{
    return QHttpServerResponse("text/plain; charset=utf-8",
                               QCoreApplication::translate("WebPanel", "No such page.\n").toUtf8(),
                               QHttpServerResponse::StatusCode::NotFound);
}

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
    auto server = std::make_unique<HttpGate>(settings.hosts, settings.tls());
    if (!server->listen(settings.listenHost, settings.listenPort)) {
        const QString problem =
            tr("cannot listen on %1 (%2); trying again every %3 s")
                .arg(listenAddressText(settings.listenHost, settings.listenPort),
                     server->errorString())
                .arg(listenRetryMs / 1000);
        if (problem != lastProblem)
            tell(QtCriticalMsg, problem);
        lastProblem = problem;
        listenRetry.start();
        return;
    }
    connect(server.get(), &HttpGate::note, this,
            [this](const QString& text) { tell(QtWarningMsg, text); });
    listener = server.release();
    http.bind(listener); // takes it as a child
    tell(QtInfoMsg,
         tr("listening on %1://%2/")
             .arg(settings.certFile.isEmpty() ? QStringLiteral("http") : QStringLiteral("https"),
                  listenAddressText(settings.listenHost, listener->serverPort())));
}

void WebPanel::route()
{
    http.route(QStringLiteral("/"), [this] {
        QHttpServerResponse response("text/html; charset=utf-8", indexHtml());
        response.setHeader("Cache-Control", "no-cache");
        return response;
    });
    http.route(QStringLiteral("/<arg>/"),
               [this](const QString& id, const QHttpServerRequest& request) {
                   if (switches.count(id) == 0)
                       return notFound();
                   // In the browser's language, with the catalogue the console uses.
                   const QString language = pagelanguage::choose(request.value("accept-language"));
                   QFile file(QStringLiteral(":/web/panel.html"));
                   file.open(QIODevice::ReadOnly);
                   QByteArray page = file.readAll();
                   page.replace("<html lang=\"en\">", "<html lang=\"" + language.toLatin1() + "\">")
                       .replace("<!--texts-->", "<script id=\"texts\" type=\"application/json\">" +
                                                    pagelanguage::texts(language) + "</script>");
                   QHttpServerResponse response("text/html; charset=utf-8", page);
                   response.setHeader("Cache-Control", "no-cache");
                   response.setHeader("Content-Language", language.toLatin1());
                   response.setHeader("Vary", "Accept-Language");
                   return response;
               });
    // A switch's address typed without its last slash: its page all the same.
    http.route(QStringLiteral("/<arg>"), [this](const QString& id) {
        if (switches.count(id) == 0)
            return notFound();
        QHttpServerResponse response(QHttpServerResponse::StatusCode::MovedPermanently);
        response.setHeader("Location", QStringLiteral("/%1/").arg(id).toUtf8());
        return response;
    });
    // The page's socket: Qt 6.4 hands a WebSocket upgrade on only when a route takes it and
    // writes nothing. Anything else there is a bad request.
    http.route(
        QStringLiteral("/<arg>/socket"),
        [](const QString&, const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                responder.write(
                    QCoreApplication::translate("WebPanel", "This address is for the page's "
                                                            "live connection only.\n")
                        .toUtf8(),
                    "text/plain; charset=utf-8", QHttpServerResponder::StatusCode::BadRequest);
        });
    http.route(QStringLiteral("/_/<arg>"), [](const QString& name) {
        if (!pageFiles.contains(name))
            return notFound();
        return resource(name);
    });
    http.setMissingHandler([](const QHttpServerRequest&, QHttpServerResponder&& responder) {
        responder.write(QCoreApplication::translate("WebPanel", "No such page.\n").toUtf8(),
                        "text/plain; charset=utf-8", QHttpServerResponder::StatusCode::NotFound);
    });
}

QByteArray WebPanel::indexHtml() const
{
    QString items;
    for (const auto& [id, item] : switches)
        items += QStringLiteral("<li><a href=\"/%1/\">%2</a></li>\n") // ids: a-z 0-9 -
                     .arg(id, (item.config.name.isEmpty() ? id : item.config.name).toHtmlEscaped());
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
    // Consoles through the panel hear the line as a TCP client of the service does.
    connect(
        &line.commands(), &CommandChannel::unaskedBytes, this,
        [this, id](const QByteArray& bytes) { tellConsoles(id, bytes, CommandChannel::nobody); });
    connect(&line, &SharedLine::report, this,
            [this, id, &line](const QByteArray& bytes, SharedLine::Asker heardBy) {
                if (heardBy != CommandChannel::nobody) // else every console had it as it came
                    tellConsoles(id, bytes,
                                 heardBy == line.service() ? CommandChannel::nobody : heardBy);
            });
    connect(&line.routing(), &RoutingState::problemsChanged, this,
            [this, id, &line] { tellPages(id, webmessages::problems(line.routing().problems())); });
    const auto tellLink = [this, id, &line] {
        tellPages(id, webmessages::link(line.isOpen(), line.commands().isAnswering()));
    };
    connect(&line, &SharedLine::linkChanged, this, tellLink);
    connect(&line.commands(), &CommandChannel::answeringChanged, this, tellLink);
}

void WebPanel::detach(const QString& id)
{
    const auto found = switches.find(id);
    if (found == switches.end())
        return;
    found->second.line->disconnect(this);
    found->second.line->routing().disconnect(this);
    found->second.line->commands().disconnect(this);
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
        const QString address = socket->peerAddress().toString();
        const auto fromThere = std::count_if(pages.cbegin(), pages.cend(), [&](const auto& page) {
            return page.second.address == address;
        });
        if (found == switches.end() || int(pages.size()) >= maxPages ||
            fromThere >= maxPagesPerAddress) {
            if (found == switches.end())
                send(socket, webmessages::error(tr("no such switch")));
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                          found == switches.end() ? tr("no such switch") : tr("too many pages"));
            socket->deleteLater();
            continue;
        }
        pages[socket] = {id, found->second.line->commands().newAsker(), address,
                         socket->requestUrl().query() == QLatin1String("bytes")};
        found->second.line->nameAsker(pages[socket].asker, QStringLiteral("web ") + address);
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { onMessage(socket, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this,
                [this, socket] { send(socket, webmessages::error(tr("not a JSON object"))); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] {
            const auto page = pages.find(socket);
            if (page == pages.end())
                return;
            if (const auto item = switches.find(page->second.id); item != switches.end()) {
                item->second.line->commands().forget(page->second.asker);
                item->second.line->nameAsker(page->second.asker, {});
            }
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
    item.setup->edit().reload(); // a preset saved a moment ago elsewhere is already there
    const WebAccess access = settings.accessOf(page->second.id);
    const webmessages::Outcome outcome =
        webmessages::request(text.toUtf8(), access, item.setup->setup());
    if (isLockedOut(page->second.address, !access.pin.isEmpty())) {
        send(socket,
             webmessages::error(tr("too many wrong PINs: try again later"), outcome.ref, true));
        return;
    }
    if (outcome.deniedAccess)
        tellRefusal(page->second.id, page->second.address, outcome.error);
    else if (outcome.error.isEmpty())
        refusalTold.erase(page->second.id + QLatin1Char(' ') + page->second.address);
    // Strikes stay whatever else the address asks: a switch without a PIN clears none.
    if (outcome.deniedAccess && !access.readOnly)
        countWrongPin(page->second.address);
    if (!outcome.error.isEmpty()) {
        send(socket, webmessages::error(outcome.error, outcome.ref, outcome.deniedAccess));
        return;
    }
    if (outcome.edit) {
        QString why;
        if (!applyEdit(*outcome.edit, item.setup->edit(), item.line->routing().whole(), why)) {
            send(socket, webmessages::error(why, outcome.ref));
            return;
        }
        for (const auto& [other, otherPage] : pages) { // at once, not when the file is seen
            if (otherPage.id == page->second.id)
                sendState(other, item);
        }
        if (outcome.ref != 0)
            send(socket, webmessages::done(outcome.ref));
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
        if (page->second.bytes) {
            // A console hears what the switch says and nothing else, as a TCP client does: a
            // command left unanswered is answered by nothing.
            connect(pending, &PendingCommand::answerArriving, socket,
                    [this, socket](const QByteArray& bytes) {
                        send(socket, webmessages::bytes(bytes));
                    });
            continue;
        }
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

bool WebPanel::isLockedOut(const QString& address, bool pinAsked)
{
    if (pinAsked && !everyoneLockedUntil.hasExpired())
        return true;
    const auto found = strikes.find(address);
    return found != strikes.end() && !found->second.lockedUntil.hasExpired();
}

void WebPanel::countWrongPin(const QString& address)
{
    // Bounded: addresses that stopped guessing long ago go first; past that, the rate of all
    // wrong PINs together still holds a guesser with many addresses back.
    if (strikes.size() >= maxStrikeAddresses && strikes.count(address) == 0)
        std::erase_if(strikes, [](const auto& entry) {
            return entry.second.forgotten.hasExpired() && entry.second.lockedUntil.hasExpired();
        });
    if (strikes.size() < maxStrikeAddresses || strikes.count(address) != 0) {
        Strikes& own = strikes[address];
        own.forgotten.setRemainingTime(strikeMemoryMs);
        if (++own.wrongPins >= maxWrongPins) {
            own.wrongPins = 0;
            own.lockedUntil.setRemainingTime(wrongPinLockMs);
            tell(QtWarningMsg, tr("%1 gave %2 wrong PINs: its requests are refused for %3 s")
                                   .arg(address)
                                   .arg(maxWrongPins)
                                   .arg(wrongPinLockMs / 1000));
        }
    }
    std::erase_if(recentWrongPins, [](const QDeadlineTimer& each) { return each.hasExpired(); });
    recentWrongPins.emplace_back(60000);
    if (int(recentWrongPins.size()) > maxWrongPinsPerMinute && everyoneLockedUntil.hasExpired()) {
        recentWrongPins.clear();
        everyoneLockedUntil.setRemainingTime(wrongPinLockMs);
        tell(QtWarningMsg,
             tr("%1 wrong PINs within a minute from all addresses: every request with a PIN is "
                "refused for %2 s")
                 .arg(maxWrongPinsPerMinute + 1)
                 .arg(wrongPinLockMs / 1000));
    }
}

void WebPanel::tellRefusal(const QString& id, const QString& address, const QString& why)
{
    // Once a streak: a page pressing on and on must not fill the log.
    if (refusalTold.size() >= maxStrikeAddresses)
        refusalTold.clear();
    if (refusalTold.insert(id + QLatin1Char(' ') + address).second)
        tell(QtWarningMsg, tr("%1: request from %2 refused: %3 (told once until one is taken)")
                               .arg(id, address, why));
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
    send(socket, webmessages::state(item.config.id, item.line->isOpen(),
                                    item.line->routing().routing(), item.setup->setup(),
                                    settings.accessOf(item.config.id), item.config.name));
    send(socket, webmessages::link(item.line->isOpen(), item.line->commands().isAnswering()));
    send(socket, webmessages::problems(item.line->routing().problems()));
}

void WebPanel::tellPages(const QString& id, const QByteArray& message)
{
    for (const auto& [socket, page] : pages) {
        if (page.id == id)
            send(socket, message);
    }
}

void WebPanel::tellConsoles(const QString& id, const QByteArray& bytes, SharedLine::Asker except)
{
    const QByteArray message = webmessages::bytes(bytes);
    for (const auto& [socket, page] : pages) {
        if (page.id == id && page.bytes && page.asker != except)
            send(socket, message);
    }
}

void WebPanel::tell(QtMsgType level, const QString& line)
{
    servicelog::write(lcWeb(), level, QStringLiteral("web: ") + line);
}
