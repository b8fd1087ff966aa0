// SPDX-License-Identifier: MIT
#pragma once

#include "replies.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace protocol {

// Finds every whole route and status report in the switch's bytes as they arrive, each once
// and as soon as its CR LF has come, however many share one framing window or one read. Lines
// are judged by the reply grammar of classify(); a status report is the line after an empty one.
// Keeps at most one unfinished line: a longer one is skipped up to its line end.
class ReportScanner
{
public:
    // A status report is 14 bytes before its CR LF.
    static constexpr qsizetype maxLineBytes = 64;

    // A whole line, CR LF included (a status report's empty line before it is a line of its
    // own), and the report it is, if it is one.
    struct Line
    {
        QByteArray bytes;
        std::optional<Reply> report;
        bool isEmpty() const { return bytes == "\r\n"; }
    };

    // The lines these bytes end, in order.
    QList<Line> feed(const QByteArray& bytes);
    // The bytes of a line that has not ended yet (at most maxLineBytes of it).
    const QByteArray& unfinished() const { return line; }
    bool isMidLine() const { return !line.isEmpty() || overlong; }
    // Another link: nothing carried over.
    void reset();

private:
    Line endLine();

    QByteArray line;
    bool overlong = false;
    bool afterEmptyLine = false;
};

} // namespace protocol
