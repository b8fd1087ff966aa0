// SPDX-License-Identifier: MIT
#include "link/comdevice.h"
#include "link/lineidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TstComDevice : public QObject
{
    Q_OBJECT

private slots:
    void devicePath_data();
    void devicePath();
    void relativeWorkingDirectoryGivesAbsolutePath();
    void usbAdapters();
    void stableNames();
    void reopensOnlyTheSameDevice_data();
    void reopensOnlyTheSameDevice();
};

void TstComDevice::devicePath_data()
{
    // entries: what the working directory holds, "NAME:file", "NAME:dangling" (a symbolic link
    // to nothing) or "NAME:device" (a symbolic link to /dev/null). "$DIR" in the expected path
    // stands for the working directory.
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QStringList>("adapters");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    const QStringList one{QStringLiteral("/dev/ttyUSB0")};
    const QStringList two{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB0")};

    QTest::newRow("COM3 file entry") << 3 << "COM3:file" << none << "$DIR/COM3";
    QTest::newRow("COM3 dangling link") << 3 << "COM3:dangling" << none << "$DIR/COM3";
    QTest::newRow("link to a device is not resolved") << 4 << "COM4:device" << none << "$DIR/COM4";
    QTest::newRow("COM1 entry wins over the adapter") << 1 << "COM1:file" << one << "$DIR/COM1";
    QTest::newRow("COM1 dangling link wins over the adapter")
        << 1 << "COM1:dangling" << one << "$DIR/COM1";
    QTest::newRow("COM1, one adapter") << 1 << "" << one << "/dev/ttyUSB0";
    QTest::newRow("COM1, another port's entry, one adapter")
        << 1 << "COM2:file COM10:file" << one << "/dev/ttyUSB0";
    QTest::newRow("COM1, two adapters") << 1 << "" << two << "/dev/ttyS0";
    QTest::newRow("COM1, no adapter") << 1 << "" << none << "/dev/ttyS0";
    QTest::newRow("COM2, one adapter") << 2 << "" << one << "/dev/ttyS1";
    QTest::newRow("COM10") << 10 << "" << none << "/dev/ttyS9";
    QTest::newRow("COM10 entry") << 10 << "COM1:file COM10:dangling" << one << "$DIR/COM10";
    QTest::newRow("lower-case entry is another name") << 5 << "com5:file" << none << "/dev/ttyS4";
}

void TstComDevice::devicePath()
{
    QFETCH(int, port);
    QFETCH(QString, entries);
    QFETCH(QStringList, adapters);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = QDir(dir.path()).canonicalPath();
    for (const QString& entry : entries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        const QString kind = entry.section(QLatin1Char(':'), 1);
        const QString path = base + QLatin1Char('/') + name;
        if (kind == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(base + QStringLiteral("/nothing-here"), path));
        } else {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        }
    }

    const QString result = comDevicePath(port, base, adapters);
    QCOMPARE(result, QString(expected).replace(QLatin1String("$DIR"), base));
    QVERIFY(QDir::isAbsolutePath(result));
}

void TstComDevice::relativeWorkingDirectoryGivesAbsolutePath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = QDir(dir.path()).canonicalPath();
    QVERIFY(QDir(base).mkdir(QStringLiteral("work")));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), base + QStringLiteral("/work/COM2")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(base));
    const QString withEntry = comDevicePath(2, QStringLiteral("work"), {});
    const QString withoutEntry = comDevicePath(3, QStringLiteral("work"), {});
    QDir::setCurrent(previous);
    QCOMPARE(withEntry, base + QStringLiteral("/work/COM2"));
    QCOMPARE(withoutEntry, QStringLiteral("/dev/ttyS2"));
}

