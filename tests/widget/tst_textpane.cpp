// SPDX-License-Identifier: MIT
// The receive pane's character cap: oldest lines dropped, the exact text and its display kept
// in step across the cut and across the appends that follow it. Long lines broken on screen
// only: the text and what is copied keep every character and no break of the screen's.
#include "ui/mainwindow.h"
#include "ui/textpane.h"

#include "fakeserialport.h"
#include "recordingmessageboxes.h"

#include <QClipboard>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

class TestTextPane : public QObject
{
    Q_OBJECT
private slots:
    void capDropsOldestLines_data();
    void capDropsOldestLines();
    void longLinesBrokenOnScreenOnly_data();
    void longLinesBrokenOnScreenOnly();
    void receivePaneBreaksLongReplies();
};

void TestTextPane::capDropsOldestLines_data()
{
    QTest::addColumn<QStringList>("appends");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("lineLimit");

    // Cap 16 in every row: the third or fourth append passes it and the pane drops to 12
    // characters or fewer, at the first line start it finds.
    QTest::newRow("CR LF lines, more appended after the cut")
        << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb"_qs, u"\r\ncccc"_qs, u"\r\ndddd"_qs}
        << u"bbbb\r\ncccc\r\ndddd"_qs << u"bbbb\ncccc\ndddd"_qs << 0;
    QTest::newRow("lone line feeds")
        << QStringList{u"aaaa\n"_qs, u"bbbb\n"_qs, u"cccc\n"_qs, u"dddd\n"_qs} << u"cccc\ndddd\n"_qs
        << u"cccc\ndddd\n"_qs << 0;
    QTest::newRow("lone carriage returns: no line feed to cut at")
        << QStringList{u"aaaa\r"_qs, u"bbbb\r"_qs, u"cccc\r"_qs, u"dddd\r"_qs}
        << u"b\rcccc\rdddd\r"_qs << u"b\ncccc\ndddd\n"_qs << 0;
    QTest::newRow("CR LF split between appends, across the cut")
        << QStringList{u"aaaa\r"_qs, u"\nbbbb\r"_qs, u"\ncccc\r"_qs, u"\ndd"_qs}
        << u"bbbb\r\ncccc\r\ndd"_qs << u"bbbb\ncccc\ndd"_qs << 0;
    QTest::newRow("one append passes the cap and drops all that was shown")
        << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb\r\ncccc\r\ndddd\r\neeee"_qs} << u"dddd\r\neeee"_qs
        << u"dddd\neeee"_qs << 0;
    QTest::newRow("one append without line feeds passes the cap")
        << QStringList{u"\r\naaaa"_qs, u"bbbbbbbbbbbbbbbbbbbb"_qs} << u"bbbbbbbbbbbb"_qs
        << u"bbbbbbbbbbbb"_qs << 0;
    QTest::newRow("two cuts") << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb"_qs, u"\r\ncccc"_qs,
                                             u"\r\ndddd"_qs, u"\r\neeee"_qs, u"\r\nffff"_qs}
                              << u"dddd\r\neeee\r\nffff"_qs << u"dddd\neeee\nffff"_qs << 0;
    // Lines broken on screen after 4 characters: the cut may fall where a line is broken.
    QTest::newRow("a long line, cut where it is broken on screen")
        << QStringList{u"0123456789"_qs, u"abcdefghij"_qs, u"klm"_qs} << u"89abcdefghijklm"_qs
        << u"89ab\ncdef\nghij\nklm"_qs << 4;
    QTest::newRow("cut at a line start, the long line after it goes on")
        << QStringList{u"\r\naaaa"_qs, u"\r\n0123"_qs, u"456789"_qs, u"abcd"_qs}
        << u"0123456789abcd"_qs << u"0123\n4567\n89ab\ncd"_qs << 4;
    QTest::newRow("one append passes the cap in a long line")
        << QStringList{u"\r\naa"_qs, u"\r\n0123456789abcdef"_qs} << u"456789abcdef"_qs
        << u"4567\n89ab\ncdef"_qs << 4;
}

void TestTextPane::capDropsOldestLines()
{
    QFETCH(QStringList, appends);
    QFETCH(QString, text);
    QFETCH(QString, display);
    QFETCH(int, lineLimit);

    TextPane pane;
    pane.setUndoRedoEnabled(false);
    pane.setCharacterCap(16);
    pane.setDisplayLineLimit(lineLimit);
    for (const QString& more : appends) {
        pane.appendText(more);
        QVERIFY(pane.characterCount() <= 16);
    }
    QCOMPARE(pane.text(), text);
    QCOMPARE(pane.toPlainText(), display);
    QCOMPARE(pane.document()->characterCount() - 1, display.size());
}

void TestTextPane::longLinesBrokenOnScreenOnly_data()
{
    QTest::addColumn<QStringList>("appends");
    QTest::addColumn<QString>("display");

    // Lines broken on screen after 4 characters.
    QTest::newRow("one line in pieces")
        << QStringList{u"012"_qs, u"3456"_qs, u"789"_qs, u"a"_qs} << u"0123\n4567\n89a"_qs;
    QTest::newRow("one append, many pieces")
        << QStringList{u"0123456789abcdef"_qs} << u"0123\n4567\n89ab\ncdef"_qs;
    QTest::newRow("exactly the limit, then a line break")
        << QStringList{u"0123"_qs, u"\r\n"_qs, u"4567"_qs} << u"0123\n4567"_qs;
    QTest::newRow("CR LF split where the line is full")
        << QStringList{u"0123\r"_qs, u"\n4567"_qs, u"89"_qs} << u"0123\n4567\n89"_qs;
    QTest::newRow("lone CR and LF start the count again")
        << QStringList{u"01\r234"_qs, u"56\n7"_qs} << u"01\n2345\n6\n7"_qs;
}

void TestTextPane::longLinesBrokenOnScreenOnly()
{
    QFETCH(QStringList, appends);
    QFETCH(QString, display);

    TextPane pane;
    pane.setDisplayLineLimit(4);
    for (const QString& more : appends)
        pane.appendText(more);
    const QString text = appends.join(QString());
    QCOMPARE(pane.text(), text);
    QCOMPARE(pane.toPlainText(), display);

    // The whole text set at once shows the same.
    TextPane set;
    set.setDisplayLineLimit(4);
    set.setText(text);
    QCOMPARE(set.toPlainText(), display);
    QCOMPARE(set.text(), text);

    // Copied, every line break of the text is one line feed and the screen's breaks are gone.
    QString copied = text;
    copied.replace(u"\r\n"_qs, u"\n"_qs).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (TextPane* p : {&pane, &set}) {
        p->selectAll();
        p->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }
}

void TestTextPane::receivePaneBreaksLongReplies()
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window(port, boxes, dir.path());
    window.startUp();
    auto* pane = window.findChild<TextPane*>(QStringLiteral("Text1"));
    QVERIFY(pane);
    // A line that never ends: 20,000 characters in one reply, then 20,000 more.
    const QByteArray chunk = QByteArray("0123456789").repeated(2000);
    port.feed(chunk);
    QTRY_COMPARE(pane->characterCount(), chunk.size());
    port.feed(chunk);
    QTRY_COMPARE(pane->text(), QString::fromLatin1(chunk + chunk));
    // No line on screen is laid out whole: appending to it would cost what it already holds.
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next())
        QVERIFY2(b.length() <= 4096, qPrintable(QString::number(b.length())));
}

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
