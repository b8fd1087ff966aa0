// SPDX-License-Identifier: MIT
#include "sessionlog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

SessionLog::SessionLog(QString path, qint64 sizeLimit) : file(std::move(path)), limit(sizeLimit) {}

QString SessionLog::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/varnok/session.log");
}

QByteArray SessionLog::escaped(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (byte >= 0x20 && byte < 0x7F) {
                out += c;
            } else {
                out += "\\x";
                out += hex[byte >> 4];
                out += hex[byte & 0xF];
            }
        }
    }
    return out;
}

void SessionLog::record(char direction, const QByteArray& bytes)
{
    const QByteArray line = QDateTime::currentDateTime()
                                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                .toLatin1() +
                            ' ' + direction + ' ' + escaped(bytes) + '\n';
    const qint64 size = QFileInfo(file).size();
    if (size > 0 && size + line.size() > limit)
        rotate();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    // A log that cannot be written must never stop the console.
    if (out.open(QIODevice::WriteOnly | QIODevice::Append))
        out.write(line);
}

void SessionLog::rotate()
{
    const auto numbered = [this](int n) { return file + QLatin1Char('.') + QString::number(n); };
    QFile::remove(numbered(keptOldFiles));
    for (int n = keptOldFiles - 1; n >= 1; --n)
        QFile::rename(numbered(n), numbered(n + 1));
    QFile::rename(file, numbered(1));
}
