// SPDX-License-Identifier: MIT
#include "qtserialport.h"

#include "comdevice.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>
#include <utility>

namespace {

QSerialPort::Parity parityFromLetter(QChar letter)
{
    switch (letter.toUpper().unicode()) {
    case 'N':
        return QSerialPort::NoParity;
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        throw SerialError("invalid parity in port settings");
    }
}

} // namespace

QString QtSerialPort::openFailureText(QSerialPort::SerialPortError error,
                                      const QString& reason) const
{
    if (error != QSerialPort::PermissionError)
        return QStringLiteral("%1: %2").arg(device, reason);
    // A lock file or an exclusive open by another program reads as a permission error too;
    // the device's own permissions tell the two apart.
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0)
        return QStringLiteral("%1 is in use by another program.").arg(device);
    return QStringLiteral("No permission to open %1. Add your user to the 'dialout' group "
                          "(sudo usermod -aG dialout $USER), then log in again.")
        .arg(device);
}

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent)
{
    connect(&serial, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
    connect(&serial, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
}

void QtSerialPort::setSettings(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool baudOk = false, bitsOk = false;
    if (parts.size() != 4 || parts[1].size() != 1)
        throw SerialError("invalid port settings");
    const qint32 newBaud = parts[0].trimmed().toInt(&baudOk);
    const int bits = parts[2].trimmed().toInt(&bitsOk);
    const QString stop = parts[3].trimmed();
    if (!baudOk || newBaud <= 0 || !bitsOk || bits < 5 || bits > 8 ||
        (stop != QLatin1String("1") && stop != QLatin1String("1.5") && stop != QLatin1String("2")))
        throw SerialError("invalid port settings");
    parity = parityFromLetter(parts[1][0]);
    baud = newBaud;
    dataBits = static_cast<QSerialPort::DataBits>(bits);
    stopBits = stop == QLatin1String("1")   ? QSerialPort::OneStop
               : stop == QLatin1String("2") ? QSerialPort::TwoStop
                                            : QSerialPort::OneAndHalfStop;
    settingsText = text;
}

void QtSerialPort::setCommPort(int newPort)
{
    if (newPort < 1 || newPort > 255)
        throw SerialError("invalid port number");
    port = newPort;
}

void QtSerialPort::open()
{
    if (serial.isOpen())
        throw SerialError("port already open");
    openFailure.clear();
    receivedBeforeLoss.clear();
    device = comDevicePath(port);
    serial.setPortName(device);
    if (!serial.open(QIODevice::ReadWrite)) {
        openFailure = openFailureText(serial.error(), serial.errorString());
        throw SerialError(openFailure.toStdString());
    }
    // A line setting the device refuses (a pseudo-terminal takes any baud rate) leaves the port
    // unusable for the switch, so it counts as a failed open.
    if (!serial.setBaudRate(baud) || !serial.setDataBits(dataBits) || !serial.setParity(parity) ||
        !serial.setStopBits(stopBits) || !serial.setFlowControl(QSerialPort::NoFlowControl)) {
        openFailure = QStringLiteral("%1: %2").arg(device, serial.errorString());
        serial.close();
        throw SerialError(openFailure.toStdString());
    }
    serial.clear();
}

void QtSerialPort::close()
{
    receivedBeforeLoss.clear();
    if (serial.isOpen())
        serial.close();
}

bool QtSerialPort::isOpen() const
{
    return serial.isOpen();
}

void QtSerialPort::output(const QByteArray& bytes)
{
    if (!serial.isOpen())
        throw SerialError("port is closed");
    if (serial.write(bytes) != bytes.size())
        throw SerialError(serial.errorString().toStdString());
}

QByteArray QtSerialPort::input()
{
    if (!serial.isOpen())
        return std::exchange(receivedBeforeLoss, {});
    return inputLen > 0 ? serial.read(inputLen) : serial.readAll();
}

qint64 QtSerialPort::bytesWaiting() const
{
    return serial.isOpen() ? serial.bytesAvailable() : receivedBeforeLoss.size();
}

void QtSerialPort::onReadyRead()
{
    if (rThreshold > 0)
        emit comm();
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device or a hung-up far end leaves the port "open" and floods ReadError
    // notifications; close at once so the flood stops, and let the window tell the user later.
    if (!serial.isOpen())
        return;
    const bool deviceGone = !QFileInfo::exists(device);
    if (error == QSerialPort::WriteError && !deviceGone) {
        emit writeFailed(QStringLiteral("%1: %2").arg(device, serial.errorString()));
        return;
    }
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    // A hung-up terminal reads as the end of a file, so the port's own error text comes from
    // whatever call failed last (often "Inappropriate ioctl for device"); name the device.
    const QString reason = QStringLiteral("%1 was unplugged or hung up").arg(device);
    // Closing drops the port's buffer: keep what the switch said last.
    receivedBeforeLoss = serial.readAll();
    serial.close();
    emit linkLost(reason);
}
