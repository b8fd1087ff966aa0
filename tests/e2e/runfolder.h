// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A temporary folder that is the process's working directory for the folder's life, as the
// console's run folder is: the console keeps COMPORT there and finds COMn there. The previous
// working directory comes back before the folder is removed.
class RunFolder
{
public:
    RunFolder() : previous(QDir::currentPath())
    {
        entered = dir.isValid() && QDir::setCurrent(dir.path());
    }
    ~RunFolder() { QDir::setCurrent(previous); }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool isEntered() const { return entered; }
    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }

    // Points COM1 at `device`, replacing an older link, as a device plugged in under that name.
    bool linkCom1(const QString& device) const
    {
        const QString com1 = filePath(QStringLiteral("COM1"));
        QFile::remove(com1);
        return QFile::link(device, com1);
    }

private:
    QTemporaryDir dir;
    QString previous;
    bool entered = false;
};
