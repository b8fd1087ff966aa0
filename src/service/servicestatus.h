// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class SwitchService;

// What systemd shows of the running service and how it knows it is alive: STATUS= with the
// switches up and down, the TCP controllers and the web pages, sent whenever it changes; and,
// where the unit sets WatchdogSec=, WATCHDOG=1 from the event loop twice per interval, so a
// service whose loop hangs is restarted.
class ServiceStatus : public QObject
{
    Q_OBJECT
public:
    static constexpr int refreshMs = 2000;

    // `pages` counts the web panel's open pages.
    ServiceStatus(const SwitchService& service, std::function<int()> pages,
                  QObject* parent = nullptr);

    // "2 switches up, 1 down; 3 TCP controllers; 1 web page"
    QString text() const;

private:
    void refresh();

    const SwitchService& service;
    std::function<int()> pages;
    QTimer refreshTimer;
    QTimer watchdog;
    QString told;
};
