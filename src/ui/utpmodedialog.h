// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class MessageBoxes;
class QGroupBox;
class QRadioButton;
class Port;

// The UTP output mode dialog: one "1 wire" / "2 wires" pair per UTP output, each pair in a
// frame of its own so the outputs stay independent. "OK" sends the four modes as one "utp "
// command and leaves the dialog open; "Quit" and the close box send nothing. The switch's
// status answer fills the options in through showReportedModes().
class UtpModeDialog : public QDialog
{
    Q_OBJECT
public:
    UtpModeDialog(Port& port, MessageBoxes& boxes, QWidget* owner);

    // Selects, for outputs 4, 3, 2, 1 in this order, "1 wire" when the output's bit is set
    // (1 = output 1 ... 8 = output 4) and "2 wires" when it is clear.
    void showReportedModes(int mask);

private:
    static constexpr std::size_t outputCount = 4;

    // The bits of the outputs whose "1 wire" is selected.
    int chosenModes() const;
    // The captions of the outputs with neither option selected ("Output 2").
    QStringList outputsWithoutMode() const;
    void sendModes();

    Port& port;
    MessageBoxes& boxes;
    // Element i belongs to output i + 1.
    std::array<QGroupBox*, outputCount> outputFrames{};
    std::array<QRadioButton*, outputCount> oneWireOptions{};
    std::array<QRadioButton*, outputCount> twoWireOptions{};
};
