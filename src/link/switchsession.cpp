// SPDX-License-Identifier: MIT
#include "switchsession.h"

#include "comdevice.h"
#include "port.h"
#include "protocol/commands.h"
#include "protocol/comportfile.h"
#include "setupfile.h"
#include "tcpport.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

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
                QCoreApplication::translate(
                    "SwitchSession",
                    "it is a symbolic link, which the console does not write through; "
                    "replace it with a plain file to keep the choice")};
    case Problem::NotRegularFile:
        return {QStringLiteral("not-a-file"),
                QCoreApplication::translate(
                    "SwitchSession", "it is not a plain file; remove it to keep the choice")};
    case Problem::FolderReadOnly:
        return {QStringLiteral("folder-read-only"),
                QCoreApplication::translate("SwitchSession", "the folder is read-only")};
    case Problem::ReadOnly:
        return {QStringLiteral("read-only"),
                QCoreApplication::translate("SwitchSession", "the file is read-only")};
    case Problem::DiskFull:
        return {QStringLiteral("disk-full"),
                QCoreApplication::translate("SwitchSession", "the disk is full")};
    case Problem::None:
    case Problem::Other:
        break;
    }
    return {QStringLiteral("error-%1").arg(result.error), qt_error_string(result.error)};
}

} // namespace

SwitchSession::SwitchSession(Port& linePort, QString dir, QObject* parent)
    : SwitchSession(linePort, std::move(dir), Role::Console, parent)
{
}

SwitchSession::SwitchSession(Port& linePort, QString dir, Role sessionRole, QObject* parent)
    : QObject(parent), serial(linePort), directory(std::move(dir)), framer(serial, this),
      role(sessionRole)
{
    const std::unique_ptr<QSettings> settings = setupfile::read(settingsPath());
    reconnectEnabled =
        role == Role::Console && settings->value(QStringLiteral("link/reconnect"), true).toBool();
    if (role == Role::Console)
        setPollInterval(settings->value(QStringLiteral("link/poll"), 0).toInt());
    if (settings->value(QStringLiteral("log/enabled"), true).toBool())
        serial.setLog(SessionLog(SessionLog::defaultPath()));

    // Trying an absent device costs one failed open(): a coarse timer is plenty.
    retryTimer.setInterval(retryIntervalMs);
    // Children by name, so a test can count the ticks instead of waiting a guessed time.
    retryTimer.setObjectName(QStringLiteral("reconnectTimer"));
    retryTimer.setParent(this);
    answerTimer.setInterval(answerTimeoutMs);
    answerTimer.setSingleShot(true);
    connect(&retryTimer, &QTimer::timeout, this, &SwitchSession::retryOpen);
    connect(&answerTimer, &QTimer::timeout, this, &SwitchSession::checkAnswer);
    pollTimer->setObjectName(QStringLiteral("pollTimer"));
    connect(pollTimer, &QTimer::timeout, this, &SwitchSession::poll);
    connect(this, &SwitchSession::openChanged, this, &SwitchSession::restartPolling);
    connect(&serial, &Port::linkLost, this, &SwitchSession::onLinkLost);
    connect(&serial, &Port::writeFailed, this, &SwitchSession::writeFailed);
    connect(&serial, &Port::opened, this, &SwitchSession::onOpened);
    connect(&serial, &Port::openFailed, this, &SwitchSession::onOpenFailed);
    connect(&framer, &ReceiveFramer::replyReceived, this, &SwitchSession::noteReportedRoutes);
}

void SwitchSession::noteReportedRoutes(const protocol::Reply& reply)
{
    // The last words of a line already closed describe a switch that may not be there now.
    if (!serial.isOpen())
        return;
    for (const protocol::Route& route : reply.routes)
        reported[route.output - 1] = route.input;
}

int SwitchSession::reportedInput(int output) const
{
    return output >= 1 && output <= 4 ? reported[output - 1] : 0;
}

std::optional<Routing> SwitchSession::reportedRouting() const
{
    if (std::find(reported.cbegin(), reported.cend(), 0) != reported.cend())
        return std::nullopt;
    return reported;
}

QString SwitchSession::settingsPath() const
{
    return QDir(directory).filePath(QString::fromLatin1(settingsFileName));
}

