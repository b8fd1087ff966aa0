// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Bytes as a log line shows them, the console's session log and the simulator's alike:
// printable ASCII as it is, a backslash doubled, CR LF TAB as \r \n \t, anything else as \xHH.
namespace protocol {

// Appends one byte's text (one to four characters).
void appendLogEscaped(QByteArray& out, char byte);
QByteArray logEscaped(QByteArrayView bytes);

} // namespace protocol
