// SPDX-License-Identifier: MIT
#include "pty.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool Pty::open(QString* error)
{
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        (name = ptsname(m_master)) == nullptr) {
        *error = systemError("grantpt/unlockpt/ptsname");
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        *error = systemError("open slave");
        close();
        return false;
    }

    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0) {
        *error = systemError("tcgetattr");
        close();
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0) {
        *error = systemError("tcsetattr");
        close();
        return false;
    }

    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = systemError("fcntl");
        close();
        return false;
    }
    return true;
}

void Pty::close()
{
    // Master first: the hang-up reaches the console's end at once.
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

bool placeLink(const QString& link, const QString& target, QString* error)
{
    const QByteArray linkPath = QFile::encodeName(link);
    struct stat st
    {
    };
    if (lstat(linkPath.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(link);
        return false;
    }
    // Made under a temporary name and renamed over the old one, so the name never dangles.
    const QByteArray temporary = linkPath + ".new" + QByteArray::number(getpid());
    ::unlink(temporary.constData());
    if (symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0) {
        *error = systemError("symlink");
        return false;
    }
    if (rename(temporary.constData(), linkPath.constData()) != 0) {
        *error = systemError("rename");
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void removeLink(const QString& link, const QString& target)
{
    const QByteArray linkPath = QFile::encodeName(link);
    char buffer[4096];
    const ssize_t n = readlink(linkPath.constData(), buffer, sizeof buffer);
    if (n < 0 || QByteArray(buffer, n) != QFile::encodeName(target))
        return;
    ::unlink(linkPath.constData());
}

} // namespace sim
