// SPDX-License-Identifier: MIT
#pragma once

#include "commandchannel.h"
#include "matrixsetup.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

// Puts the switch on a preset through a command channel: a route for each output that is
// elsewhere, each sent once the switch has reported the one before (or its wait has ended), then
// one status request whose answer tells which outputs did not end where the preset says. Every
// wait is bounded by the channel; a line that goes down ends the recall. Owns no widget: the
// window, the command line, the web panel and the MQTT bridge all recall through it.
class PresetRecall : public QObject
{
    Q_OBJECT
public:
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
        QList<int> sent; // the outputs whose route went out, in order
        QList<Miss> misses;
        Routing reported{};     // what the switch last reported of each output (0: nothing)
        bool confirmed = false; // the closing status request was answered
        QString failure;        // why the recall stopped early (the link closed, a write failed)
        bool succeeded() const { return failure.isEmpty() && confirmed && misses.isEmpty(); }
    };

    // Asks as `asker` of `channel` (a new one when nobody).
    explicit PresetRecall(CommandChannel& channel, CommandChannel::Asker asker = {},
                          QObject* parent = nullptr);

    // Starts a recall; finished() follows. With `known`, the switch's routing is taken as given;
    // without, it is asked for first. False, with nothing sent, while a recall is running.
    bool recall(const Preset& preset, std::optional<Routing> known = std::nullopt);
    bool isRunning() const { return running; }

    // One line for the user about a recall that did not succeed, such as
    // `Preset "Lecture": output 2 is on input 1, not 3.`; empty for one that did.
    static QString describe(const Result& result);

signals:
    void finished(const PresetRecall::Result& result);

private:
    enum class Step { Asking, Switching, Checking };
    void ask(Step step, const QByteArray& command);
    void onAnswered(const protocol::Reply& reply);
    void onFailed(PendingCommand* command);
    void sendNextRoute();
    void finish();

    CommandChannel& channel;
    CommandChannel::Asker asker;
    bool running = false;
    Step step = Step::Asking;
    bool heardAnything = false;
    Preset target;
    Routing current{}; // as last reported; 0: unknown
    int awaitedOutput = 0;
    Result result;
};
