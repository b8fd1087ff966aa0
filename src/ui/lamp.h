// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>
#include <array>

// A round lamp: lit, its disc is filled with its colour; dark, only the thin ring remains.
class Lamp : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool lit READ isLit WRITE setLit)
public:
    Lamp(const QColor& colour, const QColor& ring, QWidget* parent = nullptr);

    bool isLit() const { return lit; }
    void setLit(bool on);
    QColor colour() const { return fill; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill;
    QColor ringColour;
    bool lit = true;
};

// One output's row of routing lamps, element = input - 1.
using LampRow = std::array<Lamp*, 4>;

// Lights the lamp of `input` (1 to 4) and darkens the other three; any other value leaves the
// row exactly as it was.
void showRoute(const LampRow& row, quint8 input);
