// SPDX-License-Identifier: MIT
#include "runconsole.h"

#include "link/anyport.h"
#include "link/language.h"
#include "mainwindow.h"
#include "protocol/comportfile.h"
#include "protocol/terminationsignals.h"
#include "ui/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <utility>

namespace {

// Runs `work` once `window`'s first frame has been painted, or when the event loop ends first.
class AfterFirstFrame : public QObject
{
public:
    AfterFirstFrame(QWidget& window, std::function<void()> then) : work(std::move(then))
    {
        window.installEventFilter(this);
    }
    ~AfterFirstFrame() override { run(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The paint under way is finished and flushed before the next turn of the loop.
            QTimer::singleShot(0, this, [this] { run(); });
        }
        return false;
    }

private:
    void run()
    {
        if (work)
            std::exchange(work, nullptr)();
    }

    std::function<void()> work;
};

} // namespace

int runConsole(int& argc, char** argv, const std::function<void(MainWindow&)>& beforeStartUp)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNOK"));
    installTranslations(app);
    AnyPort port;
    // Asked to stop (logout, Ctrl+C, kill): close the port, which removes its lock file, and
    // leave every event loop, a box's included.
    TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &TerminationSignals::received, &app, [&port] {
        port.close();
        QApplication::exit(0);
    });
    QtMessageBoxes boxes;
    MainWindow window(port, boxes, QDir::currentPath());
    // What the user sees waits for nothing that can come after: COMPORT's folder is synced to
    // the disk once the window is on screen (after whatever `beforeStartUp` waits for too).
    comportfile::holdFolderSync(true);
    const AfterFirstFrame release(window, [] { comportfile::holdFolderSync(false); });
    if (beforeStartUp)
        beforeStartUp(window);
    window.startUp();
    window.show();
    return QApplication::exec();
}
