// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The switch's replies, recognised by fixed character positions. Pure logic: no widgets, no port.
namespace protocol {

// Bytes to text, one character per byte; the empty text when any byte is 0x80 or above.
QString replyText(const QByteArray& bytes);

struct Route
{
    int output = 0; // 1 to 4
    int input = 0;  // 1 to 4
    bool operator==(const Route&) const = default;
};

struct Reply
{
    enum class Kind {
        RouteReport,   // "s", output digit, input digit (inputs counted from 0)
        StatusReport,  // CR LF, then four groups "s", output, input digit
        UtpStatus,     // "ust", a digit, one hex digit of the mode mask
        Ack,           // "Ack"...
        UtpSetConfirm, // "utp"...
        Edm,           // "edm"...
        Raw,           // anything else: shown as it came
    };
    Kind kind = Kind::Raw;
    // Route and status reports: the routes to show, in order; out-of-range ones are left out.
    QList<Route> routes;
    // UTP status: bit 0 = output 1 ... bit 3 = output 4; set means "1 wire".
    int oneWireMask = 0;
    // Raw: the text to append unchanged.
    QString text;
};

Reply classify(const QString& text);

// The receive pane's line for a route, such as "HDMI Out2 -> HDMI In 3".
QString routeLine(const Route& route);

} // namespace protocol
