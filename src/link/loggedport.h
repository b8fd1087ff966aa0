// SPDX-License-Identifier: MIT
#pragma once

#include "port.h"
#include "sessionlog.h"

#include <optional>

// A Port that passes everything on to another and records the bytes that go out and come in,
// so every writer (the window, its dialogs, a command line) lands in the one session log.
class LoggedPort : public Port
{
    Q_OBJECT
public:
    // Records nothing until setLog() gives it a log.
    explicit LoggedPort(Port& line, QObject* parent = nullptr);

    void setLog(std::optional<SessionLog> log) { sessionLog = std::move(log); }
    const std::optional<SessionLog>& log() const { return sessionLog; }
    void recordEvent(const QString& text)
    {
        if (sessionLog)
            sessionLog->recordEvent(text);
    }

    bool open(const QString& device) override { return line.open(device); }
    void close() override { line.close(); }
    bool isOpen() const override { return line.isOpen(); }
    bool isOpening() const override { return line.isOpening(); }
    QString errorString() const override { return line.errorString(); }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override { return line.bytesAvailable(); }
    SharedSwitch* sharedSwitch() override { return line.sharedSwitch(); }

private:
    Port& line;
    std::optional<SessionLog> sessionLog;
};
