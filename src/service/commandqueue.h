// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <deque>
#include <map>
#include <optional>

// Commands waiting for one line, taken in turns: each asker with commands waiting sends one,
// then the next asker's turn comes, so one that sends many delays another by one command at
// most. Each asker may have `perAsker` commands waiting.
class CommandQueue
{
public:
    using Asker = quint64;
    struct Command
    {
        Asker asker = 0;
        QByteArray bytes;
    };

    explicit CommandQueue(qsizetype perAsker) : limit(perAsker) {}

    // False when `asker` already has the most waiting.
    bool push(Asker asker, const QByteArray& bytes);
    // Ahead of every other asker's turn and of the asker's own commands.
    void pushFirst(Asker asker, const QByteArray& bytes);
    std::optional<Command> takeNext();
    // Drops what `asker` has waiting.
    void forget(Asker asker);
    // Drops everything; returns how many commands there were.
    qsizetype clear();
    bool isEmpty() const { return turns.empty(); }

private:
    qsizetype limit;
    std::map<Asker, std::deque<QByteArray>> waiting; // only askers with something waiting
    std::deque<Asker> turns;                         // each of them once, the next first
};
