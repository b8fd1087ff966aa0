// SPDX-License-Identifier: MIT
// The receive pane's character cap: oldest lines dropped, the exact text and its display kept
// in step across the cut and across the appends that follow it.
#include "console/textpane.h"

#include <QtTest>

class TestTextPane : public QObject
{
    Q_OBJECT
private slots:
    void capDropsOldestLines_data();
    void capDropsOldestLines();
};

void TestTextPane::capDropsOldestLines_data()
{
    QTest::addColumn<QStringList>("appends");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");

    // Cap 16 in every row: the third or fourth append passes it and the pane drops to 12
    // characters or fewer, at the first line start it finds.
    QTest::newRow("CR LF lines, more appended after the cut")
        << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb"_qs, u"\r\ncccc"_qs, u"\r\ndddd"_qs}
        << u"bbbb\r\ncccc\r\ndddd"_qs << u"bbbb\ncccc\ndddd"_qs;
    QTest::newRow("lone line feeds")
        << QStringList{u"aaaa\n"_qs, u"bbbb\n"_qs, u"cccc\n"_qs, u"dddd\n"_qs} << u"cccc\ndddd\n"_qs
        << u"cccc\ndddd\n"_qs;
    QTest::newRow("lone carriage returns: no line feed to cut at")
        << QStringList{u"aaaa\r"_qs, u"bbbb\r"_qs, u"cccc\r"_qs, u"dddd\r"_qs}
        << u"b\rcccc\rdddd\r"_qs << u"b\ncccc\ndddd\n"_qs;
    QTest::newRow("CR LF split between appends, across the cut")
        << QStringList{u"aaaa\r"_qs, u"\nbbbb\r"_qs, u"\ncccc\r"_qs, u"\ndd"_qs}
        << u"bbbb\r\ncccc\r\ndd"_qs << u"bbbb\ncccc\ndd"_qs;
    QTest::newRow("one append passes the cap and drops all that was shown")
        << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb\r\ncccc\r\ndddd\r\neeee"_qs} << u"dddd\r\neeee"_qs
        << u"dddd\neeee"_qs;
    QTest::newRow("one append without line feeds passes the cap")
        << QStringList{u"\r\naaaa"_qs, u"bbbbbbbbbbbbbbbbbbbb"_qs} << u"bbbbbbbbbbbb"_qs
        << u"bbbbbbbbbbbb"_qs;
    QTest::newRow("two cuts") << QStringList{u"\r\naaaa"_qs, u"\r\nbbbb"_qs, u"\r\ncccc"_qs,
                                             u"\r\ndddd"_qs, u"\r\neeee"_qs, u"\r\nffff"_qs}
                              << u"dddd\r\neeee\r\nffff"_qs << u"dddd\neeee\nffff"_qs;
}

void TestTextPane::capDropsOldestLines()
{
    QFETCH(QStringList, appends);
    QFETCH(QString, text);
    QFETCH(QString, display);

    TextPane pane;
    pane.setUndoRedoEnabled(false);
    pane.setCharacterCap(16);
    for (const QString& more : appends) {
        pane.appendText(more);
        QVERIFY(pane.characterCount() <= 16);
    }
    QCOMPARE(pane.text(), text);
    QCOMPARE(pane.toPlainText(), display);
    QCOMPARE(pane.document()->characterCount() - 1, display.size());
}

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
