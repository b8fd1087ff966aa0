// SPDX-License-Identifier: MIT
#pragma once

#include "protocol/replies.h"
#include "routing.h"

#include <QList>
#include <QObject>

#include <map>
#include <optional>

// What one switch reported of its routing over the link open now, and the routes it did not
// follow (an output asked for one input and reported on another), whoever asked. The one copy:
// fronts show it and keep none of their own. Knows no line: its owner feeds it whole reports
// and answered commands.
class RoutingState : public QObject
{
    Q_OBJECT
public:
    struct Problem
    {
        int output = 0;
        int asked = 0;
        int reported = 0;
        bool operator==(const Problem&) const = default;
    };

    using QObject::QObject;

    // The input of each output, output 1 first; 0 where not reported since the link opened.
    const Routing& routing() const { return now; }
    // The whole routing, once every output has been reported.
    std::optional<Routing> whole() const;
    // By output, output 1 first.
    QList<Problem> problems() const;

    // A whole report from the switch; true when it changed the routing.
    bool apply(const protocol::Reply& report);
    // A command and the reply that answered it: a route that did not follow is a problem until
    // the output shows what was asked.
    void answered(const QByteArray& command, const protocol::Reply& reply);
    // The link closed: nothing is known of the routing until the switch reports again.
    void forget();
    // Keeps the problems in the file `path` (a line "OUTPUT ASKED REPORTED" each), read now and
    // written on every change, so that a restart does not forget a route that still has not
    // followed.
    void keepProblemsIn(const QString& path);

signals:
    void routingChanged(const Routing& routing, const Routing& before);
    void problemsChanged();
    // A route command was answered with another input than it asked for (each time).
    void notFollowed(const RoutingState::Problem& problem);

private:
    void setRouting(const Routing& next);
    void saveProblems() const;

    Routing now{};
    std::map<int, Problem> byOutput;
    QString problemsPath;
};
