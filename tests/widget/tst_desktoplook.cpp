// SPDX-License-Identifier: MIT
// The windows and message boxes as the design draws them, whatever the desktop: under a dark
// palette and a doubled default font the texts keep their colours, every caption fits its
// element and nothing moves. Set VARNOK_SCREENSHOT_DIR to keep a PNG of each window.
// Run under a locale with a translation (zh_CN), the same holds for the translated texts.
#include "fakeserialport.h"
#include "link/language.h"
#include "link/setupstore.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"
#include "ui/messageboxes.h"
#include "ui/networksettingsdialog.h"
#include "ui/presetdialogs.h"
#include "ui/utpmodedialog.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QPalette darkPalette()
{
    QPalette dark;
    const QColor face(0x35, 0x35, 0x35), field(0x23, 0x23, 0x23), text(0xEE, 0xEE, 0xEE);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Window, face);
        dark.setColor(group, QPalette::Button, face);
        dark.setColor(group, QPalette::Base, field);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::ButtonText, text);
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::Light, QColor(0x50, 0x50, 0x50));
        dark.setColor(group, QPalette::Dark, QColor(0x10, 0x10, 0x10));
    }
    return dark;
}

QFont doubled(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 2);
    else
        font.setPixelSize(font.pixelSize() * 2);
    return font;
}

// What the user reads on an element, and the room the element gives it.
struct Caption
{
    QWidget* widget;
    QString text;
    QRect room;
};

QList<Caption> captionsOf(QWidget* window)
{
    QList<Caption> captions;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window)
            continue; // a dialog the window owns
        if (auto* text = qobject_cast<QLabel*>(w); text && !text->text().isEmpty()) {
            captions.append({w, text->text(), text->contentsRect()});
        } else if (auto* button = qobject_cast<QPushButton*>(w);
                   button && !button->text().isEmpty()) {
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = button->text();
            captions.append(
                {w, opt.text,
                 button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button)});
        } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(option);
            opt.text = option->text();
            captions.append(
                {w, opt.text,
                 option->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, option)});
        } else if (auto* frame = qobject_cast<QGroupBox*>(w); frame && !frame->title().isEmpty()) {
            QStyleOptionGroupBox opt;
            opt.initFrom(frame);
            opt.text = frame->title();
            opt.textAlignment = frame->alignment();
            opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &opt,
                                                               QStyle::SC_GroupBoxLabel, frame);
            // The title's own rectangle is measured for it; it must lie inside the frame.
            captions.append({w, opt.text, label.intersected(frame->rect())});
        }
    }
    return captions;
}

// The darkest pixel of a rendered element: its text, where the text is meant to be black.
int darkest(QWidget* w)
{
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int least = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            least = std::min(least, qGray(image.pixel(x, y)));
    return least;
}

QColor designTextColour(const QWidget* w)
{
    static const QStringList outputNumbers{"Label1", "Label2", "Label3", "Label4"};
    if (w->window()->objectName() == QLatin1String("Form1")) {
        if (outputNumbers.contains(w->objectName()))
            return {0x00, 0x00, 0x80};
        if (w->objectName() == QLatin1String("Label5"))
            return {0xFF, 0x80, 0x00};
    }
    return Qt::black;
}

using Geometries = QList<QPair<QString, QRect>>;

Geometries geometriesOf(QWidget* window)
{
    Geometries all;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->window() == window && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_")))
            all.append({w->objectName(), w->geometry()});
    return all;
}

// The main window and its dialogs, shown and built under whatever desktop the test set.
struct Windows
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<NetworkSettingsDialog> setIp;
    std::unique_ptr<UtpModeDialog> utp;
    SetupStore setup{dir.path(), port};
    QList<QWidget*> windows;

    Windows()
    {
        mainWindow = std::make_unique<MainWindow>(port, boxes, dir.path());
        mainWindow->startUp();
        mainWindow->showRoute(2, 3);
        mainWindow->show();
        setIp = std::make_unique<NetworkSettingsDialog>(port, boxes, mainWindow.get());
        setIp->show();
        // The address panel shows its label only with the fixed address chosen.
        setIp->findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
        utp = std::make_unique<UtpModeDialog>(port, boxes, mainWindow.get());
        utp->show();
        // The presets' buttons enabled.
        delete setup.change({SetupEdit::Kind::SavePreset, 0, QStringLiteral("Stage"), {}},
                            Routing{1, 2, 3, 4});
        windows = {mainWindow.get(), setIp.get(), utp.get(),
                   new NameDialog("Save routing", "Preset name:", "", mainWindow.get()),
                   new PresetManagerDialog(setup, mainWindow.get())};
        for (QWidget* window : windows)
            window->show();
        QApplication::processEvents();
    }
    QList<QWidget*> all() const { return windows; }
};

} // namespace

