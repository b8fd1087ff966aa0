// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

// The console's own colours and fonts. Its windows are laid out on a fixed pixel grid, so they
// take neither the desktop's palette nor its default font: a dark theme or a large desktop font
// must not leave light text on the light faces or clip the captions.
namespace design {

// Arial, or the metric-compatible face the system maps it to.
QFont arial(qreal points, bool bold = false, bool italic = false);

// The main window's font; every element that names no font of its own uses it.
QFont windowFont();

// The font of the dialogs, the address field and the message boxes: their sizes are measured
// for it.
QFont dialogFont();

// The face of the dialogs and message boxes.
inline const QColor dialogBackground(0xF0, 0xF0, 0xF0);

// Black text on light faces, white fields, with `background` as the window's face.
QPalette lightPalette(const QColor& background);

// Gives a window the palette and font above; its elements inherit them unless they set their
// own.
void applyLook(QWidget* window, const QColor& background, const QFont& font);

} // namespace design
