// SPDX-License-Identifier: MIT
#pragma once

#include "comportnotices.h"
#include "lineidentity.h"
#include "loggedport.h"
#include "receiveframer.h"
#include "replydeadline.h"
#include "routing.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Port;

// The console's one link to the switch: which COM port, its persistence in the "COMPORT" file,
// the start-up sequence, the link toggle, sending, and the replies framed off the line.
// Owns no widget: a window or a command line drives the switch through it and shows what it
// reports. A choice that cannot be saved never stops it: it keeps the port for the session.
// Whenever the link opens it asks the switch for its routing; a link lost under it is reopened
// by itself until the user closes or changes the port, and only while it proves to lead to the
// same device. Its settings live in "varnok.conf" beside COMPORT: [link] reconnect and
// [log] enabled, both true when missing; [link] poll, 0 (off) when missing.
class SwitchSession : public QObject
{
    Q_OBJECT
public:
    static constexpr int portCount = 10; // the list holds COM1 to COM10
    static constexpr int retryIntervalMs = 500;
    static constexpr int answerTimeoutMs = 1000;
    static constexpr int maxPollSeconds = 86400;
    static constexpr const char* settingsFileName = "varnok.conf";

    // The console window keeps the user's choices and the link; a script only borrows them:
    // it never writes COMPORT or varnok.conf, never reconnects and sends nothing by itself.
    enum class Role { Console, Script };

    // COMPORT and any COMn links live in `directory`.
    SwitchSession(Port& port, QString directory, QObject* parent = nullptr);
    SwitchSession(Port& port, QString directory, Role role, QObject* parent = nullptr);

    // Restores the saved port choice (writing COMPORT when there is none) and opens the port.
    // False when the open failed (errorString() says why). A network port may still be
    // connecting afterwards: openChanged(true) or openFailed() follow.
    bool startUp();
    // The first half of startUp(): takes the saved port choice (COMPORT, then varnok.conf's
    // [link] port) without opening it.
    void restoreChoice();

    // A port the user typed: "COM1" to "COM10" (as chosen from the list), an absolute device
    // path, or "tcp://HOST:PORT". Anything else changes nothing and returns false with
    // errorString() naming the forms accepted. A path or network port is kept in varnok.conf,
    // [link] port, and wins over COMPORT at start-up, which cannot hold it; choosing a COM port
    // forgets it. Like selectPort(), closes an open link and never opens one.
    bool choosePort(const QString& text);
    // The typed path or network port in use, empty when a COM port is.
    QString typedPort() const { return typed; }
    // What the next open uses, as the user names it: "COM3", "/dev/ttyUSB1", "tcp://host:23".
    QString portName() const;

    // The list's selection event, from the user or from start-up: closes an open link, takes
    // the new port number, saves the index. Never opens the port.
    void selectPort(int listIndex);

    // Opening: a network port is connecting; openChanged(true) or openFailed() follow.
    enum class ToggleResult { Opened, Opening, Closed, OpenFailed };
    // The link button: closes an open link, stops reconnecting or connecting, or opens the
    // chosen port.
    ToggleResult toggle();

    bool isOpen() const;
    // The link was lost and is being reopened: to the user it is still switched on.
    bool isReconnecting() const { return retryTimer.isActive(); }
    // A network port is connecting on the user's behalf (not while reconnecting).
    bool isOpening() const { return serial.isOpening() && !retryTimer.isActive(); }
    bool reconnects() const { return reconnectEnabled; }
    // The line as every writer should use it: what goes over it lands in the session log.
    Port& line() { return serial; }
    // The session log's file, empty when the log is off.
    QString logPath() const;
    // Why the session log is not written (a link, a pipe); null when it is, or when it is off.
    QString logProblem() const;
    // Why the last open or send failed, in words a user can act on.
    QString errorString() const { return error; }
    // The device the port number leads to now (see comDevicePath).
    QString device() const;

    // Writes one command; false when it did not go out (closed port, refused write).
    bool send(const QByteArray& bytes);
    // The switch's replies, one per framing window.
    ReceiveFramer& replies() { return framer; }
    // The port number the next open uses (0 until start-up has set it).
    quint8 portNumber() const { return port; }
    // The list's selected index, -1 when nothing is selected.
    int listIndex() const { return selected; }

    // The input (1 to 4) the switch last reported for `output` (1 to 4) in a route or status
    // report over the link open now, 0 until it has.
    int reportedInput(int output) const;
    // The whole routing, once the switch has reported every output.
    std::optional<Routing> reportedRouting() const;

    // Asking for the routing unasked, so that changes made on the switch's front panel show:
    // `bc ` every `seconds` (0: never, the default) while the line is open and idle, that is no
    // command has gone out for that long, none awaits its answer, no box holds the replies and
    // `held` (a front end's own waits) says nothing else is going on.
    void setPollInterval(int seconds);
    int pollInterval() const { return pollSeconds; }
    void holdPollingWhile(std::function<bool()> held) { pollingHeld = std::move(held); }

signals:
    void listIndexChanged(int index);
    // The link was opened or closed (not emitted when an open fails), by the user, by start-up
    // (open only) or by a reconnect.
    void openChanged(bool open);
    // The choice could not be saved: says where, why and which port the session keeps. At most
    // once a session, and not again at later starts for the same folder and reason.
    void choiceNotSaved(const QString& message);
    // The port closed under the session's feet (see Port::linkLost).
    void linkLost(const QString& reason);
    // Bytes already sent were refused by the device (see Port::writeFailed).
    void writeFailed(const QString& reason);
    // A network port that was connecting on the user's behalf could not (see errorString()).
    void openFailed(const QString& reason);
    // The routing request sent when the link opened got no answer in time.
    void noAnswer(const QString& message);
    // A failed open, a lost link or a link back again, in one line that names the port and the
    // reason; already in the session log. While reconnecting, a reason is told once, not on
    // every try.
    void linkNote(const QString& line);

private:
    enum class OpenState { Failed, Open, Waiting };
    OpenState tryOpen();
    void onOpened();
    void onOpenFailed(const QString& reason);
    void closeLink();
    void askForRouting();
    void restartPolling();
    void poll();
    void checkAnswer();
    void onLinkLost(const QString& reason);
    void retryOpen();
    void stopReconnecting();
    // Writes (or, for an empty value, removes) one key of varnok.conf.
    void keepSetting(const QString& key, const QString& value);
    // One line once a lost link is back.
    void tellReconnected();
    void save(int listIndex);
    void noteReportedRoutes(const protocol::Reply& reply);
    // Logs and emits linkNote() unless it was the last thing told.
    void tell(const QString& reason, const QString& path);
    QString settingsPath() const;

    LoggedPort serial;
    QString directory;
    ReceiveFramer framer;
    QTimer retryTimer; // declared after the QObject base: leaves its parent before it goes
    ReplyDeadline answerDeadline{framer, answerTimeoutMs};
    QTimer* pollTimer = new QTimer(this); // a child: found by its name where time is controlled
    int pollSeconds = 0;
    std::function<bool()> pollingHeld;
    Role role = Role::Console;
    bool reconnectEnabled = true;
    LineIdentity opened; // what the last successful open reached
    QString typed;       // a typed path or network port; empty while a COM port is used
    QString error;
    ComportNotices notices;
    bool toldThisSession = false;
    bool savedThisSession = false;
    quint8 port = 0;
    int selected = -1;
    Routing reported{}; // 0: not reported yet, or not since the link last opened
    QString lastTold;   // the last linkNote(), empty once a new attempt starts
};
