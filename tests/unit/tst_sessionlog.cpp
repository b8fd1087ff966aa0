// SPDX-License-Identifier: MIT
// The session log holds every exchange in order, stamped to the millisecond, as plain text,
// and stays within its size by rotating into session.log.1 to .3.
#include "link/sessionlog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<QByteArray> linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestSessionLog : public QObject
{
    Q_OBJECT
private slots:
    void exchangesInOrderWithTimestamps();
    void rotatesAtItsLimit();
    void hugeReadStaysWithinCap();
    void defaultPathFollowsStateHome_data();
    void defaultPathFollowsStateHome();
};

void TestSessionLog::exchangesInOrderWithTimestamps()
{
    QTemporaryDir dir;
    // The folder is made on the first line.
    SessionLog log(dir.filePath(QStringLiteral("varnok/session.log")));
    log.recordSent("bc \r\n");
    log.recordReceived("\r\ns10s21s32s43\r\n");
    log.recordReceived(QByteArray("x\xFF\x01\\y", 5));

    const QList<QByteArray> lines = linesOf(log.path());
    QCOMPARE(lines.size(), 3);
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    for (const QByteArray& line : lines)
        QVERIFY2(stamp.match(QString::fromLatin1(line)).hasMatch(), line.constData());
    QCOMPARE(lines[0].mid(24), QByteArray("> bc \\r\\n"));
    QCOMPARE(lines[1].mid(24), QByteArray("< \\r\\ns10s21s32s43\\r\\n"));
    QCOMPARE(lines[2].mid(24), QByteArray("< x\\xFF\\x01\\\\y"));
    // Stamps never go back.
    QVERIFY(lines[0].left(23) <= lines[1].left(23));
    QVERIFY(lines[1].left(23) <= lines[2].left(23));
}

void TestSessionLog::rotatesAtItsLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.log"));
    // One line is 24 + 2 + 8 + 1 = 35 bytes: two fit in 80.
    SessionLog log(path, 80);
    for (int i = 0; i < 12; ++i)
        log.recordSent(QByteArray("command") + char('a' + i));

    const auto lastWords = [](const QString& file) {
        QList<QByteArray> words;
        for (const QByteArray& line : linesOf(file))
            words << line.mid(26);
        return words;
    };
    QCOMPARE(lastWords(path), (QList<QByteArray>{"commandk", "commandl"}));
    QCOMPARE(lastWords(path + QStringLiteral(".1")), (QList<QByteArray>{"commandi", "commandj"}));
    QCOMPARE(lastWords(path + QStringLiteral(".2")), (QList<QByteArray>{"commandg", "commandh"}));
    QCOMPARE(lastWords(path + QStringLiteral(".3")), (QList<QByteArray>{"commande", "commandf"}));
    QVERIFY(!QFile::exists(path + QStringLiteral(".4")));
    for (const QString& file : {path, path + QStringLiteral(".1"), path + QStringLiteral(".3")})
        QVERIFY(QFile(file).size() <= 80);
}

// One read far larger than the cap, every byte escaped to four characters.
void TestSessionLog::hugeReadStaysWithinCap()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.log"));
    SessionLog log(path, 1000);
    log.recordReceived(QByteArray(100000, '\xE9') + "END");

    qint64 total = 0;
    for (const QString& file : QDir(dir.path()).entryList(QDir::Files))
        total += QFileInfo(dir.filePath(file)).size();
    QVERIFY2(total <= 4000, QByteArray::number(total));
    const QList<QByteArray> lines = linesOf(path);
    QVERIFY(lines.constLast().endsWith("\\xE9\\xE9END"));
    QVERIFY(lines.constLast().mid(23, 3) == " < ");
}

void TestSessionLog::defaultPathFollowsStateHome_data()
{
    QTest::addColumn<QByteArray>("stateHome");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QByteArray("/srv/state")
                         << QStringLiteral("/srv/state/varnok/session.log");
    QTest::newRow("relative is ignored")
        << QByteArray("state")
        << QDir::homePath() + QStringLiteral("/.local/state/varnok/session.log");
    QTest::newRow("unset") << QByteArray()
                           << QDir::homePath() + QStringLiteral("/.local/state/varnok/session.log");
}

void TestSessionLog::defaultPathFollowsStateHome()
{
    QFETCH(QByteArray, stateHome);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", saved); });
    if (stateHome.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", stateHome);
    QCOMPARE(SessionLog::defaultPath(), expected);
}

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"
