// SPDX-License-Identifier: MIT
#pragma once

#include "ui/lamp.h"

#include <QWidget>
#include <array>

class QAbstractButton;
class QButtonGroup;
class SetupMenu;
class SwitchSession;

// The routing panel: 24 routing buttons, 16 lamps, the menu of presets and names, and the
// tooltips that carry those names. It covers the window's client area so that its elements keep
// the window's coordinates, but takes input only over the panel itself. It never writes to the
// switch by itself: a button asks through keyPressed(), a preset through its set-up menu's recall.
class RoutingPanel : public QWidget
{
    Q_OBJECT
public:
    // Names and presets live in `workingDirectory`.
    RoutingPanel(SwitchSession& session, const QString& workingDirectory, QWidget* window);
    ~RoutingPanel() override;

    // Key `index` (0 to 23): per output, left arrow, right arrow, inputs 1 to 4.
    QAbstractButton* button(int index) const;
    // Lights the lamp of `input` (1 to 4) in the row of `output` (1 to 4) and darkens the rest
    // of that row; any other input leaves the row as it was.
    void showRoute(int output, int input);
    // What the previous link reported is no longer known: every lamp dark.
    void darken();
    bool isRecalling() const;
    // What a hand-edited varnok.conf holds that cannot be used, empty when nothing.
    QString setupProblems() const;

signals:
    void keyPressed(int index);
    // One line for the receive pane: a name or preset not saved, a recall refused or done.
    void note(const QString& line);

protected:
    // The menu for the output and input under the pointer or the focused routing button.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Spot
    {
        bool onPanel = false;
        int output = 0; // 1 to 4; 0 for none
        int input = 0;  // 1 to 4; 0 for none
    };
    void build();
    Spot spotAt(const QPoint& position) const;
    Spot spotOfButton(const QWidget* widget) const;
    void refreshNameTooltips();

    SetupMenu* setupMenu;
    // Ids are the key indices, 0 to 23.
    QButtonGroup* buttons = nullptr;
    std::array<LampRow, 4> lamps{};  // per output, per input
    std::array<QRect, 4> rowAreas{}; // each output row with its badge and extension
    QRect panelArea;
};
