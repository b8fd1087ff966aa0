// SPDX-License-Identifier: MIT
#include "protocol/comportfile.h"

#include "hostilefolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

QByteArray bytes(const char* text, qsizetype size)
{
    return QByteArray(text, size);
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList entries(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
}

} // namespace

class TstComportFile : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void format_data();
    void format();
    void read_data();
    void read();
    void writeReplacesTheWholeFile_data();
    void writeReplacesTheWholeFile();
    void writeFails_data();
    void writeFails();
    void writtenIndexReadsBack();
    void writeKeepsTheFileWhenTheDiskFills_data();
    void writeKeepsTheFileWhenTheDiskFills();
    void writeInPlaceWhenOnlyTheFileIsWritable_data();
    void writeInPlaceWhenOnlyTheFileIsWritable();
    void writeNeverGoesThroughALink_data();
    void writeNeverGoesThroughALink();
};

void TstComportFile::parse_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("index"); // -1: nothing read

    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("as written for COM4") << QByteArray(" 3 \r\n") << 3;
    QTest::newRow("blank 9 blank") << QByteArray(" 9 ") << 9;
    QTest::newRow("0") << QByteArray("0") << 0;
    QTest::newRow("255 fits a byte") << QByteArray("255") << 255;
    QTest::newRow("256 does not") << QByteArray("256") << -1;
    QTest::newRow("1000") << QByteArray("1000") << -1;
    QTest::newRow("garbage") << QByteArray("COM4\r\n") << -1;
    QTest::newRow("digits then garbage in one field") << QByteArray("3x \r\n") << -1;
    QTest::newRow("negative") << QByteArray("-1 \r\n") << -1;
    QTest::newRow("leading blanks") << QByteArray("      7") << 7;
    QTest::newRow("blanks only") << QByteArray("     ") << -1;
    QTest::newRow("comma ends the field") << QByteArray("3,4") << 3;
    QTest::newRow("blank ends the field") << QByteArray("3 4") << 3;
    QTest::newRow("tabs around") << QByteArray("\t5\t\r\n") << 5;
    QTest::newRow("leading zeros") << QByteArray("007") << 7;
    QTest::newRow("many leading zeros") << QByteArray("0000000000000000000255") << 255;
    QTest::newRow("CR only") << QByteArray("4\r") << 4;
    QTest::newRow("LF only") << QByteArray("4\n") << 4;
    QTest::newRow("first line only") << QByteArray(" 2 \r\n 6 \r\n") << 2;
    QTest::newRow("empty first line") << QByteArray("\r\n 6 \r\n") << -1;
    QTest::newRow("NUL alone") << bytes("\0", 1) << -1;
    QTest::newRow("NUL before digits") << bytes("\0"
                                                "5",
                                                2)
                                       << -1;
    QTest::newRow("NUL after digits") << bytes("5\0", 2) << -1;
}

void TstComportFile::parse()
{
    QFETCH(QByteArray, content);
    QFETCH(int, index);
    const std::optional<quint8> value = comportfile::parse(content);
    QCOMPARE(value.has_value(), index >= 0);
    if (value)
        QCOMPARE(int(*value), index);
}

void TstComportFile::format_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("0") << 0 << QByteArray::fromHex("20 30 20 0D 0A");
    QTest::newRow("3") << 3 << QByteArray::fromHex("20 33 20 0D 0A");
    QTest::newRow("9") << 9 << QByteArray::fromHex("20 39 20 0D 0A");
    QTest::newRow("10") << 10 << QByteArray(" 10 \r\n");
    QTest::newRow("255") << 255 << QByteArray(" 255 \r\n");
    QTest::newRow("-1 takes the sign position") << -1 << QByteArray("-1 \r\n");
}

void TstComportFile::format()
{
    QFETCH(int, index);
    QFETCH(QByteArray, content);
    QCOMPARE(comportfile::format(index), content);
}

