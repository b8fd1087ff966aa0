// SPDX-License-Identifier: MIT
#include "comportnotices.h"

#include "statefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int keptFolders = 64;
constexpr qint64 readLimit = 64 * 1024;

// One line a folder: the reason, a blank, the folder's path percent-encoded (a path may hold
// blanks and line breaks).
QString entry(const QString& folder, const QString& reason)
{
    return reason + QLatin1Char(' ') +
           QString::fromLatin1(QDir(folder).absolutePath().toUtf8().toPercentEncoding());
}

QString folderOf(const QString& line)
{
    return line.section(QLatin1Char(' '), 1);
}

} // namespace

QString ComportNotices::defaultStateFile()
{
    return stateFolder() + QStringLiteral("/comport-notices");
}

ComportNotices::ComportNotices(QString file) : stateFile(std::move(file)) {}

QStringList ComportNotices::lines() const
{
    QFile file(stateFile);
    if (!QFileInfo(stateFile).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(readLimit)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool ComportNotices::store(const QStringList& all) const
{
    if (!QDir().mkpath(QFileInfo(stateFile).path()))
        return false;
    QSaveFile file(stateFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes =
        all.isEmpty() ? QByteArray() : (all.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ComportNotices::wasTold(const QString& folder, const QString& reason) const
{
    return lines().contains(entry(folder, reason));
}

bool ComportNotices::remember(const QString& folder, const QString& reason)
{
    const QString line = entry(folder, reason);
    QStringList all = lines();
    all.removeIf([&](const QString& l) { return folderOf(l) == folderOf(line); });
    all.append(line);
    while (all.size() > keptFolders)
        all.removeFirst();
    return store(all);
}

void ComportNotices::forget(const QString& folder)
{
    const QString key = folderOf(entry(folder, {}));
    QStringList all = lines();
    if (all.removeIf([&](const QString& l) { return folderOf(l) == key; }) > 0)
        store(all);
}