void SwitchSession::keepSetting(const QString& key, const QString& value)
{
    // Not kept is no loss: the choice holds for this session, and a file that refuses it was
    // named to the user when it was read.
    QString unused;
    setupfile::change(
        settingsPath(),
        [&](QSettings& settings) {
            if (value.isEmpty())
                settings.remove(key);
            else
                settings.setValue(key, value);
            return true;
        },
        unused);
}

QString SwitchSession::logProblem() const
{
    return serial.log() ? serial.log()->problem() : QString();
}

QString SwitchSession::logPath() const
{
    return serial.log() ? serial.log()->path() : QString();
}

void SwitchSession::setPollInterval(int seconds)
{
    // A value out of range (or no number at all) in a hand-edited file leaves polling off.
    pollSeconds = seconds > 0 && seconds <= maxPollSeconds ? seconds : 0;
    pollTimer->setInterval(pollSeconds * 1000);
    restartPolling();
}

void SwitchSession::restartPolling()
{
    if (pollSeconds > 0 && serial.isOpen())
        pollTimer->start();
    else
        pollTimer->stop();
}

void SwitchSession::poll()
{
    // Never between a command and its answer, nor under a box that holds the replies back.
    const bool awaitingRouting =
        answerTimer.isActive() && framer.windowsOpened() <= windowsBeforeRequest;
    const bool busy = awaitingRouting || framer.isHeld() ||
                      framer.repliesHandled() < framer.windowsOpened() ||
                      (pollingHeld && pollingHeld());
    if (!busy && serial.isOpen())
        send(protocol::statusRequest());
}

void SwitchSession::askForRouting()
{
    restartPolling();
    if (role == Role::Script)
        return; // a script's bytes on the line are its own
    windowsBeforeRequest = framer.windowsOpened();
    if (send(protocol::statusRequest()))
        answerTimer.start();
}

void SwitchSession::checkAnswer()
{
    // Anything that came counts as an answer, even while a box holds the replies back.
    if (!serial.isOpen() || framer.windowsOpened() > windowsBeforeRequest)
        return;
    emit noAnswer(typed.isEmpty()
                      ? tr("No answer from the switch on COM%1 (%2).").arg(port).arg(device())
                      : tr("No answer from the switch on %1.").arg(typed));
}

void SwitchSession::tell(const QString& reason, const QString& path)
{
    QString line = reason;
    if (typed.isEmpty() && !path.isEmpty()) {
        // The user chose a COM port: name it beside the device it leads to.
        const QString named = QStringLiteral("COM%1 (%2)").arg(port).arg(path);
        if (const qsizetype at = line.indexOf(path); at >= 0)
            line.replace(at, path.size(), named);
        else
            line = named + QStringLiteral(": ") + line;
    }
    if (line == lastTold)
        return;
    lastTold = line;
    serial.recordEvent(line);
    emit linkNote(line);
}

void SwitchSession::onLinkLost(const QString& reason)
{
    answerTimer.stop();
    pollTimer->stop();
    reported = {};
    lastTold.clear(); // every loss is told
    tell(reason, opened.name());
    if (reconnectEnabled)
        retryTimer.start();
    emit linkLost(reason);
}

void SwitchSession::retryOpen()
{
    // The very device that was lost: while a COMn link is gone for a moment, the port number
    // alone would lead to the built-in port, and a node back under the old name may be another
    // program's line.
    if (serial.isOpening())
        return; // a network port answers later, in onOpened()
    const QString path = opened.reopenPath();
    if (path.isEmpty())
        return;
    if (!serial.open(path)) {
        tell(serial.errorString(), path);
        return;
    }
    opened = LineIdentity::of(path);
    if (serial.isOpening())
        return;
    retryTimer.stop();
    tellReconnected();
    emit openChanged(true);
    askForRouting();
}

void SwitchSession::tellReconnected()
{
    tell(tr("%1 is connected again").arg(opened.name()), opened.name());
}

void SwitchSession::stopReconnecting()
{
    if (!retryTimer.isActive())
        return;
    retryTimer.stop();
    if (serial.isOpening())
        serial.close(); // a network port still trying would open behind the user's back
    emit openChanged(false);
}

void SwitchSession::onOpened()
{
    if (retryTimer.isActive())
        tellReconnected();
    retryTimer.stop();
    error.clear();
    emit openChanged(true);
    askForRouting();
}

