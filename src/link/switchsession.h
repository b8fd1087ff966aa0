// SPDX-License-Identifier: MIT
#pragma once

#include "lineidentity.h"
#include "loggedport.h"
#include "portchoice.h"
#include "receiveframer.h"
#include "replydeadline.h"
#include "routing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Port;

// The console's one link to the switch: opening and closing the chosen port, reopening a lost
// link, sending, the replies framed off the line and the routing they report. Owns no widget and
// no choice: a window or a command line composes it with the options it wants and drives the
// switch through it. A link lost under it is reopened by itself, when so composed, until the
// user closes or changes the port, and only while it proves to lead to the same device.
class SwitchSession : public QObject
{
    Q_OBJECT
public:
    static constexpr int retryIntervalMs = 500;
    static constexpr int answerTimeoutMs = 1000;
    static constexpr int maxPollSeconds = 86400;
    // See Options::outageOnce: a link back counts as back once it stayed this long.
    static constexpr int settleMs = 10000;

    // What each user composes; all off suits a script, whose bytes on the line are its own.
    struct Options
    {
        bool reconnect = false;     // reopen a lost link by itself
        bool askForRouting = false; // ask for the routing whenever the link opens, and check
                                    // that the switch answers
        int pollSeconds = 0;        // see setPollInterval()
        bool log = true;            // write the session log
        // Each failed reopen doubles the pause before the next, up to this (the first pause is
        // retryIntervalMs).
        int longestRetryMs = retryIntervalMs;
        // A link lost again within settleMs of coming back is the same outage: told once, and
        // reopened after growing pauses (a log read later). Off, each loss is told and the
        // first pause is short again (a window watched now).
        bool outageOnce = false;
    };

    // Follows `choice`: a change of it closes the link (and stops reopening it).
    SwitchSession(Port& port, PortChoice& choice, const Options& options,
                  QObject* parent = nullptr);

    // Opens the chosen port. False when the open failed (errorString() says why). A network
    // port may still be connecting afterwards: openChanged(true) or openFailed() follow.
    bool startUp();
    // What the next open uses, as the user names it (see PortChoice::portName()).
    QString portName() const { return choice.portName(); }

    // Opening: a network port is connecting; openChanged(true) or openFailed() follow.
    enum class ToggleResult { Opened, Opening, Closed, OpenFailed };
    // The link button: closes an open link, stops reconnecting or connecting, or opens the
    // chosen port.
    ToggleResult toggle();

    // Opens the chosen port unless it is open, opening or being reopened. False when the open
    // failed (errorString() says why); a network port may still be connecting afterwards.
    bool open();

    bool isOpen() const { return serial.isOpen(); }
    // The link was lost and is being reopened: to the user it is still switched on.
    bool isReconnecting() const { return retryTimer.isActive(); }
    // A network port is connecting on the user's behalf (not while reconnecting).
    bool isOpening() const { return serial.isOpening() && !retryTimer.isActive(); }
    bool reconnects() const { return reconnectEnabled; }
    // The line as every writer should use it: what goes over it lands in the session log.
    Port& line() { return serial; }
    // Writes the session log to `path` instead of the console's own (when the log is on).
    void setLogPath(const QString& path);
    // The session log's file, empty when the log is off.
    QString logPath() const { return serial.log() ? serial.log()->path() : QString(); }
    // A line in the session log about what happened on the line (who asked, what changed).
    void recordEvent(const QString& text) { serial.recordEvent(text); }
    // Why the session log is not written (a link, a pipe); null when it is, or when it is off.
    QString logProblem() const { return serial.log() ? serial.log()->problem() : QString(); }
    // Why the last open or send failed, in words a user can act on.
    QString errorString() const { return error; }

    // Writes one command; false when it did not go out (closed port, refused write).
    bool send(const QByteArray& bytes);
    // The switch's replies, one per framing window.
    ReceiveFramer& replies() { return framer; }

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
    // The link was opened or closed (not emitted when an open fails), by the user, by start-up
    // (open only) or by a reconnect.
    void openChanged(bool open);
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
    // The user closed or reopened the link: a new outage starts from the first pause.
    void forgetOutage();
    void backOff();
    // One line once a lost link is back.
    void tellReconnected();
    void noteReportedRoutes(const protocol::Reply& reply);
    // Logs and emits linkNote() unless it was the last thing told.
    void tell(const QString& reason, const QString& path);
    void letGo();

    LoggedPort serial;
    PortChoice& choice;
    ReceiveFramer framer;
    QTimer retryTimer; // declared after the QObject base: leaves its parent before it goes
    ReplyDeadline answerDeadline{framer, answerTimeoutMs};
    QTimer* pollTimer = new QTimer(this); // a child: found by its name where time is controlled
    int pollSeconds = 0;
    std::function<bool()> pollingHeld;
    bool asksForRouting = false;
    bool reconnectEnabled = false;
    bool outageOnce = false;
    int longestRetryMs = retryIntervalMs;
    LineIdentity opened; // what the last successful open reached
    QString error;
    Routing reported{};       // 0: not reported yet, or not since the link last opened
    QString lastTold;         // the last linkNote(), empty once a new attempt starts
    QElapsedTimer reopenedAt; // since the link last came back by itself
    QTimer settled;           // a link back during an outage that stays this long is told back
    bool flapping = false;    // lost again soon after coming back: the outage goes on
};
