// SPDX-License-Identifier: MIT
#include "presetdialogs.h"

#include "link/matrixsetup.h"
#include "link/setupstore.h"
#include "ui/designlook.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

NameDialog::NameDialog(const QString& title, const QString& prompt, const QString& text,
                       QWidget* parent, Hint hint)
    : QDialog(parent), hintFor(std::move(hint))
{
    setObjectName(QStringLiteral("nameDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    edit = new QLineEdit(text, this);
    edit->setObjectName(QStringLiteral("nameEdit"));
    edit->setMaxLength(MatrixSetup::maxNameLength);
    edit->selectAll();
    label->setBuddy(edit);
    hintLabel = new QLabel(this);
    hintLabel->setObjectName(QStringLiteral("nameHint"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(hintLabel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto showHint = [this](const QString& typed) {
        const QString shown = hintFor ? hintFor(typed.trimmed()) : QString();
        hintLabel->setText(shown);
        hintLabel->setVisible(!shown.isEmpty());
    };
    connect(edit, &QLineEdit::textChanged, this, showHint);
    showHint(text);
    design::applyLook(this, design::dialogBackground, design::dialogFont());
    edit->setFocus();
}

QString NameDialog::name() const
{
    return edit->text().trimmed();
}

PresetManagerDialog::PresetManagerDialog(SetupStore& setupStore, QWidget* parent)
    : QDialog(parent), store(setupStore)
{
    setObjectName(QStringLiteral("presetManager"));
    setWindowTitle(tr("Presets"));
    list = new QListWidget(this);
    list->setObjectName(QStringLiteral("presetList"));
    recallButton = new QPushButton(tr("&Recall"), this);
    recallButton->setObjectName(QStringLiteral("recallButton"));
    recallButton->setDefault(true);
    renameButton = new QPushButton(tr("Re&name..."), this);
    renameButton->setObjectName(QStringLiteral("renameButton"));
    deleteButton = new QPushButton(tr("&Delete"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    auto* closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("presetNote"));
    note->setWordWrap(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {recallButton, renameButton, deleteButton, closeButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);

    connect(recallButton, &QPushButton::clicked, this, &PresetManagerDialog::recallSelected);
    connect(renameButton, &QPushButton::clicked, this, &PresetManagerDialog::renameSelected);
    connect(deleteButton, &QPushButton::clicked, this, &PresetManagerDialog::deleteSelected);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(list, &QListWidget::currentRowChanged, this, &PresetManagerDialog::showSelection);
    connect(list, &QListWidget::itemActivated, this, &PresetManagerDialog::recallSelected);
    design::applyLook(this, design::dialogBackground, design::dialogFont());
    // Another controller of a shared switch changed the presets: the list follows, keeping
    // what is selected and a Delete pressed once while it stays the same.
    connect(&store, &SetupStore::changed, this, [this] {
        QStringList shown;
        for (int each = 0; each < list->count(); ++each)
            shown.append(list->item(each)->text());
        QStringList stored;
        for (const Preset& preset : store.setup().presets())
            stored.append(preset.name);
        if (shown != stored)
            fill(selectedName());
    });
    fill();
    list->setFocus();
}

void PresetManagerDialog::fill(const QString& selected)
{
    list->clear();
    for (const Preset& preset : store.setup().presets()) {
        auto* item = new QListWidgetItem(preset.name, list);
        item->setToolTip(MatrixSetup::routingText(preset.routing));
    }
    const QList<QListWidgetItem*> found = list->findItems(selected, Qt::MatchExactly);
    list->setCurrentRow(found.isEmpty() ? 0 : list->row(found.first()));
    showSelection();
}

QString PresetManagerDialog::selectedName() const
{
    const QListWidgetItem* item = list->currentItem();
    return item ? item->text() : QString();
}

void PresetManagerDialog::showSelection()
{
    armedForDelete.clear();
    note->clear();
    const bool any = list->currentItem() != nullptr;
    for (QPushButton* button : {recallButton, renameButton, deleteButton})
        button->setEnabled(any);
    if (list->count() == 0)
        note->setText(tr("No presets yet: save the current routing from the "
                         "routing panel's menu."));
}

void PresetManagerDialog::recallSelected()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    emit recallRequested(name);
    accept();
}

void PresetManagerDialog::renameSelected()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    auto* dialog =
        new NameDialog(tr("Rename preset"), tr("New name of \"%1\":").arg(name), name, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, name] {
        const QString newName = dialog->name();
        change({SetupEdit::Kind::RenamePreset, 0, name, newName},
               [this, newName] { fill(newName); });
    });
    dialog->open();
}

void PresetManagerDialog::deleteSelected()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (armedForDelete != name) {
        note->setText(tr("Press Delete again to delete \"%1\".").arg(name));
        armedForDelete = name;
        return;
    }
    const int row = list->currentRow();
    change({SetupEdit::Kind::DeletePreset, 0, name, {}}, [this, row, name] {
        fill();
        list->setCurrentRow(std::min(row, list->count() - 1));
        note->setText(tr("Deleted \"%1\".").arg(name));
    });
}

void PresetManagerDialog::change(const SetupEdit& edit, const std::function<void()>& done)
{
    SetupChange* made = store.change(edit, std::nullopt);
    connect(made, &SetupChange::finished, this, [this, made, done] {
        if (made->errorString().isEmpty())
            done();
        else
            note->setText(made->errorString());
    });
}

void PresetManagerDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        deleteSelected();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        renameSelected();
        return;
    }
    QDialog::keyPressEvent(event);
}
