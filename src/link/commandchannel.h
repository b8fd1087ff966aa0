// SPDX-License-Identifier: MIT
#pragma once

#include "commandqueue.h"
#include "pendingcommand.h"
#include "protocol/reportscanner.h"

#include <QObject>
#include <QTimer>

#include <optional>

class SwitchSession;

// The commands of any number of askers on one switch's line: one on the line at a time, askers
// taking turns, each command a handle that ends with its own answer or fails at its deadline.
// Framed by line ends (scripts, the service), a whole route or status report that answers a
// command ends it at once (at its CR LF), any other answer at the end of its framing window,
// 30 ms after its first byte. Framed by windows (the console, whose receive pane shows one reply
// per framing window), everything is read as the session's windows end. Every whole report on
// the line, asked for or not, is handed on exactly once however many come in one window. Owns no
// socket and no widget: fronts hand it what their users ask and show what it reports.
class CommandChannel : public QObject
{
    Q_OBJECT
public:
    using Asker = PendingCommand::Asker;
    static constexpr Asker nobody = 0;
    static constexpr int deadlineMs = 1000;
    static constexpr int maxWaitingPerAsker = 32;

    enum class Framing { LineEnd, Window };

    explicit CommandChannel(SwitchSession& session, Framing framing = Framing::LineEnd,
                            QObject* parent = nullptr);

    // A new asker's number, never `nobody` and never reused on this channel.
    Asker newAsker() { return ++lastAsker; }
    // Queues `command`. A route for an output that the asker is still waiting to route replaces
    // that one (which fails with Replaced). Refusals (LineDown, TooMany) are set on the handle
    // at once and told through failed() on the next turn of the event loop.
    PendingCommand* submit(Asker asker, const QByteArray& command);
    // Ahead of every asker's turn (the routing when the line opens).
    PendingCommand* submitFirst(Asker asker, const QByteArray& command);
    // An asker gone: what it has waiting is dropped; an answer on its way goes nowhere.
    void forget(Asker asker);
    // Nothing on the line and nothing waiting.
    bool isIdle() const { return !current && queue.isEmpty(); }
    // False from a command left unanswered until the switch answers one again.
    bool isAnswering() const { return answering; }
    // The longest wait for each answer (deadlineMs unless set).
    void setDeadline(int ms) { deadline.setInterval(ms); }

signals:
    // Bytes that came while no command was on the line, as they come.
    void unaskedBytes(const QByteArray& bytes);
    // A whole report. `heardBy` is the asker whose command was on the line when its bytes came
    // (they went to that asker alone), `nobody` when none was; `answers` when it ended that
    // command.
    void reported(const protocol::Reply& report, const QByteArray& bytes,
                  CommandChannel::Asker heardBy, bool answers);
    // A command's answer, before its handle is told.
    void commandAnswered(const QByteArray& command, const protocol::Reply& reply);
    // A command taken in, before it goes out.
    void queued(CommandChannel::Asker asker, const QByteArray& command);
    // The channel became idle.
    void idle();
    // One line for the log: the switch stopped answering, or answers again.
    void note(const QString& line);
    // A command went unanswered (false), or the switch answered one again (true).
    void answeringChanged(bool answering);

private:
    PendingCommand* refuse(PendingCommand* command, PendingCommand::Error error);
    void onBytes(const QByteArray& bytes);
    void takeLine(const protocol::ReportScanner::Line& line, Asker heardBy);
    bool answers(const protocol::Reply& report) const;
    void onAnswerWindowEnd();
    void onDeadline();
    // Ends the command on the line with `reply`, or as unanswered when null.
    void finishCurrent(const protocol::Reply* reply);
    void sendNext();
    void onLinkDown(const QString& why);

    SwitchSession& session;
    Framing framing;
    CommandQueue queue{maxWaitingPerAsker};
    protocol::ReportScanner scanner;
    PendingCommand* current = nullptr;          // on the line
    QByteArray otherText;                       // lines of its answer that are not reports
    std::optional<protocol::Reply> firstReport; // the first report while it was on the line
    QTimer answerWindow;                        // from the first byte after onLine went out
    QTimer deadline;
    QTimer lineEndWait; // a line that began before a send is let end first, for a window at most
    bool lineEndWaited = false;
    bool pastDeadline = false;
    bool answering = true;     // false from an unanswered command until an answer comes
    bool readingChunk = false; // the next command waits until every line of a read is taken
    Asker lastAsker = nobody;
};
