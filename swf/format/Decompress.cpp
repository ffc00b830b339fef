#include "Decompress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>

namespace swf {

namespace {

constexpr size_t kFileHeaderSize = 8;
constexpr size_t kZwsHeaderSize = 17; // the file header, the packed length, 5 property bytes
constexpr size_t kChunk = 64 * 1024;
// Consumed body bytes are dropped from the front of the buffer once there are this many.
constexpr size_t kCompactAt = 1 << 20;

uint32_t readLe32(std::span<const uint8_t> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

std::string sizeText(size_t bytes)
{
    return std::to_string(bytes) + " bytes";
}

// What an uncompressed body of `available` bytes gets said about it, cut at `limit`.
std::vector<std::string> plainBodyWarnings(
    size_t available, std::optional<size_t> declaredBody, size_t limit, size_t maxSize)
{
    if (available > limit) {
        if (declaredBody && limit == *declaredBody)
            return { "SWF: " + sizeText(available - limit) + " after the declared file length are ignored" };
        return { "SWF: the movie is larger than " + sizeText(maxSize) + "; the rest is ignored" };
    }
    if (declaredBody && available < *declaredBody)
        return { "SWF: the file is " + sizeText(*declaredBody - available)
            + " shorter than its header says" };
    return {};
}

} // namespace

// The decoder state of a compressed file: zlib for CWS, liblzma for ZWS.
struct BodyDecoder::Stream {
    Compression kind = Compression::Zlib;
    z_stream zlib {};
    lzma_stream lzma = LZMA_STREAM_INIT;
    bool started = false;

