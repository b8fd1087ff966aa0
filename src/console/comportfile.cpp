// SPDX-License-Identifier: MIT
#include "comportfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace comportfile {

namespace {
// Enough for any field worth reading; a huge file is never read whole.
constexpr qint64 readLimit = 4096;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool endsField(char c)
{
    return isBlank(c) || c == ',' || c == '\r' || c == '\n';
}

// Whether the first field ends inside `head`, so that reading on could not change it.
bool firstFieldComplete(const QByteArray& head)
{
    qsizetype pos = 0;
    while (pos < head.size() && isBlank(head[pos]))
        ++pos;
    while (pos < head.size() && !endsField(head[pos]))
        ++pos;
    return pos < head.size();
}
} // namespace

std::optional<quint8> parse(const QByteArray& content)
{
    qsizetype pos = 0;
    while (pos < content.size() && isBlank(content[pos]))
        ++pos;
    const qsizetype start = pos;
    while (pos < content.size() && !endsField(content[pos]))
        ++pos;
    const QByteArray field = content.mid(start, pos - start);
    if (field.isEmpty())
        return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 255)
            return std::nullopt;
    }
    return static_cast<quint8>(value);
}

QByteArray format(int index)
{
    QByteArray bytes =
        index < 0 ? QByteArray::number(index) : QByteArray(" ") + QByteArray::number(index);
    return bytes + " \r\n";
}

ReadResult read(const QString& directory)
{
    ReadResult result;
    const QString path = QDir(directory).filePath(QString::fromLatin1(fileName));
    QFile file(path);
    // Only a regular file is read: a folder cannot be, and opening a named pipe or a device
    // could wait for ever at start-up.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    const QByteArray head = file.read(readLimit);
    // A field the limit cuts through is too long for an index; its first digits mean nothing.
    if (file.atEnd() || firstFieldComplete(head))
        result.index = parse(head);
    return result;
}

bool write(const QString& directory, int index)
{
    QSaveFile file(QDir(directory).filePath(QString::fromLatin1(fileName)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = format(index);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace comportfile
