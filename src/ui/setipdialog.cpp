// SPDX-License-Identifier: MIT
#include "setipdialog.h"

#include "protocol/addresstext.h"
#include "protocol/commands.h"
#include "ipbox.h"
#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "ui/messageboxes.h"
#include "link/port.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using design::placed;
using design::twips;

SetIP::SetIP(Port& linePort, MessageBoxes& messageBoxes, QWidget* owner)
    : QDialog(owner), port(linePort), boxes(messageBoxes)
{
    setObjectName(QStringLiteral("SetIP"));
    setWindowTitle(QStringLiteral("Form2"));
    setFixedSize(twips(0, 0, 4215, 1995).size());
    design::applyLook(this, design::dialogBackground, design::dialogFont());

    // Created in tab order, which is the order of the focus chain.
    Command1 = placed(new QPushButton(QStringLiteral("OK"), this), "Command1",
                      twips(1980, 1440, 975, 375));
    Option1 = placed(new QRadioButton(QStringLiteral("Automatically obtain ip address"), this),
                     "Option1", twips(360, 180, 3375, 255));
    Option2 = placed(new QRadioButton(QStringLiteral("Use the following ip address"), this),
                     "Option2", twips(360, 540, 2895, 255));
    Command2 = placed(new QPushButton(QStringLiteral("Cancel"), this), "Command2",
                      twips(3060, 1440, 975, 375));
    Frame1 = placed(new QFrame(this), "Frame1", twips(240, 540, 3795, 795));
    Label1 = placed(new QLabel(QStringLiteral("IP address:"), Frame1), "Label1",
                    twips(300, 360, 1035, 315));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ipBox1 = placed(new ipBox(Frame1), "ipBox1", twips(1380, 300, 2175, 315));
    // The panel's top strip lies under "Use the following ip address"; the option stays on
    // top so that it can still be seen and clicked while the panel is shown.
    Option2->raise();

    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(Command1, &QPushButton::clicked, this, &SetIP::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SetIP::Command2_Click);
    pressFocusedButtonsOnEnter(this);

    Form_Load();
}

void SetIP::Form_Load()
{
    Option1->setChecked(true);
    Frame1->hide();
    dhcp = 1;
    ipBox1->setAddress(QStringLiteral("0.0.0.1"));
}

void SetIP::Option1_Click()
{
    Frame1->hide();
    dhcp = 1;
}

void SetIP::Option2_Click()
{
    Frame1->show();
    dhcp = 0;
}

void SetIP::Command1_Click()
{
    const QByteArray command = dhcp == 1 ? protocol::dhcpCommand()
                                         : protocol::fixedAddressCommand(ipBox1->Address());
    if (!port.write(command))
        boxes.show(this, QString::fromUtf16(boxtext::portFailure),
                   QString::fromUtf16(boxtext::portFailureTitle));

    accept();
}

void SetIP::Command2_Click()
{
    reject();
}
