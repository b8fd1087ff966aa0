// SPDX-License-Identifier: MIT
#include "servicelog.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcLine, "varnok.line", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFront, "varnok.front", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWeb, "varnok.web", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMqtt, "varnok.mqtt", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConfig, "varnok.config", QtInfoMsg)

namespace servicelog {

namespace {

bool prefixed = false;

// systemd names the stream it gave as standard error "DEVICE:INODE".
bool stderrIsJournal()
{
    const QByteArray stream = qgetenv("JOURNAL_STREAM");
    struct stat status
    {
    };
    if (stream.isEmpty() || ::fstat(2, &status) != 0)
        return false;
    return stream == QByteArray::number(quint64(status.st_dev)) + ':' +
                         QByteArray::number(quint64(status.st_ino));
}

void write(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    QByteArray line;
    if (prefixed)
        line = '<' + QByteArray::number(priority(type)) + '>';
    for (const char byte : message.toUtf8()) {
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7f)
            line += "\\x" +
                    QByteArray::number(static_cast<unsigned char>(byte), 16).rightJustified(2, '0');
        else
            line += byte;
    }
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int priority(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
        return 3;
    case QtFatalMsg:
        break;
    }
    return 2;
}

void write(const QLoggingCategory& category, QtMsgType level, const QString& text)
{
    switch (level) {
    case QtDebugMsg:
        qCDebug(category).noquote() << text;
        return;
    case QtInfoMsg:
        qCInfo(category).noquote() << text;
        return;
    case QtWarningMsg:
        qCWarning(category).noquote() << text;
        return;
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    }
    qCCritical(category).noquote() << text;
}

void install()
{
    prefixed = stderrIsJournal();
    qInstallMessageHandler(write);
}

} // namespace servicelog
