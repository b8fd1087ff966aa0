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
    QString display;
    display.reserve(text.size());
    bool previousCr = afterCarriageReturn;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            if (!previousCr)
                display.append(QLatin1Char('\n'));
            previousCr = false;
        } else if (c == QLatin1Char('\r')) {
            display.append(QLatin1Char('\n'));
            previousCr = true;
        } else {
            display.append(c);
            previousCr = false;
        }
    }
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
    const QString current = text();
    const bool afterCr = current.endsWith(QLatin1Char('\r'));
    {
        InternalChange change(changingInternally);
        logical.append(more);
        insertAtEnd(forDisplay(more, afterCr));
    }
    trimToCap();
}

void TextPane::trimToCap()
{
    if (characterCap <= 0 || logical.size() <= characterCap)
        return;
    // Drop to three quarters of the cap at a line start, so trimming happens rarely.
    qsizetype cut = logical.size() - characterCap * 3 / 4;
    const qsizetype lineStart = logical.indexOf(QLatin1Char('\n'), cut);
    if (lineStart >= 0)
        cut = lineStart + 1;
    setText(logical.mid(cut));
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
