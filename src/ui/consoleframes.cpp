// SPDX-License-Identifier: MIT
// The main window's frames, where the design puts them (in twips) and named as it names them.
#include "consoleframes.h"

#include "lamp.h"
#include "textpane.h"
#include "ui/designunits.h"

#include <QLabel>
#include <QPushButton>

using design::placed;
using design::twips;

MessageArea::MessageArea(QWidget* parent) : QGroupBox(tr("Message"), parent)
{
    placed(this, "Frame1", twips(120, 240, 5295, 6615));
    auto* receiveLabel =
        placed(new QLabel(tr("Receive"), this), "Label8", twips(240, 240, 735, 375));
    receiveLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    receivePane = placed(new TextPane(this), "Text1", twips(120, 480, 5055, 4335));
    // Replies accumulate for as long as the console runs; keep the newest 1 MiB characters.
    receivePane->setUndoRedoEnabled(false);
    receivePane->setCharacterCap(1 << 20);
    // A device that never ends its line must not make each append lay out the whole line again.
    receivePane->setDisplayLineLimit(1024);
    // The record of the session: selected after every reply, so a typed key would replace it.
    // It can be selected and copied, by mouse and by keyboard; only Clear empties it.
    receivePane->setReadOnly(true);
    receivePane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    networkSettingsButton =
        placed(new QPushButton(tr("Set IP"), this), "Command4", twips(120, 4920, 855, 375));
    utpButton =
        placed(new QPushButton(tr("UTP Set"), this), "Command5", twips(1080, 4920, 915, 375));
    statusButton =
        placed(new QPushButton(tr("Status"), this), "Command6", twips(2880, 4920, 975, 375));
    clearButton =
        placed(new QPushButton(tr("Clear"), this), "Command2", twips(4080, 4920, 975, 375));
    sendBox = placed(new TextPane(this), "Text2", twips(120, 5520, 3855, 975));
    sendButton = placed(new QPushButton(tr("Send"), this), "Command3", twips(4080, 5520, 975, 975));
}

LinkStateBox::LinkStateBox(QWidget* parent) : QGroupBox(tr("Connect State"), parent)
{
    const QColor outline = parent->palette().color(QPalette::WindowText);
    placed(this, "Frame2", twips(120, 7080, 1575, 975));
    connectedLamp = placed(new Lamp(QColor(0x00, 0xFF, 0x00), outline, this), "Shape15",
                           twips(120, 240, 255, 255));
    placed(new QLabel(tr("Connected"), this), "Label6", twips(480, 240, 975, 255));
    disconnectedLamp = placed(new Lamp(QColor(0xFF, 0x00, 0x00), outline, this), "Shape16",
                              twips(120, 600, 255, 255));
    placed(new QLabel(tr("Disconnect"), this), "Label7", twips(480, 600, 975, 255));
}

void LinkStateBox::showOpen(bool open)
{
    connectedLamp->setLit(open);
    disconnectedLamp->setLit(!open);
}