void TstComportFile::read_data()
{
    QTest::addColumn<QString>("entry"); // "none", "file" or "directory"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("index"); // -1: nothing read

    QByteArray digits(10 * 1024 * 1024, '7');
    QByteArray earlyField = QByteArray(" 5 \r\n") + digits;
    // Only the first 4 KiB are read; a field running across that boundary must not be taken
    // by its first digits.
    QByteArray cutField = QByteArray(4094, ' ') + QByteArray("255 \r\n");
    QByteArray fieldJustInside = QByteArray(4091, ' ') + QByteArray("255 \r\n") + digits;

    QTest::newRow("missing") << "none" << QByteArray() << false << -1;
    QTest::newRow("a directory named COMPORT") << "directory" << QByteArray() << false << -1;
    QTest::newRow("empty file") << "file" << QByteArray() << true << -1;
    QTest::newRow("COM10") << "file" << QByteArray::fromHex("20 39 20 0D 0A") << true << 9;
    QTest::newRow("garbage") << "file" << QByteArray("hello\r\n") << true << -1;
    QTest::newRow("index 200") << "file" << QByteArray(" 200 \r\n") << true << 200;
    QTest::newRow("10 MB of digits") << "file" << digits << true << -1;
    QTest::newRow("field ends before 10 MB of digits") << "file" << earlyField << true << 5;
    QTest::newRow("field cut by the read limit") << "file" << cutField << true << -1;
    QTest::newRow("field ends just inside the read limit")
        << "file" << fieldJustInside << true << 255;
}

void TstComportFile::read()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, content);
    QFETCH(bool, opened);
    QFETCH(int, index);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("COMPORT"));
    if (entry == QLatin1String("file"))
        QVERIFY(writeFile(path, content));
    else if (entry == QLatin1String("directory"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("COMPORT")));

    const comportfile::ReadResult result = comportfile::read(dir.path());
    QCOMPARE(result.opened, opened);
    QCOMPARE(result.index.has_value(), index >= 0);
    if (result.index)
        QCOMPARE(int(*result.index), index);
}

void TstComportFile::writeReplacesTheWholeFile_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file, COM1") << QByteArray() << 0 << QByteArray::fromHex("20 30 20 0D 0A");
    QTest::newRow("new file, COM4") << QByteArray() << 3 << QByteArray::fromHex("20 33 20 0D 0A");
    QTest::newRow("longer file replaced")
        << QByteArray(" 7 \r\nsome old notes that were longer\r\n") << 2 << QByteArray(" 2 \r\n");
    QTest::newRow("shorter file replaced") << QByteArray("1") << 9 << QByteArray(" 9 \r\n");
    QTest::newRow("no selection") << QByteArray(" 4 \r\n") << -1 << QByteArray("-1 \r\n");
}

void TstComportFile::writeReplacesTheWholeFile()
{
    QFETCH(QByteArray, before);
    QFETCH(int, index);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("COMPORT"));
    if (!before.isEmpty())
        QVERIFY(writeFile(path, before));
    QVERIFY(comportfile::write(dir.path(), index));
    QCOMPARE(readFile(path), after);
    // Nothing else is left behind in the directory.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("COMPORT")});
}

void TstComportFile::writeFails_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("read-only directory") << "read-only";
    QTest::newRow("directory missing") << "missing";
    QTest::newRow("a directory named COMPORT") << "directory";
}

void TstComportFile::writeFails()
{
    QFETCH(QString, obstacle);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString target = dir.path();
    if (obstacle == QLatin1String("read-only")) {
        QVERIFY(FileAccessAsNobody::openToAll(target, false));
    } else if (obstacle == QLatin1String("missing")) {
        target = dir.filePath(QStringLiteral("gone"));
    } else {
        QVERIFY(QDir(target).mkdir(QStringLiteral("COMPORT")));
    }

    bool written = true;
    {
        FileAccessAsNobody asNobody;
        if (!asNobody.isActive())
            QSKIP("root cannot take user nobody's file access here");
        written = bool(comportfile::write(target, 3));
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("COMPORT"))).isFile());
}

void TstComportFile::writtenIndexReadsBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (int index = 0; index <= 9; ++index) {
        QVERIFY(comportfile::write(dir.path(), index));
        const comportfile::ReadResult result = comportfile::read(dir.path());
        QVERIFY(result.opened);
        QVERIFY(result.index);
        QCOMPARE(int(*result.index), index);
    }
}

void TstComportFile::writeKeepsTheFileWhenTheDiskFills_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::addColumn<int>("room");          // bytes any file may hold
    QTest::newRow("nothing fits") << QByteArray(" 3 \r\n") << 0;
    QTest::newRow("the blank and half the line fit") << QByteArray(" 3 \r\n") << 2;
    QTest::newRow("all but the line end fits") << QByteArray(" 3 \r\n") << 4;
    QTest::newRow("no file yet") << QByteArray() << 2;
}

