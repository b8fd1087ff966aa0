// SPDX-License-Identifier: MIT
#pragma once

#include "link/presetrecall.h"

#include <QObject>
#include <QPointer>

class MatrixSetup;
class SetupStore;
struct SetupEdit;
class QMenu;
class QPoint;
class QWidget;
class SwitchSession;

// The routing panel's menu of presets and names, the dialogs it opens and the preset recall it
// starts: the switch's set-up as the window edits it. Never writes to the switch but through the
// recall.
class SetupMenu : public QObject
{
    Q_OBJECT
public:
    // Names and presets live in `workingDirectory`, or with the service of a switch it shares;
    // dialogs open over `window`.
    SetupMenu(SwitchSession& session, const QString& workingDirectory, QWidget* window);
    ~SetupMenu() override;

    const MatrixSetup& setup() const;
    bool isRecalling() const { return recaller->isRunning(); }
    // The menu for `output` and `input` (0: none) at `globalPosition`.
    void popup(int output, int input, const QPoint& globalPosition);

signals:
    // Names were read again or changed: tooltips follow.
    void namesChanged();
    // One line for the receive pane: a name or preset not saved, a recall refused or done.
    void note(const QString& line);

private:
    void askForName(bool output, int index);
    // Makes `edit` (a preset saved from `routing`) and tells why when it fails.
    void change(const SetupEdit& edit, const std::optional<Routing>& routing = std::nullopt);
    void askForPresetName();
    void openPresetManager();
    void recallPreset(const QString& name);
    void reportRecall(const PresetRecall::Result& result);

    SwitchSession& session;
    QWidget* window;
    SetupStore* store;
    PresetRecall* recaller = nullptr;
    QPointer<QMenu> menu;
};
