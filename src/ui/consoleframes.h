// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

class Lamp;
class QPushButton;
class TextPane;

// The "Message" frame: the receive pane, the send box and the terminal's buttons. It only holds
// them; the window decides what they do.
class MessageArea : public QGroupBox
{
    Q_OBJECT
public:
    explicit MessageArea(QWidget* parent);

    TextPane* receivePane = nullptr;
    TextPane* sendBox = nullptr;
    QPushButton* clearButton = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* networkSettingsButton = nullptr;
    QPushButton* utpButton = nullptr;
    QPushButton* statusButton = nullptr;
};

// The "Connect State" frame: green while the link is open, red while it is not.
class LinkStateBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit LinkStateBox(QWidget* parent);
    void showOpen(bool open);

private:
    Lamp* connectedLamp = nullptr;
    Lamp* disconnectedLamp = nullptr;
};
