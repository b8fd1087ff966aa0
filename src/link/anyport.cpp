// SPDX-License-Identifier: MIT
#include "anyport.h"

AnyPort::AnyPort(QObject* parent) : Port(parent)
{
    for (Port* line :
         {static_cast<Port*>(&serial), static_cast<Port*>(&tcp), static_cast<Port*>(&panel)}) {
        connect(line, &Port::readyRead, this, &Port::readyRead);
        connect(line, &Port::linkLost, this, &Port::linkLost);
        connect(line, &Port::writeFailed, this, &Port::writeFailed);
        connect(line, &Port::opened, this, &Port::opened);
        connect(line, &Port::openFailed, this, &Port::openFailed);
    }
}

bool AnyPort::open(const QString& device)
{
    if (active->isOpen() || active->isOpening())
        return active->open(device); // says it is already open
    if (device.startsWith(QLatin1String("tcp://")))
        active = &tcp;
    else if (device.startsWith(QLatin1String("http://")) ||
             device.startsWith(QLatin1String("https://")))
        active = &panel;
    else
        active = &serial;
    return active->open(device);
}
