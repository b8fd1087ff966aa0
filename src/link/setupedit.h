// SPDX-License-Identifier: MIT
#pragma once

#include "routing.h"

#include <QObject>
#include <QString>

#include <optional>

class MatrixSetup;

// One change of a switch's names or presets, as any controller asks for it: a console's dialog,
// the command line, a web page.
struct SetupEdit
{
    enum class Kind {
        OutputName,
        InputName,
        SavePreset, // the routing the switch reported, under `name`
        RenamePreset,
        DeletePreset
    };
    Kind kind = Kind::OutputName;
    int index = 0; // the output or input, 1 to 4
    QString name;  // the new name, or the preset's
    QString to;    // a preset's new name
};

// Makes `edit` in `setup`, a preset saved from `reported`; false with `error` when refused.
bool applyEdit(const SetupEdit& edit, MatrixSetup& setup, const std::optional<Routing>& reported,
               QString& error);

// One change asked for, as QNetworkReply is one request: it ends once, with finished(), in
// success or with the reason it failed. finished() is always delivered from the event loop, so
// it can be connected after the change was asked for, even when it ended at once. It deletes
// itself once finished() was delivered, whoever still listens.
class SetupChange : public QObject
{
    Q_OBJECT
public:
    explicit SetupChange(QObject* parent = nullptr);

    bool isFinished() const { return ended; }
    // Empty when the change was made.
    QString errorString() const { return error; }
    // For whoever carries the change out; only the first call counts.
    void finish(const QString& why = {});

signals:
    void finished();

private:
    bool ended = false;
    QString error;
};
