#include "Compress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace swf {

std::vector<uint8_t> compressZlib(std::span<const uint8_t> data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib could not compress the movie");
    out.resize(size);
    return out;
}

LzmaStream compressLzma(std::span<const uint8_t> data)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    // A dictionary larger than the data buys nothing and costs the encoder memory.
    options.dict_size = uint32_t(std::clamp<size_t>(data.size(), LZMA_DICT_SIZE_MIN, options.dict_size));
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        throw std::runtime_error("liblzma could not start");

    // The .lzma format this encoder writes is: 5 property bytes, the size as u64, data.
    std::vector<uint8_t> out(data.size() + data.size() / 2 + 1024);
    stream.next_in = data.data();
    stream.avail_in = data.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    lzma_ret status = LZMA_OK;
    while (status == LZMA_OK) {
        if (stream.avail_out == 0) {
            size_t used = out.size();
            out.resize(out.size() * 2);
            stream.next_out = out.data() + used;
            stream.avail_out = out.size() - used;
        }
        status = lzma_code(&stream, LZMA_FINISH);
    }
    size_t written = stream.total_out;
    lzma_end(&stream);
    if (status != LZMA_STREAM_END || written < 13)
        throw std::runtime_error("liblzma could not compress the movie");

    LzmaStream result;
    result.properties.assign(out.begin(), out.begin() + 5);
    result.data.assign(out.begin() + 13, out.begin() + written);
    return result;
}

} // namespace swf
