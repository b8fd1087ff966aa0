// SPDX-License-Identifier: MIT
#pragma once

// Folders that refuse writes the way a user meets them, made without special mounts so that the
// tests run the same as root (as in CI) and as a normal user.

#include <QFile>
#include <QString>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// What a path is (S_IFREG, S_IFLNK, S_IFIFO...), without following a link; 0 when missing.
inline mode_t kindOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// For its scope, this thread opens files as user nobody when the test runs as root, so that
// permission bits bind as they do for everyone else (root ignores them). A normal user keeps
// its own identity: its permission bits already bind. Linux keeps this identity per thread.
class FileAccessAsNobody
{
public:
    static constexpr uid_t nobody = 65534;

    FileAccessAsNobody()
    {
        if (::geteuid() != 0)
            return;
        ::setfsgid(nobody);
        ::setfsuid(nobody);
        switched = true;
        // setfsuid() reports no failure; asking again with an invalid id tells the current one.
        active = ::setfsuid(static_cast<uid_t>(-1)) == nobody;
    }
    ~FileAccessAsNobody()
    {
        if (switched) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    FileAccessAsNobody(const FileAccessAsNobody&) = delete;
    FileAccessAsNobody& operator=(const FileAccessAsNobody&) = delete;

    // False when root could not take nobody's identity (a user namespace without that id).
    bool isActive() const { return active; }

    // Lets everyone in: a folder made by a test is its owner's alone.
    static bool openToAll(const QString& path, bool writable)
    {
        QFile::Permissions p = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        if (writable)
            p |= QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        return QFile::setPermissions(path, p);
    }

private:
    bool switched = false;
    bool active = true;
};

// For its scope, no file may grow beyond `bytes`: a write past that point stops short and the
// next one fails with EFBIG, as on a disk that fills up part way. SIGXFSZ is ignored meanwhile,
// as it would otherwise end the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return active; }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
    bool active = false;
};