void TstComportFile::writeKeepsTheFileWhenTheDiskFills()
{
    QFETCH(QByteArray, before);
    QFETCH(int, room);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("COMPORT"));
    if (!before.isEmpty())
        QVERIFY(writeFile(path, before));

    bool written = true;
    {
        FileSizeLimit full(static_cast<rlim_t>(room));
        QVERIFY(full.isActive());
        written = bool(comportfile::write(dir.path(), 7));
    }
    QVERIFY(!written);
    if (before.isEmpty()) {
        QVERIFY(entries(dir.path()).isEmpty());
    } else {
        QCOMPARE(readFile(path), before);
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("COMPORT")});
    }
}

void TstComportFile::writeInPlaceWhenOnlyTheFileIsWritable_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<int>("room"); // bytes any file may hold, 0: no limit
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QByteArray>("after");

    const QByteArray com4(" 3 \r\n");
    const QByteArray com8(" 7 \r\n");
    QTest::newRow("same length") << com4 << true << 0 << true << com8;
    QTest::newRow("longer file cut after the line")
        << QByteArray(" 3 \r\nsome old notes that were longer\r\n") << true << 0 << true << com8;
    QTest::newRow("shorter file grows") << QByteArray("3") << true << 0 << true << com8;
    // Part of the line written when the disk fills: the old bytes go back.
    QTest::newRow("disk fills in the middle") << com4 << true << 3 << false << com4;
    QTest::newRow("shorter file, disk fills")
        << QByteArray("3") << true << 3 << false << QByteArray("3");
    QTest::newRow("file read-only as well") << com4 << false << 0 << false << com4;
}

void TstComportFile::writeInPlaceWhenOnlyTheFileIsWritable()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, fileWritable);
    QFETCH(int, room);
    QFETCH(bool, saved);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("COMPORT"));
    if (!before.isEmpty()) {
        QVERIFY(writeFile(path, before));
        QFile::Permissions p = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (fileWritable)
            p |= QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(path, p));
    }
    QVERIFY(FileAccessAsNobody::openToAll(dir.path(), false));

    bool written = !saved;
    {
        FileAccessAsNobody asNobody;
        if (!asNobody.isActive())
            QSKIP("root cannot take user nobody's file access here");
        // The folder must really refuse a new file, or the test proves nothing.
        QVERIFY(!QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly));
        std::optional<FileSizeLimit> full;
        if (room > 0)
            full.emplace(static_cast<rlim_t>(room));
        written = bool(comportfile::write(dir.path(), 7));
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(written, saved);
    if (after.isEmpty()) {
        QVERIFY(entries(dir.path()).isEmpty());
    } else {
        QCOMPARE(readFile(path), after);
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("COMPORT")});
    }
}

void TstComportFile::writeNeverGoesThroughALink_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("link to a named pipe") << "link to pipe";
    QTest::newRow("link to another file") << "link to file";
    QTest::newRow("dangling link") << "dangling link";
    QTest::newRow("link to a folder") << "link to folder";
    QTest::newRow("a named pipe") << "pipe";
}

void TstComportFile::writeNeverGoesThroughALink()
{
    QFETCH(QString, entry);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("COMPORT"));
    const QString target = dir.filePath(QStringLiteral("elsewhere"));
    const QByteArray otherFile("a file someone else keeps\n");
    if (entry.contains(QLatin1String("pipe")))
        QCOMPARE(::mkfifo(QFile::encodeName(entry == QLatin1String("pipe") ? path : target), 0600),
                 0);
    if (entry == QLatin1String("link to file"))
        QVERIFY(writeFile(target, otherFile));
    if (entry == QLatin1String("link to folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    if (entry.startsWith(QLatin1String("link")) || entry == QLatin1String("dangling link"))
        QVERIFY(QFile::link(target, path));
    const QStringList before = entries(dir.path());
    const mode_t targetKind = kindOf(target);

    QVERIFY(!comportfile::write(dir.path(), 3));

    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(kindOf(target), targetKind);
    if (entry == QLatin1String("pipe")) {
        QCOMPARE(kindOf(path), mode_t(S_IFIFO));
    } else {
        QCOMPARE(kindOf(path), mode_t(S_IFLNK));
        QCOMPARE(QFile::symLinkTarget(path), target);
    }
    if (entry == QLatin1String("link to file"))
        QCOMPARE(readFile(target), otherFile);
}

QTEST_APPLESS_MAIN(TstComportFile)
#include "tst_comportfile.moc"
