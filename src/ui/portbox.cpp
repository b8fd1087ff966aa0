// SPDX-License-Identifier: MIT
#include "portbox.h"

#include "link/comdevice.h"
#include "link/switchsession.h"
#include "ui/designunits.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

using design::placed;
using design::twips;

PortBox::PortBox(SwitchSession& link, QWidget* parent)
    : QGroupBox(QStringLiteral("Com Select"), parent), session(link)
{
    placed(this, "Frame3", twips(1920, 7080, 1575, 975));
    ports = placed(new QComboBox(this), "Combo1", twips(240, 360, 1095, 345));
    ports->setEditable(true);
    ports->setInsertPolicy(QComboBox::NoInsert);
    ports->setEditText(QStringLiteral("Combo1"));
    connect(ports, &QComboBox::activated, this, &PortBox::choose);
    connect(ports->lineEdit(), &QLineEdit::editingFinished, this, &PortBox::confirmTyped);
    connect(&session, &SwitchSession::listIndexChanged, ports, &QComboBox::setCurrentIndex);
}

PortBox::~PortBox()
{
    // Closing the window moves the focus away from the box, which would confirm its text on a
    // window already half destroyed.
    disconnect(ports->lineEdit(), nullptr, this, nullptr);
}

void PortBox::fill()
{
    for (int n = 1; n <= SwitchSession::portCount; ++n)
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
    for (int i = 0; i < SwitchSession::portCount && i < ports->count(); ++i)
        ports->setItemData(i, comDevicePath(i + 1, directory, adapters), Qt::ToolTipRole);
    fillStableNames();
}

void PortBox::fillStableNames()
{
    // Devices come and go: the entries after COM10 are what is attached now.
    const QString shown = ports->currentText();
    const int current = ports->currentIndex();
    while (ports->count() > SwitchSession::portCount)
        ports->removeItem(ports->count() - 1);
    for (const StableSerialName& name : stableSerialNames()) {
        ports->addItem(name.path);
        ports->setItemData(ports->count() - 1, name.device, Qt::ToolTipRole);
    }
    if (current >= SwitchSession::portCount || current < 0) {
        ports->setCurrentIndex(ports->findText(shown));
        if (ports->currentIndex() < 0)
            ports->setEditText(shown);
    }
}

void PortBox::choose(int listIndex)
{
    if (listIndex < SwitchSession::portCount) {
        session.selectPort(listIndex);
        return;
    }
    session.choosePort(ports->itemText(listIndex));
    showPortName();
}

void PortBox::showPortName()
{
    if (session.typedPort().isEmpty())
        return; // the list's selection shows the COM port
    const int entry = ports->findText(session.typedPort());
    ports->setCurrentIndex(entry);
    if (entry < 0)
        ports->setEditText(session.typedPort());
}

void PortBox::confirmTyped()
{
    const QString text = ports->currentText().trimmed();
    // Nothing new: the name in use, or the box's own caption before any choice.
    if (text.compare(session.portName(), Qt::CaseInsensitive) == 0 ||
        (session.listIndex() < 0 && session.typedPort().isEmpty() &&
         text == QLatin1String("Combo1")))
        return;
    if (!session.choosePort(text)) {
        emit refused(session.errorString());
        if (session.listIndex() >= 0)
            ports->setCurrentIndex(session.listIndex());
        else
            ports->setEditText(session.typedPort().isEmpty() ? QStringLiteral("Combo1")
                                                             : session.typedPort());
        return;
    }
    showPortName();
}
