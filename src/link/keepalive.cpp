// SPDX-License-Identifier: MIT
#include "keepalive.h"

#include <QAbstractSocket>
#include <QVariant>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

void keepAlive(QAbstractSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int descriptor = int(socket.socketDescriptor());
    if (descriptor < 0)
        return;
    for (const auto& [option, value] :
         {std::pair{TCP_KEEPIDLE, 60}, std::pair{TCP_KEEPINTVL, 10}, std::pair{TCP_KEEPCNT, 3}})
        ::setsockopt(descriptor, IPPROTO_TCP, option, &value, sizeof value);
}
