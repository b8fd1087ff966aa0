// SPDX-License-Identifier: MIT
#include "pinasker.h"

#include "link/sharedswitch.h"
#include "ui/designlook.h"

#include <QInputDialog>
#include <QLineEdit>

PinAsker::PinAsker(SharedSwitch& sharedSwitch, QWidget* parentWindow)
    : QObject(parentWindow), shared(sharedSwitch), window(parentWindow)
{
    connect(&shared, &SharedSwitch::refused, this, &PinAsker::onRefused);
}

void PinAsker::onRefused(const QString& reason)
{
    emit note(tr("The switch's service refused: %1").arg(reason));
    if (!shared.asksForPin() || dialog)
        return;
    dialog = new QInputDialog(window);
    dialog->setObjectName(QStringLiteral("pinDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("PIN"));
    dialog->setLabelText(tr("The switch's service asks for a PIN:"));
    dialog->setTextEchoMode(QLineEdit::Password);
    design::applyLook(dialog, design::dialogBackground, design::dialogFont());
    connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString& pin) {
        shared.setPin(pin);
        emit note(tr("PIN given: press again."));
        emit pinGiven();
    });
    dialog->open();
}
