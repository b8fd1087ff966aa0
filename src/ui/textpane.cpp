// SPDX-License-Identifier: MIT
#include "textpane.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Marks the text changes the pane makes itself, so they are not taken for the user's edits.
class InternalChange
{
public:
    explicit InternalChange(bool& target) : flag(target), previous(target) { target = true; }
    ~InternalChange() { flag = previous; }
    InternalChange(const InternalChange&) = delete;
    InternalChange& operator=(const InternalChange&) = delete;

private:
    bool& flag;
    bool previous;
};

} // namespace

TextPane::TextPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next control, as in every other control of the windows.
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChanged, this, &TextPane::onContentsChange);
}

void TextPane::onContentsChange()
{
    if (!changingInternally)
        logicalCurrent = false;
}

QString TextPane::text() const
{
    if (!logicalCurrent) {
        logical = toPlainText();
        logical.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        logicalCurrent = true;
    }
    return logical;
}

// Every CR LF, lone CR and lone LF is one line break on screen. A CR LF split across two
// appends is still one. A line break of the display comes before a line's character number
// limit + 1, 2 × limit + 1 and so on, and only when that character comes.
QString TextPane::forDisplay(const QString& text, bool afterCarriageReturn, qsizetype& column,
                             QList<qsizetype>* softBreaks) const
{
    // Written through a pointer: appending character by character costs several times more,
    // which shows when a large chunk of raw text arrives.
    const qsizetype room =
        text.size() + (displayLineLimit > 0 ? text.size() / displayLineLimit + 1 : 0);
    QString display(room, Qt::Uninitialized);
    QChar* const begin = display.data();
    QChar* out = begin;
    bool previousCr = afterCarriageReturn;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            if (!previousCr)
                *out++ = QLatin1Char('\n');
            previousCr = false;
            column = 0;
        } else if (c == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            previousCr = true;
            column = 0;
        } else {
            if (column == displayLineLimit && displayLineLimit > 0) {
                if (softBreaks)
                    softBreaks->append(out - begin);
                *out++ = QLatin1Char('\n');
                column = 0;
            }
            *out++ = c;
            previousCr = false;
            ++column;
        }
    }
    display.truncate(out - begin);
    return display;
}

namespace {

// The user state of a block that continues the line of the block before it.
constexpr int continuesLine = 1;

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

} // namespace

void TextPane::markSoftBreaks(int displayStart, const QList<qsizetype>& softBreaks)
{
    for (const qsizetype at : softBreaks)
        document()->findBlock(displayStart + static_cast<int>(at) + 1).setUserState(continuesLine);
}

void TextPane::setText(const QString& newText)
{
    InternalChange change(changingInternally);
    logical = newText;
    logicalCurrent = true;
    lastLineColumn = 0;
    QList<qsizetype> softBreaks;
    setPlainText(forDisplay(newText, false, lastLineColumn, &softBreaks));
    markSoftBreaks(0, softBreaks);
}

void TextPane::insertAtEnd(const QString& display, const QList<qsizetype>& softBreaks)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int start = cursor.position();
    cursor.insertText(display);
    markSoftBreaks(start, softBreaks);
}

void TextPane::appendText(const QString& more)
{
    if (more.isEmpty())
        return;
    // No copy of the text may be held here: it would make the append below copy all of it.
    text();
    const qsizetype kept = logical.size();
    const bool afterCr = logical.endsWith(QLatin1Char('\r'));
    logical.append(more);
    if (characterCap > 0 && logical.size() > characterCap) {
        const CapCut cut = capCut();
        if (cut.at >= kept) {
            // All the text shown so far goes: show the rest alone, without laying out first
            // what the cap drops at once.
            setText(logical.mid(cut.at));
            return;
        }
    }
    {
        InternalChange change(changingInternally);
        QList<qsizetype> softBreaks;
        insertAtEnd(forDisplay(more, afterCr, lastLineColumn, &softBreaks), softBreaks);
    }
    trimToCap();
}

// Drop to three quarters of the cap, at the first line start from there, or sooner where a long
// line is broken on screen. The display of what remains is then the rest of the display as it
// stands, so trimming removes lines from the top of the document and lays out nothing again,
// and it happens rarely.
TextPane::CapCut TextPane::capCut() const
{
    const qsizetype size = logical.size();
    const qsizetype from = size - characterCap * 3 / 4;
    if (displayLineLimit > 0) {
        // Where the line holding `from` begins and ends in the text.
        qsizetype begin = from;
        while (begin > 0 && !isLineBreak(logical[begin - 1]))
            --begin;
        qsizetype end = from;
        while (end < size && !isLineBreak(logical[end]))
            ++end;
        const qsizetype pieces =
            std::max<qsizetype>((from - begin + displayLineLimit - 1) / displayLineLimit, 1);
        const qsizetype softBreak = begin + pieces * displayLineLimit;
        if (softBreak < end)
            return {softBreak, true, true};
    }
    const qsizetype lineFeed = logical.indexOf(QLatin1Char('\n'), from);
    return lineFeed >= 0 ? CapCut{lineFeed + 1, true, false} : CapCut{from, false, false};
}

void TextPane::trimToCap()
{
    if (characterCap <= 0 || logical.size() <= characterCap)
        return;
    const CapCut cut = capCut();
    if (!cut.atLineStart) {
        setText(logical.mid(cut.at));
        return;
    }
    // The display of the rest is the rest of the display: remove the dropped lines from the
    // document instead of laying out the whole remainder again.
    InternalChange change(changingInternally);
    qsizetype column = 0;
    const qsizetype dropped =
        forDisplay(logical.first(cut.at), false, column, nullptr).size() + (cut.softBreak ? 1 : 0);
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(dropped), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    logical.remove(0, cut.at);
}

QMimeData* TextPane::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString copied;
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() <= end; block = block.next()) {
        const int at = block.position();
        if (at > start && block.userState() != continuesLine)
            copied += QLatin1Char('\n');
        const int from = std::max(start, at) - at;
        const int to = std::min(end, at + block.length() - 1) - at;
        copied += QStringView(block.text()).mid(from, std::max(to - from, 0));
    }
    auto* mime = new QMimeData;
    mime->setText(copied);
    return mime;
}

void TextPane::selectAllToEnd()
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool TextPane::isAllSelectedToEnd() const
{
    const QTextCursor cursor = textCursor();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    return cursor.anchor() == 0 && cursor.position() == end.position();
}