    ~Stream()
    {
        if (!started)
            return;
        if (kind == Compression::Zlib)
            inflateEnd(&zlib);
        else
            lzma_end(&lzma);
    }
};

BodyDecoder::BodyDecoder(size_t maxSize)
    : m_maxSize(maxSize)
{
}

BodyDecoder::~BodyDecoder() = default;

std::span<const uint8_t> BodyDecoder::available() const
{
    return std::span<const uint8_t>(m_out).subspan(m_start);
}

void BodyDecoder::consume(size_t count)
{
    m_start += std::min(count, m_out.size() - m_start);
    if (m_start >= kCompactAt && m_start * 2 >= m_out.size()) {
        m_out.erase(m_out.begin(), m_out.begin() + std::ptrdiff_t(m_start));
        m_start = 0;
    }
}

std::vector<uint8_t> BodyDecoder::takeBody()
{
    m_out.shrink_to_fit();
    return std::move(m_out);
}

void BodyDecoder::append(std::span<const uint8_t> bytes)
{
    const size_t room = m_limit - std::min(m_limit, m_decoded);
    const size_t taken = std::min(room, bytes.size());
    m_out.insert(m_out.end(), bytes.begin(), bytes.begin() + std::ptrdiff_t(taken));
    m_decoded += taken;
    if (m_decoded >= m_limit)
        m_ended = true;
}

Result<void> BodyDecoder::feed(std::span<const uint8_t> bytes)
{
    if (m_failed)
        return fail("SWF: the movie could not be read");
    // The file header (and a ZWS file's LZMA header) arrives byte by byte if need be.
    while (!m_headerRead && !bytes.empty()) {
        m_head.push_back(bytes.front());
        bytes = bytes.subspan(1);
        if (m_head.size() == 3) {
            if (auto signature = readSignature(m_head); !signature) {
                m_failed = true;
                return std::unexpected(signature.error());
            }
        }
        if (m_head.size() == (m_head[0] == 'Z' ? kZwsHeaderSize : kFileHeaderSize)) {
            if (auto header = readHeader(); !header) {
                m_failed = true;
                return header;
            }
        }
    }
    if (bytes.empty())
        return {};
    if (m_compression == Compression::None) {
        const size_t before = m_decoded;
        append(bytes);
        m_ignored += bytes.size() - (m_decoded - before);
        return {};
    }
    if (m_ended)
        return {};
    auto result = decode(bytes, false);
    if (!result)
        m_failed = true;
    return result;
}

Result<void> BodyDecoder::readHeader()
{
    auto compression = readSignature(m_head);
    if (!compression)
        return std::unexpected(compression.error());
    m_compression = *compression;
    m_version = m_head[3];
    m_declared = readLe32(m_head, 4);
    if (m_declared > kFileHeaderSize)
        m_declaredBody = m_declared - kFileHeaderSize;
    else
        m_headerWarnings.push_back(
            "SWF: the declared file length " + std::to_string(m_declared) + " is impossible; ignored");
    m_limit = std::min(m_declaredBody.value_or(m_maxSize), m_maxSize);
    m_headerRead = true;
    if (m_limit == 0)
        m_ended = true;
    if (m_compression == Compression::None)
        return {};

    m_stream = std::make_unique<Stream>();
    m_stream->kind = m_compression;
    if (m_compression == Compression::Zlib) {
        if (inflateInit(&m_stream->zlib) != Z_OK)
            return fail("CWS: zlib could not start");
        m_stream->started = true;
        return {};
    }
    // ZWS: 'ZWS', version, u32 uncompressed length, u32 compressed length, 5 bytes of LZMA
    // properties, then the raw LZMA stream. liblzma reads it as the old .lzma format once
    // the 13-byte header of that format is put in front: the properties, then the
    // uncompressed size as u64.
    std::array<uint8_t, 13> alone {};
    std::copy_n(m_head.begin() + 12, 5, alone.begin());
    // The dictionary never needs to be larger than the output; cap it so that a header
    // claiming 4 GiB of dictionary cannot make liblzma allocate it.
    const uint32_t dictCap = uint32_t(std::max<size_t>(m_limit, 4096));
    const uint32_t dictSize = std::min(readLe32(m_head, 13), dictCap);
    for (int i = 0; i < 4; ++i)
        alone[1 + i] = uint8_t(dictSize >> (8 * i));
    const uint64_t size = m_declaredBody ? uint64_t(*m_declaredBody) : UINT64_MAX;
    for (int i = 0; i < 8; ++i)
        alone[5 + i] = uint8_t(size >> (8 * i));
    if (lzma_alone_decoder(&m_stream->lzma, uint64_t(m_limit) + (64u << 20)) != LZMA_OK)
        return fail("ZWS: liblzma could not start");
    m_stream->started = true;
    return decode(alone, false);
}

// Runs the decoder over `input`, appending what comes out, until the input is used up, the
// stream ends or the limit is reached. `last` says no input follows.
Result<void> BodyDecoder::decode(std::span<const uint8_t> input, bool last)
{
    std::array<uint8_t, kChunk> buffer;
    if (m_compression == Compression::Zlib) {
        z_stream& z = m_stream->zlib;
        z.next_in = const_cast<Bytef*>(input.data());
        z.avail_in = 0;
        size_t inputLeft = input.size();
        while (!m_ended) {
            // zlib counts in uInt; feed huge inputs in slices.
            if (z.avail_in == 0 && inputLeft > 0) {
                z.avail_in = uInt(std::min<size_t>(inputLeft, UINT_MAX));
                inputLeft -= z.avail_in;
            }
            const size_t room = std::min(buffer.size(), m_limit - m_decoded);
            z.next_out = buffer.data();
            z.avail_out = uInt(room);
            const int status = inflate(&z, Z_NO_FLUSH);
            append(std::span<const uint8_t>(buffer.data(), room - z.avail_out));
            if (status == Z_STREAM_END) {
                m_ended = true;
            } else if (m_decoded >= m_limit) {
                // Every byte the header declares is in. What zlib says of the stream after
                // them (its check value) is not heard: a movie arriving in pieces stops
                // before those bytes come, and it must read as the whole file does.
                m_ended = true;
            } else if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR) {
                const std::string message = z.msg ? z.msg : "";
                m_ended = true;
                if (m_decoded == 0)
                    return fail("CWS: the compressed data is damaged (" + message + ")");
                m_streamWarnings.push_back("CWS: the compressed data is damaged after " + sizeText(m_decoded)
                    + " (" + message + "); the rest of the movie is lost");
            } else if (status == Z_BUF_ERROR || (z.avail_out != 0 && z.avail_in == 0 && inputLeft == 0)) {
                break; // every byte given is used: the rest of the stream is still to come
            }
        }
        if (last && !m_ended) {
            m_ended = true;
            m_streamWarnings.push_back("CWS: the compressed data ends early, after " + sizeText(m_decoded));
        }
        return {};
    }

