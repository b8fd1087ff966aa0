// SPDX-License-Identifier: MIT
#include "panelwidgets.h"

#include <QCoreApplication>
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
    // Painted here rather than by a style sheet, which for 24 buttons cost nearly a tenth of the
    // console's start-up. The face covers every pixel.
    setFlat(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RoutingButton::paintEvent(QPaintEvent*)
{
    static const QColor face(0xC0, 0xC0, 0xC0);
    static const QColor pressedFace(0xA8, 0xA8, 0xA8);
    static const QColor edge(0xA0, 0xA0, 0xA0);
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, isDown() ? pressedFace : face);
    if (hasFocus()) {
        // A dotted black line centred on the outermost pixels, drawn edge by edge: bottom, right,
        // left, top.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine, Qt::FlatCap));
        const qreal right = r.width() - 1, bottom = r.height() - 1;
        p.drawLine(QLineF(0, bottom, right, bottom));
        p.drawLine(QLineF(right, 0, right, bottom));
        p.drawLine(QLineF(0, 0, 0, bottom));
        p.drawLine(QLineF(0, 0, right, 0));
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        p.setPen(edge);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setPen(Qt::black);
    if (glyph == Glyph::Caption) {
        p.drawText(r.adjusted(1, 1, -1, -1), Qt::AlignCenter | Qt::TextShowMnemonic, text());
        return;
    }
    // About the size of an 18 pt symbol-font triangle.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPointF c = QRectF(r).center() + (isDown() ? QPointF(1, 1) : QPointF());
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
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        // The window's menu for this button, as a right click on it opens.
        const QPoint centre = rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, centre, mapToGlobal(centre),
                               event->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
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
