// SPDX-License-Identifier: MIT
#include "octetfields.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace {

// One field: at most three decimal digits worth at most 255. Anything else is refused as it
// is typed or pasted, so the field never holds a value outside 0-255. Blank is allowed.
class FieldValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*pos*/) const override
    {
        if (input.size() > 3)
            return Invalid;
        int value = 0;
        for (const QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
            value = value * 10 + (c.unicode() - u'0');
        }
        return value <= 255 ? Acceptable : Invalid;
    }
};

bool atStart(const QLineEdit* field)
{
    // A field whose whole text is selected (as it is right after being entered) counts as
    // being at both ends, so the arrows walk through the fields one key press each.
    if (field->hasSelectedText())
        return field->selectionStart() == 0 && field->selectedText() == field->text();
    return field->cursorPosition() == 0;
}

bool atEnd(const QLineEdit* field)
{
    if (field->hasSelectedText())
        return field->selectionStart() == 0 && field->selectedText() == field->text();
    return field->cursorPosition() == field->text().size();
}

} // namespace

OctetFields::OctetFields(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    // The control itself takes no focus: field 0 is its single tab stop, the other fields are
    // reached with the keys that move between fields or with the mouse.
    setFocusPolicy(Qt::NoFocus);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* validator = new FieldValidator(this);
    for (int i = 0; i < fieldCount; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            dot->setObjectName(QStringLiteral("dot%1").arg(i));
            row->addWidget(dot);
        }
        auto* f = new QLineEdit(this);
        f->setObjectName(QStringLiteral("field%1").arg(i));
        f->setFrame(false);
        f->setAlignment(Qt::AlignCenter);
        f->setMaxLength(3);
        f->setValidator(validator);
        f->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        f->setContextMenuPolicy(Qt::NoContextMenu);
        f->installEventFilter(this);
        connect(f, &QLineEdit::textEdited, this, [this, i] { onTextEdited(i); });
        row->addWidget(f, 1);
        fields[static_cast<size_t>(i)] = f;
    }
    setFocusProxy(fields[0]);
}

quint32 OctetFields::address() const
{
    quint32 packed = 0;
    for (const QLineEdit* f : fields)
        packed = (packed << 8) | (f->text().toUInt() & 0xFFu); // blank gives 0
    return packed;
}

void OctetFields::setAddress(quint32 packed)
{
    for (int i = 0; i < fieldCount; ++i) {
        const auto shift = static_cast<unsigned>(8 * (fieldCount - 1 - i));
        field(i)->setText(QString::number((packed >> shift) & 0xFFu));
    }
    enteredByFill = -1;
}

void OctetFields::clear()
{
    for (QLineEdit* f : fields)
        f->clear();
    enteredByFill = -1;
}

QLineEdit* OctetFields::field(int index) const
{
    return fields.at(static_cast<size_t>(index));
}

QSize OctetFields::sizeHint() const
{
    const QFontMetrics fm(font());
    const int fieldWidth = fm.horizontalAdvance(QStringLiteral("000")) + 6;
    const int dotWidth = fm.horizontalAdvance(QLatin1Char('.')) + 2;
    const int frame = 2 * frameWidth();
    return {fieldCount * fieldWidth + (fieldCount - 1) * dotWidth + frame, fm.height() + 4 + frame};
}

QSize OctetFields::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    return {fieldCount * fm.horizontalAdvance(QLatin1Char('0')) * 2, fm.height()};
}

int OctetFields::indexOf(const QObject* object) const
{
    for (int i = 0; i < fieldCount; ++i)
        if (fields[static_cast<size_t>(i)] == object)
            return i;
    return -1;
}

void OctetFields::enterField(int index)
{
    QLineEdit* f = field(index);
    f->setFocus(Qt::OtherFocusReason);
    f->selectAll();
}

void OctetFields::onTextEdited(int index)
{
    const QLineEdit* f = field(index);
    if (index + 1 < fieldCount && f->text().size() == 3 && f->cursorPosition() == 3) {
        enterField(index + 1);
        enteredByFill = index + 1;
    }
}

bool OctetFields::handleKey(int index, QKeyEvent* key)
{
    const bool filledInto = enteredByFill == index;
    enteredByFill = -1;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;

    QLineEdit* f = field(index);
    switch (key->key()) {
    case Qt::Key_Period:
        // The dot is never part of a field: it moves on, or is dropped in the last field.
        if (index + 1 < fieldCount && !filledInto)
            enterField(index + 1);
        return true;
    case Qt::Key_Backspace:
        if (index > 0 && f->text().isEmpty()) {
            enterField(index - 1);
            return true;
        }
        return false;
    case Qt::Key_Left:
        if (index > 0 && atStart(f)) {
            enterField(index - 1);
            return true;
        }
        return false;
    case Qt::Key_Right:
        if (index + 1 < fieldCount && atEnd(f)) {
            enterField(index + 1);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool OctetFields::eventFilter(QObject* watched, QEvent* event)
{
    const int index = indexOf(watched);
    if (index >= 0) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (handleKey(index, static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::MouseButtonPress:
            enteredByFill = -1;
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

bool OctetFields::focusNextPrevChild(bool next)
{
    // Backtab from a field must leave the control. Field 0 is the control's tab stop and lies
    // before the other fields, so it would catch the move; it stops being a tab stop for the
    // duration of the move.
    QLineEdit* first = field(0);
    if (!next && isAncestorOf(QApplication::focusWidget())) {
        const Qt::FocusPolicy policy = first->focusPolicy();
        first->setFocusPolicy(Qt::ClickFocus);
        const bool moved = QFrame::focusNextPrevChild(next);
        first->setFocusPolicy(policy);
        return moved;
    }
    return QFrame::focusNextPrevChild(next);
}
