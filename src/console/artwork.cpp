// SPDX-License-Identifier: MIT
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {
const QColor navy(0x00, 0x00, 0x80);
const QColor orange(0xFF, 0x80, 0x00);
const QColor lampGreen(0x00, 0xFF, 0x00);

// A small 4 x 4 routing grid, one lit lamp per row: the console's emblem.
void drawGrid(QPainter& p, const QRectF& area, qreal dot)
{
    static constexpr int litInput[4] = {0, 2, 1, 3};
    const qreal stepX = area.width() / 4, stepY = area.height() / 4;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const QPointF centre(area.left() + stepX * (col + 0.5),
                                 area.top() + stepY * (row + 0.5));
            p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
            p.setBrush(col == litInput[row] ? QBrush(lampGreen) : QBrush(Qt::NoBrush));
            p.drawEllipse(centre, dot, dot);
        }
    }
}
} // namespace

QImage makeWindowIcon(int size)
{
    QImage image(size, size, QImage::Format_RGB888);
    image.fill(navy);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit canvas, so every size is the same picture.
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(orange, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    drawGrid(p, QRectF(3, 3, 26, 26), 2.4);
    return image;
}

QImage makeLogo()
{
    QImage image(190, 50, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 50);
    sky.setColorAt(0, QColor(0x20, 0x28, 0x90));
    sky.setColorAt(1, navy);
    p.fillRect(image.rect(), sky);
    drawGrid(p, QRectF(6, 5, 40, 40), 3.2);
    QFont name(QStringLiteral("Arial"));
    name.setPixelSize(22);
    name.setBold(true);
    p.setFont(name);
    p.setPen(orange);
    p.drawText(QRect(54, 3, 132, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VARNOK"));
    QFont tagline(QStringLiteral("Arial"));
    tagline.setPixelSize(10);
    p.setFont(tagline);
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    p.drawText(QRect(54, 30, 132, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("HDMI MATRIX 4 x 4"));
    return image;
}

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
