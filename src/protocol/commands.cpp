// SPDX-License-Identifier: MIT
#include "commands.h"

#include <QList>

namespace protocol {

namespace {
constexpr char hexDigits[] = "0123456789ABCDEF";
}

QString hexByte(quint8 value)
{
    const char pair[] = {hexDigits[value / 16], hexDigits[value % 16]};
    return QString::fromLatin1(pair, 2);
}

QByteArray routingKeyCommand(int index)
{
    return "cir " + hexByte(routingKeyCodes.at(static_cast<std::size_t>(index))).toLatin1() +
           "\r\n";
}

QByteArray utpSetCommand(int mask)
{
    QByteArray command("utp ");
    command.append(hexDigits[mask & 0x0F]);
    command.append("\r\n");
    return command;
}

QByteArray terminalBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const uint c : text.toUcs4())
        bytes.append(c < 0x100 ? static_cast<char>(c) : '?');
    return bytes;
}

} // namespace protocol
