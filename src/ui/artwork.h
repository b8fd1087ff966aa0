// SPDX-License-Identifier: MIT
#pragma once

// Pictures the program draws itself, so the repository holds no bitmap: the window icon (at
// any size, for the desktop too) and the picture at the bottom of the main window. Gui only.

#include <QImage>

// The window icon, size x size pixels (32 in the title bar), 24-bit colour.
QImage makeWindowIcon(int size = 32);
// The picture at the bottom of the main window, 190 x 50, 24-bit colour.
QImage makeLogo();
