// SPDX-License-Identifier: MIT
#include "utpcommands.h"

QByteArray utpCommand(int mask)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    QByteArray command("utp ");
    command.append(digits[mask & 0x0F]);
    command.append("\r\n");
    return command;
}
