// SPDX-License-Identifier: MIT
// The console asked to stop by a signal (logout, Ctrl+C, kill): it closes the line, which
// removes the port's lock file, and exits normally. The real executable on a real line.
#include "ptypair.h"
#include "runfolder.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

// The lock files a process holds: Qt's serial port writes its pid on the first line.
QStringList lockFilesOf(qint64 pid)
{
    QStringList held;
    for (const char* dir : {"/run/lock", "/var/lock", "/tmp"}) {
        QDirIterator it(QString::fromLatin1(dir), {QStringLiteral("LCK..*")}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            const QString path = QFileInfo(file).canonicalFilePath(); // /var/lock is /run/lock
            if (file.open(QIODevice::ReadOnly) &&
                file.readLine().trimmed() == QByteArray::number(pid) && !held.contains(path))
                held << path;
        }
    }
    return held;
}

} // namespace

class TestSignals : public QObject
{
    Q_OBJECT
private slots:
    void exitsCleanly_data();
    void exitsCleanly();
};

void TestSignals::exitsCleanly_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("service"); // varnokd serving the line instead of the window
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGINT") << SIGINT << false;
    QTest::newRow("SIGHUP") << SIGHUP << false;
    // To the service SIGHUP means "read the configuration again".
    QTest::newRow("varnokd, SIGTERM") << SIGTERM << true;
    QTest::newRow("varnokd, SIGINT") << SIGINT << true;
}

void TestSignals::exitsCleanly()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, service);
    RunFolder dir;
    QVERIFY(dir.isEntered());
    PtyPair pty;
    QVERIFY(pty.ok());
    QVERIFY(dir.linkCom1(pty.slavePath));

    QProcess console;
    console.setWorkingDirectory(dir.path());
    console.setProgram(QStringLiteral(VARNOK_EXECUTABLE));
    if (service) {
        QFile config(dir.filePath(QStringLiteral("varnokd.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[hall]\ndir=" + dir.path().toUtf8() + "\nlisten=127.0.0.1:0\n");
        config.close();
        console.setProgram(QStringLiteral(VARNOKD_EXECUTABLE));
        console.setArguments({QStringLiteral("--config"), config.fileName()});
    }
    console.start();
    QVERIFY(console.waitForStarted(5000));
    // The port is open once its lock file is there.
    QTRY_COMPARE_WITH_TIMEOUT(lockFilesOf(console.processId()).size(), 1, 10000);
    const QString lock = lockFilesOf(console.processId()).first();

    ::kill(static_cast<pid_t>(console.processId()), signalNumber);
    QVERIFY(console.waitForFinished(10000));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);
    QVERIFY2(!QFile::exists(lock), qPrintable(lock));
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("COMPORT"))), !service);
}

QTEST_MAIN(TestSignals)
#include "tst_signals.moc"
