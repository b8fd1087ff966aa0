// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QtGlobal>

#include <deque>
#include <map>

class PendingCommand;

// Commands waiting for one line, taken in turns: each asker with commands waiting sends one,
// then the next asker's turn comes, so one that sends many delays another by one command at
// most. Each asker may have `perAsker` commands waiting; a route for an output that one of them
// is already waiting to route takes that one's place. Owns none of the commands.
class CommandQueue
{
public:
    using Asker = quint64;

    explicit CommandQueue(qsizetype perAsker) : limit(perAsker) {}

    // False when its asker already has the most waiting.
    bool push(PendingCommand* command);
    // The waiting command of the same asker routing the same output, now replaced by `command`
    // in its place; null when there is none (and nothing is changed).
    PendingCommand* replace(PendingCommand* command);
    // Ahead of every other asker's turn and of the asker's own commands.
    void pushFirst(PendingCommand* command);
    PendingCommand* takeNext();
    // Takes out what `asker` has waiting.
    QList<PendingCommand*> forget(Asker asker);
    // Takes out everything.
    QList<PendingCommand*> clear();
    bool isEmpty() const { return turns.empty(); }

private:
    qsizetype limit;
    std::map<Asker, std::deque<PendingCommand*>> waiting; // only askers with something waiting
    std::deque<Asker> turns;                              // each of them once, the next first
};
