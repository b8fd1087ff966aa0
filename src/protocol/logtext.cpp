// SPDX-License-Identifier: MIT
#include "logtext.h"

namespace protocol {

void appendLogEscaped(QByteArray& out, char c)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
    case '\r':
        out += "\\r";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\\':
        out += "\\\\";
        break;
    default:
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
}

QByteArray logEscaped(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        appendLogEscaped(out, c);
    return out;
}

} // namespace protocol
