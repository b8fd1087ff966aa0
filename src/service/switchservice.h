// SPDX-License-Identifier: MIT
#pragma once

#include "serviceconfig.h"

#include <QObject>

#include <map>
#include <memory>

class SharedLine;
class SwitchFront;

// Every switch the configuration names, each a shared line and its TCP front. Applying a new
// configuration starts the switches it adds, stops those it drops and restarts those it
// changes; a switch that stayed the same keeps its line and its clients.
class SwitchService : public QObject
{
    Q_OBJECT
public:
    explicit SwitchService(QObject* parent = nullptr);
    ~SwitchService() override;

    void apply(const QList<SwitchConfig>& switches);
    // Closes every line (and its lock file) and every client.
    void stopAll();

    QStringList ids() const;
    SharedLine* line(const QString& id) const;
    SwitchFront* front(const QString& id) const;

signals:
    // A switch was started (its line opening, its front listening), or is about to stop: what
    // else serves it (a bridge, a panel) follows.
    void switchStarted(const SwitchConfig& config, SharedLine& line);
    void switchStopping(const QString& id);

private:
    struct Served;
    void startSwitch(const SwitchConfig& config);

    std::map<QString, std::unique_ptr<Served>> served;
    bool applied = false; // a later apply() is a reload: switches added are told
};
