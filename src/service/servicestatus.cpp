// SPDX-License-Identifier: MIT
#include "servicestatus.h"

#include "sharedline.h"
#include "switchfront.h"
#include "switchservice.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>

namespace {

QString counted(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

ServiceStatus::ServiceStatus(const SwitchService& switches, std::function<int()> pageCount,
                             QObject* parent)
    : QObject(parent), service(switches), pages(std::move(pageCount))
{
    connect(&refreshTimer, &QTimer::timeout, this, &ServiceStatus::refresh);
    refreshTimer.start(refreshMs);
    uint64_t intervalUs = 0;
    if (sd_watchdog_enabled(0, &intervalUs) > 0 && intervalUs > 0) {
        connect(&watchdog, &QTimer::timeout, this, [] { sd_notify(0, "WATCHDOG=1"); });
        watchdog.start(int(std::max<uint64_t>(intervalUs / 2000, 1)));
        sd_notify(0, "WATCHDOG=1");
    }
    refresh();
}

QString ServiceStatus::text() const
{
    int up = 0;
    int down = 0;
    int controllers = 0;
    for (const QString& id : service.ids()) {
        if (const SharedLine* line = service.line(id))
            ++(line->isOpen() ? up : down);
        if (const SwitchFront* front = service.front(id))
            controllers += front->clientCount();
    }
    return QStringLiteral("%1 up, %2 down; %3; %4")
        .arg(counted(up, "switch", "switches"))
        .arg(down)
        .arg(counted(controllers, "TCP controller", "TCP controllers"),
             counted(pages(), "web page", "web pages"));
}

void ServiceStatus::refresh()
{
    const QString now = text();
    if (now == told)
        return;
    told = now;
    sd_notify(0, ("STATUS=" + now.toUtf8()).constData());
}
