// SPDX-License-Identifier: MIT
// Nothing of the designed panel changes for a user who names nothing and keeps no presets.
#include "routingpanel.h"

#include "link/matrixsetup.h"
#include "link/switchsession.h"
#include "panelwidgets.h"
#include "presetdialogs.h"
#include "ui/designlook.h"
#include "ui/designunits.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

using design::arial;
using design::elementName;
using design::placed;
using design::twips;

namespace {

const QColor panelGrey(0x80, 0x80, 0x80);
const QColor navy(0x00, 0x00, 0x80);
const QColor lampGreen(0x00, 0xFF, 0x00);

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

RoutingPanel::RoutingPanel(SwitchSession& link, const QString& workingDirectory, QWidget* window)
    : QWidget(window), session(link), setup(std::make_unique<MatrixSetup>(workingDirectory)),
      recaller(new PresetRecall(link, this))
{
    setGeometry(window->rect());
    build();
    // Input only over the panel: the window's other elements lie under this widget's rectangle.
    setMask(panelArea);
    connect(buttons, &QButtonGroup::idClicked, this, &RoutingPanel::keyPressed);
    connect(recaller, &PresetRecall::finished, this, &RoutingPanel::reportRecall);
    refreshNameTooltips();
}

RoutingPanel::~RoutingPanel() = default;

QAbstractButton* RoutingPanel::button(int index) const
{
    return buttons->button(index);
}

QString RoutingPanel::setupProblems() const
{
    return setup->problemSummary();
}

void RoutingPanel::showRoute(int output, int input)
{
    if (output < 1 || output > 4 || input < 1 || input > 4)
        return;
    ::showRoute(lamps[output - 1], static_cast<quint8>(input));
}

void RoutingPanel::darken()
{
    for (const LampRow& row : lamps)
        for (Lamp* lamp : row)
            lamp->setLit(false);
}

void RoutingPanel::build()
{
    const QColor outline = palette().color(QPalette::WindowText);
    // The ring of a dark routing lamp must show on the navy panel.
    const QColor lampRing = palette().color(QPalette::Button);
    panelArea = twips(5880, 360, 3615, 6975);
    placed(new PanelShape(PanelShape::Form::RoundedRectangle, panelGrey, outline, this), "Shape1",
           panelArea);

    // Per output row, top to bottom.
    static constexpr const char* extensionNames[4] = {"Shape6", "Shape3", "Shape9", "Shape12"};
    static constexpr const char* jointNames[4] = {"Shape7", "Shape4", "Shape10", "Shape13"};
    static constexpr const char* badgeNames[4] = {"Shape8", "Shape5", "Shape11", "Shape14"};
    static constexpr const char* numberNames[4] = {"Label2", "Label1", "Label3", "Label4"};
    static constexpr const char* lampArrays[4] = {"Shape17", "Shape18", "Shape19", "Shape20"};
    static constexpr int jointLeft[4] = {8400, 8400, 8280, 8160};
    static constexpr int inputLeft[4] = {6240, 6960, 7800, 8520};
    const auto rowTop = [](int row) { return 600 + 1560 * row; };

    // Back to front: row panels, joints and extensions, badges, numbers and lamps, buttons.
    for (int row = 0; row < 4; ++row) {
        auto* panel = new PanelShape(PanelShape::Form::RoundedRectangle, navy, {}, this);
        placed(panel, "", twips(6120, rowTop(row), 2415, 1455));
        panel->setObjectName(elementName("Shape2", row));
        // From the left of the row panel to the right of the extension, the badge included.
        rowAreas[row] = twips(6120, rowTop(row) - 120, 3135, 1575);
    }
    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        placed(new PanelShape(PanelShape::Form::Rectangle, navy, {}, this), jointNames[row],
               twips(jointLeft[row], t + (row == 0 ? 240 : 360), 495, 735));
        placed(new PanelShape(PanelShape::Form::RoundedRectangle, navy, {}, this),
               extensionNames[row], twips(8160, t + 480, 1095, 975));
    }
    for (int row = 0; row < 4; ++row)
        placed(new PanelShape(PanelShape::Form::RoundedRectangle, panelGrey, {}, this),
               badgeNames[row], twips(8520, rowTop(row) - 120, 615, 615));
    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        auto* number = placed(new QLabel(QString::number(row + 1), this), numberNames[row],
                              twips(8760, t, 375, 495));
        number->setFont(arial(21.75, true, true));
        QPalette pal = number->palette();
        pal.setColor(QPalette::WindowText, navy);
        number->setPalette(pal);
        number->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        for (int input = 0; input < 4; ++input) {
            auto* lamp = new Lamp(lampGreen, lampRing, this);
            lamp->setObjectName(elementName(lampArrays[row], input));
            lamp->setGeometry(twips(6480 + 720 * input, t + 600, 255, 255));
            lamp->setLit(false);
            lamps[row][input] = lamp;
        }
    }
    auto* model =
        placed(new QLabel(QStringLiteral("VARNOK"), this), "Label5", twips(6420, 6840, 2655, 375));
    model->setFont(arial(15, true));
    model->setAutoFillBackground(true);
    QPalette modelPalette = model->palette();
    modelPalette.setColor(QPalette::WindowText, QColor(0xFF, 0x80, 0x00));
    modelPalette.setColor(QPalette::Window, panelGrey);
    model->setPalette(modelPalette);

    buttons = new QButtonGroup(this);
    buttons->setExclusive(false);
    const auto add = [this](RoutingButton* button, int index, const QRect& geometry) {
        button->setGeometry(geometry);
        buttons->addButton(button, index);
    };
    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        const int first = 6 * row;
        add(new RoutingButton(RoutingButton::Glyph::LeftArrow, {}, this), first,
            twips(6960, t + 120, 615, 375));
        add(new RoutingButton(RoutingButton::Glyph::RightArrow, {}, this), first + 1,
            twips(7800, t + 120, 615, 375));
        for (int input = 0; input < 4; ++input)
            add(new RoutingButton(RoutingButton::Glyph::Caption, QString::number(input + 1), this),
                first + 2 + input, twips(inputLeft[input], t + 960, 615, 375));
    }
    for (int i = 0; i < 24; ++i) {
        QAbstractButton* button = buttons->button(i);
        button->setObjectName(elementName("Command1", i));
        button->setFont(arial(i % 6 < 2 ? 18 : 15.75, true));
        button->raise();
    }
}

