// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// A plain-text record of what went over the line: one line per write or read, with a
// millisecond timestamp and the direction ("> " sent, "< " received). Bytes outside printable
// ASCII are escaped (\r, \n, \t, \xFF; a backslash is doubled). The file is bounded: before a
// line would take it past the limit it becomes session.log.1, older ones move up to .3 and the
// oldest is dropped. Appends through a fresh open each time, so several consoles can share it.
class SessionLog
{
public:
    static constexpr qint64 defaultLimit = 1 << 20;
    static constexpr int keptOldFiles = 3;

    explicit SessionLog(QString path, qint64 limit = defaultLimit);

    // $XDG_STATE_HOME/varnok/session.log, ~/.local/state when unset.
    static QString defaultPath();
    static QByteArray escaped(const QByteArray& bytes);

    void recordSent(const QByteArray& bytes) { record('>', bytes); }
    void recordReceived(const QByteArray& bytes) { record('<', bytes); }
    // What happened to the line itself: a failed connect, a lost link.
    void recordEvent(const QString& text) { record('!', text.toUtf8()); }
    const QString& path() const { return file; }

private:
    void record(char direction, const QByteArray& bytes);
    void rotate();

    QString file;
    qint64 limit;
};
