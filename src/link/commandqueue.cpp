// SPDX-License-Identifier: MIT
#include "commandqueue.h"

#include "pendingcommand.h"

#include <algorithm>

bool CommandQueue::push(PendingCommand* command)
{
    std::deque<PendingCommand*>& own = waiting[command->asker()];
    if (qsizetype(own.size()) >= limit) {
        if (own.empty())
            waiting.erase(command->asker());
        return false;
    }
    if (own.empty())
        turns.push_back(command->asker());
    own.push_back(command);
    return true;
}

PendingCommand* CommandQueue::replace(PendingCommand* command)
{
    const auto own = waiting.find(command->asker());
    if (command->output() == 0 || own == waiting.end())
        return nullptr;
    for (PendingCommand*& each : own->second) {
        if (each->output() == command->output())
            return std::exchange(each, command);
    }
    return nullptr;
}

void CommandQueue::pushFirst(PendingCommand* command)
{
    std::erase(turns, command->asker());
    turns.push_front(command->asker());
    waiting[command->asker()].push_front(command);
}

PendingCommand* CommandQueue::takeNext()
{
    if (turns.empty())
        return nullptr;
    const Asker asker = turns.front();
    turns.pop_front();
    std::deque<PendingCommand*>& own = waiting[asker];
    PendingCommand* next = own.front();
    own.pop_front();
    if (own.empty())
        waiting.erase(asker);
    else
        turns.push_back(asker);
    return next;
}

QList<PendingCommand*> CommandQueue::forget(Asker asker)
{
    QList<PendingCommand*> out;
    if (const auto own = waiting.find(asker); own != waiting.end()) {
        out = QList<PendingCommand*>(own->second.cbegin(), own->second.cend());
        waiting.erase(own);
    }
    std::erase(turns, asker);
    return out;
}

QList<PendingCommand*> CommandQueue::clear()
{
    QList<PendingCommand*> out;
    const std::deque<Asker> askers = turns;
    for (const Asker asker : askers)
        out += forget(asker);
    return out;
}
