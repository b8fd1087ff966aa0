// SPDX-License-Identifier: MIT
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>

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
