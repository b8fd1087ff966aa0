// SPDX-License-Identifier: MIT
#include "reportscanner.h"

#include <utility>

namespace protocol {

QList<ReportScanner::Line> ReportScanner::feed(const QByteArray& bytes)
{
    QList<Line> lines;
    for (const char byte : bytes) {
        if (byte == '\n' && line.endsWith('\r')) {
            lines.append(endLine());
            continue;
        }
        if (line.size() >= maxLineBytes) {
            overlong = true;
            line = line.right(1); // a CR that may begin the line end
        }
        line.append(byte);
    }
    return lines;
}

ReportScanner::Line ReportScanner::endLine()
{
    line.append('\n');
    Line ended{std::exchange(line, {}), std::nullopt};
    if (std::exchange(overlong, false)) {
        afterEmptyLine = false;
        return ended;
    }
    const bool statusMayFollow = std::exchange(afterEmptyLine, ended.isEmpty());
    const QString text = replyText(ended.bytes.chopped(2));
    if (statusMayFollow) {
        Reply status = classify(QStringLiteral("\r\n") + text);
        if (status.kind == Reply::Kind::StatusReport) {
            ended.bytes.prepend("\r\n");
            ended.report = std::move(status);
            return ended;
        }
    }
    Reply route = classify(text);
    if (route.kind == Reply::Kind::RouteReport)
        ended.report = std::move(route);
    return ended;
}

void ReportScanner::reset()
{
    line.clear();
    overlong = false;
    afterEmptyLine = false;
}

} // namespace protocol
