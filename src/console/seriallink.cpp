// SPDX-License-Identifier: MIT
#include "seriallink.h"

#include "comportfile.h"
#include "platform/serialport.h"

SerialLink::SerialLink(SerialPort& serialPort, QString dir, QObject* parent)
    : QObject(parent), serial(serialPort), directory(std::move(dir))
{
}

bool SerialLink::isOpen() const
{
    return serial.isOpen();
}

bool SerialLink::startUp()
{
    int stored = 0;
    const comportfile::ReadResult saved = comportfile::read(directory);
    if (!saved.opened) {
        // First start (or an unreadable file): COM1, and the file is written.
        selectPort(0);
        port = 1;
        comportfile::write(directory, 0);
    } else {
        stored = saved.index.value_or(0);
    }
    // An index outside the list selects nothing: the file keeps it until the user chooses.
    if (stored >= 0 && stored < portCount)
        selectPort(stored);
    if (stored + 1 <= 255)
        port = static_cast<quint8>(stored + 1);

    // The line settings are fixed; a port that refuses them fails at open.
    try {
        serial.setSettings(QString::fromLatin1(lineSettings));
        serial.setInputLen(0);
        serial.setRThreshold(1);
    } catch (const SerialError&) {
    }
    return tryOpen();
}

void SerialLink::selectPort(int listIndex)
{
    if (serial.isOpen()) {
        serial.close();
        emit openChanged(false);
    }
    if (selected != listIndex) {
        selected = listIndex;
        emit listIndexChanged(listIndex);
    }
    if (listIndex >= 0 && listIndex < portCount)
        port = static_cast<quint8>(listIndex + 1);
    // An unwritable working directory must not stop the console: it goes on with this port.
    comportfile::write(directory, listIndex);
}

bool SerialLink::tryOpen()
{
    try {
        serial.setCommPort(port);
        serial.open();
    } catch (const SerialError&) {
        return false;
    }
    return true;
}

SerialLink::ToggleResult SerialLink::toggle()
{
    if (serial.isOpen()) {
        serial.close();
        emit openChanged(false);
        return ToggleResult::Closed;
    }
    if (!tryOpen())
        return ToggleResult::OpenFailed;
    emit openChanged(true);
    return ToggleResult::Opened;
}
