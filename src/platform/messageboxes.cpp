// SPDX-License-Identifier: MIT
#include "messageboxes.h"

#include <QMessageBox>

void QtMessageBoxes::show(QWidget* owner, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}
