// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The "COMPORT" file: one line with the selected port-list index, written the way a formatted
// print writes a number (sign position, digits, one blank, CR LF: " 3 \r\n" for COM4).
namespace comportfile {

inline constexpr char fileName[] = "COMPORT";

// Takes the first field of the file's bytes (leading blanks skipped; it ends at a blank, a
// comma or the line end) as an unsigned 8-bit value; nothing when that fails.
std::optional<quint8> parse(const QByteArray& content);

// The file's exact bytes for an index.
QByteArray format(int index);

// Reads the file in `directory`. `opened` tells whether the file could be opened for reading at
// all; the value is empty when the read failed. Only the first bytes are read, however large.
struct ReadResult
{
    bool opened = false;
    std::optional<quint8> index;
};
ReadResult read(const QString& directory);

// Replaces the file whole (a temporary file renamed over it, so a crash or a full disk never
// leaves a truncated file). Returns false when it could not be written.
bool write(const QString& directory, int index);

} // namespace comportfile
