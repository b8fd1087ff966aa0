// SPDX-License-Identifier: MIT
// Start-up against a COMPORT entry that is anything but the small file the console writes: huge,
// full of NUL bytes, unreadable, a pipe, in a folder that cannot be written. The console must
// start, pick its port by the start-up rules and keep going. A choice it cannot save is told once
// in the receive pane, and nothing behind a link is ever written.
#include "mainwindowelements.h"
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include "fakeserialport.h"
#include "hostilefolder.h"
#include "recordingmessageboxes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray unchanged("<unchanged>");

QString comportPath(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("COMPORT"));
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QString notSaved = QStringLiteral("Cannot save the port choice in ");

} // namespace

class TestComportAbuse : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startUpSurvives_data();
    void startUpSurvives();
    void choiceNotSavedIsToldOnce_data();
    void choiceNotSavedIsToldOnce();
    void choiceKeptWhereOnlyTheFileIsWritable();

private:
    // Where the console remembers what it told; never the user's own.
    QTemporaryDir stateHome;
};

void TestComportAbuse::initTestCase()
{
    QVERIFY(stateHome.isValid());
    QVERIFY(FileAccessAsNobody::openToAll(stateHome.path(), true));
    // The session log shares the folder: whoever writes first must not lock the other out.
    const QString varnokState = stateHome.filePath(QStringLiteral("varnok"));
    QVERIFY(QDir().mkpath(varnokState));
    QVERIFY(FileAccessAsNobody::openToAll(varnokState, true));
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
}

void TestComportAbuse::startUpSurvives_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<int>("portTried");
    QTest::addColumn<QByteArray>("fileAfter");

    // Only the first few KiB are looked at; blanks running past them leave no index, so COM1.
    const QByteArray blanksThenDigits = QByteArray(64 << 20, ' ') + QByteArray("3 \r\n");
    QTest::newRow("64 MiB of blanks, then digits")
        << "file" << blanksThenDigits << 0 << 1 << QByteArray(" 0 \r\n");
    QTest::newRow("index, then 64 MiB of digits")
        << "file" << QByteArray(" 4 \r\n") + QByteArray(64 << 20, '7') << 4 << 5
        << QByteArray(" 4 \r\n");
    QTest::newRow("NUL before the digits")
        << "file" << QByteArray("\0\0 3 \r\n", 7) << 0 << 1 << QByteArray(" 0 \r\n");
    QTest::newRow("NUL inside the field")
        << "file" << QByteArray("3\0 \r\n", 5) << 0 << 1 << QByteArray(" 0 \r\n");
    QTest::newRow("NUL after the field")
        << "file" << QByteArray(" 3 \0\0\r\n", 7) << 3 << 4 << QByteArray(" 3 \r\n");
    QTest::newRow("only NUL bytes")
        << "file" << QByteArray(8192, '\0') << 0 << 1 << QByteArray(" 0 \r\n");
    // The file cannot be opened for reading: as on a first start, COM1; replacing the file
    // fails quietly since it may not be written either.
    QTest::newRow("unreadable file")
        << "unreadable" << QByteArray(" 3 \r\n") << 0 << 1 << unchanged;
    // Nothing can be written: the stored index still counts, a first start still uses COM1.
    QTest::newRow("read-only folder with the file")
        << "read-only folder" << QByteArray(" 5 \r\n") << 5 << 6 << unchanged;
    QTest::newRow("read-only folder, first start")
        << "read-only folder" << QByteArray() << 0 << 1 << QByteArray("<missing>");
    // A pipe nobody writes to: opening it for reading would wait for a writer for ever.
    QTest::newRow("a named pipe") << "pipe" << QByteArray() << 0 << 1 << unchanged;
}

