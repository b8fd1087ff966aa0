// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Remembers across starts which folders the user has been told cannot keep the port choice,
// and why, so that the same news is not given at every start. Kept in a small file of its own
// (the folder in question may be read-only); never holds more than a few dozen folders.
class ComportNotices
{
public:
    // $XDG_STATE_HOME/varnok/comport-notices, by default ~/.local/state/varnok/comport-notices.
    static QString defaultStateFile();

    explicit ComportNotices(QString stateFile = defaultStateFile());

    bool wasTold(const QString& folder, const QString& reason) const;
    // Returns false when the state file could not be written: the user will be told again.
    bool remember(const QString& folder, const QString& reason);
    // The folder keeps the choice again: a later failure is news.
    void forget(const QString& folder);

private:
    QStringList lines() const;
    bool store(const QStringList& lines) const;

    QString stateFile;
};
