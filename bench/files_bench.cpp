// SPDX-License-Identifier: MIT
// The files a session keeps, under loads too long for a test.
//   varnok-bench-files log BYTES     one reply of BYTES non-ASCII bytes into a fresh session log
//                                    (default cap); prints the log files' total size and the time
//   varnok-bench-files presets N     reads a varnok.conf of N presets, then renames the last one
// Prints: log bytes=<n> files_total=<n> cap_total=<n> ms=<t>
//         presets n=<n> read_ms=<t> rename_ms=<t> read=<n>
#include "benchsupport.h"
#include "link/matrixsetup.h"
#include "link/sessionlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "varnok-bench-files: %s\n", what);
    std::exit(1);
}

double msSince(std::int64_t start)
{
    return double(bench::monotonicNs() - start) / 1e6;
}

void logRun(const QString& folder, qsizetype bytes)
{
    const QString path = folder + QStringLiteral("/session.log");
    SessionLog log(path);
    const QByteArray reply(bytes, '\xE9');
    const std::int64_t start = bench::monotonicNs();
    log.recordReceived(reply);
    const double ms = msSince(start);
    qint64 total = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        total += file.size();
    std::printf("log bytes=%lld files_total=%lld cap_total=%lld ms=%.1f\n", qlonglong(bytes),
                qlonglong(total),
                qlonglong(SessionLog::defaultLimit * (SessionLog::keptOldFiles + 1)), ms);
}

void presetsRun(const QString& folder, int count)
{
    QByteArray conf = "[presets]\n";
    for (int i = 1; i <= count; ++i)
        conf += QByteArray::number(i) + "\\name=Preset " + QByteArray::number(i) + '\n' +
                QByteArray::number(i) + "\\routing=1 2 3 4\n";
    QFile file(folder + QStringLiteral("/varnok.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(conf) != conf.size())
        fail("cannot write varnok.conf");
    file.close();
    std::int64_t start = bench::monotonicNs();
    MatrixSetup setup(folder);
    const double readMs = msSince(start);
    start = bench::monotonicNs();
    if (!setup.renamePreset(QStringLiteral("Preset %1").arg(count), QStringLiteral("Renamed")))
        fail("the rename failed");
    const double renameMs = msSince(start);
    std::printf("presets n=%d read_ms=%.1f rename_ms=%.1f read=%lld\n", count, readMs, renameMs,
                qlonglong(setup.presets().size()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = args.size() == 3;
    const qlonglong amount = ok ? args[2].toLongLong(&ok) : 0;
    QTemporaryDir folder;
    if (!ok || amount <= 0 || !folder.isValid())
        fail("usage: varnok-bench-files log BYTES | presets N");
    if (args[1] == QLatin1String("log"))
        logRun(folder.path(), qsizetype(amount));
    else if (args[1] == QLatin1String("presets"))
        presetsRun(folder.path(), int(amount));
    else
        fail("usage: varnok-bench-files log BYTES | presets N");
    return 0;
}