void TestComportAbuse::startUpSurvives()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(int, listIndex);
    QFETCH(int, portTried);
    QFETCH(QByteArray, fileAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = comportPath(dir);
    if (kind == QLatin1String("pipe")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (!content.isEmpty() || kind == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    // Permission bits bind root only under another user's file access.
    const bool unreadable = kind == QLatin1String("unreadable");
    const bool readOnlyFolder = kind == QLatin1String("read-only folder");
    if (unreadable)
        QVERIFY(
            QFile::setPermissions(path, QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    if (unreadable || readOnlyFolder)
        QVERIFY(FileAccessAsNobody::openToAll(dir.path(), unreadable));
    struct RestorePermissions
    {
        QString folder;
        ~RestorePermissions()
        {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    } restore{dir.path()};

    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    std::optional<FileAccessAsNobody> asNobody;
    if (unreadable || readOnlyFolder) {
        asNobody.emplace();
        if (!asNobody->isActive())
            QSKIP("root cannot take user nobody's file access here");
    }
    window.startUp();
    asNobody.reset();

    QCOMPARE(portList(window)->currentIndex(), listIndex);
    QCOMPARE(port.openedPorts, QList<int>{portTried});
    QVERIFY(port.isOpen());
    QCOMPARE(linkButton(window)->text(), QStringLiteral("Disconnect"));
    QVERIFY(boxes.shown.isEmpty());

    const QFileInfo after(path);
    if (fileAfter == QByteArray("<missing>")) {
        QVERIFY(!after.exists());
    } else if (kind == QLatin1String("pipe")) {
        QVERIFY(after.exists());
    } else {
        QVERIFY(after.isFile());
        if (fileAfter == unchanged) {
            QCOMPARE(after.size(), content.size());
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), fileAfter);
        }
    }

    // The port list and the link button still work whatever became of the file.
    portList(window)->setCurrentIndex(2);
    emit portList(window)->activated(2);
    QVERIFY(!port.isOpen());
    QTest::mouseClick(linkButton(window), Qt::LeftButton);
    QCOMPARE(port.openedPorts.last(), 3);
    QVERIFY(port.isOpen());
    QVERIFY(boxes.shown.isEmpty());
}

void TestComportAbuse::choiceNotSavedIsToldOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content"); // of COMPORT, or of the file a link points to
    QTest::addColumn<int>("portAtStart");
    QTest::addColumn<QString>("reason");

    const QString link = QStringLiteral("it is a symbolic link");
    // A link to anything but a file reads as no file at all: COM1.
    QTest::newRow("link to a named pipe") << "link to pipe" << QByteArray() << 1 << link;
    QTest::newRow("link to another file") << "link to file" << QByteArray(" 3 \r\n") << 4 << link;
    QTest::newRow("dangling link") << "dangling link" << QByteArray() << 1 << link;
    QTest::newRow("a named pipe") << "pipe" << QByteArray() << 1
                                  << QStringLiteral("it is not a plain file");
    QTest::newRow("read-only folder, first start")
        << "read-only folder" << QByteArray() << 1 << QStringLiteral("the folder is read-only");
    QTest::newRow("read-only folder and file") << "read-only folder" << QByteArray(" 5 \r\n") << 6
                                               << QStringLiteral("the file is read-only");
    QTest::newRow("read-only file") << "read-only file" << QByteArray(" 5 \r\n") << 6
                                    << QStringLiteral("the file is read-only");
    QTest::newRow("full disk") << "full disk" << QByteArray(" 3 \r\n") << 4
                               << QStringLiteral("the disk is full");
}

void TestComportAbuse::choiceNotSavedIsToldOnce()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(int, portAtStart);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = comportPath(dir);
    const QString target = dir.filePath(QStringLiteral("elsewhere"));
    if (kind.endsWith(QLatin1String("pipe")))
        QCOMPARE(mkfifo(QFile::encodeName(kind == QLatin1String("pipe") ? path : target), 0600), 0);
    if (!content.isEmpty()) {
        QFile file(kind == QLatin1String("link to file") ? target : path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    if (kind.contains(QLatin1String("link")))
        QVERIFY(QFile::link(target, path));
    const bool readOnly = kind.startsWith(QLatin1String("read-only"));
    if (readOnly && !content.isEmpty())
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(FileAccessAsNobody::openToAll(dir.path(), kind != QLatin1String("read-only folder")));
    const auto restore = qScopeGuard([&] { FileAccessAsNobody::openToAll(dir.path(), true); });

    // One session of the console under the folder's conditions: start, choose COM7, connect.
    const auto session = [&](MainWindow& window) {
        std::optional<FileAccessAsNobody> asNobody;
        std::optional<FileSizeLimit> full;
        if (readOnly)
            asNobody.emplace();
        if (kind == QLatin1String("full disk"))
            full.emplace(2);
        window.startUp();
        portList(window)->setCurrentIndex(6);
        emit portList(window)->activated(6);
        QTest::mouseClick(linkButton(window), Qt::LeftButton);
        return !asNobody || asNobody->isActive();
    };

    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    {
        MainWindow window(port, boxes, dir.path());
        if (!session(window))
            QSKIP("root cannot take user nobody's file access here");
        QCOMPARE(port.openedPorts, (QList<int>{portAtStart, 7}));
        QVERIFY(port.isOpen());
        QVERIFY(boxes.shown.isEmpty());
        const QString text = receivePane(window)->text();
        QCOMPARE(text.count(notSaved), 1);
        const QString told = text.mid(text.indexOf(notSaved));
        QVERIFY2(told.contains(path + QStringLiteral(": ") + reason), qPrintable(told));
        QVERIFY2(told.contains(
                     QStringLiteral("The console keeps COM%1 for this session.").arg(portAtStart)),
                 qPrintable(told));
    }

    // Nothing behind the name was touched.
    if (kind.contains(QLatin1String("link"))) {
        QCOMPARE(kindOf(path), mode_t(S_IFLNK));
        QCOMPARE(QFile::symLinkTarget(path), target);
    }
    if (kind.endsWith(QLatin1String("pipe")))
        QCOMPARE(kindOf(kind == QLatin1String("pipe") ? path : target), mode_t(S_IFIFO));
    if (kind == QLatin1String("dangling link"))
        QCOMPARE(kindOf(target), mode_t(0));
    if (kind == QLatin1String("link to file"))
        QCOMPARE(contentOf(target), content);
    if (kind == QLatin1String("full disk") || (readOnly && !content.isEmpty()))
        QCOMPARE(contentOf(path), content);

    // The next start in the same folder says nothing new. On a full disk the console cannot
    // remember either, as the file that would hold the note cannot be written.
    if (kind == QLatin1String("full disk"))
        return;
    FakeSerialPort nextPort;
    RecordingMessageBoxes nextBoxes;
    MainWindow next(nextPort, nextBoxes, dir.path());
    QVERIFY(session(next));
    QCOMPARE(nextPort.openedPorts.first(), portAtStart);
    QVERIFY(!receivePane(next)->text().contains(notSaved));
}

void TestComportAbuse::choiceKeptWhereOnlyTheFileIsWritable()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = comportPath(dir);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(" 5 \r\n"), 5);
    }
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::WriteGroup | QFile::ReadOther |
                                            QFile::WriteOther));
    QVERIFY(FileAccessAsNobody::openToAll(dir.path(), false));
    const auto restore = qScopeGuard([&] { FileAccessAsNobody::openToAll(dir.path(), true); });

    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    FileAccessAsNobody asNobody;
    if (!asNobody.isActive())
        QSKIP("root cannot take user nobody's file access here");
    window.startUp();
    portList(window)->setCurrentIndex(2);
    emit portList(window)->activated(2);
    QCOMPARE(contentOf(path), QByteArray(" 2 \r\n"));

    FakeSerialPort nextPort;
    MainWindow next(nextPort, boxes, dir.path());
    next.startUp();
    QCOMPARE(nextPort.openedPorts, QList<int>{3});
    QVERIFY(!receivePane(window)->text().contains(notSaved));
    QVERIFY(boxes.shown.isEmpty());
}

QTEST_MAIN(TestComportAbuse)
#include "tst_comportabuse.moc"
