// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// A plain-text record of what went over the line: one line per write or read, with a
// millisecond timestamp and the direction ("> " sent, "< " received); a long one is cut into
// lines of at most maxLineBytes. Bytes outside printable ASCII are escaped (\r, \n, \t, \xFF;
// a backslash is doubled). The files are bounded: before a line would take the file past the
// limit it becomes session.log.1, older ones move up to .3 and the oldest is dropped, so all
// of them together never pass (keptOldFiles + 1) times the limit. Appends through a fresh open
// each time, so several consoles can share it; never writes through a link or into anything
// but a regular file.
class SessionLog
{
public:
    static constexpr qint64 defaultLimit = 1 << 20;
    static constexpr int keptOldFiles = 3;
    static constexpr qint64 maxLineBytes = 4096;

    explicit SessionLog(QString path, qint64 limit = defaultLimit);

    // $XDG_STATE_HOME/varnok/session.log, ~/.local/state when unset.
    static QString defaultPath();
    static QByteArray escaped(const QByteArray& bytes);

    void recordSent(const QByteArray& bytes) { record('>', bytes); }
    void recordReceived(const QByteArray& bytes) { record('<', bytes); }
    // What happened to the line itself: a failed connect, a lost link.
    void recordEvent(const QString& text) { record('!', text.toUtf8()); }
    const QString& path() const { return file; }
    // Why nothing is logged (the file is a link, a pipe, a device), for the user; null while
    // the log is written.
    const QString& problem() const { return refused; }

private:
    void record(char direction, const QByteArray& bytes);
    void rotate();
    int openFile() const;
    void refuseIfNotPlain();
    // Escapes bytes from `from` on, as many as fit in `room` characters, and moves `from` past
    // them.
    static QByteArray escapedPart(const QByteArray& bytes, qsizetype& from, qsizetype room);

    QString file;
    qint64 limit;
    QString refused;
};
