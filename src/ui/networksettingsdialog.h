// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class IpAddressEdit;
class MessageBoxes;
class QFrame;
class QRadioButton;
class Port;

// Network settings of the switch: automatic addressing (DHCP) or one fixed IPv4 address. "OK"
// writes one command line to the port and closes; "Cancel" and the close box send nothing.
// Every instance starts afresh (automatic, address 0.0.0.1), so the owner makes a new one for
// each opening. Never asks the switch for its setting.
class NetworkSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    NetworkSettingsDialog(Port& port, MessageBoxes& boxes, QWidget* owner);

private:
    void sendChoice();

    Port& port;
    MessageBoxes& boxes;

    QRadioButton* automaticOption = nullptr;
    QFrame* addressPanel = nullptr;
    IpAddressEdit* addressEdit = nullptr;
};
