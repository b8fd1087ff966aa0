// SPDX-License-Identifier: MIT
#pragma once

#include "commandline.h"
#include "link/commandchannel.h"
#include "link/presetrecall.h"
#include "protocol/replies.h"
#include "scriptoutput.h"

#include <QObject>
#include <QTimer>

#include <optional>

class SetupStore;
class SwitchSession;
struct SetupEdit;

// One command of the command line, carried out over an open session: sends its bytes through
// the session's command channel, waits for the answer that confirms it (bounded by the request's
// timeout; a route or status report ends the wait at its line end), prints the result and ends
// with the exit status. Reports that answer something else (a front-panel change, say) are
// passed over while it waits.
class ScriptRun : public QObject
{
    Q_OBJECT
public:
    enum ExitStatus { Done = 0, BadUsage = 1, LinkFailed = 2, NoAnswer = 3, OutputFailed = 4 };

    // With `sharedSetup`, names and presets are the switch's service's, told through the line:
    // every command waits for them first.
    ScriptRun(SwitchSession& session, SetupStore& setup, const cli::Request& request,
              ScriptOutput& output, bool sharedSetup = false, QObject* parent = nullptr);

    // The commands that only read or change the set-up, with no switch: list, delete, name.
    // The service of a shared switch answers them itself, through the line.
    static int runOffline(SetupStore& setup, const cli::Request& request, ScriptOutput& output);

    // Call once the session's link is open.
    void start();
    // A termination signal: monitor ends normally, any other command before its answer.
    void interrupt();

signals:
    void finished(int exitStatus);

private:
    void onAnswer(const protocol::Reply& reply);
    void onReport(const protocol::Reply& report);
    void onFailed(PendingCommand* command);
    void onBytes(const QByteArray& bytes);
    void onLinkLost(const QString& reason);
    void onTimeout();
    void sendCommand(const QByteArray& bytes);
    void finish(int status, const QString& problem = {});

    void handleRoute(const protocol::Reply& reply);
    void handleStatus(const protocol::Reply& reply);
    void startRecall();
    void recalled(const PresetRecall::Result& result);
    // The set-up command over a shared switch, once its service told its set-up.
    void runOnSharedSetup();
    // Makes `edit` (a preset saved from `routing`), then `done`, or ends with `failure`.
    void change(const SetupEdit& edit, const std::optional<Routing>& routing, int failure,
                const std::function<void()>& done);

    SwitchSession& session;
    SetupStore& setup;
    bool sharedSetup = false;
    cli::Request request;
    ScriptOutput& output;
    CommandChannel channel;
    CommandChannel::Asker asker = channel.newAsker();
    QTimer deadline; // a route answered by another input may still be followed until this ends
    QTimer quiet;    // send: the reply has ended when the line stays quiet this long
    bool replied = false;
    bool ended = false;
    QString lastOtherAnswer; // what came instead of the awaited answer, for the message
    std::optional<protocol::Route> otherRoute; // the output routed elsewhere than asked
};
