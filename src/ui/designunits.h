// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QString>

// Windows are designed in twips, 1440 to the inch: 15 to a pixel at 96 dpi.
namespace design {

constexpr int pixels(int twips)
{
    return (twips + 7) / 15;
}

inline QRect twips(int left, int top, int width, int height)
{
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

// Names an element as its design does and puts it in place.
template <typename W> W* placed(W* widget, const char* name, const QRect& geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// Elements of a control array are named after the array and their index: "Command1_10".
inline QString elementName(const char* array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

} // namespace design