RoutingPanel::Spot RoutingPanel::spotOfButton(const QWidget* widget) const
{
    const int index = buttons->id(qobject_cast<QAbstractButton*>(const_cast<QWidget*>(widget)));
    if (index < 0)
        return {};
    const int position = index % 6; // 0, 1: arrows; 2 to 5: inputs 1 to 4
    return {true, index / 6 + 1, position >= 2 ? position - 1 : 0};
}

RoutingPanel::Spot RoutingPanel::spotAt(const QPoint& position) const
{
    if (const Spot button = spotOfButton(childAt(position)); button.onPanel)
        return button;
    for (int output = 1; output <= 4; ++output) {
        for (int input = 1; input <= 4; ++input) {
            if (lamps[output - 1][input - 1]->geometry().contains(position))
                return {true, output, input};
        }
    }
    for (int output = 1; output <= 4; ++output) {
        if (rowAreas[output - 1].contains(position))
            return {true, output, 0};
    }
    return {panelArea.contains(position), 0, 0};
}

void RoutingPanel::contextMenuEvent(QContextMenuEvent* event)
{
    // The routing buttons raise their own event for the Menu key and Shift+F10; one a desktop
    // raises for the Menu key as well would open the menu twice.
    if (event->reason() == QContextMenuEvent::Keyboard && event->spontaneous()) {
        event->accept();
        return;
    }
    const Spot spot = event->reason() == QContextMenuEvent::Keyboard
                          ? spotOfButton(window()->focusWidget())
                          : spotAt(event->pos());
    if (!spot.onPanel) {
        event->ignore();
        return;
    }
    event->accept();
    showMenu(spot, event->globalPos());
}