void TstComDevice::usbAdapters()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray base = QFile::encodeName(dir.path()) + '/';
    // Device files stand in as FIFOs: both are what a plain file or a folder is not.
    for (const char* fifo : {"ttyUSB1", "ttyACM0", "ttyUSB0", "ttyusb2", "ttyS0", "USB3"})
        QCOMPARE(mkfifo(base + fifo, 0600), 0);
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("ttyUSB0")), dir.filePath("ttyACM4")));
    QVERIFY(QFile(dir.filePath(QStringLiteral("ttyUSB5"))).open(QIODevice::WriteOnly));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ttyACM6")));
    const QString d = dir.path() + '/';
    QCOMPARE(
        attachedUsbSerialAdapters(dir.path()),
        QStringList({d + "ttyACM0", d + "ttyACM4", d + "ttyUSB0", d + "ttyUSB1", d + "ttyusb2"}));
}

void TstComDevice::stableNames()
{
    QTemporaryDir devices;
    QTemporaryDir byId;
    const QString usb0 = devices.filePath(QStringLiteral("ttyUSB0"));
    const QString acm1 = devices.filePath(QStringLiteral("ttyACM1"));
    for (const QString& device : {usb0, acm1}) {
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // udev's links are relative; a missing target still lists, naming where it points.
    QVERIFY(QFile::link(QStringLiteral("../%1/ttyUSB0").arg(QDir(devices.path()).dirName()),
                        byId.filePath(QStringLiteral("usb-FTDI_B-if00-port0"))));
    QVERIFY(QFile::link(acm1, byId.filePath(QStringLiteral("usb-Arduino_A-if00"))));
    QVERIFY(QFile::link(devices.filePath(QStringLiteral("gone")),
                        byId.filePath(QStringLiteral("usb-Gone-if00"))));
    const QList<StableSerialName> names = stableSerialNames(byId.path());
    QCOMPARE(names.size(), 3);
    QCOMPARE(names[0].path, byId.filePath(QStringLiteral("usb-Arduino_A-if00")));
    QCOMPARE(names[0].device, QFileInfo(acm1).canonicalFilePath());
    QCOMPARE(names[1].path, byId.filePath(QStringLiteral("usb-FTDI_B-if00-port0")));
    QCOMPARE(names[1].device, QFileInfo(usb0).canonicalFilePath());
    QCOMPARE(names[2].device, devices.filePath(QStringLiteral("gone")));
    QVERIFY(stableSerialNames(byId.filePath(QStringLiteral("absent"))).isEmpty());
}

void TstComDevice::reopensOnlyTheSameDevice_data()
{
    // After the loss, the adapter's stable name leads to `stableNow` ("": gone).
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stableNow");
    QTest::addColumn<QString>("expected"); // "": nothing reopened
    // clang-format off
    QTest::newRow("back under its number") << "ttyUSB0" << "../ttyUSB0" << "ttyUSB0";
    QTest::newRow("back under another number") << "ttyUSB0" << "../ttyUSB1" << "by-id/A";
    QTest::newRow("another adapter under its number") << "ttyUSB0" << "" << "";
    // clang-format on
}

void TstComDevice::reopensOnlyTheSameDevice()
{
    QFETCH(QString, name);
    QFETCH(QString, stableNow);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString stable = dir.filePath(QStringLiteral("by-id/A"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("by-id")) &&
            QFile::link(QStringLiteral("../ttyUSB0"), stable));
    for (const char* node : {"ttyUSB0", "ttyUSB1"})
        QVERIFY(QFile(dir.filePath(QString::fromLatin1(node))).open(QIODevice::WriteOnly));
    const LineIdentity opened = LineIdentity::of(dir.filePath(name), dir.filePath("by-id"));
    QVERIFY(QFile::remove(stable) && (stableNow.isEmpty() || QFile::link(stableNow, stable)));
    QCOMPARE(opened.reopenPath(), expected.isEmpty() ? QString() : dir.filePath(expected));
}

QTEST_APPLESS_MAIN(TstComDevice)
#include "tst_comdevice.moc"
