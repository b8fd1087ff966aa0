// SPDX-License-Identifier: MIT
// The main window's elements, where the design puts them (in twips) and named as it names them.
#include "mainwindow.h"

#include "artwork.h"
#include "panelwidgets.h"
#include "textpane.h"
#include "ui/designlook.h"
#include "ui/designunits.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using design::arial;
using design::elementName;
using design::placed;
using design::twips;

namespace {

const QColor panelGrey(0x80, 0x80, 0x80);
const QColor navy(0x00, 0x00, 0x80);
const QColor lampGreen(0x00, 0xFF, 0x00);
const QColor lampRed(0xFF, 0x00, 0x00);

} // namespace

void MainWindow::buildMessageArea()
{
    messageFrame =
        placed(new QGroupBox(tr("Message"), this), "Frame1", twips(120, 240, 5295, 6615));
    auto* receiveLabel =
        placed(new QLabel(tr("Receive"), messageFrame), "Label8", twips(240, 240, 735, 375));
    receiveLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    receivePane = placed(new TextPane(messageFrame), "Text1", twips(120, 480, 5055, 4335));
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
        placed(new QPushButton(tr("Set IP"), messageFrame), "Command4", twips(120, 4920, 855, 375));
    utpButton = placed(new QPushButton(tr("UTP Set"), messageFrame), "Command5",
                       twips(1080, 4920, 915, 375));
    statusButton = placed(new QPushButton(tr("Status"), messageFrame), "Command6",
                          twips(2880, 4920, 975, 375));
    clearButton =
        placed(new QPushButton(tr("Clear"), messageFrame), "Command2", twips(4080, 4920, 975, 375));
    sendBox = placed(new TextPane(messageFrame), "Text2", twips(120, 5520, 3855, 975));
    sendButton =
        placed(new QPushButton(tr("Send"), messageFrame), "Command3", twips(4080, 5520, 975, 975));
}

void MainWindow::buildLinkArea()
{
    const QColor outline = palette().color(QPalette::WindowText);
    linkStateFrame =
        placed(new QGroupBox(tr("Connect State"), this), "Frame2", twips(120, 7080, 1575, 975));
    connectedLamp =
        placed(new Lamp(lampGreen, outline, linkStateFrame), "Shape15", twips(120, 240, 255, 255));
    placed(new QLabel(tr("Connected"), linkStateFrame), "Label6", twips(480, 240, 975, 255));
    disconnectedLamp =
        placed(new Lamp(lampRed, outline, linkStateFrame), "Shape16", twips(120, 600, 255, 255));
    placed(new QLabel(tr("Disconnect"), linkStateFrame), "Label7", twips(480, 600, 975, 255));

    portFrame =
        placed(new QGroupBox(tr("Com Select"), this), "Frame3", twips(1920, 7080, 1575, 975));
    portList = placed(new QComboBox(portFrame), "Combo1", twips(240, 360, 1095, 345));
    portList->setEditable(true);
    portList->setInsertPolicy(QComboBox::NoInsert);
    portList->setEditText(QStringLiteral("Combo1"));

    linkButton =
        placed(new QPushButton(tr("Connect"), this), "Command7", twips(3720, 7200, 1695, 855));
    auto* logo = placed(new QLabel(this), "Image1", twips(6360, 7440, 2850, 750));
    logo->setPixmap(QPixmap::fromImage(makeLogo()));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void MainWindow::buildRoutingPanel()
{
    const QColor outline = palette().color(QPalette::WindowText);
    // The ring of a dark routing lamp must show on the navy panel.
    const QColor lampRing = palette().color(QPalette::Button);
    routingPanelArea = twips(5880, 360, 3615, 6975);
    placed(new PanelShape(PanelShape::Form::RoundedRectangle, panelGrey, outline, this), "Shape1",
           routingPanelArea);

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
        routingRowAreas[row] = twips(6120, rowTop(row) - 120, 3135, 1575);
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
            routingLamps[row][input] = lamp;
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

    routingButtons = new QButtonGroup(this);
    routingButtons->setExclusive(false);
    const auto add = [this](RoutingButton* button, int index, const QRect& geometry) {
        button->setGeometry(geometry);
        routingButtons->addButton(button, index);
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
        QAbstractButton* button = routingButtons->button(i);
        button->setObjectName(elementName("Command1", i));
        button->setFont(arial(i % 6 < 2 ? 18 : 15.75, true));
        button->raise();
    }
}

void MainWindow::chainTabOrder()
{
    QList<QWidget*> chain{routingButtons->button(0), linkButton};
    for (int i :
         {1, 2, 3, 4, 5, 6, 7, 8, 14, 20, 9, 15, 21, 10, 16, 22, 11, 17, 23, 12, 18, 13, 19})
        chain << routingButtons->button(i);
    chain << receivePane << portList << sendBox << clearButton << sendButton << statusButton
          << networkSettingsButton << utpButton;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}
