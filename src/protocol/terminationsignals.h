// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

// Brings SIGTERM, SIGINT and SIGHUP into the event loop, so the program can close what it
// holds (the port and its lock file) and exit normally. Never acts inside the signal handler.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // One instance per process; the handlers are installed while it exists.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* notifier = nullptr;
};
