// SPDX-License-Identifier: MIT
#include "portbox.h"

#include "link/comdevice.h"
#include "link/portchoice.h"
#include "ui/designunits.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

using design::placed;
using design::twips;

PortBox::PortBox(PortChoice& portChoice, QWidget* parent)
    : QGroupBox(tr("Com Select"), parent), choice(portChoice)
{
    placed(this, "Frame3", twips(1920, 7080, 1575, 975));
    ports = placed(new QComboBox(this), "Combo1", twips(240, 360, 1095, 345));
    ports->setEditable(true);
    ports->setInsertPolicy(QComboBox::NoInsert);
    ports->setEditText(QStringLiteral("Combo1"));
    connect(ports, &QComboBox::activated, this, &PortBox::choose);
    connect(ports->lineEdit(), &QLineEdit::editingFinished, this, &PortBox::confirmTyped);
    connect(&choice, &PortChoice::listIndexChanged, ports, &QComboBox::setCurrentIndex);
}

PortBox::~PortBox()
{
    // Closing the window moves the focus away from the box, which would confirm its text on a
    // window already half destroyed.
    disconnect(ports->lineEdit(), nullptr, this, nullptr);
}

void PortBox::fill()
{
    for (int n = 1; n <= PortChoice::portCount; ++n)
        ports->addItem(QStringLiteral("COM%1").arg(n));
    ports->setCurrentIndex(-1);
    ports->setEditText(QStringLiteral("Combo1"));
    refreshTooltips();
}

void PortBox::refreshTooltips()
{
    // One look at /dev for all entries: each look compiles its name patterns afresh.
    const QString directory = QDir::currentPath();
    const QStringList adapters = attachedUsbSerialAdapters();
    for (int i = 0; i < PortChoice::portCount && i < ports->count(); ++i)
        ports->setItemData(i, comDevicePath(i + 1, directory, adapters), Qt::ToolTipRole);
    fillStableNames();
}

void PortBox::fillStableNames()
{
    // Devices come and go: the entries after COM10 are what is attached now.
    const QString shown = ports->currentText();
    const int current = ports->currentIndex();
    while (ports->count() > PortChoice::portCount)
        ports->removeItem(ports->count() - 1);
    for (const StableSerialName& name : stableSerialNames()) {
        ports->addItem(name.path);
        ports->setItemData(ports->count() - 1, name.device, Qt::ToolTipRole);
    }
    if (current >= PortChoice::portCount || current < 0) {
        ports->setCurrentIndex(ports->findText(shown));
        if (ports->currentIndex() < 0)
            ports->setEditText(shown);
    }
}

void PortBox::choose(int listIndex)
{
    if (listIndex < PortChoice::portCount) {
        choice.select(listIndex);
        return;
    }
    choice.choose(ports->itemText(listIndex));
    showPortName();
}

void PortBox::showPortName()
{
    if (choice.typedPort().isEmpty())
        return; // the list's selection shows the COM port
    const int entry = ports->findText(choice.typedPort());
    ports->setCurrentIndex(entry);
    if (entry < 0)
        ports->setEditText(choice.typedPort());
}

void PortBox::confirmTyped()
{
    const QString text = ports->currentText().trimmed();
    // Nothing new: the name in use, or the box's own caption before any choice.
    if (text.compare(choice.portName(), Qt::CaseInsensitive) == 0 ||
        (choice.listIndex() < 0 && choice.typedPort().isEmpty() && text == QLatin1String("Combo1")))
        return;
    if (!choice.choose(text)) {
        emit refused(choice.errorString());
        if (choice.listIndex() >= 0)
            ports->setCurrentIndex(choice.listIndex());
        else
            ports->setEditText(choice.typedPort().isEmpty() ? QStringLiteral("Combo1")
                                                            : choice.typedPort());
        return;
    }
    showPortName();
}
