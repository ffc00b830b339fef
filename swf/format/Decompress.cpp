#include "Decompress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>

namespace swf {

namespace {

constexpr size_t kFileHeaderSize = 8;
constexpr size_t kChunk = 64 * 1024;

uint32_t readLe32(std::span<const uint8_t> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

std::string sizeText(size_t bytes)
{
    return std::to_string(bytes) + " bytes";
}

// The output buffer of a decoder: grows a chunk at a time as the decoder fills it, never
// past `limit`, so that memory follows the data that really arrives.
class GrowingOutput {
public:
    explicit GrowingOutput(size_t limit)
        : m_limit(limit)
    {
    }

    // Room for the decoder to write into; empty once the limit is reached.
    std::span<uint8_t> room()
    {
        size_t wanted = std::min(m_limit - m_used, std::max(kChunk, m_used / 2));
        if (m_buffer.size() < m_used + wanted)
            m_buffer.resize(m_used + wanted);
        return std::span<uint8_t>(m_buffer).subspan(m_used, wanted);
    }
    void commit(size_t written) { m_used += written; }
    bool full() const { return m_used >= m_limit; }
    size_t size() const { return m_used; }
    std::vector<uint8_t> take()
    {
        m_buffer.resize(m_used);
        m_buffer.shrink_to_fit();
        return std::move(m_buffer);
    }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_used = 0;
    size_t m_limit;
};

struct Inflated {
    std::vector<uint8_t> bytes;
    std::vector<std::string> warnings;
};

Result<Inflated> inflateZlib(std::span<const uint8_t> input, size_t limit)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return fail("CWS: zlib could not start");
    GrowingOutput out(limit);
    stream.next_in = const_cast<Bytef*>(input.data());
    int status = Z_OK;
    size_t inputLeft = input.size();
    while (!out.full()) {
        // zlib counts in uInt; feed huge inputs in slices.
        if (stream.avail_in == 0 && inputLeft > 0) {
            stream.avail_in = uInt(std::min<size_t>(inputLeft, UINT_MAX));
            inputLeft -= stream.avail_in;
        }
        auto room = out.room();
        stream.next_out = room.data();
        stream.avail_out = uInt(room.size());
        status = inflate(&stream, Z_NO_FLUSH);
        out.commit(room.size() - stream.avail_out);
        if (status != Z_OK)
            break;
    }
    std::string zlibMessage = stream.msg ? stream.msg : "";
    inflateEnd(&stream);

    Inflated result;
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR) {
        if (out.size() == 0)
            return fail("CWS: the compressed data is damaged (" + zlibMessage + ")");
        result.warnings.push_back("CWS: the compressed data is damaged after " + sizeText(out.size()) + " ("
            + zlibMessage + "); the rest of the movie is lost");
    } else if (status == Z_BUF_ERROR || (status == Z_OK && !out.full())) {
        result.warnings.push_back("CWS: the compressed data ends early, after " + sizeText(out.size()));
    }
    result.bytes = out.take();
    return result;
}

// ZWS: 'ZWS', version, u32 uncompressed length, u32 compressed length, 5 bytes of LZMA
// properties, then the raw LZMA stream. liblzma reads it as the old .lzma format once
// the 13-byte header of that format is put in front: the properties, then the
// uncompressed size as u64.
Result<Inflated> decodeLzma(std::span<const uint8_t> file, std::optional<size_t> bodySize, size_t limit)
{
    constexpr size_t kZwsHeader = 17;
    if (file.size() < kZwsHeader)
        return fail("ZWS: the file ends inside its LZMA header");
    std::array<uint8_t, 13> alone {};
    std::copy_n(file.begin() + 12, 5, alone.begin());
    // The dictionary never needs to be larger than the output; cap it so that a header
    // claiming 4 GiB of dictionary cannot make liblzma allocate it.
    uint32_t dictSize = readLe32(file, 13);
    uint32_t dictCap = uint32_t(std::max<size_t>(limit, 4096));
    dictSize = std::min(dictSize, dictCap);
    for (int i = 0; i < 4; ++i)
        alone[1 + i] = uint8_t(dictSize >> (8 * i));
    uint64_t size = bodySize ? uint64_t(*bodySize) : UINT64_MAX;
    for (int i = 0; i < 8; ++i)
        alone[5 + i] = uint8_t(size >> (8 * i));

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, uint64_t(limit) + (64u << 20)) != LZMA_OK)
        return fail("ZWS: liblzma could not start");

    GrowingOutput out(limit);
    auto payload = file.subspan(kZwsHeader);
    lzma_ret status = LZMA_OK;
    bool headerFed = false;
    while (!out.full()) {
        if (stream.avail_in == 0) {
            if (!headerFed) {
                stream.next_in = alone.data();
                stream.avail_in = alone.size();
                headerFed = true;
            } else if (!payload.empty()) {
                stream.next_in = payload.data();
                stream.avail_in = payload.size();
                payload = {};
            }
        }
        auto room = out.room();
        stream.next_out = room.data();
        stream.avail_out = room.size();
        bool inputDone = headerFed && payload.empty();
        status = lzma_code(&stream, inputDone ? LZMA_FINISH : LZMA_RUN);
        out.commit(room.size() - stream.avail_out);
        if (status != LZMA_OK)
            break;
    }
    lzma_end(&stream);

    Inflated result;
    if (status == LZMA_FORMAT_ERROR || status == LZMA_OPTIONS_ERROR || status == LZMA_MEM_ERROR
        || status == LZMA_MEMLIMIT_ERROR) {
        return fail("ZWS: the LZMA header is not valid");
    }
    bool complete = status == LZMA_STREAM_END || out.full();
    if (!complete) {
        if (out.size() == 0)
            return fail("ZWS: the compressed data is damaged");
        if (status == LZMA_DATA_ERROR)
            result.warnings.push_back("ZWS: the compressed data is damaged after " + sizeText(out.size())
                + "; the rest of the movie is lost");
        else
            result.warnings.push_back("ZWS: the compressed data ends early, after " + sizeText(out.size()));
    }
    result.bytes = out.take();
    return result;
}

} // namespace

