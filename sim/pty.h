// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The switch's end of the serial line: a pseudo-terminal whose slave side the console opens.
namespace sim {

class Pty
{
public:
    Pty() = default;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty() { close(); }

    // Creates the pair and opens both ends; the slave is raw, without echo, 9600 8N1. The slave
    // stays open here too, so the line is never hung up when the console closes its end.
    bool open(QString* error);
    // Closes both ends: whoever has the slave open sees the line hang up.
    void close();

    bool isOpen() const { return m_master >= 0; }
    int master() const { return m_master; } // non-blocking
    const QString& slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

// Points the symbolic link at target. An existing symbolic link is replaced (it is normally
// left over from an earlier run); anything else at that path is left alone and is an error.
bool placeLink(const QString& link, const QString& target, QString* error);

// Removes the link, but only while it still points at target: another instance may have
// taken the name over since.
void removeLink(const QString& link, const QString& target);

} // namespace sim
