// SPDX-License-Identifier: MIT
// The routing panel's menu: recalling and saving presets, naming outputs and inputs, and the
// tooltips that show those names. Nothing of the designed window changes for a user who names
// nothing.
#include "link/matrixsetup.h"
#include "link/switchsession.h"
#include "mainwindow.h"
#include "presetdialogs.h"
#include "textpane.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

namespace {

QString labelled(const QString& what, int number, const QString& name)
{
    const QString text = QStringLiteral("%1 %2").arg(what).arg(number);
    return name.isEmpty() ? text : QStringLiteral("%1 \"%2\"").arg(text, name);
}

// "&" would underline the next letter in a menu.
QString menuText(const QString& text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

} // namespace

MainWindow::PanelSpot MainWindow::spotOfButton(const QWidget* widget) const
{
    const int index =
        routingButtons->id(qobject_cast<QAbstractButton*>(const_cast<QWidget*>(widget)));
    if (index < 0)
        return {};
    const int position = index % 6; // 0, 1: arrows; 2 to 5: inputs 1 to 4
    return {true, index / 6 + 1, position >= 2 ? position - 1 : 0};
}

MainWindow::PanelSpot MainWindow::spotAt(const QPoint& position) const
{
    if (const PanelSpot button = spotOfButton(childAt(position)); button.onPanel)
        return button;
    for (int output = 1; output <= 4; ++output) {
        for (int input = 1; input <= 4; ++input) {
            if (routingLamps[output - 1][input - 1]->geometry().contains(position))
                return {true, output, input};
        }
    }
    for (int output = 1; output <= 4; ++output) {
        if (routingRowAreas[output - 1].contains(position))
            return {true, output, 0};
    }
    return {routingPanelArea.contains(position), 0, 0};
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // The routing buttons raise their own event for the Menu key and Shift+F10; one a desktop
    // raises for the Menu key as well would open the menu twice.
    if (event->reason() == QContextMenuEvent::Keyboard && event->spontaneous()) {
        event->accept();
        return;
    }
    const PanelSpot spot = event->reason() == QContextMenuEvent::Keyboard
                               ? spotOfButton(focusWidget())
                               : spotAt(event->pos());
    if (!spot.onPanel) {
        event->ignore();
        return;
    }
    event->accept();
    showRoutingMenu(spot, event->globalPos());
}

std::optional<Routing> MainWindow::litRouting() const
{
    Routing routing{};
    for (int output = 0; output < 4; ++output) {
        for (int input = 0; input < 4; ++input) {
            if (routingLamps[output][input]->isLit())
                routing[output] = input + 1;
        }
        if (routing[output] == 0)
            return std::nullopt;
    }
    return routing;
}

void MainWindow::showRoutingMenu(const PanelSpot& spot, const QPoint& globalPosition)
{
    setup->reload(); // another program over this folder may have changed it
    refreshNameTooltips();
    delete routingMenu;
    routingMenu = new QMenu(this);
    routingMenu->setObjectName(QStringLiteral("routingMenu"));
    routingMenu->setAttribute(Qt::WA_DeleteOnClose);

    QMenu* recallMenu = routingMenu->addMenu(tr("&Recall"));
    recallMenu->setObjectName(QStringLiteral("recallMenu"));
    recallMenu->menuAction()->setObjectName(QStringLiteral("recallAction"));
    const QList<Preset> presets = setup->presets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        const QString name = presets[i].name;
        QAction* action =
            recallMenu->addAction(menuText(name), this, [this, name] { recallPreset(name); });
        action->setObjectName(QStringLiteral("recallPreset_%1").arg(i + 1));
    }
    recallMenu->setEnabled(!presets.isEmpty() && link->isOpen() && !recaller->isRunning());

    QAction* save = routingMenu->addAction(tr("&Save current routing as..."), this,
                                           &MainWindow::askForPresetName);
    save->setObjectName(QStringLiteral("saveRoutingAction"));
    save->setEnabled(litRouting().has_value());
    routingMenu->addSeparator();

