// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QInputDialog;
class QWidget;
class SharedSwitch;

// Asks for the PIN a shared switch's service wants, in a dialog over `window`, when the service
// refuses a command for a PIN missing or wrong; the PIN given goes with every later command. A
// read-only page's refusal is only told.
class PinAsker : public QObject
{
    Q_OBJECT
public:
    PinAsker(SharedSwitch& shared, QWidget* window);

signals:
    // A line for the receive pane.
    void note(const QString& line);
    // A PIN was given: what was refused before it may be asked again.
    void pinGiven();

private:
    void onRefused(const QString& reason);

    SharedSwitch& shared;
    QWidget* window;
    QPointer<QInputDialog> dialog; // one at a time, whatever else is refused meanwhile
};
