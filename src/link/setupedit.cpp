// SPDX-License-Identifier: MIT
#include "setupedit.h"

#include "matrixsetup.h"

#include <QCoreApplication>

bool applyEdit(const SetupEdit& edit, MatrixSetup& setup, const std::optional<Routing>& reported,
               QString& error)
{
    bool done = false;
    switch (edit.kind) {
    case SetupEdit::Kind::OutputName:
        done = setup.setOutputName(edit.index, edit.name);
        break;
    case SetupEdit::Kind::InputName:
        done = setup.setInputName(edit.index, edit.name);
        break;
    case SetupEdit::Kind::SavePreset:
        if (!reported) {
            error = QCoreApplication::translate(
                "WebPanel", "The switch has not reported all four outputs yet: press Status.");
            return false;
        }
        done = setup.savePreset(edit.name.trimmed(), *reported);
        break;
    case SetupEdit::Kind::RenamePreset:
        done = setup.renamePreset(edit.name, edit.to.trimmed());
        break;
    case SetupEdit::Kind::DeletePreset:
        done = setup.deletePreset(edit.name);
        break;
    }
    if (!done)
        error = setup.errorString();
    return done;
}

SetupChange::SetupChange(QObject* parent) : QObject(parent)
{
    connect(this, &SetupChange::finished, this, &QObject::deleteLater);
}

void SetupChange::finish(const QString& why)
{
    if (std::exchange(ended, true))
        return;
    error = why;
    QMetaObject::invokeMethod(this, &SetupChange::finished, Qt::QueuedConnection);
}