    const int output = spot.output;
    QAction* nameOutput = routingMenu->addAction(tr("Name this &output..."), this,
                                                 [this, output] { askForName(true, output); });
    nameOutput->setObjectName(QStringLiteral("nameOutputAction"));
    nameOutput->setEnabled(output != 0);
    if (spot.input != 0) {
        const int input = spot.input;
        routingMenu
            ->addAction(tr("Name this &input..."), this,
                        [this, input] { askForName(false, input); })
            ->setObjectName(QStringLiteral("nameInputAction"));
    }
    routingMenu->addSeparator();
    routingMenu->addAction(tr("&Manage presets..."), this, &MainWindow::openPresetManager)
        ->setObjectName(QStringLiteral("managePresetsAction"));
    routingMenu->popup(globalPosition);
}

void MainWindow::refreshNameTooltips()
{
    for (int output = 1; output <= 4; ++output) {
        const QString outputName = setup->outputName(output);
        const QString row = labelled(tr("Output"), output, outputName);
        const int first = 6 * (output - 1);
        // The arrows move through the inputs: only the output's name says something.
        const QString arrowTip = outputName.isEmpty() ? QString() : row + QStringLiteral(": ");
        routingButtons->button(first)->setToolTip(
            arrowTip.isEmpty() ? arrowTip : arrowTip + tr("previous input"));
        routingButtons->button(first + 1)->setToolTip(
            arrowTip.isEmpty() ? arrowTip : arrowTip + tr("next input"));
        for (int input = 1; input <= 4; ++input) {
            const QString inputName = setup->inputName(input);
            const QString tip =
                outputName.isEmpty() && inputName.isEmpty()
                    ? QString()
                    : row + QStringLiteral(": ") + labelled(tr("input"), input, inputName);
            routingButtons->button(first + 1 + input)->setToolTip(tip);
            routingLamps[output - 1][input - 1]->setToolTip(tip);
        }
    }
}

void MainWindow::askForName(bool output, int index)
{
    const QString what = output ? tr("output") : tr("input");
    const QString current = output ? setup->outputName(index) : setup->inputName(index);
    auto* dialog =
        new NameDialog(tr("Name %1 %2").arg(what).arg(index),
                       tr("Name of %1 %2 (empty for none):").arg(what).arg(index), current, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, output, index] {
        const bool saved = output ? setup->setOutputName(index, dialog->name())
                                  : setup->setInputName(index, dialog->name());
        if (!saved) {
            appendLine(setup->errorString());
            receivePane->selectAllToEnd();
        }
        refreshNameTooltips();
    });
    dialog->open();
}

void MainWindow::askForPresetName()
{
    const std::optional<Routing> routing = litRouting();
    if (!routing)
        return;
    const Routing kept = *routing;
    auto* dialog = new NameDialog(
        tr("Save routing"), tr("Preset name for %1:").arg(MatrixSetup::routingText(kept)),
        QString(), this, [this](const QString& typed) {
            return setup->findPreset(typed) && setup->findPreset(typed)->name == typed
                       ? tr("Replaces the preset of this name.")
                       : QString();
        });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, kept] {
        if (!setup->savePreset(dialog->name(), kept)) {
            appendLine(setup->errorString());
            receivePane->selectAllToEnd();
        }
    });
    dialog->open();
}

void MainWindow::openPresetManager()
{
    auto* dialog = new PresetManagerDialog(*setup, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PresetManagerDialog::recallRequested, this, &MainWindow::recallPreset);
    dialog->open();
}

void MainWindow::recallPreset(const QString& name)
{
    const std::optional<Preset> preset = setup->findPreset(name);
    QString refusal;
    if (!preset)
        refusal = tr("Preset \"%1\" is no longer there.").arg(name);
    else if (!link->isOpen())
        refusal = tr("Preset \"%1\" not recalled: the port is closed.").arg(name);
    else if (!recaller->recall(*preset, litRouting()))
        refusal = tr("Preset \"%1\" not recalled: another recall is running.").arg(name);
    if (refusal.isEmpty())
        return;
    appendLine(refusal);
    receivePane->selectAllToEnd();
}

void MainWindow::reportRecall(const PresetRecall::Result& result)
{
    const QString note = PresetRecall::describe(result);
    if (note.isEmpty())
        return;
    // After the lines of the report that ended the recall, which is being handled now.
    QTimer::singleShot(0, this, [this, note] {
        appendLine(note);
        receivePane->selectAllToEnd();
    });
}
