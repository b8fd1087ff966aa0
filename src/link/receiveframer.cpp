// SPDX-License-Identifier: MIT
#include "receiveframer.h"

#include "port.h"

#include <algorithm>

ReceiveFramer::ReceiveFramer(Port& linePort, QObject* parent) : QObject(parent), port(linePort)
{
    window.setSingleShot(true);
    window.setInterval(framingWindowMs);
    window.setTimerType(Qt::PreciseTimer);
    connect(&port, &Port::readyRead, this, &ReceiveFramer::onReadyRead);
    connect(&port, &Port::linkLost, this, &ReceiveFramer::onLinkLost);
    connect(&window, &QTimer::timeout, this, &ReceiveFramer::onWindowEnd);
}

void ReceiveFramer::onReadyRead()
{
    // Bytes that arrive inside an open window belong to it.
    if (!window.isActive()) {
        ++opened;
        window.start();
    }
    if (eager)
        readEagerly();
}

void ReceiveFramer::readEagerly()
{
    // Past the bound the rest waits in the port, which makes the far end wait, as when framed.
    if (arrived.size() >= Port::readBufferBytes)
        return;
    const QByteArray bytes = port.readAll();
    if (bytes.isEmpty())
        return;
    arrived += bytes;
    emit bytesArriving(bytes);
}

void ReceiveFramer::onLinkLost()
{
    // What came before the hang-up is the switch's last word: handle it now, not never.
    if (!window.isActive() && port.bytesAvailable() == 0)
        return;
    if (!window.isActive())
        ++opened;
    window.stop();
    onWindowEnd();
}

void ReceiveFramer::onWindowEnd()
{
    // Always empty the port: bytes left in it while a box is open cost the port a buffer
    // chunk per read, and would be merged into one reply afterwards.
    QByteArray bytes = port.readAll();
    if (eager && !bytes.isEmpty())
        emit bytesArriving(bytes);
    queueWindow(arrived + bytes);
    arrived.clear();
    handleQueue();
}

void ReceiveFramer::queueWindow(const QByteArray& bytes)
{
    heldBytes.insert(heldBytes.end(), bytes.cbegin(), bytes.cend());
    windowSizes.push_back(static_cast<quint32>(bytes.size()));
    dropOldestWindows();
}

QByteArray ReceiveFramer::takeOldestWindow()
{
    const auto size = static_cast<qsizetype>(windowSizes.front());
    windowSizes.pop_front();
    QByteArray bytes(size, Qt::Uninitialized);
    std::copy_n(heldBytes.cbegin(), size, bytes.begin());
    heldBytes.erase(heldBytes.cbegin(), heldBytes.cbegin() + size);
    return bytes;
}

void ReceiveFramer::dropOldestWindows()
{
    qsizetype count = 0;
    while (heldByteCount() > heldByteCap && windowSizes.size() > 1) {
        takeOldestWindow();
        ++count;
    }
    dropped += count;
    handled += static_cast<quint64>(count); // never to be handled: nobody may wait for them
}

void ReceiveFramer::handleQueue()
{
    // A box opened while a reply is handled holds the rest; the outer call goes on after it.
    if (handling)
        return;
    handling = true;
    while (holds == 0 && !windowSizes.empty()) {
        if (dropped > 0) {
            const qsizetype count = dropped;
            dropped = 0;
            emit heldRepliesDropped(count);
            continue;
        }
        const QByteArray bytes = takeOldestWindow();
        ++handled;
        emit bytesReceived(bytes);
        emit replyReceived(protocol::classify(protocol::replyText(bytes)));
    }
    handling = false;
}

void ReceiveFramer::hold()
{
    ++holds;
}

void ReceiveFramer::release()
{
    if (holds > 0 && --holds == 0)
        handleQueue();
}
