// The play-list file reader on any bytes: it never crashes, and what it reads writes back
// to a file that reads the same.

#include "playlist/ListFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto entries = playlist::parseListFile(bytes);
    if (!entries)
        return 0;
    const auto written = playlist::formatListFile(*entries);
    if (!written)
        return 0; // an entry the format cannot hold (a quote run to the end, say)
    const auto again = playlist::parseListFile(*written);
    if (!again || *again != *entries)
        __builtin_trap();
    return 0;
}
