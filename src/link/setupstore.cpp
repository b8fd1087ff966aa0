// SPDX-License-Identifier: MIT
#include "setupstore.h"

#include "port.h"
#include "sharedswitch.h"

SetupStore::SetupStore(const QString& folder, Port& line, QObject* parent)
    : QObject(parent), local(folder), shared(line.sharedSwitch())
{
    if (shared)
        connect(shared, &SharedSwitch::changed, this, &SetupStore::changed);
}

bool SetupStore::isShared() const
{
    return shared && shared->isKnown();
}

const MatrixSetup& SetupStore::setup() const
{
    return isShared() ? shared->setup() : local;
}

void SetupStore::reload()
{
    if (!isShared())
        local.reload();
}

SetupChange* SetupStore::change(const SetupEdit& edit, const std::optional<Routing>& reported)
{
    if (isShared())
        return shared->change(edit);
    auto* handle = new SetupChange(this);
    QString why;
    const bool made = applyEdit(edit, local, reported, why);
    handle->finish(why);
    if (made)
        emit changed();
    return handle;
}
