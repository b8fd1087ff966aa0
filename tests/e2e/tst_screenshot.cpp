// SPDX-License-Identifier: MIT
// The main window on a real X server: its size on screen, its look where it matters, and a PNG
// of it (path in VARNOK_SCREENSHOT) for checking by eye.
#include "fakeserialport.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class TestScreenshot : public QObject
{
    Q_OBJECT
private slots:
    void windowAsShown();
};

void TestScreenshot::windowAsShown()
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    window.showRoute(1, 1);
    window.showRoute(2, 3);
    window.showRoute(3, 2);
    window.showRoute(4, 4);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(200);

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), QSize(645, 554));
    QCOMPARE(window.geometry().size(), QSize(645, 554));

    // Pixels where the design fixes a colour: window background, routing panel grey, a navy
    // row panel, a lit routing lamp's centre, a dark one's centre (navy shows through), and the
    // link lamps (open: green lit, red dark).
    const auto at = [&](const char* name, QPoint offset = {}) {
        auto* w = window.findChild<QWidget*>(QLatin1String(name));
        return QColor(shot.pixel(w->mapTo(&window, w->rect().center() + offset)));
    };
    QCOMPARE(QColor(shot.pixel(2, 2)), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(QColor(shot.pixel(400, 470)), QColor(0x80, 0x80, 0x80));
    QCOMPARE(at("Shape2_0", {-70, -30}), QColor(0x00, 0x00, 0x80));
    QCOMPARE(at("Shape17_0"), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(at("Shape17_1"), QColor(0x00, 0x00, 0x80));
    QCOMPARE(at("Shape20_3"), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(at("Shape15"), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(at("Shape16"), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(at("Command1_0", {-12, -6}), QColor(0xC0, 0xC0, 0xC0));

    const QString path = qEnvironmentVariable("VARNOK_SCREENSHOT");
    if (!path.isEmpty()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(shot.save(path));
        qInfo("screenshot: %s", qPrintable(path));
    }
}

QTEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
