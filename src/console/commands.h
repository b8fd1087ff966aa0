// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// Commands the main window sends to the switch. Every command is ASCII, one byte a character.
namespace commands {

// The key code of each routing button, by its index in the button array (6 per output row:
// left arrow, right arrow, inputs 1 to 4). The codes follow no rule; this table is their source.
inline constexpr std::array<quint8, 24> keyCodes = {
    87, 65, 9,  29, 31, 13, // output 1
    27, 17, 23, 18, 89, 8,  // output 2
    85, 72, 94, 6,  5,  3,  // output 3
    7,  64, 24, 68, 15, 81, // output 4
};

// A byte as exactly two upper-case hexadecimal digits: 9 -> "09", 29 -> "1D", 255 -> "FF".
QString HTS(quint8 value);

// "cir " + HTS(key code of the button) + CR LF. `index` must be 0 to 23.
QByteArray keyCommand(int index);

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

// Text typed by the user as the bytes on the line: one byte per character (Latin-1; a character
// outside it becomes "?"), line breaks as CR LF exactly as the text holds them.
QByteArray terminalBytes(const QString& text);

} // namespace commands