void SwitchSession::onOpenFailed(const QString& reason)
{
    if (retryTimer.isActive()) {
        tell(reason, opened.name()); // no box while reconnecting: the next try follows
        return;
    }
    error = reason;
    lastTold.clear();
    tell(reason, opened.name());
    emit openFailed(reason);
}

void SwitchSession::closeLink()
{
    answerTimer.stop();
    reported = {};
    const bool wasOpening = serial.isOpening();
    if (!serial.isOpen() && !wasOpening)
        return;
    serial.close();
    emit openChanged(false);
}

QString SwitchSession::portName() const
{
    return typed.isEmpty() ? QStringLiteral("COM%1").arg(port) : typed;
}

bool SwitchSession::choosePort(const QString& input)
{
    const QString text = input.trimmed();
    static const QRegularExpression comName(QStringLiteral("^COM([1-9]|10)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch com = comName.match(text); com.hasMatch()) {
        selectPort(com.captured(1).toInt() - 1);
        return true;
    }
    const bool devicePath = text.startsWith(QLatin1Char('/')) && text.size() > 1 &&
                            !text.contains(QLatin1Char('\n')) && QDir::cleanPath(text) == text;
    if (!devicePath && !TcpPort::parse(text)) {
        error = tr("\"%1\" is not a port. Type COM1 to COM10, a device path such as "
                   "/dev/ttyUSB1 or /dev/serial/by-id/..., or tcp://HOST:PORT.")
                    .arg(text);
        return false;
    }
    stopReconnecting();
    closeLink();
    typed = text;
    if (role == Role::Console)
        keepSetting(QStringLiteral("link/port"), typed);
    if (selected != -1) {
        selected = -1;
        emit listIndexChanged(-1);
    }
    return true;
}

QString SwitchSession::device() const
{
    if (!typed.isEmpty())
        return typed;
    return comDevicePath(port, directory, attachedUsbSerialAdapters());
}

bool SwitchSession::send(const QByteArray& bytes)
{
    if (serial.write(bytes)) {
        restartPolling(); // the line is busy now: a whole interval before the next poll
        return true;
    }
    error = serial.errorString();
    return false;
}

bool SwitchSession::isOpen() const
{
    return serial.isOpen();
}

bool SwitchSession::startUp()
{
    restoreChoice();
    switch (tryOpen()) {
    case OpenState::Failed:
        return false;
    case OpenState::Waiting:
        return true;
    case OpenState::Open:
        break;
    }
    askForRouting();
    return true;
}

void SwitchSession::restoreChoice()
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
    const QString kept =
        setupfile::read(settingsPath())->value(QStringLiteral("link/port")).toString();
    if (!kept.isEmpty() && !choosePort(kept))
        error.clear(); // a hand-edited line that names no port: the COMPORT choice holds
}

void SwitchSession::selectPort(int listIndex)
{
    stopReconnecting();
    closeLink();
    if (!typed.isEmpty()) {
        typed.clear();
        if (role == Role::Console)
            keepSetting(QStringLiteral("link/port"), QString());
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
    if (role == Role::Script)
        return;
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
        tr("Cannot save the port choice in %1: %2. The console keeps "
           "COM%3 for this session.")
            .arg(QDir(folder).filePath(QString::fromLatin1(comportfile::fileName)), reason.words)
            .arg(port));
}

SwitchSession::OpenState SwitchSession::tryOpen()
{
    if (port == 0 && typed.isEmpty()) {
        error = tr("No port chosen");
        return OpenState::Failed;
    }
    const QString path = device();
    lastTold.clear();
    if (!serial.open(path)) {
        error = serial.errorString();
        tell(error, path);
        return OpenState::Failed;
    }
    opened = LineIdentity::of(path);
    error.clear();
    return serial.isOpening() ? OpenState::Waiting : OpenState::Open;
}

SwitchSession::ToggleResult SwitchSession::toggle()
{
    if (retryTimer.isActive()) {
        stopReconnecting();
        return ToggleResult::Closed;
    }
    if (serial.isOpen() || serial.isOpening()) {
        closeLink();
        return ToggleResult::Closed;
    }
    switch (tryOpen()) {
    case OpenState::Failed:
        return ToggleResult::OpenFailed;
    case OpenState::Waiting:
        return ToggleResult::Opening;
    case OpenState::Open:
        break;
    }
    emit openChanged(true);
    askForRouting();
    return ToggleResult::Opened;
}
