// SPDX-License-Identifier: MIT
#pragma once

// The main window's elements, found by the names a user sees (see elements.h).
#include "elements.h"
#include "ui/lamp.h"
#include "ui/textpane.h"

#include <QComboBox>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QWidget>

inline TextPane* receivePane(const QWidget& window)
{
    return element<TextPane>(&window, "Text1");
}
inline TextPane* sendBox(const QWidget& window)
{
    return element<TextPane>(&window, "Text2");
}
inline QPushButton* clearButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command2");
}
inline QPushButton* sendButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command3");
}
inline QPushButton* networkSettingsButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command4");
}
inline QPushButton* utpButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command5");
}
inline QPushButton* statusButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command6");
}
inline QPushButton* linkButton(const QWidget& window)
{
    return element<QPushButton>(&window, "Command7");
}
inline QComboBox* portList(const QWidget& window)
{
    return element<QComboBox>(&window, "Combo1");
}
inline Lamp* connectedLamp(const QWidget& window)
{
    return element<Lamp>(&window, "Shape15");
}
inline Lamp* disconnectedLamp(const QWidget& window)
{
    return element<Lamp>(&window, "Shape16");
}
inline QLabel* logo(const QWidget& window)
{
    return element<QLabel>(&window, "Image1");
}

// Key `index` (0 to 23): per output, left arrow, right arrow, inputs 1 to 4.
inline QPushButton* routingButton(const QWidget& window, int index)
{
    return element<QPushButton>(&window, "Command1", index);
}

inline QList<QPushButton*> routingButtons(const QWidget& window)
{
    QList<QPushButton*> buttons;
    for (int index = 0; index < 24; ++index)
        buttons << routingButton(window, index);
    return buttons;
}

// The lamp of input `input` in the row of output `output`, both counted from 0.
inline Lamp* routingLamp(const QWidget& window, int output, int input)
{
    static const char* const rows[4] = {"Shape17", "Shape18", "Shape19", "Shape20"};
    return element<Lamp>(&window, rows[output], input);
}

// All 16, output by output.
inline QList<Lamp*> routingLamps(const QWidget& window)
{
    QList<Lamp*> lamps;
    for (int output = 0; output < 4; ++output)
        for (int input = 0; input < 4; ++input)
            lamps << routingLamp(window, output, input);
    return lamps;
}
