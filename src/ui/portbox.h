// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

class QComboBox;
class PortChoice;

// The "Com Select" frame: COM1 to COM10, the serial devices attached now by their stable names,
// and whatever port the user types. Every question about the port choice goes to the port choice
// from here, and only from here. It never opens or closes the link itself.
class PortBox : public QGroupBox
{
    Q_OBJECT
public:
    PortBox(PortChoice& choice, QWidget* parent);
    ~PortBox() override;

    QComboBox* list() const { return ports; }
    // Fills the list before the saved choice is restored; the box shows its caption meanwhile.
    void fill();
    // Each COM entry's tooltip names the device it leads to now; the stable names are listed
    // anew.
    void refreshTooltips();
    // Shows the typed path or network port in use; a COM port shows as the list's selection.
    void showPortName();

signals:
    // A typed port that is not accepted: why, in one line for the receive pane.
    void refused(const QString& reason);

private:
    void fillStableNames();
    void choose(int listIndex);
    // The text of the box, confirmed by Enter or by leaving the box.
    void confirmTyped();

    PortChoice& choice;
    QComboBox* ports = nullptr;
};
