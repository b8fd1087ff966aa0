// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Enter and Return press the push button that has the focus, as Space does, in the windows of
// desktops where users expect it. No button is made a default button by this: Enter on any
// other control keeps whatever that control or its window does with it.
void pressFocusedButtonsOnEnter(QWidget* window);