class TestDesktopLook : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void windows_data();
    void windows();
    void routingButtons_data();
    void routingButtons();
    void messageBoxes_data();
    void messageBoxes();

private:
    void setDesktop(const QString& desktop);

    QPalette plainPalette;
    QFont plainFont;
    QList<Geometries> designGeometry;
};

void TestDesktopLook::initTestCase()
{
    installTranslations(*qApp); // as the console does: the system locale's language
    plainPalette = QApplication::palette();
    plainFont = QApplication::font();
    Windows plain;
    for (QWidget* window : plain.all())
        designGeometry.append(geometriesOf(window));
}

void TestDesktopLook::cleanup()
{
    QApplication::setPalette(plainPalette);
    QApplication::setFont(plainFont);
}

void TestDesktopLook::setDesktop(const QString& desktop)
{
    if (desktop.contains(QLatin1String("dark")))
        QApplication::setPalette(darkPalette());
    if (desktop.contains(QLatin1String("large")))
        QApplication::setFont(doubled(plainFont));
}

void TestDesktopLook::windows_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::newRow("light") << "light";
    QTest::newRow("dark") << "dark";
    QTest::newRow("large font") << "large";
    QTest::newRow("dark, large font") << "dark large";
}

void TestDesktopLook::windows()
{
    QFETCH(QString, desktop);
    setDesktop(desktop);
    Windows w;

    const QString shots = qEnvironmentVariable("VARNOK_SCREENSHOT_DIR");
    for (QWidget* window : w.all()) {
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            window->grab().save(QDir(shots).filePath(
                QStringLiteral("%1-%2.png").arg(window->objectName(), desktop).replace(' ', '-')));
        }
        const QList<Caption> captions = captionsOf(window);
        QVERIFY(captions.size() >= 3);
        for (const Caption& c : captions) {
            const QString where =
                window->objectName() + '/' + c.widget->objectName() + " \"" + c.text + '"';
            const QFontMetrics fm(c.widget->font());
            QVERIFY2(fm.horizontalAdvance(c.text) <= c.room.width(),
                     qPrintable(QStringLiteral("%1: %2 px of text in %3 px")
                                    .arg(where)
                                    .arg(fm.horizontalAdvance(c.text))
                                    .arg(c.room.width())));
            QVERIFY2(fm.tightBoundingRect(c.text).height() <= c.room.height(),
                     qPrintable(where + QStringLiteral(": too tall")));
            const QColor want = designTextColour(c.widget);
            if (c.widget->styleSheet().isEmpty())
                QCOMPARE(c.widget->palette().color(c.widget->foregroundRole()), want);
            if (want != Qt::black || !c.text.front().isLetterOrNumber())
                continue;
            // Rendered: black text on a light face, whatever the widget's palette says.
            QVERIFY2(darkest(c.widget) < 0x40, qPrintable(where + QStringLiteral(": no black")));
            if (c.widget->styleSheet().isEmpty())
                QVERIFY2(c.widget->palette().color(c.widget->backgroundRole()).lightness() > 200,
                         qPrintable(where + QStringLiteral(": dark face")));
        }
    }
    const QImage mainImage = w.mainWindow->grab().toImage();
    QCOMPARE(QColor(mainImage.pixel(2, 2)), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(w.mainWindow->size(), QSize(645, 554));
    QCOMPARE(w.setIp->size(), QSize(281, 133));
    QCOMPARE(w.utp->size(), QSize(358, 165));
    for (qsizetype i = 0; i < w.all().size(); ++i) {
        const Geometries now = geometriesOf(w.all()[i]);
        QCOMPARE(now.size(), designGeometry[i].size());
        for (qsizetype k = 0; k < now.size(); ++k)
            QVERIFY2(now[k] == designGeometry[i][k],
                     qPrintable(QStringLiteral("%1 moved").arg(now[k].first)));
    }
}

void TestDesktopLook::routingButtons_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("pressed");
    for (const char* desktop : {"light", "dark large"})
        for (const char* button : {"Command1_0", "Command1_9"}) { // an arrow, a caption
            QTest::addRow("%s, %s", desktop, button) << desktop << button << false << false;
            QTest::addRow("%s, %s, focused", desktop, button) << desktop << button << true << false;
            // A press by mouse gives the button the focus.
            QTest::addRow("%s, %s, pressed", desktop, button) << desktop << button << true << true;
        }
}

