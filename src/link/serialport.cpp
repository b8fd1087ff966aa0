// SPDX-License-Identifier: MIT
#include "serialport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <unistd.h>
#include <utility>

namespace {

// The live process a lock file in the plain HDB format names ("%10d\n", as uucp, minicom and
// lockdev write it), or 0. The serial port library takes such a file, which names no program,
// for one whose process number was reused, and deletes it.
qint64 plainLockHolder(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression plain(QStringLiteral("^\\s*(\\d{1,10})\\n?$"));
    const QRegularExpressionMatch match = plain.match(QString::fromLatin1(file.read(64)));
    const qint64 pid = match.hasMatch() ? match.captured(1).toLongLong() : 0;
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM) ? pid : 0;
}

// The lock files the serial port library may keep for `device` (an absolute path), one in each
// folder it may use ("LCK..pts_3" for /dev/pts/3).
QStringList lockPaths(const QString& device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList paths;
    for (const QString& folder :
         {QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
          QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
          QStringLiteral("/tmp"), QStringLiteral("/var/tmp"), QStringLiteral("/var/lock/lockdev"),
          QStringLiteral("/run/lock"),
          QStandardPaths::writableLocation(QStandardPaths::TempLocation)})
        paths << QDir(folder).filePath(QStringLiteral("LCK..") + name);
    return paths;
}

QString holderText(const QString& program, qint64 pid)
{
    return QCoreApplication::translate("SerialPort", "%1 (process %2)")
        .arg(program.isEmpty() ? QCoreApplication::translate("SerialPort", "a program") : program)
        .arg(pid);
}

// Who holds a lock file for `device`; empty when no lock file says.
QString lockHolder(const QString& device)
{
    for (const QString& path : lockPaths(device)) {
        qint64 pid = 0;
        QString host;
        QString program;
        if (QFileInfo::exists(path) && QLockFile(path).getLockInfo(&pid, &host, &program) &&
            pid > 0)
            return holderText(program, pid);
    }
    return {};
}

} // namespace

SerialPort::SerialPort(QObject* parent) : Port(parent)
{
    connect(&serial, &QSerialPort::errorOccurred, this, &SerialPort::onErrorOccurred);
    connect(&serial, &QSerialPort::readyRead, this, &Port::readyRead);
    serial.setReadBufferSize(readBufferBytes);
}

QString SerialPort::openFailureText(QSerialPort::SerialPortError code, const QString& reason) const
{
    if (code != QSerialPort::PermissionError)
        return QStringLiteral("%1: %2").arg(device, reason);
    // A lock file or an exclusive open by another program reads as a permission error too;
    // the device's own permissions tell the two apart.
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0) {
        const QString holder = lockHolder(resolved);
        if (holder.isEmpty())
            return tr("%1 is in use by another program.").arg(device);
        return inUseText(holder);
    }
    return tr("No permission to open %1. Add your user to the 'dialout' group "
              "(sudo usermod -aG dialout $USER), then log in again.")
        .arg(device);
}

QString SerialPort::inUseText(const QString& holder) const
{
    const QString name =
        resolved == device ? device : QStringLiteral("%1 (%2)").arg(device, resolved);
    return tr("%1 is in use by %2.").arg(name, holder);
}

bool SerialPort::open(const QString& path)
{
    if (serial.isOpen()) {
        error = tr("%1 is already open").arg(device);
        return false;
    }
    error.clear();
    receivedBeforeLoss.clear();
    device = path;
    // The device itself, not the name it was reached by: every name of one device (links,
    // COMn, its own path) meets the same lock, which keeps out even root, whom the exclusive
    // open of a terminal does not stop.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    resolved = canonical.isEmpty() ? path : canonical;
    for (const QString& lock : lockPaths(resolved)) {
        if (const qint64 pid = plainLockHolder(lock)) {
            error = inUseText(holderText({}, pid));
            return false;
        }
    }
    serial.setPortName(resolved);
    if (!serial.open(QIODevice::ReadWrite)) {
        error = openFailureText(serial.error(), serial.errorString());
        return false;
    }
    // A line setting the device refuses (a pseudo-terminal takes any baud rate) leaves the port
    // unusable for the switch, so it counts as a failed open.
    if (!serial.setBaudRate(QSerialPort::Baud9600) || !serial.setDataBits(QSerialPort::Data8) ||
        !serial.setParity(QSerialPort::NoParity) || !serial.setStopBits(QSerialPort::OneStop) ||
        !serial.setFlowControl(QSerialPort::NoFlowControl)) {
        error = QStringLiteral("%1: %2").arg(device, serial.errorString());
        serial.close();
        return false;
    }
    serial.clear();
    return true;
}

void SerialPort::close()
{
    receivedBeforeLoss.clear();
    if (serial.isOpen())
        serial.close();
}

bool SerialPort::isOpen() const
{
    return serial.isOpen();
}

bool SerialPort::write(const QByteArray& bytes)
{
    if (!serial.isOpen()) {
        error = tr("the port is closed");
        return false;
    }
    if (serial.write(bytes) != bytes.size()) {
        error = QStringLiteral("%1: %2").arg(device, serial.errorString());
        return false;
    }
    return true;
}

QByteArray SerialPort::readAll()
{
    if (!serial.isOpen())
        return std::exchange(receivedBeforeLoss, {});
    return serial.readAll();
}

qint64 SerialPort::bytesAvailable() const
{
    return serial.isOpen() ? serial.bytesAvailable() : receivedBeforeLoss.size();
}

void SerialPort::onErrorOccurred(QSerialPort::SerialPortError code)
{
    // A vanished device or a hung-up far end leaves the port "open" and floods ReadError
    // notifications; close at once so the flood stops, and let the window tell the user later.
    if (!serial.isOpen())
        return;
    const bool deviceGone = !QFileInfo::exists(device);
    if (code == QSerialPort::WriteError && !deviceGone) {
        emit writeFailed(QStringLiteral("%1: %2").arg(device, serial.errorString()));
        return;
    }
    if (code != QSerialPort::ResourceError && code != QSerialPort::ReadError &&
        code != QSerialPort::WriteError)
        return;
    // A hung-up terminal reads as the end of a file, so the port's own error text comes from
    // whatever call failed last (often "Inappropriate ioctl for device"); name the device.
    const QString reason = tr("%1 was unplugged or hung up").arg(device);
    // Closing drops the port's buffer: keep what the switch said last.
    receivedBeforeLoss = serial.readAll();
    serial.close();
    emit linkLost(reason);
}
