// SPDX-License-Identifier: MIT
#include "utpmodedialog.h"

#include "link/port.h"
#include "protocol/commands.h"
#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "ui/messageboxes.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

using design::elementName;
using design::twips;

UtpModeDialog::UtpModeDialog(Port& linePort, MessageBoxes& messageBoxes, QWidget* owner)
    : QDialog(owner), port(linePort), boxes(messageBoxes)
{
    setObjectName(QStringLiteral("Utp"));
    setWindowTitle(tr("UTP Set"));
    setFixedSize(twips(0, 0, 5370, 2475).size());
    design::applyLook(this, design::dialogBackground, design::dialogFont());

    auto* outputsFrame = new QGroupBox(tr("UTP Output Set"), this);
    outputsFrame->setObjectName(QStringLiteral("Frame3"));
    outputsFrame->setGeometry(twips(60, 60, 5235, 1815));

    // Outputs 1 and 2 in the upper row, 3 and 4 in the lower one.
    static constexpr int frameLeft[] = {180, 2700, 180, 2700};
    static constexpr int frameTop[] = {240, 240, 960, 960};
    for (std::size_t n = 0; n < outputCount; ++n) {
        const int i = static_cast<int>(n);
        auto* frame = new QGroupBox(tr("Output %1").arg(i + 1), outputsFrame);
        frame->setObjectName(elementName("Frame4", i));
        frame->setGeometry(twips(frameLeft[n], frameTop[n], 2355, 675));
        outputFrames[n] = frame;

        // Radio buttons are exclusive among their siblings, so each frame makes one group.
        auto* oneWire = new QRadioButton(tr("1 wire"), frame);
        oneWire->setObjectName(elementName("Option5", i));
        oneWire->setGeometry(i == 0 ? twips(120, 240, 915, 315) : twips(120, 300, 915, 255));
        oneWireOptions[n] = oneWire;

        auto* twoWires = new QRadioButton(tr("2 wires"), frame);
        twoWires->setObjectName(elementName("Option6", i));
        twoWires->setGeometry(twips(1140, 300, 975, 255));
        twoWireOptions[n] = twoWires;
    }

    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setGeometry(twips(3000, 1980, 1035, 375));
    auto* quitButton = new QPushButton(tr("Quit"), this);
    quitButton->setObjectName(QStringLiteral("Command2"));
    quitButton->setGeometry(twips(4200, 1980, 1035, 375));
    // Neither button is the default: Enter in an option must not send a command. Enter on a
    // focused button still presses it.
    okButton->setAutoDefault(false);
    quitButton->setAutoDefault(false);
    pressFocusedButtonsOnEnter(this);

    // Output 2 lists "2 wires" before "1 wire" in the tab order.
    QWidget* const order[] = {oneWireOptions[0], twoWireOptions[0], twoWireOptions[1],
                              oneWireOptions[1], oneWireOptions[2], twoWireOptions[2],
                              oneWireOptions[3], twoWireOptions[3], okButton,
                              quitButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(okButton, &QPushButton::clicked, this, &UtpModeDialog::sendModes);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void UtpModeDialog::showReportedModes(int mask)
{
    for (std::size_t n = outputCount; n-- > 0;) {
        if (mask & (1 << n))
            oneWireOptions[n]->setChecked(true);
        else
            twoWireOptions[n]->setChecked(true);
    }
}

int UtpModeDialog::chosenModes() const
{
    int mask = 0;
    for (std::size_t n = outputCount; n-- > 0;) {
        if (oneWireOptions[n]->isChecked())
            mask += 1 << n;
    }
    return mask;
}

QStringList UtpModeDialog::outputsWithoutMode() const
{
    QStringList outputs;
    for (std::size_t n = 0; n < outputCount; ++n)
        if (!oneWireOptions[n]->isChecked() && !twoWireOptions[n]->isChecked())
            outputs << outputFrames[n]->title();
    return outputs;
}

void UtpModeDialog::sendModes()
{
    // The command sets all four outputs: one nobody chose a mode for would be set to 2 wires.
    const QStringList unchosen = outputsWithoutMode();
    if (!unchosen.isEmpty()) {
        boxes.show(this,
                   tr("Choose \"1 wire\" or \"2 wires\" for %1 first: the switch has "
                      "not reported its modes.")
                       .arg(unchosen.join(QStringLiteral(", "))),
                   windowTitle());
        return;
    }
    if (!port.write(protocol::utpSetCommand(chosenModes())))
        boxes.show(this, boxtext::translated(boxtext::portFailure),
                   boxtext::translated(boxtext::portFailureTitle));
}
