// SPDX-License-Identifier: MIT
#pragma once

// Watches a top-level window for its first paint. It prints one line to stdout and ends the
// event loop:
//   mapped_ns=<t> mapped_vmrss_kb=<n> first_paint_ns=<t> frame_done_ns=<t> vmrss_kb=<n>
//   vmhwm_kb=<n> rssanon_kb=<n> rssfile_kb=<n>
// mapped_ns is when the window system reports the window mapped and visible (its first expose
// event, before anything is painted), first_paint_ns when the window's first paint event is
// delivered, frame_done_ns when that repaint (the window and all its children, flushed to the
// backing store) has finished and the event loop takes its next turn; all CLOCK_MONOTONIC.
// mapped_vmrss_kb is read at mapped_ns, the other memory figures at frame_done.

#include "benchsupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace bench {

class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The native window exists once the widget is shown; its expose events come from there.
        if (event->type() == QEvent::Show && watched->isWidgetType() && mappedNs == 0) {
            if (QWindow* native = static_cast<QWidget*>(watched)->windowHandle())
                native->installEventFilter(this);
        } else if (event->type() == QEvent::Expose && watched->isWindowType() && mappedNs == 0 &&
                   static_cast<QWindow*>(watched)->isExposed()) {
            mappedNs = monotonicNs();
            mappedRssKb = statusField("self", "VmRSS");
            watched->removeEventFilter(this);
        }
        if (event->type() == QEvent::Paint && watched->isWidgetType() && firstPaintNs == 0) {
            firstPaintNs = monotonicNs();
            watched->removeEventFilter(this);
            // Runs once the repaint in progress has been completed and flushed.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    void report()
    {
        const std::int64_t frameDoneNs = monotonicNs();
        std::printf("mapped_ns=%lld mapped_vmrss_kb=%lld first_paint_ns=%lld frame_done_ns=%lld "
                    "vmrss_kb=%lld vmhwm_kb=%lld rssanon_kb=%lld rssfile_kb=%lld\n",
                    static_cast<long long>(mappedNs), static_cast<long long>(mappedRssKb),
                    static_cast<long long>(firstPaintNs), static_cast<long long>(frameDoneNs),
                    statusField("self", "VmRSS"), statusField("self", "VmHWM"),
                    statusField("self", "RssAnon"), statusField("self", "RssFile"));
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    std::int64_t mappedNs = 0;
    qint64 mappedRssKb = -1;
    std::int64_t firstPaintNs = 0;
};

} // namespace bench
