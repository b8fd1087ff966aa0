// SPDX-License-Identifier: MIT
#include "setupfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace setupfile {

namespace {

QString linkRefusal()
{
    return QCoreApplication::translate(
        "setupfile", "it is a symbolic link, which the console neither reads nor writes "
                     "through; replace it with a plain file");
}

QString refusalOf(const struct stat& st)
{
    if (S_ISLNK(st.st_mode))
        return linkRefusal();
    if (!S_ISREG(st.st_mode))
        return QCoreApplication::translate(
            "setupfile", "it is not a plain file (a pipe, a device or a folder), so it is "
                         "not read; replace it with a plain file");
    if (st.st_size > maxBytes)
        return QCoreApplication::translate("setupfile",
                                           "it is larger than %1 MiB, so it is not read")
            .arg(maxBytes >> 20);
    return {};
}

// The bytes of the regular file at `path`, never through a link and never blocking; false when
// it is there but cannot be read, or is not what refusal() lets pass.
bool readWhole(const QByteArray& path, QByteArray& bytes, struct stat& st, QString& error)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        error = errno == ELOOP ? linkRefusal() : qt_error_string(errno);
        return false;
    }
    if (::fstat(fd, &st) != 0 || !(error = refusalOf(st)).isNull()) {
        ::close(fd);
        return false;
    }
    bytes.resize(st.st_size);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    // A change made to part of the file would drop the rest.
    const bool whole = done == bytes.size();
    if (!whole)
        error = qt_error_string(errno);
    ::close(fd);
    return whole;
}

// A new file beside `path`, made by this call alone and never through a link.
int createTemporary(const QByteArray& path, QByteArray& temporary)
{
    const QFileInfo info(QFile::decodeName(path));
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = QFile::encodeName(info.absolutePath()) + "/." +
                    QFile::encodeName(info.fileName()) + '-' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 16);
        const int fd = ::open(temporary.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeWhole(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Gives the new file a modification time after the old one's, to the millisecond: a reader
// that kept the old file's settings tells a changed file by its size and that time.
void keepTimesApart(const struct stat& old, const QByteArray& temporary)
{
    struct stat now = {};
    if (old.st_mode == 0 || ::stat(temporary.constData(), &now) != 0)
        return;
    const auto ms = [](const timespec& t) { return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000; };
    if (ms(now.st_mtim) > ms(old.st_mtim))
        return;
    const qint64 later = ms(old.st_mtim) + 1;
    const timespec times[2] = {{0, UTIME_OMIT}, {later / 1000, (later % 1000) * 1000000}};
    (void)::utimensat(AT_FDCWD, temporary.constData(), times, 0);
}

// The settings written to `temporary` replace the file, unless a link or something else not a
// plain file was put there meanwhile.
bool replaceFile(const QByteArray& temporary, const QByteArray& path, QString& why)
{
    struct stat st = {};
    if (::lstat(path.constData(), &st) == 0 && !(why = refusalOf(st)).isNull())
        return false;
    if (::rename(temporary.constData(), path.constData()) != 0) {
        why = qt_error_string(errno);
        return false;
    }
    return true;
}

bool changeUnlocked(const QString& path, const std::function<bool(QSettings&)>& edit, QString& why,
                    bool& edited)
{
    const QByteArray file = QFile::encodeName(path);
    QByteArray bytes;
    struct stat old = {};
    if (!readWhole(file, bytes, old, why))
        return false;
    QByteArray temporary;
    const int fd = createTemporary(file, temporary);
    if (fd < 0) {
        why = qt_error_string(errno);
        return false;
    }
    if (old.st_mode != 0)
        (void)::fchmod(fd, old.st_mode & 07777);
    const bool copied = writeWhole(fd, bytes);
    if (!copied)
        why = qt_error_string(errno);
    ::close(fd);
    bool done = false;
    if (copied) {
        QSettings settings(QFile::decodeName(temporary), QSettings::IniFormat);
        edited = edit(settings);
        if (edited) {
            settings.sync();
            if (settings.status() == QSettings::AccessError)
                why = QCoreApplication::translate("setupfile", "it cannot be written");
            else {
                keepTimesApart(old, temporary);
                done = replaceFile(temporary, file, why);
            }
        }
    }
    if (!done)
        ::unlink(temporary.constData());
    return done;
}

} // namespace

QString refusal(const QString& path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return refusalOf(st);
}

std::unique_ptr<QSettings> read(const QString& path)
{
    // Refused, the settings come from a path no file can ever be at, /dev/null being no folder:
    // they hold nothing, and nothing is written through them.
    return std::make_unique<QSettings>(
        refusal(path).isNull() ? path : QStringLiteral("/dev/null/") + QFileInfo(path).fileName(),
        QSettings::IniFormat);
}

bool change(const QString& path, const std::function<bool(QSettings&)>& edit, QString& error)
{
    const QString name = QFileInfo(path).fileName();
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(lockTimeoutMs)) {
        qint64 pid = 0;
        QString host;
        QString program;
        if (lock.error() == QLockFile::LockFailedError && lock.getLockInfo(&pid, &host, &program))
            error = QCoreApplication::translate(
                        "setupfile", "Cannot change %1: %2 (process %3) was changing it for more "
                                     "than %4 seconds; try again.")
                        .arg(name, program.isEmpty()
                                       ? QCoreApplication::translate("setupfile", "another program")
                                       : program)
                        .arg(pid)
                        .arg(lockTimeoutMs / 1000);
        else
            error = QCoreApplication::translate(
                        "setupfile", "Cannot change %1: its lock file %2.lock cannot be made.")
                        .arg(name, path);
        return false;
    }
    QString why;
    bool edited = false;
    if (changeUnlocked(path, edit, why, edited))
        return true;
    if (edited || !why.isNull())
        error = QCoreApplication::translate("setupfile", "Cannot change %1: %2.").arg(name, why);
    return false;
}

} // namespace setupfile
