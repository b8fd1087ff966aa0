// SPDX-License-Identifier: MIT
// The COMPORT file's bytes, whatever a user or a crash left there.
#include "fuzzcheck.h"

#include "protocol/comportfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<quint8> index = comportfile::parse(content);

    // Only the first field counts: cutting the bytes right after it changes nothing.
    qsizetype end = 0;
    while (end < content.size() && (content[end] == ' ' || content[end] == '\t'))
        ++end;
    while (end < content.size() && content[end] != ' ' && content[end] != '\t' &&
           content[end] != ',' && content[end] != '\r' && content[end] != '\n')
        ++end;
    FUZZ_CHECK(comportfile::parse(content.left(end)) == index);
    FUZZ_CHECK(comportfile::parse(content.left(end) + ",7 \r\n") == index);

    if (index) {
        // A value read back is written the way the console writes it, and reads back the same.
        const QByteArray written = comportfile::format(*index);
        FUZZ_CHECK(written.startsWith(' ') && written.endsWith(" \r\n"));
        FUZZ_CHECK(comportfile::parse(written) == index);
    }
    return 0;
}
