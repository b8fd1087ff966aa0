// SPDX-License-Identifier: MIT
#include "replies.h"

#include <QCoreApplication>

namespace protocol {

namespace {

// Character at 1-based position p; a position past the end reads as no character at all.
QChar at(const QString& text, qsizetype p)
{
    return p <= text.size() ? text[p - 1] : QChar();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool startsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix));
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

// Input digit "0".."3" names inputs 1..4; anything else names none.
int inputFromDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('3') ? c.unicode() - u'0' + 1 : 0;
}

} // namespace

QString replyText(const QByteArray& bytes)
{
    // Below 0x80 a byte's Latin-1 character has its code. One pass over all bytes, no early
    // exit, so that a large chunk is checked at memory speed.
    unsigned char highBits = 0;
    for (const char b : bytes)
        highBits |= static_cast<unsigned char>(b);
    if (highBits >= 0x80)
        return {};
    return QString::fromLatin1(bytes);
}

Reply classify(const QString& r)
{
    Reply reply;
    const QChar s = QLatin1Char('s');
    if (at(r, 1) == s && isDigit(at(r, 2)) && isDigit(at(r, 3))) {
        reply.kind = Reply::Kind::RouteReport;
        const int output = at(r, 2).unicode() - u'0';
        const int input = inputFromDigit(at(r, 3));
        if (output >= 1 && output <= 4 && input != 0)
            reply.routes.append({output, input});
        return reply;
    }
    if (at(r, 1) == QLatin1Char('\r') && at(r, 2) == QLatin1Char('\n') && at(r, 3) == s &&
        at(r, 6) == s && at(r, 9) == s && at(r, 12) == s) {
        reply.kind = Reply::Kind::StatusReport;
        // The output characters of the groups are not read: groups are outputs 1 to 4 in order.
        for (int output = 1; output <= 4; ++output) {
            const int input = inputFromDigit(at(r, 3 * output + 2));
            if (input != 0)
                reply.routes.append({output, input});
        }
        return reply;
    }
    if (startsWith(r, "ust") && isDigit(at(r, 4))) {
        reply.kind = Reply::Kind::UtpStatus;
        reply.oneWireMask = hexValue(at(r, 5));
        return reply;
    }
    if (startsWith(r, "Ack")) {
        reply.kind = Reply::Kind::Ack;
        return reply;
    }
    if (startsWith(r, "utp")) {
        reply.kind = Reply::Kind::UtpSetConfirm;
        return reply;
    }
    if (startsWith(r, "edm")) {
        reply.kind = Reply::Kind::Edm;
        return reply;
    }
    reply.kind = Reply::Kind::Raw;
    reply.text = r;
    return reply;
}

QString routeLine(const Route& route)
{
    return QCoreApplication::translate("replies", "HDMI Out%1 -> HDMI In %2")
        .arg(route.output)
        .arg(route.input);
}

} // namespace protocol
