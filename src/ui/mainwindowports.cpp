// SPDX-License-Identifier: MIT
// The port box of the main window: COM1 to COM10, the serial devices by their stable names, and
// whatever port the user types.
#include "link/comdevice.h"
#include "link/matrixsetup.h"
#include "link/portchoice.h"
#include "link/switchsession.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>

void MainWindow::startUp()
{
    // What a hand-edited varnok.conf holds that cannot be used: said once, without a box.
    if (const QString problems = setup->problemSummary(); !problems.isEmpty())
        appendLine(problems);
    if (const QString problem = link->logProblem(); !problem.isEmpty())
        appendLine(problem);
    for (int n = 1; n <= PortChoice::portCount; ++n)
        portList->addItem(QStringLiteral("COM%1").arg(n));
    portList->setCurrentIndex(-1);
    portList->setEditText(QStringLiteral("Combo1"));
    refreshPortTooltips();
    choice->restore();
    const bool opened = link->startUp();
    showPortName();
    if (!opened) {
        linkButton->setToolTip(link->errorString());
        showPortFailure();
    }
    showLinkState(link->isOpen());
}

void MainWindow::refreshPortTooltips()
{
    // One look at /dev for all entries: each look compiles its name patterns afresh.
    const QString directory = QDir::currentPath();
    const QStringList adapters = attachedUsbSerialAdapters();
    for (int i = 0; i < PortChoice::portCount && i < portList->count(); ++i)
        portList->setItemData(i, comDevicePath(i + 1, directory, adapters), Qt::ToolTipRole);
    fillStableNames();
}

void MainWindow::fillStableNames()
{
    // Devices come and go: the entries after COM10 are what is attached now.
    const QString shown = portList->currentText();
    const int current = portList->currentIndex();
    while (portList->count() > PortChoice::portCount)
        portList->removeItem(portList->count() - 1);
    for (const StableSerialName& name : stableSerialNames()) {
        portList->addItem(name.path);
        portList->setItemData(portList->count() - 1, name.device, Qt::ToolTipRole);
    }
    if (current >= PortChoice::portCount || current < 0) {
        portList->setCurrentIndex(portList->findText(shown));
        if (portList->currentIndex() < 0)
            portList->setEditText(shown);
    }
}

void MainWindow::choosePort(int listIndex)
{
    if (listIndex < PortChoice::portCount) {
        choice->select(listIndex);
        return;
    }
    choice->choose(portList->itemText(listIndex));
    showPortName();
}

void MainWindow::showPortName()
{
    if (choice->typedPort().isEmpty())
        return; // the list's selection shows the COM port
    const int entry = portList->findText(choice->typedPort());
    portList->setCurrentIndex(entry);
    if (entry < 0)
        portList->setEditText(choice->typedPort());
}

void MainWindow::confirmTypedPort()
{
    const QString text = portList->currentText().trimmed();
    // Nothing new: the name in use, or the box's own caption before any choice.
    if (text.compare(choice->portName(), Qt::CaseInsensitive) == 0 ||
        (choice->listIndex() < 0 && choice->typedPort().isEmpty() &&
         text == QLatin1String("Combo1")))
        return;
    if (!choice->choose(text)) {
        appendLine(choice->errorString());
        if (choice->listIndex() >= 0)
            portList->setCurrentIndex(choice->listIndex());
        else
            portList->setEditText(choice->typedPort().isEmpty() ? QStringLiteral("Combo1")
                                                                : choice->typedPort());
        return;
    }
    showPortName();
}
