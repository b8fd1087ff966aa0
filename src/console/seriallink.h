// SPDX-License-Identifier: MIT
#pragma once

#include "comportnotices.h"

#include <QObject>
#include <QString>

class SerialPort;

// The console's one link to the switch: which COM port, its persistence in the "COMPORT" file,
// the start-up sequence and the link toggle. No widgets: the window shows what this reports.
// A choice that cannot be saved never stops the console: it keeps the port for the session.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int portCount = 10; // the list holds COM1 to COM10
    static constexpr char lineSettings[] = "9600,N,8,1";

    SerialLink(SerialPort& port, QString directory, QObject* parent = nullptr);

    // The window's load sequence, after the port list has been filled. Returns whether the
    // port is open afterwards.
    bool startUp();

    // The list's selection event, from the user or from start-up: closes an open link, takes
    // the new port number, saves the index. Never opens the port.
    void selectPort(int listIndex);

    enum class ToggleResult { Opened, Closed, OpenFailed };
    // The link button: closes an open link, or opens the chosen port.
    ToggleResult toggle();

    bool isOpen() const;
    // The port number the next open uses (0 until start-up has set it).
    quint8 comPort() const { return port; }
    // The list's selected index, -1 when nothing is selected.
    int listIndex() const { return selected; }

signals:
    void listIndexChanged(int index);
    // The link was opened or closed (not emitted when an open fails).
    void openChanged(bool open);
    // The choice could not be saved: says where, why and which port the session keeps. At most
    // once a session, and not again at later starts for the same folder and reason.
    void choiceNotSaved(const QString& message);

private:
    bool tryOpen();
    void save(int listIndex);

    SerialPort& serial;
    QString directory;
    ComportNotices notices;
    bool toldThisSession = false;
    bool savedThisSession = false;
    quint8 port = 0;
    int selected = -1;
};
