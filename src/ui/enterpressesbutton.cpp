// SPDX-License-Identifier: MIT
#include "enterpressesbutton.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterPressesButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // The keypad's Enter comes with the keypad modifier; any other modifier makes another key.
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            modifiers != Qt::NoModifier)
            return false;
        auto* button = static_cast<QPushButton*>(watched);
        if (!button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void pressFocusedButtonsOnEnter(QWidget* window)
{
    auto* filter = new EnterPressesButton(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(filter);
}
