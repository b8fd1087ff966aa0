// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

// A multi-line text box whose text is read and written with CR LF line breaks, as the switch
// and the user's commands have them, while the screen shows each line break as a new line.
// Appending costs time in proportion to what is appended, not to what the pane already holds.
class TextPane : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextPane(QWidget* parent = nullptr);

    // The whole text, line breaks as CR LF.
    QString text() const;
    void setText(const QString& text);
    // Adds text at the end, unchanged: no line break is added before or after.
    void appendText(const QString& text);

    // Selects the whole text with the caret at its end, scrolled into view.
    void selectAllToEnd();
    bool isAllSelectedToEnd() const;

    // Keeps at most about this many characters by dropping the oldest lines; 0 keeps all.
    void setCharacterCap(qsizetype cap) { characterCap = cap; }
    qsizetype characterCount() const { return text().size(); }

    // Shows a line longer than this many characters as several, so that appending to a line
    // that never ends costs what is appended, not what the line already holds; 0 never breaks.
    // Only the screen sees these breaks: text() and copying leave them out. For panes the user
    // does not type into (typed edits are read back from the screen). Takes effect on the next
    // setText().
    void setDisplayLineLimit(qsizetype limit) { displayLineLimit = limit; }

protected:
    // Copies the selection as shown, without the breaks of long lines.
    QMimeData* createMimeDataFromSelection() const override;

private:
    // The display form of `text`: every line break one line feed, long lines broken. `column` is
    // the length of the display's last line before and after; `softBreaks` gets the offsets of
    // the line feeds that break long lines.
    QString forDisplay(const QString& text, bool afterCarriageReturn, qsizetype& column,
                       QList<qsizetype>* softBreaks) const;
    void markSoftBreaks(int displayStart, const QList<qsizetype>& softBreaks);
    void insertAtEnd(const QString& display, const QList<qsizetype>& softBreaks);
    struct CapCut
    {
        qsizetype at;     // characters of the exact text to drop
        bool atLineStart; // whether a display line starts there, after a break or a long line's
        bool softBreak;   // whether that display line starts at the break of a long line
    };
    CapCut capCut() const;
    void trimToCap();
    void onContentsChange();

    // The exact text, kept alongside the display so that lone CR or LF survive; rebuilt from
    // the display after the user edits the pane.
    mutable QString logical;
    mutable bool logicalCurrent = true;
    bool changingInternally = false;
    qsizetype characterCap = 0;
    qsizetype displayLineLimit = 0;
    qsizetype lastLineColumn = 0; // characters in the display's last line
};
