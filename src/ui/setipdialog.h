// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class MessageBoxes;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class Port;
class ipBox;

// Network settings of the switch: automatic addressing (DHCP) or one fixed IPv4 address. "OK"
// writes one command line to the serial port and closes; "Cancel" and the close box send
// nothing. Every instance starts in the design state (automatic, address 0.0.0.1), so the
// owner makes a fresh one for each opening. Element names are the object names.
class SetIP : public QDialog
{
    Q_OBJECT
public:
    SetIP(Port& port, MessageBoxes& boxes, QWidget* owner);

    // 1 while automatic addressing is chosen, 0 for a fixed address.
    qint16 dhcpFlag() const { return dhcp; }

private:
    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();
    void Command2_Click();

    Port& port;
    MessageBoxes& boxes;
    qint16 dhcp = 1;

    QPushButton* Command1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command2;
    QFrame* Frame1;
    QLabel* Label1;
    ipBox* ipBox1;
};
