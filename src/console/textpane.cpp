#include "textpane.h"

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
// appends is still one.
QString TextPane::forDisplay(const QString& text, bool afterCarriageReturn)
{
    // Written through a pointer: appending character by character costs several times more,
    // which shows when a large chunk of raw text arrives.
    QString display(text.size(), Qt::Uninitialized);
    QChar* out = display.data();
    bool previousCr = afterCarriageReturn;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            if (!previousCr)
                *out++ = QLatin1Char('\n');
            previousCr = false;
        } else if (c == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            previousCr = true;
        } else {
            *out++ = c;
            previousCr = false;
        }
    }
    display.truncate(out - display.constData());
    return display;
}

void TextPane::setText(const QString& newText)
{
    InternalChange change(changingInternally);
    logical = newText;
    logicalCurrent = true;
    setPlainText(forDisplay(newText, false));
}

void TextPane::insertAtEnd(const QString& display)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(display);
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
        insertAtEnd(forDisplay(more, afterCr));
    }
    trimToCap();
}

// Drop to three quarters of the cap at a line start, so trimming happens rarely.
TextPane::CapCut TextPane::capCut() const
{
    const qsizetype cut = logical.size() - characterCap * 3 / 4;
    const qsizetype lineFeed = logical.indexOf(QLatin1Char('\n'), cut);
    return lineFeed >= 0 ? CapCut{lineFeed + 1, true} : CapCut{cut, false};
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
    // Cut after a line feed, the display of the rest is the rest of the display: remove the
    // dropped lines from the document instead of laying out the whole remainder again.
    InternalChange change(changingInternally);
    QTextCursor cursor(document());
    const auto displayCut = static_cast<int>(forDisplay(logical.first(cut.at), false).size());
    cursor.setPosition(displayCut, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    logical.remove(0, cut.at);
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
