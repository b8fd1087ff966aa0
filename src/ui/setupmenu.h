// SPDX-License-Identifier: MIT
#pragma once

#include "link/presetrecall.h"

#include <QObject>
#include <QPointer>

#include <memory>

class MatrixSetup;
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
    // Names and presets live in `workingDirectory`; dialogs open over `window`.
    SetupMenu(SwitchSession& session, const QString& workingDirectory, QWidget* window);
    ~SetupMenu() override;

    const MatrixSetup& setup() const { return *names; }
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
    void askForPresetName();
    void openPresetManager();
    void recallPreset(const QString& name);
    void reportRecall(const PresetRecall::Result& result);

    SwitchSession& session;
    QWidget* window;
    std::unique_ptr<MatrixSetup> names;
    PresetRecall* recaller = nullptr;
    QPointer<QMenu> menu;
};
