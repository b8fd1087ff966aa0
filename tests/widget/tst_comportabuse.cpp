// SPDX-License-Identifier: MIT
// Start-up against a COMPORT entry that is anything but the small file the console writes: huge,
// full of NUL bytes, unreadable, a pipe, in a folder that cannot be written. The console must
// start, pick its port by the start-up rules and keep going.
#include "console/form1.h"

#include "fakeserialport.h"
#include "recordingmessageboxes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray unchanged("<unchanged>");

QString comportPath(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("COMPORT"));
}

} // namespace

class TestComportAbuse : public QObject
{
    Q_OBJECT
private slots:
    void startUpSurvives_data();
    void startUpSurvives();
};

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

    if ((kind == QLatin1String("unreadable") || kind == QLatin1String("read-only folder")) &&
        geteuid() == 0)
        QSKIP("file permissions do not bind root");

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
    if (kind == QLatin1String("unreadable"))
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    if (kind == QLatin1String("read-only folder"))
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
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
    Form1 window(port, boxes, dir.path());
    window.startUp();

    QCOMPARE(window.Combo1->currentIndex(), listIndex);
    QCOMPARE(port.openedPorts, QList<int>{portTried});
    QVERIFY(port.isOpen());
    QCOMPARE(window.Command7->text(), QStringLiteral("Disconnect"));
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
    window.Combo1->setCurrentIndex(2);
    emit window.Combo1->activated(2);
    QVERIFY(!port.isOpen());
    QTest::mouseClick(window.Command7, Qt::LeftButton);
    QCOMPARE(port.openedPorts.last(), 3);
    QVERIFY(port.isOpen());
    QVERIFY(boxes.shown.isEmpty());
}

QTEST_MAIN(TestComportAbuse)
#include "tst_comportabuse.moc"
