// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Every command the console sends to the switch: ASCII, one byte a character, ending in CR LF.
// The only place the key codes live; the simulated switch reads the same table.
namespace protocol {

// The key code of each routing button, by its index in the button array (6 per output row:
// left arrow, right arrow, inputs 1 to 4). The codes follow no rule; this table is their source.
inline constexpr std::array<quint8, 24> routingKeyCodes = {
    87, 65, 9,  29, 31, 13, // output 1
    27, 17, 23, 18, 89, 8,  // output 2
    85, 72, 94, 6,  5,  3,  // output 3
    7,  64, 24, 68, 15, 81, // output 4
};

// The routing button of an output's left arrow (position 0), right arrow (1) or input 1 to 4
// (positions 2 to 5).
constexpr int routingButtonIndex(int output, int position)
{
    return 6 * (output - 1) + position;
}

// A byte as exactly two upper-case hexadecimal digits: 9 -> "09", 29 -> "1D", 255 -> "FF".
QString hexByte(quint8 value);

// "cir " + the button's key code in two hex digits + CR LF. `index` must be 0 to 23.
QByteArray routingKeyCommand(int index);

// "cir" for output `output` (1 to 4) to input `input` (1 to 4): its input button's command.
QByteArray routeCommand(int output, int input);
// "cir" for an arrow of `output`: the previous input (`step` < 0) or the next one.
QByteArray arrowCommand(int output, int step);
// The output a routing key command (an input button or an arrow) acts on; 0 for any other
// bytes.
int routedOutput(const QByteArray& command);
// The input an input button's command asks for; 0 for an arrow or any other bytes.
int routedInput(const QByteArray& command);

// "bc " CR LF: asks the switch for its routing of all four outputs.
inline QByteArray statusRequest()
{
    return QByteArrayLiteral("bc \r\n");
}

// "rup " CR LF: asks the switch for the mode of its four UTP outputs.
inline QByteArray utpQuery()
{
    return QByteArrayLiteral("rup \r\n");
}

// "utp " + the four UTP output modes as one upper-case hexadecimal digit + CR LF. Mask bits:
// 1 = output 1, 2 = output 2, 4 = output 3, 8 = output 4; a set bit means "1 wire". Only the
// low four bits count.
QByteArray utpSetCommand(int mask);

// "dhc" CR LF: the switch takes its network address by DHCP.
inline QByteArray dhcpCommand()
{
    return QByteArrayLiteral("dhc\r\n");
}

// Text typed by the user as the bytes on the line: one byte per character (Latin-1; a character
// outside it becomes "?"), line breaks as CR LF exactly as the text holds them.
QByteArray terminalBytes(const QString& text);

} // namespace protocol
