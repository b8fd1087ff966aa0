// SPDX-License-Identifier: MIT
#pragma once

// Small helpers shared by the benchmark programs: a monotonic clock that means the same in every
// process of the machine, and the memory figures of /proc/<pid>/status.

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <ctime>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: comparable between a parent and the processes it starts.
inline std::int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A "Key:   1234 kB" field of /proc/<pid>/status ("self" for this process); -1 when missing.
inline qint64 statusField(const QByteArray& pid, const QByteArray& key)
{
    QFile file(QByteArray("/proc/" + pid + "/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = key + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').constFirst().toLongLong();
    return -1;
}

// The p-quantile (0 to 1) of `values` by nearest rank; 0 for no values.
inline double quantile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = qsizetype(p * double(values.size() - 1) + 0.5);
    return values[std::clamp<qsizetype>(rank, 0, values.size() - 1)];
}

inline double median(const QList<double>& values)
{
    if (values.isEmpty())
        return 0;
    QList<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

} // namespace bench
