// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSettings;

// varnok.conf on disk, for every reader and writer of it. Only a regular file is read: a pipe
// or a device could block or never end. A change is a read-modify-write under one lock beside
// the file, and replaces the file whole; it never writes through a link.
namespace setupfile {

// Larger files are not read: no set-up comes near it.
inline constexpr qint64 maxBytes = 16 << 20;
// How long a change waits for another program's change to finish.
inline constexpr int lockTimeoutMs = 5000;

// Why the file at `path` is neither read nor written (a link, a pipe, a device, too large);
// null when it is a regular file or missing.
QString refusal(const QString& path);

// The settings the file holds; none when refusal() is not null.
std::unique_ptr<QSettings> read(const QString& path);

// Holds <path>.lock, lets `edit` read and change the file's settings, and puts the result in
// place of the file in one rename. `edit` returns false to leave the file as it was. False,
// with `error` set (unless `edit` refused), when the lock was not had in time, the file is
// refused, or it cannot be written.
bool change(const QString& path, const std::function<bool(QSettings&)>& edit, QString& error);

} // namespace setupfile
