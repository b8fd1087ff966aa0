// SPDX-License-Identifier: MIT
#include "sessionlog.h"

#include "protocol/logtext.h"
#include "statefolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SessionLog::SessionLog(QString path, qint64 sizeLimit) : file(std::move(path)), limit(sizeLimit)
{
    refuseIfNotPlain();
}

QString SessionLog::defaultPath()
{
    return stateFolder() + QStringLiteral("/session.log");
}

QByteArray SessionLog::escaped(const QByteArray& bytes)
{
    return protocol::logEscaped(bytes);
}

QByteArray SessionLog::escapedPart(const QByteArray& bytes, qsizetype& from, qsizetype room)
{
    QByteArray part;
    part.reserve(room);
    // Each byte takes at most four characters: stop where the next might not fit.
    for (; from < bytes.size() && part.size() + 4 <= room; ++from)
        protocol::appendLogEscaped(part, bytes[from]);
    return part;
}

int SessionLog::openFile() const
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    const int fd =
        ::open(QFile::encodeName(file).constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void SessionLog::record(char direction, const QByteArray& bytes)
{
    if (!refused.isNull())
        return;
    const QByteArray stamp = QDateTime::currentDateTime()
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                 .toLatin1() +
                             ' ' + direction + ' ';
    // A line never passes the limit (nor maxLineBytes), so no file does.
    const qsizetype room = std::max<qsizetype>(std::min(limit, maxLineBytes) - stamp.size() - 1, 4);
    int fd = openFile();
    struct stat st = {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        refuseIfNotPlain();
        return; // a log that cannot be written must never stop the console
    }
    qint64 size = st.st_size;
    qsizetype from = 0;
    do {
        const QByteArray line = stamp + escapedPart(bytes, from, room) + '\n';
        if (size > 0 && size + line.size() > limit) {
            ::close(fd);
            rotate();
            fd = openFile();
            if (fd < 0 || ::fstat(fd, &st) != 0) {
                refuseIfNotPlain();
                return;
            }
            size = st.st_size;
        }
        if (::write(fd, line.constData(), size_t(line.size())) != line.size())
            break;
        size += line.size();
    } while (from < bytes.size());
    ::close(fd);
}

void SessionLog::refuseIfNotPlain()
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(file).constData(), &st) != 0)
        return;
    if (S_ISLNK(st.st_mode))
        refused =
            QCoreApplication::translate(
                "SessionLog", "The session log %1 is a symbolic link, which the console does not "
                              "write through: nothing is logged. Replace it with a plain file.")
                .arg(file);
    else if (!S_ISREG(st.st_mode))
        refused = QCoreApplication::translate(
                      "SessionLog", "The session log %1 is not a plain file: nothing is logged. "
                                    "Replace it with a plain file.")
                      .arg(file);
}

void SessionLog::rotate()
{
    const auto numbered = [this](int n) { return file + QLatin1Char('.') + QString::number(n); };
    QFile::remove(numbered(keptOldFiles));
    for (int n = keptOldFiles - 1; n >= 1; --n)
        QFile::rename(numbered(n), numbered(n + 1));
    QFile::rename(file, numbered(1));
}
