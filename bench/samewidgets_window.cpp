// SPDX-License-Identifier: MIT
// The reference for the console's start-up and memory on a real display: the plainest stock Qt
// Widgets program that builds the main window's widgets (the same kinds and number, geometry,
// fonts, texts and colours) with no code of the console. Lamps and panels are plain widgets with
// the simplest paint, the logo a pixmap with its two lines of text, the routing buttons flat
// QPushButtons whose face comes from their palette (the arrows without a glyph), the frames the
// style's own. Same first-paint probe as the others.
#include "firstpaint.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QFont arial(qreal points, bool bold = false, bool italic = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

const QColor navy(0x00, 0x00, 0x80);
const QColor grey(0x80, 0x80, 0x80);
const QColor orange(0xFF, 0x80, 0x00);

// A lamp or a panel: one filled outline.
class Shape : public QWidget
{
public:
    enum Form { Ellipse, Rectangle, Rounded };
    Shape(Form shapeForm, const QColor& fillColour, const QColor& outlineColour, QWidget* parent,
          const QRect& geometry)
        : QWidget(parent), form(shapeForm), fill(fillColour), outline(outlineColour)
    {
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(outline.isValid() ? QPen(outline) : QPen(Qt::NoPen));
        p.setBrush(fill.isValid() ? QBrush(fill) : QBrush());
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        if (form == Ellipse)
            p.drawEllipse(r);
        else if (form == Rectangle)
            p.drawRect(r);
        else
            p.drawRoundedRect(r, std::min(r.width(), r.height()) / 6,
                              std::min(r.width(), r.height()) / 6);
    }

private:
    Form form;
    QColor fill, outline;
};

template <typename W> W* at(W* widget, const QRect& geometry)
{
    widget->setGeometry(geometry);
    return widget;
}

QPixmap logo()
{
    QPixmap pixmap(190, 50);
    pixmap.fill(navy);
    QPainter p(&pixmap);
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
    return pixmap;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("MATRIX 4X4 V2.1"));
    QPixmap icon(32, 32);
    icon.fill(navy);
    window.setWindowIcon(icon);
    window.setFixedSize(645, 554);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Button, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    window.setPalette(palette);
    window.setFont(arial(9));
    window.setAutoFillBackground(true);

    // The message area.
    auto* message = at(new QGroupBox(QStringLiteral("Message"), &window), {8, 16, 353, 441});
    at(new QLabel(QStringLiteral("Receive"), message), {16, 16, 49, 25});
    auto* receive = at(new QPlainTextEdit(message), {8, 32, 337, 289});
    receive->setReadOnly(true);
    receive->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    at(new QPushButton(QStringLiteral("Set IP"), message), {8, 328, 57, 25});
    at(new QPushButton(QStringLiteral("UTP Set"), message), {72, 328, 61, 25});
    at(new QPushButton(QStringLiteral("Status"), message), {192, 328, 65, 25});
    at(new QPushButton(QStringLiteral("Clear"), message), {272, 328, 65, 25});
    at(new QPlainTextEdit(message), {8, 368, 257, 65})
        ->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    at(new QPushButton(QStringLiteral("Send"), message), {272, 368, 65, 65});

    // The bottom area.
    auto* state = at(new QGroupBox(QStringLiteral("Connect State"), &window), {8, 472, 105, 65});
    new Shape(Shape::Ellipse, Qt::green, Qt::black, state, {8, 16, 17, 17});
    at(new QLabel(QStringLiteral("Connected"), state), {32, 16, 65, 17});
    new Shape(Shape::Ellipse, {}, Qt::black, state, {8, 40, 17, 17});
    at(new QLabel(QStringLiteral("Disconnect"), state), {32, 40, 65, 17});
    auto* select = at(new QGroupBox(QStringLiteral("Com Select"), &window), {128, 472, 105, 65});
    auto* ports = at(new QComboBox(select), {16, 24, 73, 23});
    ports->setEditable(true);
    for (int n = 1; n <= 10; ++n)
        ports->addItem(QStringLiteral("COM%1").arg(n));
    at(new QPushButton(QStringLiteral("Disconnect"), &window), {248, 480, 113, 57});
    at(new QLabel(&window), {424, 496, 190, 50})->setPixmap(logo());

    // The routing panel, back to front.
    new Shape(Shape::Rounded, grey, Qt::black, &window, {392, 24, 241, 465});
    for (int row = 0; row < 4; ++row)
        new Shape(Shape::Rounded, navy, {}, &window, {408, 40 + 104 * row, 161, 97});
    static constexpr int jointLeft[4] = {560, 560, 552, 544};
    for (int row = 0; row < 4; ++row) {
        new Shape(Shape::Rectangle, navy, {}, &window,
                  {jointLeft[row], 40 + 104 * row + (row == 0 ? 16 : 24), 33, 49});
        new Shape(Shape::Rounded, navy, {}, &window, {544, 72 + 104 * row, 73, 65});
    }
    for (int row = 0; row < 4; ++row)
        new Shape(Shape::Rounded, grey, {}, &window, {568, 32 + 104 * row, 41, 41});
    QPalette numberPalette = palette;
    numberPalette.setColor(QPalette::WindowText, navy);
    for (int row = 0; row < 4; ++row) {
        auto* number =
            at(new QLabel(QString::number(row + 1), &window), {584, 40 + 104 * row, 25, 33});
        number->setFont(arial(21.75, true, true));
        number->setPalette(numberPalette);
        for (int input = 0; input < 4; ++input)
            new Shape(Shape::Ellipse, {}, QColor(0xF0, 0xF0, 0xF0), &window,
                      {432 + 48 * input, 80 + 104 * row, 17, 17});
    }
    auto* model = at(new QLabel(QStringLiteral("VARNOK"), &window), {428, 456, 177, 25});
    model->setFont(arial(15, true));
    model->setAutoFillBackground(true);
    QPalette modelPalette = palette;
    modelPalette.setColor(QPalette::WindowText, orange);
    modelPalette.setColor(QPalette::Window, grey);
    model->setPalette(modelPalette);

    QPalette buttonPalette = palette;
    buttonPalette.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
    static constexpr int inputLeft[4] = {416, 464, 520, 568};
    QPushButton* first = nullptr;
    for (int row = 0; row < 4; ++row) {
        QList<QPushButton*> buttons{at(new QPushButton(&window), {464, 48 + 104 * row, 41, 25}),
                                    at(new QPushButton(&window), {520, 48 + 104 * row, 41, 25})};
        for (int input = 0; input < 4; ++input)
            buttons << at(new QPushButton(QString::number(input + 1), &window),
                          {inputLeft[input], 104 + 104 * row, 41, 25});
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            buttons[i]->setFlat(true);
            buttons[i]->setAutoFillBackground(true);
            buttons[i]->setPalette(buttonPalette);
            buttons[i]->setFont(arial(i < 2 ? 18 : 15.75, true));
        }
        if (!first)
            first = buttons.front();
    }
    first->setFocus();

    bench::FirstPaintProbe probe(window);
    window.show();
    return QApplication::exec();
}
