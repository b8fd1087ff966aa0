// SPDX-License-Identifier: MIT
#include "networksettingsdialog.h"

#include "link/port.h"
#include "protocol/addresstext.h"
#include "protocol/commands.h"
#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "ui/ipaddressedit.h"
#include "ui/messageboxes.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using design::placed;
using design::twips;

NetworkSettingsDialog::NetworkSettingsDialog(Port& linePort, MessageBoxes& messageBoxes,
                                             QWidget* owner)
    : QDialog(owner), port(linePort), boxes(messageBoxes)
{
    setObjectName(QStringLiteral("SetIP"));
    setWindowTitle(QStringLiteral("Form2"));
    setFixedSize(twips(0, 0, 4215, 1995).size());
    design::applyLook(this, design::dialogBackground, design::dialogFont());

    // Created in tab order, which is the order of the focus chain.
    auto* okButton =
        placed(new QPushButton(tr("OK"), this), "Command1", twips(1980, 1440, 975, 375));
    automaticOption = placed(new QRadioButton(tr("Automatically obtain ip address"), this),
                             "Option1", twips(360, 180, 3375, 255));
    auto* fixedOption = placed(new QRadioButton(tr("Use the following ip address"), this),
                               "Option2", twips(360, 540, 2895, 255));
    auto* cancelButton =
        placed(new QPushButton(tr("Cancel"), this), "Command2", twips(3060, 1440, 975, 375));
    addressPanel = placed(new QFrame(this), "Frame1", twips(240, 540, 3795, 795));
    auto* addressLabel =
        placed(new QLabel(tr("IP address:"), addressPanel), "Label1", twips(300, 360, 1035, 315));
    addressLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    addressEdit = placed(new IpAddressEdit(addressPanel), "ipBox1", twips(1380, 300, 2175, 315));
    // The panel's top strip lies under "Use the following ip address"; the option stays on
    // top so that it can still be seen and clicked while the panel is shown.
    fixedOption->raise();

    connect(fixedOption, &QRadioButton::toggled, addressPanel, &QWidget::setVisible);
    connect(okButton, &QPushButton::clicked, this, &NetworkSettingsDialog::sendChoice);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    pressFocusedButtonsOnEnter(this);

    automaticOption->setChecked(true);
    addressPanel->hide();
    addressEdit->setAddress(QStringLiteral("0.0.0.1"));
}

void NetworkSettingsDialog::sendChoice()
{
    const QByteArray command = automaticOption->isChecked()
                                   ? protocol::dhcpCommand()
                                   : protocol::fixedAddressCommand(addressEdit->address());
    if (!port.write(command))
        boxes.show(this, boxtext::translated(boxtext::portFailure),
                   boxtext::translated(boxtext::portFailureTitle));
    accept();
}
