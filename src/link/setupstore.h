// SPDX-License-Identifier: MIT
#pragma once

#include "matrixsetup.h"
#include "setupedit.h"

#include <QObject>

class Port;
class SharedSwitch;

// The names and presets a console shows and changes: those of its set-up folder, or, while its
// port is open on a switch a service shares (its web page's address), the one set-up that
// service keeps for every controller.
class SetupStore : public QObject
{
    Q_OBJECT
public:
    SetupStore(const QString& folder, Port& line, QObject* parent = nullptr);

    // The service's set-up is the one in use.
    bool isShared() const;
    const MatrixSetup& setup() const;
    // The folder's file read again, as another program may have changed it; a service's set-up
    // is always as it last told it.
    void reload();
    // Makes `edit` where the set-up in use is kept; a preset is saved from `reported` in the
    // folder, from the routing the service has otherwise. The handle, a child of this object
    // ends at once for the folder.
    SetupChange* change(const SetupEdit& edit, const std::optional<Routing>& reported);

signals:
    // The set-up in use was changed, told anew, or is another one now.
    void changed();

private:
    MatrixSetup local;
    SharedSwitch* shared;
};
