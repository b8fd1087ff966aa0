// SPDX-License-Identifier: MIT
#pragma once

#include "matrixsetup.h"
#include "protocol/replies.h"
#include "replydeadline.h"

#include <QList>
#include <QObject>

#include <optional>

class SwitchSession;

// Puts the switch on a preset: one key command for each output that is elsewhere, each sent
// after the switch has reported the one before (or its wait has ended), then one status request
// whose answer tells which outputs did not end where the preset says. Every wait is bounded; a
// lost link ends the recall. Owns no widget: the window and the command line both drive it.
class PresetRecall : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultTimeoutMs = 1000;

    // An output that did not end on the preset's input.
    struct Miss
    {
        int output = 0;
        int wanted = 0;
        int reported = 0; // 0: the switch never said
        bool operator==(const Miss&) const = default;
    };
    struct Result
    {
        QString preset;
        QList<int> sent; // the outputs whose key command went out, in order
        QList<Miss> misses;
        bool confirmed = false; // the closing status request was answered
        QString failure;        // why the recall stopped early (the link closed, a write failed)
        bool succeeded() const { return failure.isEmpty() && confirmed && misses.isEmpty(); }
    };

    explicit PresetRecall(SwitchSession& session, QObject* parent = nullptr);

    // The longest wait for each answer.
    void setTimeout(int ms) { deadline.setInterval(ms); }
    int timeout() const { return deadline.interval(); }

    // Starts a recall; finished() follows. With `known`, the switch's routing is taken as given;
    // without, it is asked for first. False, with nothing sent, while a recall is running or the
    // link is closed.
    bool recall(const Preset& preset, std::optional<Routing> known = std::nullopt);
    bool isRunning() const { return step != Step::Idle; }

    // One line for the user about a recall that did not succeed, such as
    // `Preset "Lecture": output 2 is on input 1, not 3.`; empty for one that did.
    static QString describe(const Result& result);

signals:
    void finished(const PresetRecall::Result& result);

private:
    enum class Step { Idle, Asking, Switching, Checking };
    void onReply(const protocol::Reply& reply);
    void expire();
    void await(Step next);
    void sendNextKey();
    void finish();
    void fail(const QString& reason);

    SwitchSession& session;
    ReplyDeadline deadline;
    Step step = Step::Idle;
    Preset target;
    Routing current{}; // as last reported; 0: unknown
    int awaitedOutput = 0;
    quint64 windowsAtStart = 0;
    Result result;
};
