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

private:
    static QString forDisplay(const QString& text, bool afterCarriageReturn);
    void insertAtEnd(const QString& display);
    struct CapCut
    {
        qsizetype at;     // characters of the exact text to drop
        bool atLineStart; // whether they end with a line feed
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
};
