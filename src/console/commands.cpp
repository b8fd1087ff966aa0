// SPDX-License-Identifier: MIT
#include "commands.h"

#include <QList>

namespace commands {

QString HTS(quint8 value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const char pair[] = {digits[value / 16], digits[value % 16]};
    return QString::fromLatin1(pair, 2);
}

QByteArray keyCommand(int index)
{
    return "cir " + HTS(keyCodes.at(static_cast<std::size_t>(index))).toLatin1() + "\r\n";
}

QByteArray terminalBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const uint c : text.toUcs4())
        bytes.append(c < 0x100 ? static_cast<char>(c) : '?');
    return bytes;
}

} // namespace commands