Body Body::borrowed(std::span<const uint8_t> bytes)
{
    Body body;
    body.m_view = bytes;
    return body;
}

Body Body::owned(std::vector<uint8_t> bytes)
{
    Body body;
    body.m_storage = std::move(bytes);
    body.m_view = body.m_storage;
    return body;
}

Result<Compression> readSignature(std::span<const uint8_t> file)
{
    if (file.size() < 3 || file[1] != 'W' || file[2] != 'S')
        return fail("SWF: not a Flash movie (no FWS, CWS or ZWS signature)");
    switch (file[0]) {
    case 'F':
        return Compression::None;
    case 'C':
        return Compression::Zlib;
    case 'Z':
        return Compression::Lzma;
    }
    return fail("SWF: not a Flash movie (no FWS, CWS or ZWS signature)");
}

Result<Body> decompressBody(std::span<const uint8_t> file, size_t maxSize)
{
    auto compression = readSignature(file);
    if (!compression)
        return std::unexpected(compression.error());
    if (file.size() < kFileHeaderSize)
        return fail("SWF: the file ends inside its 8-byte header");

    std::vector<std::string> warnings;
    uint32_t declared = readLe32(file, 4);
    std::optional<size_t> declaredBody;
    if (declared > kFileHeaderSize)
        declaredBody = declared - kFileHeaderSize;
    else
        warnings.push_back(
            "SWF: the declared file length " + std::to_string(declared) + " is impossible; ignored");
    size_t limit = std::min(declaredBody.value_or(maxSize), maxSize);

    if (*compression == Compression::None) {
        auto body = file.subspan(kFileHeaderSize);
        if (body.size() > limit) {
            if (declaredBody && limit == *declaredBody)
                warnings.push_back(
                    "SWF: " + sizeText(body.size() - limit) + " after the declared file length are ignored");
            else
                warnings.push_back(
                    "SWF: the movie is larger than " + sizeText(maxSize) + "; the rest is ignored");
            body = body.first(limit);
        } else if (declaredBody && body.size() < *declaredBody) {
            warnings.push_back("SWF: the file is " + sizeText(*declaredBody - body.size())
                + " shorter than its header says");
        }
        Body result = Body::borrowed(body);
        result.warnings = std::move(warnings);
        return result;
    }

    auto decoded = *compression == Compression::Zlib ? inflateZlib(file.subspan(kFileHeaderSize), limit)
                                                     : decodeLzma(file, declaredBody, limit);
    if (!decoded)
        return std::unexpected(decoded.error());
    if (decoded->bytes.size() >= maxSize && (!declaredBody || *declaredBody > maxSize))
        warnings.push_back("SWF: the movie is larger than " + sizeText(maxSize) + "; the rest is ignored");
    if (decoded->warnings.empty() && declaredBody && decoded->bytes.size() < std::min(*declaredBody, maxSize))
        warnings.push_back("SWF: the movie is " + sizeText(*declaredBody - decoded->bytes.size())
            + " shorter than its header says");
    warnings.insert(warnings.end(), decoded->warnings.begin(), decoded->warnings.end());
    Body result = Body::owned(std::move(decoded->bytes));
    result.warnings = std::move(warnings);
    return result;
}

} // namespace swf