// Flat, a grey face (darker while pressed) in a thin grey edge, or a dotted black one while the
// button has the focus; black caption or arrow, whatever the desktop.
void TestDesktopLook::routingButtons()
{
    QFETCH(QString, desktop);
    QFETCH(QString, button);
    QFETCH(bool, focused);
    QFETCH(bool, pressed);
    setDesktop(desktop);
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* routing = window.findChild<QPushButton*>(button);
    QVERIFY(routing);
    QVERIFY(routing->isFlat());
    window.findChild<QWidget*>(focused ? button : QStringLiteral("Text2"))->setFocus();
    QCOMPARE(routing->hasFocus(), focused);
    if (pressed)
        QTest::mousePress(routing, Qt::LeftButton);
    const QImage image = routing->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (pressed)
        QTest::mouseRelease(routing, Qt::LeftButton);

    const QColor face = pressed ? QColor(0xA8, 0xA8, 0xA8) : QColor(0xC0, 0xC0, 0xC0);
    QCOMPARE(image.size(), QSize(41, 25));
    QCOMPARE(QColor(image.pixel(3, 3)), face);
    QCOMPARE(QColor(image.pixel(37, 21)), face);
    int dots = 0, gaps = 0;
    for (int x = 0; x < image.width(); ++x) {
        const QColor top(image.pixel(x, 0));
        if (!focused)
            QCOMPARE(top, QColor(0xA0, 0xA0, 0xA0));
        else if (qGray(top.rgb()) < 0x80)
            ++dots;
        else if (top == face)
            ++gaps;
    }
    if (focused) {
        QVERIFY2(dots >= 10 && gaps >= 20,
                 qPrintable(QStringLiteral("%1 dots, %2 gaps").arg(dots).arg(gaps)));
        QVERIFY(qGray(image.pixel(0, 12)) < 0x80 || qGray(image.pixel(0, 11)) < 0x80 ||
                qGray(image.pixel(0, 13)) < 0x80);
    }
    int least = 255;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 4; x < image.width() - 4; ++x)
            least = std::min(least, qGray(image.pixel(x, y)));
    QVERIFY2(least < 0x10, qPrintable(QStringLiteral("darkest %1").arg(least)));
}

void TestDesktopLook::messageBoxes_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    for (const char* desktop : {"light", "dark large"}) {
        const auto row = [&](const char* name, const char16_t* text, const char16_t* title) {
            QTest::addRow("%s, %s", desktop, name)
                << desktop << boxtext::translated(text) << boxtext::translated(title);
        };
        row("UTP set", boxtext::utpSetSuccess, boxtext::applicationTitle);
        row("no answer", boxtext::deviceNotConnected, boxtext::applicationTitle);
        row("port failure", boxtext::portFailure, boxtext::portFailureTitle);
        row("port not open", boxtext::portNotOpen, boxtext::warningTitle);
    }
}

void TestDesktopLook::messageBoxes()
{
    QFETCH(QString, desktop);
    QFETCH(QString, text);
    QFETCH(QString, title);
    setDesktop(desktop);
    const std::unique_ptr<QMessageBox> box = QtMessageBoxes::build(nullptr, text, title);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));

    // A title bar holds the title in the desktop's bold font beside a close box and an icon,
    // each about two lines of text wide; a box narrower than that gets its title shortened.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics titleMetrics(titleFont);
    const int titleBar = titleMetrics.horizontalAdvance(title) + 2 * 2 * 2 * titleMetrics.height();
    QVERIFY2(
        box->width() >= titleBar,
        qPrintable(
            QStringLiteral("%1 px wide, the title bar needs %2").arg(box->width()).arg(titleBar)));

    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(box->palette().color(QPalette::Window).lightness() > 200);
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text) <= label->contentsRect().width());
    QVERIFY(darkest(label) < 0x40);
    auto* ok = box->button(QMessageBox::Ok);
    QVERIFY(ok);
    QCOMPARE(ok->palette().color(QPalette::ButtonText), QColor(Qt::black));
    QVERIFY(QFontMetrics(ok->font()).horizontalAdvance(ok->text()) <= ok->contentsRect().width());

    const QString shots = qEnvironmentVariable("VARNOK_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        box->grab().save(QDir(shots).filePath(
            QStringLiteral("box-%1-%2.png").arg(title, desktop).replace(' ', '-')));
}

QTEST_MAIN(TestDesktopLook)
#include "tst_desktoplook.moc"
