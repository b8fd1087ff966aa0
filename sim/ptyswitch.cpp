// SPDX-License-Identifier: MIT
#include "ptyswitch.h"

#include "protocol/logtext.h"
#include "pty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <poll.h>
#include <random>
#include <unistd.h>

namespace sim {

class PtySwitch::Impl
{
public:
    Impl(const Options& options, Pty& pty, Log log)
        : m_options(options), m_pty(pty), m_log(std::move(log)), m_model(options.initial),
          m_random(options.seed.value_or(std::random_device{}()))
    {
        m_model.setStuckOutput(options.stuckOutput - 1);
        m_clock.start();
        m_reader = new QSocketNotifier(pty.master(), QSocketNotifier::Read, &m_context);
        QObject::connect(m_reader, &QSocketNotifier::activated, &m_context,
                         [this] { readCommands(); });

        m_pump.setSingleShot(true);
        QObject::connect(&m_pump, &QTimer::timeout, &m_context, [this] { pump(); });

        if (options.frontPanelMs > 0) {
            m_frontPanel.setInterval(options.frontPanelMs);
            QObject::connect(&m_frontPanel, &QTimer::timeout, &m_context, [this] { frontPanel(); });
            m_frontPanel.start();
        }
    }

private:
    struct Pending
    {
        qint64 due = 0;
        QByteArray bytes;
    };

    void readCommands()
    {
        char buffer[512];
        for (;;) {
            const ssize_t n = read(m_pty.master(), buffer, sizeof buffer);
            if (n > 0) {
                handle(QByteArrayView(buffer, n));
                if (m_hangingUp || m_down)
                    return;
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            // Cannot happen while the slave is held open here; stop rather than spin.
            m_log("** line read failed, stopping");
            m_reader->setEnabled(false);
            QCoreApplication::exit(1);
            return;
        }
    }

    void handle(QByteArrayView bytes)
    {
        for (const Exchange& exchange : m_model.feed(bytes)) {
            m_log("<- " + protocol::logEscaped(exchange.command));
            send(exchange.reply, m_options.delayMs);
            ++m_commands;
            if (m_options.restartAfter > 0 && m_commands == m_options.restartAfter) {
                // Answers already due still go out; the rest of this read is lost with the line.
                m_down = true;
                m_reader->setEnabled(false);
                pump();
                QTimer::singleShot(300, &m_context, [this] { restart(); });
                return;
            }
            if (m_options.hangupAfter > 0 && m_commands >= m_options.hangupAfter) {
                // Whatever else came in the same read is dropped: the line is going down.
                m_hangingUp = true;
                m_reader->setEnabled(false);
                m_frontPanel.stop();
                pump();
                return;
            }
        }
    }

    void frontPanel()
    {
        const QByteArray report = m_model.frontPanelChange(quint32(m_random()));
        m_log("** front panel: output " + report.mid(1, 1) + " to input " + report.mid(2, 1));
        send(report, 0);
    }

    void send(QByteArray reply, int delayMs)
    {
        if (m_options.silent) {
            m_log("-- not sent (silent): " + protocol::logEscaped(reply));
            return;
        }
        if (m_options.noise) {
            // At least one byte the console cannot take, somewhere in the reply.
            const auto at = qsizetype(m_random() % quint32(reply.size())); // before its line end
            reply.insert(at, char(0x80 + m_random() % 0x80));
        }
        m_log("-> " + protocol::logEscaped(reply));
        m_queue.push_back({m_clock.elapsed() + delayMs, reply});
        pump();
    }

    // Writes whatever is due, byte by byte when dribbling, and re-arms itself for the rest.
    void pump()
    {
        const qint64 now = m_clock.elapsed();
        while (!m_queue.empty()) {
            Pending& next = m_queue.front();
            const qint64 wait = std::max(next.due, m_nextByteAt) - now;
            if (wait > 0) {
                m_pump.start(int(wait));
                return;
            }
            if (m_options.dribbleMs > 0) {
                write(next.bytes.first(1));
                next.bytes.remove(0, 1);
                m_nextByteAt = now + m_options.dribbleMs;
            } else {
                write(next.bytes);
                next.bytes.clear();
            }
            if (next.bytes.isEmpty())
                m_queue.pop_front();
        }
        if (m_hangingUp && !m_hangupScheduled) {
            // Give the console a moment to take the last answer before the line goes down.
            m_hangupScheduled = true;
            QTimer::singleShot(300, &m_context, [this] { hangUp(); });
        }
    }

    void write(QByteArrayView bytes)
    {
        while (!bytes.isEmpty()) {
            const ssize_t n = ::write(m_pty.master(), bytes.data(), size_t(bytes.size()));
            if (n > 0) {
                bytes = bytes.sliced(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            // Nobody is reading and the line's buffer is full: wait a little, then give up.
            pollfd pfd{m_pty.master(), POLLOUT, 0};
            if (n < 0 && errno == EAGAIN && poll(&pfd, 1, 200) > 0)
                continue;
            m_log("** line full, dropped " + QByteArray::number(bytes.size()) + " bytes");
            return;
        }
    }

    void hangUp()
    {
        m_log("** hanging up after " + QByteArray::number(m_commands) + " commands");
        m_reader->setEnabled(false);
        m_pty.close();
        QCoreApplication::exit(0);
    }

    // Down for a moment, then up again on a fresh line behind the same link.
    void restart()
    {
        m_log("** restarting after " + QByteArray::number(m_commands) + " commands");
        delete m_reader;
        m_reader = nullptr;
        const QString oldSlave = m_pty.slavePath();
        m_pty.close();
        removeLink(m_options.link, oldSlave);
        Routes moved = m_model.routes();
        for (int& input : moved)
            input = (input + 1) % 4;
        m_model = SwitchModel(moved);
        m_model.setStuckOutput(m_options.stuckOutput - 1);
        QTimer::singleShot(700, &m_context, [this] {
            QString error;
            if (!m_pty.open(&error) || !placeLink(m_options.link, m_pty.slavePath(), &error)) {
                m_log("** cannot come back: " + error.toLocal8Bit());
                QCoreApplication::exit(2);
                return;
            }
            m_reader = new QSocketNotifier(m_pty.master(), QSocketNotifier::Read, &m_context);
            QObject::connect(m_reader, &QSocketNotifier::activated, &m_context,
                             [this] { readCommands(); });
            m_down = false;
            m_log("** back: " + m_options.link.toLocal8Bit() + " -> " +
                  m_pty.slavePath().toLocal8Bit());
        });
    }

    const Options& m_options;
    Pty& m_pty;
    Log m_log;
    SwitchModel m_model;
    std::mt19937 m_random;
    QObject m_context;
    QSocketNotifier* m_reader = nullptr;
    QTimer m_pump;
    QTimer m_frontPanel;
    QElapsedTimer m_clock;
    std::deque<Pending> m_queue;
    qint64 m_nextByteAt = 0;
    int m_commands = 0;
    bool m_hangingUp = false;
    bool m_hangupScheduled = false;
    bool m_down = false; // between a restart's hang-up and its return
};

PtySwitch::PtySwitch(const Options& options, Pty& pty, Log log)
    : impl(std::make_unique<Impl>(options, pty, std::move(log)))
{
}

PtySwitch::~PtySwitch() = default;

} // namespace sim
