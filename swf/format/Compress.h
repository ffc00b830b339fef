#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// The compressors of the writer: the counterparts of decompressBody.

// A zlib stream, as the body of a CWS file.
std::vector<uint8_t> compressZlib(std::span<const uint8_t> data);

// A raw LZMA stream as a ZWS file carries it: the 5 property bytes, then the data.
struct LzmaStream {
    std::vector<uint8_t> properties; // 5 bytes
    std::vector<uint8_t> data;
};
LzmaStream compressLzma(std::span<const uint8_t> data);

} // namespace swf
