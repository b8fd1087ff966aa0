// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The "COMPORT" file: one line with the selected port-list index, written the way a formatted
// print writes a number (sign position, digits, one blank, CR LF: " 3 \r\n" for COM4).
// Never writes through a link or into anything but a regular file, and never leaves a partial
// line where a whole one was.
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

// Why the file could not be written.
enum class Problem {
    None,
    Link,           // a symbolic link: neither followed nor replaced
    NotRegularFile, // a pipe, a device, a folder
    FolderReadOnly, // no file, and none may be made
    ReadOnly,       // the file may not be written (and is not replaced either)
    DiskFull,       // the old file, if any, is kept whole
    Other,          // see `error`
};

struct WriteResult
{
    Problem problem = Problem::None;
    int error = 0; // the system's error number when problem is Other
    explicit operator bool() const { return problem == Problem::None; }
};

// Replaces the file whole: a new file written completely, then renamed over the old one. Where
// the folder refuses a new file but the file may be written, the line is rewritten in place,
// and the old bytes come back if that write stops short.
WriteResult write(const QString& directory, int index);

// The last step of write(), syncing the folder so that the rename outlasts a power loss, waits
// for the disk and tells nobody how it went. While held it is left for the release: the console
// holds it from start-up until its window's first frame is on screen.
void holdFolderSync(bool hold);

} // namespace comportfile
