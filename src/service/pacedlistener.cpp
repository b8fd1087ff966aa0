// SPDX-License-Identifier: MIT
#include "pacedlistener.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

PacedListener::PacedListener(QObject* parent) : QTcpServer(parent)
{
    resume.setSingleShot(true);
    resume.setInterval(pauseMs);
    connect(&resume, &QTimer::timeout, this, [this] {
        if (notifier)
            notifier->setEnabled(true);
    });
}

bool PacedListener::listen(const QHostAddress& address, quint16 port)
{
    if (!QTcpServer::listen(address, port))
        return false;
    pauseAccepting(); // QTcpServer's own accepting would spin on EMFILE
    notifier = new QSocketNotifier(socketDescriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PacedListener::acceptWaiting);
    return true;
}

QTcpSocket* PacedListener::nextPendingConnection()
{
    QTcpSocket* next = QTcpServer::nextPendingConnection();
    pauseAccepting(); // the base turns its own accepting back on
    return next;
}

void PacedListener::acceptWaiting()
{
    // A bounded turn: other connections' work goes on between turns.
    for (int turn = 0; turn < 64; ++turn) {
        const int descriptor =
            ::accept4(int(socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor >= 0) {
            told = false;
            incomingConnection(descriptor);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            notifier->setEnabled(false);
            if (!std::exchange(told, true))
                emit note(tr("cannot accept connections: %1; trying again every %2 s")
                              .arg(QString::fromLocal8Bit(std::strerror(errno)))
                              .arg(pauseMs / 1000));
            resume.start();
        }
        return; // EAGAIN: none waits
    }
}
