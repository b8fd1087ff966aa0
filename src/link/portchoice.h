// SPDX-License-Identifier: MIT
#pragma once

#include "comportnotices.h"

#include <QObject>
#include <QString>

// Which port the console uses, as the user chose it, and where the choice is kept: the list's
// index in the folder's "COMPORT", a typed device path or network port in varnok.conf's
// [link] port, which wins at start-up. Opens nothing: a session follows it. A choice that cannot
// be kept never stops it; it holds for the session and the user is told once.
class PortChoice : public QObject
{
    Q_OBJECT
public:
    static constexpr int portCount = 10; // the list holds COM1 to COM10

    // Kept: the window owns the choice and writes every change to the folder. ReadOnly: a script
    // reads the choice and may change it for its run, but never writes COMPORT or varnok.conf.
    enum class Storage { Kept, ReadOnly };

    // COMPORT, varnok.conf and any COMn links live in `directory`.
    PortChoice(QString directory, Storage storage, QObject* parent = nullptr);

    // Takes the saved choice (COMPORT, writing it when there is none, then [link] port).
    void restore();

    // A port the user typed: "COM1" to "COM10" (as chosen from the list), an absolute device
    // path, "tcp://HOST:PORT", or a web panel's "http://HOST:PORT/ID/". Anything else changes
    // nothing and returns false with errorString() naming the forms accepted. Choosing a COM port
    // forgets a typed one.
    bool choose(const QString& text);
    // The list's selection event, from the user or from start-up: takes the new port number and
    // saves the index.
    void select(int listIndex);

    // The typed path or network port in use, empty when a COM port is.
    QString typedPort() const { return typed; }
    // What the next open uses, as the user names it: "COM3", "/dev/ttyUSB1", "tcp://host:23".
    QString portName() const;
    // The port number the next open uses (0 until a choice is made).
    quint8 portNumber() const { return port; }
    // The list's selected index, -1 when nothing is selected.
    int listIndex() const { return selected; }
    // The device the choice leads to now (see comDevicePath), or the typed port.
    QString device() const;
    // The chosen port for a message: "COM3 (/dev/ttyS2)", or the port as typed.
    QString chosenText() const;
    // `reason`, about the device at `path`, with the port named as the user chose it: where a
    // COM port was chosen, "COM3 (/dev/ttyUSB0)" in place of the path or before the reason.
    QString namedAsChosen(const QString& reason, const QString& path) const;
    // Why the last typed port was refused.
    QString errorString() const { return error; }

signals:
    // The choice is about to change: whoever holds a link to the old port lets it go.
    void aboutToChange();
    void listIndexChanged(int index);
    // The choice could not be saved: says where, why and which port the console keeps. At most
    // once a session, and not again at later starts for the same folder and reason.
    void choiceNotSaved(const QString& message);

private:
    void save(int listIndex);
    void keepTyped();

    QString directory;
    Storage storage;
    ComportNotices notices;
    QString typed; // a typed path or network port; empty while a COM port is used
    QString error;
    quint8 port = 0;
    int selected = -1;
    bool toldThisSession = false;
    bool savedThisSession = false;
};
