// SPDX-License-Identifier: MIT
#include "panelwidgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

PanelShape::PanelShape(Form shapeForm, const QColor& fillColour, const QColor& outlineColour,
                       QWidget* parent)
    : QWidget(parent), form(shapeForm), fill(fillColour), outline(outlineColour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PanelShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline.isValid() ? QPen(outline, 1) : QPen(Qt::NoPen));
    p.setBrush(fill);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (form == Form::Rectangle) {
        p.drawRect(area);
    } else {
        const qreal radius = std::min(area.width(), area.height()) / 6;
        p.drawRoundedRect(area, radius, radius);
    }
}

RoutingButton::RoutingButton(Glyph buttonGlyph, const QString& caption, QWidget* parent)
    : QPushButton(buttonGlyph == Glyph::Caption ? caption : QString(), parent), glyph(buttonGlyph)
{
    // Flat, with the grey face the routing panel calls for instead of the system button colour.
    setFlat(true);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
        "QPushButton { background-color: #C0C0C0; color: #000000; border: 1px solid #A0A0A0;"
        " padding: 0px; }"
        "QPushButton:pressed { background-color: #A8A8A8; }"
        "QPushButton:focus { border: 1px dotted #000000; }"));
}

void RoutingButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (glyph == Glyph::Caption)
        return;
    // About the size of an 18 pt symbol-font triangle.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::ButtonText));
    const QPointF c = QRectF(rect()).center() + (isDown() ? QPointF(1, 1) : QPointF());
    const qreal h = 5.5, w = 5.5;
    QPainterPath triangle;
    if (glyph == Glyph::LeftArrow) {
        triangle.moveTo(c.x() - w / 2, c.y());
        triangle.lineTo(c.x() + w / 2, c.y() - h);
        triangle.lineTo(c.x() + w / 2, c.y() + h);
    } else {
        triangle.moveTo(c.x() + w / 2, c.y());
        triangle.lineTo(c.x() - w / 2, c.y() - h);
        triangle.lineTo(c.x() - w / 2, c.y() + h);
    }
    triangle.closeSubpath();
    p.drawPath(triangle);
}

void RoutingButton::keyPressEvent(QKeyEvent* event)
{
    const bool reverse = layoutDirection() == Qt::RightToLeft;
    switch (event->key()) {
    case Qt::Key_Up:
        focusNextPrevChild(false);
        return;
    case Qt::Key_Down:
        focusNextPrevChild(true);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        focusNextPrevChild((event->key() == Qt::Key_Right) != reverse);
        return;
    default:
        QPushButton::keyPressEvent(event);
    }
}

void EtchedFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const
{
    if (element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect r = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawRect(r.translated(1, 1));
    painter->setPen(option->palette.color(QPalette::Dark));
    painter->drawRect(r);
    painter->restore();
}
