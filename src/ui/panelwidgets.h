// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QProxyStyle>
#include <QPushButton>
#include <QWidget>

// A filled shape of the routing panel: a rectangle or a rounded rectangle, with or without an
// outline. It takes no input and no focus.
class PanelShape : public QWidget
{
    Q_OBJECT
public:
    enum class Form { Rectangle, RoundedRectangle };
    PanelShape(Form form, const QColor& fill, const QColor& outline, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form form;
    QColor fill;
    QColor outline; // invalid: no outline
};

// A flat grey routing button. Arrow buttons draw their triangle themselves, so the look does
// not depend on a symbol font being installed. Arrow keys step along the tab order even while
// the button belongs to a QButtonGroup, which would move focus to the neighbour on screen.
class RoutingButton : public QPushButton
{
    Q_OBJECT
public:
    enum class Glyph { Caption, LeftArrow, RightArrow };
    RoutingButton(Glyph glyph, const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Glyph glyph;
};

// Group boxes drawn as an etched rectangle on the window's own background, without the shaded
// panel some styles fill them with.
class EtchedFrameStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
