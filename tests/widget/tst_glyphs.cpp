// SPDX-License-Identifier: MIT
// Every text the console can show has a glyph for every character in some installed font: no
// empty boxes in "open serial port fail！ " or in the Chinese address error.
#include "fakeserialport.h"
#include "mainwindowelements.h"
#include "protocol/addresstext.h"
#include "protocol/replies.h"
#include "recordingmessageboxes.h"
#include "ui/designlook.h"
#include "ui/mainwindow.h"
#include "ui/messageboxes.h"
#include "ui/networksettingsdialog.h"
#include "ui/textpane.h"
#include "ui/utpmodedialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>

namespace {

struct Shown
{
    QString where;
    QString text;
    QFont font;
};

// The characters of `text` that the font, with the system's fallback fonts, cannot draw.
QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || missing.contains(c))
            continue;
        QTextLayout layout(QString(c), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns())
            if (run.glyphIndexes().contains(0)) // the "no glyph" box
                missing += c;
    }
    return missing;
}

void collect(QList<Shown>& all, QWidget* window)
{
    all.append({window->objectName() + " title", window->windowTitle(), window->font()});
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString where = window->objectName() + '/' + w->objectName();
        if (auto* label = qobject_cast<QLabel*>(w))
            all.append({where, label->text(), w->font()});
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            all.append({where, button->text(), w->font()});
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            all.append({where, frame->title(), w->font()});
        else if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                all.append({where, list->itemText(i), w->font()});
        if (!w->toolTip().isEmpty())
            all.append({where + " tooltip", w->toolTip(), w->font()});
    }
}

} // namespace

class TestGlyphs : public QObject
{
    Q_OBJECT
private slots:
    void everyTextCanBeDrawn();
};

void TestGlyphs::everyTextCanBeDrawn()
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    NetworkSettingsDialog setIp(port, boxes, &window);
    UtpModeDialog utp(port, boxes, &window);

    QList<Shown> all;
    for (QWidget* w : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&setIp),
                       static_cast<QWidget*>(&utp)})
        collect(all, w);
    const QFont boxFont = design::dialogFont();
    for (const char16_t* text :
         {boxtext::applicationTitle, boxtext::portFailure, boxtext::portFailureTitle,
          boxtext::deviceNotConnected, boxtext::portNotOpen, boxtext::warningTitle,
          boxtext::utpSetSuccess})
        all.append({QStringLiteral("message box"), QString::fromUtf16(text), boxFont});
    protocol::AddressError addressError;
    protocol::packAddress(QStringLiteral("no dots"), &addressError);
    all.append({QStringLiteral("address error"), addressError.description, boxFont});
    for (int output = 1; output <= 4; ++output)
        all.append({QStringLiteral("receive pane"), protocol::routeLine({output, 4}),
                    receivePane(window)->font()});
    for (const RecordingMessageBoxes::Box& box : boxes.shown)
        all.append({QStringLiteral("start-up box"), box.text + box.title, boxFont});

    // The texts that need more than Latin-1 are among them.
    const QString everything = [&] {
        QString joined;
        for (const Shown& s : all)
            joined += s.text;
        return joined;
    }();
    QVERIFY(everything.contains(QChar(0xFF01)));
    QVERIFY(everything.contains(QStringLiteral("地址")));

    QStringList failures;
    for (const Shown& s : all) {
        const QString missing = missingGlyphs(s.text, s.font);
        if (!missing.isEmpty())
            failures << QStringLiteral("%1: \"%2\" in %3 lacks %4")
                            .arg(s.where, s.text, s.font.family(), missing);
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

QTEST_MAIN(TestGlyphs)
#include "tst_glyphs.moc"
