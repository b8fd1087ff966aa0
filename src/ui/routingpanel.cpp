// SPDX-License-Identifier: MIT
// Nothing of the designed panel changes for a user who names nothing and keeps no presets.
#include "routingpanel.h"

#include "panelwidgets.h"
#include "setupmenu.h"
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

} // namespace

RoutingPanel::RoutingPanel(SwitchSession& link, const QString& workingDirectory, QWidget* window)
    : QWidget(window), setupMenu(new SetupMenu(link, workingDirectory, window))
{
    setGeometry(window->rect());
    build();
    // Input only over the panel: the window's other elements lie under this widget's rectangle.
    setMask(panelArea);
    connect(buttons, &QButtonGroup::idClicked, this, &RoutingPanel::keyPressed);
    connect(setupMenu, &SetupMenu::namesChanged, this, &RoutingPanel::refreshNameTooltips);
    connect(setupMenu, &SetupMenu::note, this, &RoutingPanel::note);
    refreshNameTooltips();
}

RoutingPanel::~RoutingPanel() = default;

bool RoutingPanel::isRecalling() const
{
    return setupMenu->isRecalling();
}

QAbstractButton* RoutingPanel::button(int index) const
{
    return buttons->button(index);
}

QString RoutingPanel::setupProblems() const
{
    return setupMenu->setup().problemSummary();
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
    setupMenu->popup(spot.output, spot.input, event->globalPos());
}

void RoutingPanel::refreshNameTooltips()
{
    for (int output = 1; output <= 4; ++output) {
        const QString outputName = setupMenu->setup().outputName(output);
        const QString row = labelled(tr("Output"), output, outputName);
        const int first = 6 * (output - 1);
        // The arrows move through the inputs: only the output's name says something.
        const QString arrowTip = outputName.isEmpty() ? QString() : row + QStringLiteral(": ");
        buttons->button(first)->setToolTip(arrowTip.isEmpty() ? arrowTip
                                                              : arrowTip + tr("previous input"));
        buttons->button(first + 1)->setToolTip(arrowTip.isEmpty() ? arrowTip
                                                                  : arrowTip + tr("next input"));
        for (int input = 1; input <= 4; ++input) {
            const QString inputName = setupMenu->setup().inputName(input);
            const QString tip =
                outputName.isEmpty() && inputName.isEmpty()
                    ? QString()
                    : row + QStringLiteral(": ") + labelled(tr("input"), input, inputName);
            buttons->button(first + 1 + input)->setToolTip(tip);
            lamps[output - 1][input - 1]->setToolTip(tip);
        }
    }
}
