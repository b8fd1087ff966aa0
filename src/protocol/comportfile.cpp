// SPDX-License-Identifier: MIT
#include "comportfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

namespace {

WriteResult failure(int error, bool fileExists)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return {fileExists ? Problem::ReadOnly : Problem::FolderReadOnly, error};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return {Problem::DiskFull, error};
    case ELOOP:
        return {Problem::Link, error};
    default:
        return {Problem::Other, error};
    }
}

WriteResult notRegular(const struct stat& st)
{
    return {S_ISLNK(st.st_mode) ? Problem::Link : Problem::NotRegularFile, 0};
}

// Writes `bytes` at `offset` and returns how many went out; when short, errno says why.
qsizetype writeAt(int fd, const char* bytes, qsizetype size, off_t offset)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, bytes + done, size_t(size - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

int createTemporary(const QByteArray& directory, QByteArray& path)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        path = directory + "/.COMPORT-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 16);
        const int fd =
            ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The folder refuses a new file, but the file itself may be writable. Only a regular file is
// opened, never through a link; a write that stops short puts the old bytes back.
WriteResult rewriteInPlace(const QByteArray& path, const QByteArray& bytes)
{
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.constData(), O_RDWR | flags);
    // A file the console may write but not read held nothing it could use.
    const bool readable = fd >= 0;
    if (!readable && errno == EACCES)
        fd = ::open(path.constData(), O_WRONLY | flags);
    if (fd < 0)
        return failure(errno, true);
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {Problem::NotRegularFile, 0};
    }
    QByteArray old(bytes.size(), Qt::Uninitialized);
    const ssize_t oldSize = readable ? ::pread(fd, old.data(), size_t(old.size()), 0) : 0;
    old.truncate(std::max<ssize_t>(oldSize, 0));

    int error = 0;
    const qsizetype written = writeAt(fd, bytes.constData(), bytes.size(), 0);
    if (written != bytes.size()) {
        error = errno;
        writeAt(fd, old.constData(), std::min(written, old.size()), 0);
        if (written > st.st_size)
            (void)::ftruncate(fd, st.st_size);
    } else if (st.st_size > bytes.size()) {
        // Should this fail, the whole new line still comes first and is all that is read.
        (void)::ftruncate(fd, bytes.size());
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? WriteResult{} : failure(error, true);
}

bool folderSyncHeld = false;
QList<QByteArray> heldFolders;

void syncDirectory(const QByteArray& directory)
{
    if (folderSyncHeld) {
        if (!heldFolders.contains(directory))
            heldFolders.append(directory);
        return;
    }
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

WriteResult write(const QString& directory, int index)
{
    const QByteArray folder = QFile::encodeName(directory);
    const QByteArray path =
        QFile::encodeName(QDir(directory).filePath(QString::fromLatin1(fileName)));
    const QByteArray bytes = format(index);

    struct stat st = {};
    const bool exists = ::lstat(path.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno, false);
    if (exists && !S_ISREG(st.st_mode))
        return notRegular(st);
    // Whoever made the file read-only meant the choice to stay.
    if (exists && ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return {Problem::ReadOnly, EACCES};

    QByteArray temporary;
    const int fd = createTemporary(folder, temporary);
    if (fd < 0)
        return exists ? rewriteInPlace(path, bytes) : failure(errno, false);
    if (exists)
        (void)::fchmod(fd, st.st_mode & 07777);
    int error = 0;
    if (writeAt(fd, bytes.constData(), bytes.size(), 0) != bytes.size() || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    // The old file stays as it was unless the new one is complete.
    if (error != 0) {
        ::unlink(temporary.constData());
        return failure(error, exists);
    }
    // A link put there meanwhile stays too: the rename would replace it.
    struct stat now = {};
    if (::lstat(path.constData(), &now) == 0 && !S_ISREG(now.st_mode)) {
        ::unlink(temporary.constData());
        return notRegular(now);
    }
    if (::rename(temporary.constData(), path.constData()) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        // The file may be a mount point of its own, which no rename replaces.
        return exists ? rewriteInPlace(path, bytes) : failure(error, false);
    }
    syncDirectory(folder);
    return {};
}

void holdFolderSync(bool hold)
{
    folderSyncHeld = hold;
    if (hold)
        return;
    for (const QByteArray& folder : std::exchange(heldFolders, {}))
        syncDirectory(folder);
}

} // namespace comportfile