void RoutingPanel::showMenu(const Spot& spot, const QPoint& globalPosition)
{
    setup->reload(); // another program over this folder may have changed it
    refreshNameTooltips();
    delete menu;
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("routingMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);

    QMenu* recallMenu = menu->addMenu(tr("&Recall"));
    recallMenu->setObjectName(QStringLiteral("recallMenu"));
    recallMenu->menuAction()->setObjectName(QStringLiteral("recallAction"));
    const QList<Preset> presets = setup->presets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        const QString name = presets[i].name;
        QAction* action =
            recallMenu->addAction(menuText(name), this, [this, name] { recallPreset(name); });
        action->setObjectName(QStringLiteral("recallPreset_%1").arg(i + 1));
    }
    recallMenu->setEnabled(!presets.isEmpty() && session.isOpen() && !recaller->isRunning());

    QAction* save =
        menu->addAction(tr("&Save current routing as..."), this, &RoutingPanel::askForPresetName);
    save->setObjectName(QStringLiteral("saveRoutingAction"));
    save->setEnabled(session.reportedRouting().has_value());
    menu->addSeparator();

    const int output = spot.output;
    QAction* nameOutput = menu->addAction(tr("Name this &output..."), this,
                                          [this, output] { askForName(true, output); });
    nameOutput->setObjectName(QStringLiteral("nameOutputAction"));
    nameOutput->setEnabled(output != 0);
    if (spot.input != 0) {
        const int input = spot.input;
        menu->addAction(tr("Name this &input..."), this,
                        [this, input] { askForName(false, input); })
            ->setObjectName(QStringLiteral("nameInputAction"));
    }
    menu->addSeparator();
    menu->addAction(tr("&Manage presets..."), this, &RoutingPanel::openPresetManager)
        ->setObjectName(QStringLiteral("managePresetsAction"));
    menu->popup(globalPosition);
}

void RoutingPanel::refreshNameTooltips()
{
    for (int output = 1; output <= 4; ++output) {
        const QString outputName = setup->outputName(output);
        const QString row = labelled(tr("Output"), output, outputName);
        const int first = 6 * (output - 1);
        // The arrows move through the inputs: only the output's name says something.
        const QString arrowTip = outputName.isEmpty() ? QString() : row + QStringLiteral(": ");
        buttons->button(first)->setToolTip(arrowTip.isEmpty() ? arrowTip
                                                              : arrowTip + tr("previous input"));
        buttons->button(first + 1)->setToolTip(arrowTip.isEmpty() ? arrowTip
                                                                  : arrowTip + tr("next input"));
        for (int input = 1; input <= 4; ++input) {
            const QString inputName = setup->inputName(input);
            const QString tip =
                outputName.isEmpty() && inputName.isEmpty()
                    ? QString()
                    : row + QStringLiteral(": ") + labelled(tr("input"), input, inputName);
            buttons->button(first + 1 + input)->setToolTip(tip);
            lamps[output - 1][input - 1]->setToolTip(tip);
        }
    }
}

void RoutingPanel::askForName(bool output, int index)
{
    const QString what = output ? tr("output") : tr("input");
    const QString current = output ? setup->outputName(index) : setup->inputName(index);
    auto* dialog = new NameDialog(tr("Name %1 %2").arg(what).arg(index),
                                  tr("Name of %1 %2 (empty for none):").arg(what).arg(index),
                                  current, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, output, index] {
        const bool saved = output ? setup->setOutputName(index, dialog->name())
                                  : setup->setInputName(index, dialog->name());
        if (!saved)
            emit note(setup->errorString());
        refreshNameTooltips();
    });
    dialog->open();
}

void RoutingPanel::askForPresetName()
{
    const std::optional<Routing> routing = session.reportedRouting();
    if (!routing)
        return;
    const Routing kept = *routing;
    auto* dialog = new NameDialog(
        tr("Save routing"), tr("Preset name for %1:").arg(MatrixSetup::routingText(kept)),
        QString(), window(), [this](const QString& typed) {
            return setup->findPreset(typed) && setup->findPreset(typed)->name == typed
                       ? tr("Replaces the preset of this name.")
                       : QString();
        });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, kept] {
        if (!setup->savePreset(dialog->name(), kept))
            emit note(setup->errorString());
    });
    dialog->open();
}

void RoutingPanel::openPresetManager()
{
    auto* dialog = new PresetManagerDialog(*setup, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PresetManagerDialog::recallRequested, this, &RoutingPanel::recallPreset);
    dialog->open();
}

void RoutingPanel::recallPreset(const QString& name)
{
    const std::optional<Preset> preset = setup->findPreset(name);
    QString refusal;
    if (!preset)
        refusal = tr("Preset \"%1\" is no longer there.").arg(name);
    else if (!session.isOpen())
        refusal = tr("Preset \"%1\" not recalled: the port is closed.").arg(name);
    else if (!recaller->recall(*preset, session.reportedRouting()))
        refusal = tr("Preset \"%1\" not recalled: another recall is running.").arg(name);
    if (!refusal.isEmpty())
        emit note(refusal);
}

void RoutingPanel::reportRecall(const PresetRecall::Result& result)
{
    const QString note = PresetRecall::describe(result);
    if (note.isEmpty())
        return;
    // After the lines of the report that ended the recall, which is being handled now.
    QTimer::singleShot(0, this, [this, note] { emit this->note(note); });
}
