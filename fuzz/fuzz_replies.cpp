// SPDX-License-Identifier: MIT
// What the switch sends, as it comes off the line: the bytes of one framing window turned into
// text and classified. Also the classifier on any UTF-16 text, since it takes a QString.
#include "fuzzcheck.h"

#include "protocol/replies.h"

using protocol::Reply;

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

void checkReply(const QString& text)
{
    const Reply reply = protocol::classify(text);
    for (const protocol::Route& route : reply.routes) {
        // The window indexes its lamp rows and lamps with these.
        FUZZ_CHECK(route.output >= 1 && route.output <= 4);
        FUZZ_CHECK(route.input >= 1 && route.input <= 4);
        FUZZ_CHECK(protocol::routeLine(route).size() == 22);
    }
    FUZZ_CHECK(reply.oneWireMask >= 0 && reply.oneWireMask <= 15);
    switch (reply.kind) {
    case Reply::Kind::RouteReport:
        FUZZ_CHECK(text.size() >= 3 && text[0] == QLatin1Char('s') && isDigit(text[1]) &&
                   isDigit(text[2]));
        FUZZ_CHECK(reply.routes.size() <= 1);
        break;
    case Reply::Kind::StatusReport:
        FUZZ_CHECK(text.size() >= 12 && text.startsWith(QLatin1String("\r\ns")));
        FUZZ_CHECK(reply.routes.size() <= 4);
        for (qsizetype i = 1; i < reply.routes.size(); ++i)
            FUZZ_CHECK(reply.routes[i - 1].output < reply.routes[i].output);
        break;
    case Reply::Kind::UtpStatus:
        FUZZ_CHECK(text.startsWith(QLatin1String("ust")) && text.size() >= 4 && isDigit(text[3]));
        break;
    case Reply::Kind::Ack:
    case Reply::Kind::UtpSetConfirm:
    case Reply::Kind::Edm:
        FUZZ_CHECK(text.size() >= 3 && reply.routes.isEmpty());
        break;
    case Reply::Kind::Raw:
        // Shown as it came: nothing lost, nothing added.
        FUZZ_CHECK(reply.text == text);
        FUZZ_CHECK(reply.routes.isEmpty());
        break;
    }
    if (reply.kind != Reply::Kind::Raw)
        FUZZ_CHECK(reply.text.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = protocol::replyText(bytes);
    // One character per byte with the same code, or nothing at all when any byte is 0x80 or up.
    bool high = false;
    for (char b : bytes)
        high = high || static_cast<unsigned char>(b) >= 0x80;
    FUZZ_CHECK(high ? text.isEmpty() : text.size() == bytes.size());
    for (qsizetype i = 0; !high && i < text.size(); ++i)
        FUZZ_CHECK(text[i].unicode() == static_cast<unsigned char>(bytes[i]));
    checkReply(text);

    // The same bytes read as UTF-16, lone surrogates and all.
    QString wide(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        wide[static_cast<qsizetype>(i / 2)] =
            QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    checkReply(wide);
    return 0;
}
