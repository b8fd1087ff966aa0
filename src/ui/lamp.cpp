// SPDX-License-Identifier: MIT
#include "lamp.h"

#include <QPainter>

Lamp::Lamp(const QColor& colour, const QColor& ring, QWidget* parent)
    : QWidget(parent), fill(colour), ringColour(ring)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void Lamp::setLit(bool on)
{
    if (lit == on)
        return;
    lit = on;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ringColour, 1));
    painter.setBrush(lit ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void showRoute(const LampRow& row, quint8 input)
{
    if (input < 1 || input > 4)
        return;
    for (std::size_t element = 0; element < row.size(); ++element)
        row[element]->setLit(element == static_cast<std::size_t>(input - 1));
}
