// SPDX-License-Identifier: MIT
#include "portchoice.h"

#include "comdevice.h"
#include "panelport.h"
#include "protocol/comportfile.h"
#include "setupsettings.h"
#include "tcpport.h"

#include <QDir>
#include <QRegularExpression>

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
                PortChoice::tr("it is a symbolic link, which the console does not write through; "
                               "replace it with a plain file to keep the choice")};
    case Problem::NotRegularFile:
        return {QStringLiteral("not-a-file"),
                PortChoice::tr("it is not a plain file; remove it to keep the choice")};
    case Problem::FolderReadOnly:
        return {QStringLiteral("folder-read-only"), PortChoice::tr("the folder is read-only")};
    case Problem::ReadOnly:
        return {QStringLiteral("read-only"), PortChoice::tr("the file is read-only")};
    case Problem::DiskFull:
        return {QStringLiteral("disk-full"), PortChoice::tr("the disk is full")};
    case Problem::None:
    case Problem::Other:
        break;
    }
    return {QStringLiteral("error-%1").arg(result.error), qt_error_string(result.error)};
}

} // namespace

PortChoice::PortChoice(QString dir, Storage kept, QObject* parent)
    : QObject(parent), directory(std::move(dir)), storage(kept)
{
}

void PortChoice::restore()
{
    int stored = 0;
    const comportfile::ReadResult saved = comportfile::read(directory);
    if (!saved.opened) {
        // First start (or an unreadable file): COM1, and the file is written.
        select(0);
        port = 1;
        save(0);
    } else {
        stored = saved.index.value_or(0);
    }
    // An index outside the list selects nothing: the file keeps it until the user chooses.
    if (stored >= 0 && stored < portCount)
        select(stored);
    if (stored + 1 <= 255)
        port = static_cast<quint8>(stored + 1);
    const QString kept = SetupSettings::read(directory).port;
    if (!kept.isEmpty() && !choose(kept))
        error.clear(); // a hand-edited line that names no port: the COMPORT choice holds
}

QString PortChoice::portName() const
{
    return typed.isEmpty() ? QStringLiteral("COM%1").arg(port) : typed;
}

QString PortChoice::device() const
{
    if (!typed.isEmpty())
        return typed;
    return comDevicePath(port, directory, attachedUsbSerialAdapters());
}

bool PortChoice::choose(const QString& input)
{
    const QString text = input.trimmed();
    static const QRegularExpression comName(QStringLiteral("^COM([1-9]|10)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch com = comName.match(text); com.hasMatch()) {
        select(com.captured(1).toInt() - 1);
        return true;
    }
    const bool devicePath = text.startsWith(QLatin1Char('/')) && text.size() > 1 &&
                            !text.contains(QLatin1Char('\n')) && QDir::cleanPath(text) == text;
    if (!devicePath && !TcpPort::parse(text) && !PanelPort::socketUrl(text)) {
        error = tr("\"%1\" is not a port. Type COM1 to COM10, a device path such as "
                   "/dev/ttyUSB1 or /dev/serial/by-id/..., tcp://HOST:PORT, or a web panel's "
                   "http://HOST:PORT/ID/.")
                    .arg(text);
        return false;
    }
    emit aboutToChange();
    typed = text;
    keepTyped();
    if (selected != -1) {
        selected = -1;
        emit listIndexChanged(-1);
    }
    return true;
}

void PortChoice::select(int listIndex)
{
    emit aboutToChange();
    if (!typed.isEmpty()) {
        typed.clear();
        keepTyped();
    }
    if (selected != listIndex) {
        selected = listIndex;
        emit listIndexChanged(listIndex);
    }
    if (listIndex >= 0 && listIndex < portCount)
        port = static_cast<quint8>(listIndex + 1);
    save(listIndex);
}

void PortChoice::keepTyped()
{
    if (storage == Storage::Kept)
        SetupSettings::keep(directory, SetupSettings::portKey, typed);
}

void PortChoice::save(int listIndex)
{
    if (storage == Storage::ReadOnly)
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

QString PortChoice::chosenText() const
{
    return typed.isEmpty() ? QStringLiteral("%1 (%2)").arg(portName(), device()) : typed;
}

QString PortChoice::namedAsChosen(const QString& reason, const QString& path) const
{
    if (!typed.isEmpty() || path.isEmpty())
        return reason;
    const QString named = QStringLiteral("COM%1 (%2)").arg(port).arg(path);
    QString line = reason;
    if (const qsizetype at = line.indexOf(path); at >= 0)
        return line.replace(at, path.size(), named);
    return named + QStringLiteral(": ") + line;
}
