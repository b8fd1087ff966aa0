// SPDX-License-Identifier: MIT
#include "routingstate.h"

#include "protocol/commands.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

std::optional<Routing> RoutingState::whole() const
{
    if (std::find(now.cbegin(), now.cend(), 0) != now.cend())
        return std::nullopt;
    return now;
}

QList<RoutingState::Problem> RoutingState::problems() const
{
    QList<Problem> out;
    for (const auto& [output, problem] : byOutput)
        out << problem;
    return out;
}

bool RoutingState::apply(const protocol::Reply& report)
{
    Routing next = now;
    for (const protocol::Route& route : report.routes)
        next[route.output - 1] = route.input;
    if (next == now)
        return false;
    setRouting(next);
    return true;
}

void RoutingState::setRouting(const Routing& next)
{
    const Routing before = std::exchange(now, next);
    emit routingChanged(now, before);
    // A route that did not follow is over once the output shows what was asked.
    if (std::erase_if(byOutput, [this](const auto& item) {
            return now[item.first - 1] == item.second.asked;
        }) > 0)
        emit problemsChanged();
}

void RoutingState::answered(const QByteArray& command, const protocol::Reply& reply)
{
    const int output = protocol::routedOutput(command);
    const int asked = protocol::routedInput(command);
    if (asked == 0)
        return; // an arrow asks for no input in particular
    for (const protocol::Route& route : reply.routes) {
        if (route.output != output)
            continue;
        const std::map<int, Problem> before = byOutput;
        if (route.input == asked)
            byOutput.erase(output);
        else
            byOutput[output] = {output, asked, route.input};
        if (byOutput != before)
            emit problemsChanged();
        if (route.input != asked)
            emit notFollowed(byOutput[output]);
        return;
    }
}

void RoutingState::forget()
{
    if (now != Routing{})
        setRouting({});
}

void RoutingState::keepProblemsIn(const QString& path)
{
    problemsPath = path;
    connect(this, &RoutingState::problemsChanged, this, &RoutingState::saveProblems,
            Qt::UniqueConnection);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // At most a line per output; anything else in it is no problem of ours.
    for (int lines = 0; lines < 4 && !file.atEnd(); ++lines) {
        const QList<QByteArray> numbers = file.readLine(64).simplified().split(' ');
        if (numbers.size() != 3)
            continue;
        const Problem problem{numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt()};
        const auto inRange = [](int value) { return value >= 1 && value <= 4; };
        if (inRange(problem.output) && inRange(problem.asked) && inRange(problem.reported) &&
            problem.asked != problem.reported)
            byOutput[problem.output] = problem;
    }
}

void RoutingState::saveProblems() const
{
    QSaveFile file(problemsPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return; // the problem is still published; only a restart would forget it
    for (const auto& [output, problem] : byOutput)
        file.write(QStringLiteral("%1 %2 %3\n")
                       .arg(problem.output)
                       .arg(problem.asked)
                       .arg(problem.reported)
                       .toLatin1());
    file.commit();
}
