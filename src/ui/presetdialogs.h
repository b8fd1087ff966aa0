// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <functional>

class SetupStore;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct SetupEdit;

// Asks for one name of at most 32 characters: Enter accepts, Escape cancels. An optional hint
// under the field follows the text as it is typed (such as "Replaces the preset of this name.").
class NameDialog : public QDialog
{
    Q_OBJECT
public:
    using Hint = std::function<QString(const QString& text)>;
    NameDialog(const QString& title, const QString& prompt, const QString& text,
               QWidget* parent = nullptr, Hint hint = {});
    QString name() const;

private:
    QLineEdit* edit = nullptr;
    QLabel* hintLabel = nullptr;
    Hint hintFor;
};

// The presets in the order they were saved: Recall (Enter), Rename (F2), Delete (the Delete
// key; a second press confirms), Close (Escape). It changes the presets where the store keeps
// them and leaves recalling to whoever opened it.
class PresetManagerDialog : public QDialog
{
    Q_OBJECT
public:
    PresetManagerDialog(SetupStore& store, QWidget* parent = nullptr);

signals:
    void recallRequested(const QString& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill(const QString& selected = {});
    QString selectedName() const;
    void recallSelected();
    void renameSelected();
    void deleteSelected();
    void showSelection();
    // Makes `edit`, then `done` or shows why it failed.
    void change(const SetupEdit& edit, const std::function<void()>& done);

    SetupStore& store;
    QListWidget* list = nullptr;
    QPushButton* recallButton = nullptr;
    QPushButton* renameButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QLabel* note = nullptr;
    QString armedForDelete; // the preset a second Delete removes
};
