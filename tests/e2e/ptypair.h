// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal standing in for the serial line. Both ends stay open for the pair's whole
// life, so the console can close and reopen the line without a hang-up; the slave is raw with
// no echo, as a serial device is.
class PtyPair
{
public:
    PtyPair()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        slavePath = QString::fromLocal8Bit(ptsname(master));
        slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        if (slave < 0)
            return;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master >= 0 && slave >= 0; }

    // The switch's side writes.
    bool write(const QByteArray& bytes) const
    {
        return ::write(master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
               bytes.size();
    }

    // Reads what the console sent until `count` bytes have come or `timeoutMs` passed. The
    // caller keeps the event loop turning through `pump` while it waits.
    template <typename Pump> QByteArray read(qsizetype count, int timeoutMs, Pump pump) const
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < timeoutMs) {
            pump();
            char buffer[256];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
            else
                usleep(1000);
        }
        return got;
    }

    int master = -1;
    int slave = -1;
    QString slavePath;
};
