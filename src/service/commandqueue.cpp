// SPDX-License-Identifier: MIT
#include "commandqueue.h"

#include <algorithm>

bool CommandQueue::push(Asker asker, const QByteArray& bytes)
{
    std::deque<QByteArray>& own = waiting[asker];
    if (qsizetype(own.size()) >= limit)
        return false;
    if (own.empty())
        turns.push_back(asker);
    own.push_back(bytes);
    return true;
}

void CommandQueue::pushFirst(Asker asker, const QByteArray& bytes)
{
    std::erase(turns, asker);
    turns.push_front(asker);
    waiting[asker].push_front(bytes);
}

std::optional<CommandQueue::Command> CommandQueue::takeNext()
{
    if (turns.empty())
        return std::nullopt;
    const Asker asker = turns.front();
    turns.pop_front();
    std::deque<QByteArray>& own = waiting[asker];
    Command next{asker, std::move(own.front())};
    own.pop_front();
    if (own.empty())
        waiting.erase(asker);
    else
        turns.push_back(asker);
    return next;
}

void CommandQueue::forget(Asker asker)
{
    waiting.erase(asker);
    std::erase(turns, asker);
}

qsizetype CommandQueue::clear()
{
    qsizetype count = 0;
    for (const auto& [asker, own] : waiting)
        count += qsizetype(own.size());
    waiting.clear();
    turns.clear();
    return count;
}
