// SPDX-License-Identifier: MIT
#include "switchservice.h"

#include "servicelog.h"
#include "sharedline.h"
#include "switchfront.h"

struct SwitchService::Served
{
    SwitchConfig config;
    std::unique_ptr<SharedLine> line;
    std::unique_ptr<SwitchFront> front; // goes first: its clients use the line
};

SwitchService::SwitchService(QObject* parent) : QObject(parent) {}

SwitchService::~SwitchService()
{
    stopAll();
}

void SwitchService::apply(const QList<SwitchConfig>& switches)
{
    std::map<QString, SwitchConfig> wanted;
    for (const SwitchConfig& config : switches)
        wanted.emplace(config.id, config);
    QStringList restarting;
    for (auto it = served.begin(); it != served.end();) {
        const auto next = wanted.find(it->first);
        if (next != wanted.end() && next->second == it->second->config) {
            ++it;
            continue;
        }
        qCInfo(lcConfig).noquote()
            << it->first + QStringLiteral(": ") +
                   (next == wanted.end() ? QStringLiteral("removed")
                                         : QStringLiteral("changed: restarting"));
        if (next != wanted.end())
            restarting << it->first;
        emit switchStopping(it->first);
        it->second->front.reset();
        it = served.erase(it);
    }
    for (const auto& [id, config] : wanted) {
        if (served.count(id) != 0)
            continue;
        if (applied && !restarting.contains(id))
            qCInfo(lcConfig).noquote() << id + QStringLiteral(": added");
        startSwitch(config);
    }
    applied = true;
}

QStringList SwitchService::ids() const
{
    QStringList out;
    for (const auto& [id, item] : served)
        out << id;
    return out;
}

void SwitchService::startSwitch(const SwitchConfig& config)
{
    auto item = std::make_unique<Served>();
    item->config = config;
    item->line = std::make_unique<SharedLine>(config);
    item->front = std::make_unique<SwitchFront>(*item->line, config);
    item->front->start();
    item->line->start();
    SharedLine& line = *item->line;
    served.emplace(config.id, std::move(item));
    emit switchStarted(config, line);
}

void SwitchService::stopAll()
{
    for (auto& [id, item] : served) {
        emit switchStopping(id);
        item->front.reset();
    }
    served.clear();
}

SharedLine* SwitchService::line(const QString& id) const
{
    const auto found = served.find(id);
    return found == served.end() ? nullptr : found->second->line.get();
}

SwitchFront* SwitchService::front(const QString& id) const
{
    const auto found = served.find(id);
    return found == served.end() ? nullptr : found->second->front.get();
}
