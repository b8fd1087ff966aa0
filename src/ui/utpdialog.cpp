// SPDX-License-Identifier: MIT
#include "utpdialog.h"

#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "ui/messageboxes.h"
#include "link/port.h"
#include "protocol/commands.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

using design::elementName;
using design::twips;

namespace {

constexpr int outputCount = 4;

} // namespace

Utp::Utp(Port& linePort, MessageBoxes& messageBoxes, QWidget* owner)
    : QDialog(owner), port(linePort), boxes(messageBoxes)
{
    setObjectName(QStringLiteral("Utp"));
    setWindowTitle(QStringLiteral("UTP Set"));
    setFixedSize(twips(0, 0, 5370, 2475).size());
    design::applyLook(this, design::dialogBackground, design::dialogFont());

    Frame3 = new QGroupBox(QStringLiteral("UTP Output Set"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(twips(60, 60, 5235, 1815));

    // Outputs 1 and 2 in the upper row, 3 and 4 in the lower one.
    static constexpr int frameLeft[] = {180, 2700, 180, 2700};
    static constexpr int frameTop[] = {240, 240, 960, 960};
    for (int i = 0; i < outputCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        auto* frame = new QGroupBox(QStringLiteral("Output %1").arg(i + 1), Frame3);
        frame->setObjectName(elementName("Frame4", i));
        frame->setGeometry(twips(frameLeft[n], frameTop[n], 2355, 675));
        Frame4[n] = frame;

        // Radio buttons are exclusive among their siblings, so each frame makes one group.
        auto* oneWire = new QRadioButton(QStringLiteral("1 wire"), frame);
        oneWire->setObjectName(elementName("Option5", i));
        oneWire->setGeometry(i == 0 ? twips(120, 240, 915, 315) : twips(120, 300, 915, 255));
        Option5[n] = oneWire;

        auto* twoWires = new QRadioButton(QStringLiteral("2 wires"), frame);
        twoWires->setObjectName(elementName("Option6", i));
        twoWires->setGeometry(twips(1140, 300, 975, 255));
        Option6[n] = twoWires;
    }

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(3000, 1980, 1035, 375));
    Command2 = new QPushButton(QStringLiteral("Quit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips(4200, 1980, 1035, 375));
    // Neither button is the default: Enter in an option must not send a command. Enter on a
    // focused button still presses it.
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
    pressFocusedButtonsOnEnter(this);

    // Output 2 lists "2 wires" before "1 wire" in the tab order.
    QWidget* const order[] = {Option5[0], Option6[0], Option6[1], Option5[1], Option5[2],
                              Option6[2], Option5[3], Option6[3], Command1,   Command2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Command1, &QPushButton::clicked, this, &Utp::sendModes);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void Utp::showReportedModes(int mask)
{
    for (int i = outputCount - 1; i >= 0; --i) {
        const auto n = static_cast<std::size_t>(i);
        if (mask & (1 << i))
            Option5[n]->setChecked(true);
        else
            Option6[n]->setChecked(true);
    }
}

int Utp::utpMask() const
{
    int mask = 0;
    for (int i = outputCount - 1; i >= 0; --i) {
        if (Option5[static_cast<std::size_t>(i)]->isChecked())
            mask += 1 << i;
    }
    return mask;
}

QStringList Utp::outputsWithoutMode() const
{
    QStringList outputs;
    for (std::size_t i = 0; i < Frame4.size(); ++i)
        if (!Option5[i]->isChecked() && !Option6[i]->isChecked())
            outputs << Frame4[i]->title();
    return outputs;
}

void Utp::sendModes()
{
    // The command sets all four outputs: one nobody chose a mode for would be set to 2 wires.
    const QStringList unchosen = outputsWithoutMode();
    if (!unchosen.isEmpty()) {
        boxes.show(this,
                   QStringLiteral("Choose \"1 wire\" or \"2 wires\" for %1 first: the switch has "
                                  "not reported its modes.")
                       .arg(unchosen.join(QStringLiteral(", "))),
                   windowTitle());
        return;
    }
    if (!port.write(protocol::utpSetCommand(utpMask())))
        boxes.show(this, QString::fromUtf16(boxtext::portFailure),
                   QString::fromUtf16(boxtext::portFailureTitle));

}
