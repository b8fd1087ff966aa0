// SPDX-License-Identifier: MIT
#pragma once

#include "matrixsetup.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// A switch's names and presets kept as they are on disk: the set-up file is read again whenever
// it changes, by this process or by another program (the console, an editor), and changed()
// says so once the file is whole again.
class SetupWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int settleMs = 200;

    explicit SetupWatch(const QString& directory, QObject* parent = nullptr);

    const MatrixSetup& setup() const { return current; }
    // For changes made here; changed() follows as for any other.
    MatrixSetup& edit() { return current; }

signals:
    void changed();

private:
    void reread();

    MatrixSetup current;
    QFileSystemWatcher watch;
    QTimer settle; // a file written in steps is read once it is whole
};
