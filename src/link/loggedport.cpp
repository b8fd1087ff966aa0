// SPDX-License-Identifier: MIT
#include "loggedport.h"

LoggedPort::LoggedPort(Port& inner, QObject* parent) : Port(parent), line(inner)
{
    connect(&line, &Port::readyRead, this, &Port::readyRead);
    connect(&line, &Port::linkLost, this, &Port::linkLost);
    connect(&line, &Port::writeFailed, this, &Port::writeFailed);
    connect(&line, &Port::opened, this, &Port::opened);
    connect(&line, &Port::openFailed, this, &Port::openFailed);
}

bool LoggedPort::write(const QByteArray& bytes)
{
    const bool sent = line.write(bytes);
    if (sent && sessionLog)
        sessionLog->recordSent(bytes);
    return sent;
}

QByteArray LoggedPort::readAll()
{
    QByteArray bytes = line.readAll();
    if (!bytes.isEmpty() && sessionLog)
        sessionLog->recordReceived(bytes);
    return bytes;
}
