// SPDX-License-Identifier: MIT
#include "commands.h"

#include <QList>

#include <algorithm>

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

QByteArray routeCommand(int output, int input)
{
    return routingKeyCommand(routingButtonIndex(output, input + 1));
}

QByteArray arrowCommand(int output, int step)
{
    return routingKeyCommand(routingButtonIndex(output, step < 0 ? 0 : 1));
}

namespace {

// The routing button whose command `command` is; -1 for none.
int routingButtonOf(const QByteArray& command)
{
    if (command.size() != 8 || !command.startsWith("cir ") || !command.endsWith("\r\n"))
        return -1;
    bool ok = false;
    const int code = command.mid(4, 2).toInt(&ok, 16);
    const auto found = std::find(routingKeyCodes.cbegin(), routingKeyCodes.cend(), code);
    if (!ok || found == routingKeyCodes.cend() || command.mid(4, 2) != hexByte(quint8(code)))
        return -1;
    return int(found - routingKeyCodes.cbegin());
}

} // namespace

int routedOutput(const QByteArray& command)
{
    const int index = routingButtonOf(command);
    return index < 0 ? 0 : index / 6 + 1;
}

int routedInput(const QByteArray& command)
{
    const int index = routingButtonOf(command);
    return index < 0 || index % 6 < 2 ? 0 : index % 6 - 1;
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
