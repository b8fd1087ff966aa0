// SPDX-License-Identifier: MIT
#include "switchsession.h"

#include "comdevice.h"
#include "port.h"
#include "protocol/commands.h"
#include "protocol/comportfile.h"

#include <QDir>
#include <QSettings>

namespace {

// A short key a reason is remembered by, and the words that tell the user.
struct Reason
{
    QString key;
    QString words;
};

Reason reasonFor(const comportfile::WriteResult& result)
{
    using comportfile::Problem;
    switch (result.problem) {
    case Problem::Link:
        return {QStringLiteral("link"),
                QStringLiteral("it is a symbolic link, which the console does not write through; "
                               "replace it with a plain file to keep the choice")};
    case Problem::NotRegularFile:
        return {QStringLiteral("not-a-file"),
                QStringLiteral("it is not a plain file; remove it to keep the choice")};
    case Problem::FolderReadOnly:
        return {QStringLiteral("folder-read-only"), QStringLiteral("the folder is read-only")};
    case Problem::ReadOnly:
        return {QStringLiteral("read-only"), QStringLiteral("the file is read-only")};
    case Problem::DiskFull:
        return {QStringLiteral("disk-full"), QStringLiteral("the disk is full")};
    case Problem::None:
    case Problem::Other:
        break;
    }
    return {QStringLiteral("error-%1").arg(result.error), qt_error_string(result.error)};
}

} // namespace

SwitchSession::SwitchSession(Port& linePort, QString dir, QObject* parent)
    : QObject(parent), serial(linePort), directory(std::move(dir)), framer(serial, this)
{
    const QSettings settings(QDir(directory).filePath(QString::fromLatin1(settingsFileName)),
                             QSettings::IniFormat);
    reconnectEnabled = settings.value(QStringLiteral("link/reconnect"), true).toBool();
    if (settings.value(QStringLiteral("log/enabled"), true).toBool())
        serial.setLog(SessionLog(SessionLog::defaultPath()));

    // Trying an absent device costs one failed open(): a coarse timer is plenty.
    retryTimer.setInterval(retryIntervalMs);
    answerTimer.setInterval(answerTimeoutMs);
    answerTimer.setSingleShot(true);
    connect(&retryTimer, &QTimer::timeout, this, &SwitchSession::retryOpen);
    connect(&answerTimer, &QTimer::timeout, this, &SwitchSession::checkAnswer);
    connect(&serial, &Port::linkLost, this, &SwitchSession::onLinkLost);
    connect(&serial, &Port::writeFailed, this, &SwitchSession::writeFailed);
}

QString SwitchSession::logPath() const
{
    return serial.log() ? serial.log()->path() : QString();
}

void SwitchSession::askForRouting()
{
    windowsBeforeRequest = framer.windowsOpened();
    if (send(protocol::statusRequest()))
        answerTimer.start();
}

void SwitchSession::checkAnswer()
{
    // Anything that came counts as an answer, even while a box holds the replies back.
    if (!serial.isOpen() || framer.windowsOpened() > windowsBeforeRequest)
        return;
    emit noAnswer(
        QStringLiteral("No answer from the switch on COM%1 (%2).").arg(port).arg(device()));
}

void SwitchSession::onLinkLost(const QString& reason)
{
    answerTimer.stop();
    if (reconnectEnabled)
        retryTimer.start();
    emit linkLost(reason);
}

void SwitchSession::retryOpen()
{
    // The very device that was lost: while a COMn link is gone for a moment, the port number
    // alone would lead to the built-in port.
    if (!serial.open(openedDevice))
        return;
    retryTimer.stop();
    emit openChanged(true);
    askForRouting();
}

void SwitchSession::stopReconnecting()
{
    if (!retryTimer.isActive())
        return;
    retryTimer.stop();
    emit openChanged(false);
}

QString SwitchSession::device() const
{
    return comDevicePath(port, directory, attachedUsbSerialAdapters());
}

bool SwitchSession::send(const QByteArray& bytes)
{
    if (serial.write(bytes))
        return true;
    error = serial.errorString();
    return false;
}

bool SwitchSession::isOpen() const
{
    return serial.isOpen();
}

bool SwitchSession::startUp()
{
    int stored = 0;
    const comportfile::ReadResult saved = comportfile::read(directory);
    if (!saved.opened) {
        // First start (or an unreadable file): COM1, and the file is written.
        selectPort(0);
        port = 1;
        save(0);
    } else {
        stored = saved.index.value_or(0);
    }
    // An index outside the list selects nothing: the file keeps it until the user chooses.
    if (stored >= 0 && stored < portCount)
        selectPort(stored);
    if (stored + 1 <= 255)
        port = static_cast<quint8>(stored + 1);
    if (!tryOpen())
        return false;
    askForRouting();
    return true;
}

void SwitchSession::selectPort(int listIndex)
{
    stopReconnecting();
    if (serial.isOpen()) {
        answerTimer.stop();
        serial.close();
        emit openChanged(false);
    }
    if (selected != listIndex) {
        selected = listIndex;
        emit listIndexChanged(listIndex);
    }
    if (listIndex >= 0 && listIndex < portCount)
        port = static_cast<quint8>(listIndex + 1);
    save(listIndex);
}

void SwitchSession::save(int listIndex)
{
    const comportfile::WriteResult result = comportfile::write(directory, listIndex);
    const QString folder = QDir(directory).absolutePath();
    if (result) {
        if (!savedThisSession)
            notices.forget(folder);
        savedThisSession = true;
        return;
    }
    if (toldThisSession)
        return;
    toldThisSession = true;
    const Reason reason = reasonFor(result);
    if (notices.wasTold(folder, reason.key))
        return;
    notices.remember(folder, reason.key);
    emit choiceNotSaved(
        QStringLiteral("Cannot save the port choice in %1: %2. The console keeps "
                       "COM%3 for this session.")
            .arg(QDir(folder).filePath(QString::fromLatin1(comportfile::fileName)), reason.words)
            .arg(port));
}

bool SwitchSession::tryOpen()
{
    if (port == 0) {
        error = QStringLiteral("No port chosen");
        return false;
    }
    const QString path = device();
    if (!serial.open(path)) {
        error = serial.errorString();
        return false;
    }
    openedDevice = path;
    error.clear();
    return true;
}

SwitchSession::ToggleResult SwitchSession::toggle()
{
    if (retryTimer.isActive()) {
        stopReconnecting();
        return ToggleResult::Closed;
    }
    if (serial.isOpen()) {
        answerTimer.stop();
        serial.close();
        emit openChanged(false);
        return ToggleResult::Closed;
    }
    if (!tryOpen())
        return ToggleResult::OpenFailed;
    emit openChanged(true);
    askForRouting();
    return ToggleResult::Opened;
}