    lzma_stream& s = m_stream->lzma;
    s.next_in = input.data();
    s.avail_in = input.size();
    while (!m_ended) {
        const size_t room = std::min(buffer.size(), m_limit - m_decoded);
        s.next_out = buffer.data();
        s.avail_out = room;
        const lzma_ret status = lzma_code(&s, last ? LZMA_FINISH : LZMA_RUN);
        const size_t produced = room - s.avail_out;
        append(std::span<const uint8_t>(buffer.data(), produced));
        if (status == LZMA_STREAM_END) {
            m_ended = true;
        } else if (status == LZMA_FORMAT_ERROR || status == LZMA_OPTIONS_ERROR || status == LZMA_MEM_ERROR
            || status == LZMA_MEMLIMIT_ERROR) {
            m_ended = true;
            return fail("ZWS: the LZMA header is not valid");
        } else if (status == LZMA_DATA_ERROR || (last && (status != LZMA_OK || produced == 0))) {
            m_ended = true;
            if (m_decoded == 0)
                return fail("ZWS: the compressed data is damaged");
            m_streamWarnings.push_back(status == LZMA_DATA_ERROR
                    ? "ZWS: the compressed data is damaged after " + sizeText(m_decoded)
                        + "; the rest of the movie is lost"
                    : "ZWS: the compressed data ends early, after " + sizeText(m_decoded));
        } else if (!last && (status != LZMA_OK || (s.avail_in == 0 && s.avail_out != 0))) {
            break; // every byte given is used: the rest of the stream is still to come
        }
    }
    return {};
}

Result<void> BodyDecoder::finish()
{
    if (m_finished)
        return {};
    m_finished = true;
    if (m_failed)
        return fail("SWF: the movie could not be read");
    if (!m_headerRead) {
        if (auto signature = readSignature(m_head); !signature)
            return std::unexpected(signature.error());
        if (m_head.size() < kFileHeaderSize)
            return fail("SWF: the file ends inside its 8-byte header");
        return fail("ZWS: the file ends inside its LZMA header");
    }
    if (m_compression == Compression::None) {
        m_ended = true;
        m_endWarnings = plainBodyWarnings(m_decoded + m_ignored, m_declaredBody, m_limit, m_maxSize);
        return {};
    }
    if (!m_ended) {
        if (auto result = decode({}, true); !result)
            return result;
    }
    if (m_decoded >= m_maxSize && (!m_declaredBody || *m_declaredBody > m_maxSize))
        m_endWarnings.push_back(
            "SWF: the movie is larger than " + sizeText(m_maxSize) + "; the rest is ignored");
    if (m_streamWarnings.empty() && m_declaredBody && m_decoded < std::min(*m_declaredBody, m_maxSize))
        m_endWarnings.push_back(
            "SWF: the movie is " + sizeText(*m_declaredBody - m_decoded) + " shorter than its header says");
    return {};
}

std::vector<std::string> BodyDecoder::warnings() const
{
    std::vector<std::string> all = m_headerWarnings;
    all.insert(all.end(), m_endWarnings.begin(), m_endWarnings.end());
    all.insert(all.end(), m_streamWarnings.begin(), m_streamWarnings.end());
    return all;
}

// ---- The whole file at once ------------------------------------------------------------

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

    BodyDecoder decoder(maxSize);
    if (*compression == Compression::None) {
        // An uncompressed body is a view of the file, cut where the decoder would cut it.
        if (auto fed = decoder.feed(file.first(kFileHeaderSize)); !fed)
            return std::unexpected(fed.error());
        const uint32_t declared = decoder.declaredLength();
        const std::optional<size_t> declaredBody
            = declared > kFileHeaderSize ? std::optional<size_t>(declared - kFileHeaderSize) : std::nullopt;
        const size_t limit = std::min(declaredBody.value_or(maxSize), maxSize);
        auto body = file.subspan(kFileHeaderSize);
        std::vector<std::string> warnings = decoder.warnings();
        auto more = plainBodyWarnings(body.size(), declaredBody, limit, maxSize);
        warnings.insert(warnings.end(), more.begin(), more.end());
        Body result = Body::borrowed(body.first(std::min(body.size(), limit)));
        result.warnings = std::move(warnings);
        return result;
    }

    if (auto fed = decoder.feed(file); !fed)
        return std::unexpected(fed.error());
    if (auto done = decoder.finish(); !done)
        return std::unexpected(done.error());
    Body result = Body::owned(decoder.takeBody());
    result.warnings = decoder.warnings();
    return result;
}

} // namespace swf
