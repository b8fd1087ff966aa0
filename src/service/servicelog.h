// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// The service's log, by area, for whoever reads the journal: lines in English whatever the
// locale, each with its priority. Debug lines of an area are off unless QT_LOGGING_RULES turns
// them on ("varnok.line.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcLine)   // varnok.line: each switch's line, its commands and routes
Q_DECLARE_LOGGING_CATEGORY(lcFront)  // varnok.front: TCP controllers
Q_DECLARE_LOGGING_CATEGORY(lcWeb)    // varnok.web: the web panel and its pages
Q_DECLARE_LOGGING_CATEGORY(lcMqtt)   // varnok.mqtt: brokers and bridges
Q_DECLARE_LOGGING_CATEGORY(lcConfig) // varnok.config: the configuration, reloads, systemd

namespace servicelog {

// Every message as one line on standard error, control characters escaped so that no text can
// forge a line; with the priority prefix the journal reads ("<4>" a warning) when standard
// error is the journal (JOURNAL_STREAM names it).
void install();

// The journal's priority of a message of `type`: 3 critical, 4 warning, 6 info, 7 debug.
int priority(QtMsgType type);

} // namespace servicelog

namespace servicelog {

// `text` in `category`, at `level` (debug, info, warning or critical).
void write(const QLoggingCategory& category, QtMsgType level, const QString& text);

} // namespace servicelog
