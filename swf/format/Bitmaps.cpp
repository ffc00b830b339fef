#include "Bitmaps.h"

#include "Tags.h"

#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace swf {
namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
// A JPEG whose scans never end takes the decoder forever; none of a real picture's
// scans come near this many.
constexpr int kMaxJpegScans = 256;

uint32_t premultiply(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    const auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

// Already premultiplied colours, each channel held to the alpha a damaged file may exceed.
uint32_t clampPremultiplied(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
}

uint16_t u16le(std::span<const uint8_t> d, size_t at)
{
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t u32le(std::span<const uint8_t> d, size_t at)
{
    return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8) | (uint32_t(d[at + 2]) << 16)
        | (uint32_t(d[at + 3]) << 24);
}

// Inflates a zlib stream into exactly `size` bytes at most. Returns the bytes produced;
// a stream that gives fewer leaves the rest zero.
size_t inflateInto(std::span<const uint8_t> input, std::vector<uint8_t>& out, size_t size)
{
    out.assign(size, 0);
    if (size == 0 || input.empty())
        return 0;
    z_stream z {};
    if (inflateInit(&z) != Z_OK)
        return 0;
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(std::min<size_t>(input.size(), UINT32_MAX));
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(size);
    while (z.avail_out > 0) {
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK)
            break;
    }
    const size_t produced = size - z.avail_out;
    inflateEnd(&z);
    return produced;
}

bool sizeAllowed(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide
        && width * height <= kMaxBitmapPixels;
}

bool isPng(std::span<const uint8_t> d)
{
    static const uint8_t sig[] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    return d.size() >= 8 && std::equal(sig, sig + 8, d.begin());
}

bool isGif(std::span<const uint8_t> d)
{
    return d.size() >= 6 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F' && d[3] == '8';
}

// ---- JPEG through libjpeg ---------------------------------------------------------------

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegFail(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void jpegQuiet(j_common_ptr, int) { }

void jpegProgress(j_common_ptr info)
{
    if (info->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(info);
        if (d->input_scan_number > kMaxJpegScans)
            jpegFail(info);
    }
}

// Decodes into `out`; rows the decoder could not reach stay transparent. False when not
// even the header could be read.
bool decodeJpeg(std::span<const uint8_t> stream, BitmapPixels& out, std::vector<std::string>& warnings)
{
    jpeg_decompress_struct info {};
    JpegErrors errors {};
    jpeg_progress_mgr progress {};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFail;
    errors.manager.emit_message = jpegQuiet;
    progress.progress_monitor = jpegProgress;
    // Set before the jump point and only read after it, so they hold their values.
    volatile bool started = false;
    volatile uint32_t rowsDone = 0;
    // Made before the jump point: a jump back must not skip its destructor.
    std::vector<uint8_t> row;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        if (!started)
            return false;
        warnings.push_back(std::string("the JPEG data is damaged after row ") + std::to_string(rowsDone)
            + ": " + errors.message);
        return true;
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    jpeg_mem_src(&info, stream.data(), static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    if (!sizeAllowed(info.image_width, info.image_height)) {
        warnings.push_back("the JPEG picture is too large (" + std::to_string(info.image_width) + "x"
            + std::to_string(info.image_height) + ")");
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = info.output_width;
    out.height = info.output_height;
    out.argb.assign(size_t(out.width) * out.height, 0);
    started = true;
    row.resize(size_t(info.output_width) * static_cast<size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = { row.data() };
        const uint32_t y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            break;
        uint32_t* dst = out.argb.data() + size_t(y) * out.width;
        for (uint32_t x = 0; x < out.width; ++x) {
            const uint8_t* p = row.data() + size_t(x) * static_cast<size_t>(info.output_components);
            if (cmyk) {
                // Adobe's CMYK JPEGs store the inks inverted.
                const uint32_t k = p[3];
                dst[x] = 0xFF000000u | ((p[0] * k / 255) << 16) | ((p[1] * k / 255) << 8) | (p[2] * k / 255);
            } else {
                dst[x] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
            }
        }
        rowsDone = y + 1;
    }
    if (errors.manager.num_warnings > 0)
        warnings.push_back("the JPEG data is damaged; " + std::to_string(rowsDone) + " rows decoded");
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// JPEG (or PNG/GIF) image data, with an optional zlib alpha plane.
bool decodeJpegCharacter(
    std::span<const uint8_t> image, std::span<const uint8_t> alpha, bool hasAlpha, DecodedBitmap& out)
{
    if (isPng(image) || isGif(image)) {
        out.foreign.assign(image.begin(), image.end());
        return true;
    }
    const std::vector<uint8_t> stream = cleanJpeg(image);
    if (!decodeJpeg(stream, out.pixels, out.warnings))
        return false;
    if (!hasAlpha || alpha.empty())
        return true;
    const size_t count = out.pixels.argb.size();
    std::vector<uint8_t> plane;
    const size_t got = inflateInto(alpha, plane, count);
    if (got < count)
        out.warnings.push_back("the alpha plane ends after " + std::to_string(got) + " of "
            + std::to_string(count) + " pixels; the rest is opaque");
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = i < got ? plane[i] : 255;
        const uint32_t p = out.pixels.argb[i];
        out.pixels.argb[i] = premultiply(a, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return true;
}

// ---- Lossless ----------------------------------------------------------------------------

bool decodeLossless(std::span<const uint8_t> body, bool withAlpha, DecodedBitmap& out)
{
    if (body.size() < 5) {
        out.warnings.push_back("the bitmap header is cut short");
        return false;
    }
    const uint8_t format = body[0];
    const uint32_t width = u16le(body, 1);
    const uint32_t height = u16le(body, 3);
    size_t at = 5;
    if (!sizeAllowed(width, height)) {
        out.warnings.push_back("the bitmap's size " + std::to_string(width) + "x" + std::to_string(height)
            + " is empty or too large");
        return false;
    }
    size_t paletteSize = 0;
    size_t stride = 0;
    const size_t colorBytes = withAlpha ? 4 : 3;
    switch (format) {
    case 3:
        if (body.size() < 6) {
            out.warnings.push_back("the bitmap header is cut short");
            return false;
        }
        paletteSize = size_t(body[5]) + 1;
        at = 6;
        stride = (width + 3) & ~size_t(3);
        break;
    case 4:
        if (withAlpha) {
            out.warnings.push_back("15-bit colours carry no alpha");
            return false;
        }
        stride = (size_t(width) * 2 + 3) & ~size_t(3);
        break;
    case 5:
        stride = size_t(width) * 4;
        break;
    default:
        out.warnings.push_back("unknown bitmap format " + std::to_string(format));
        return false;
    }
    const size_t paletteBytes = paletteSize * colorBytes;
    const size_t expected = paletteBytes + stride * height;
    std::vector<uint8_t> data;
    const size_t got = inflateInto(body.subspan(at), data, expected);
    if (got < expected)
        out.warnings.push_back("the bitmap data ends after " + std::to_string(got) + " of "
            + std::to_string(expected) + " bytes; the rest is transparent");

    out.pixels.width = width;
    out.pixels.height = height;
    out.pixels.argb.assign(size_t(width) * height, 0);
    std::vector<uint32_t> palette(paletteSize, 0);
    for (size_t i = 0; i < paletteSize && (i + 1) * colorBytes <= got; ++i) {
        const uint8_t* c = data.data() + i * colorBytes;
        palette[i] = withAlpha ? clampPremultiplied(c[3], c[0], c[1], c[2])
                               : 0xFF000000u | (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | c[2];
    }
    for (uint32_t y = 0; y < height; ++y) {
        const size_t rowStart = paletteBytes + size_t(y) * stride;
        uint32_t* dst = out.pixels.argb.data() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            if (format == 3) {
                const size_t i = rowStart + x;
                if (i >= got)
                    break;
                const uint8_t index = data[i];
                dst[x] = index < paletteSize ? palette[index] : 0;
            } else if (format == 4) {
                const size_t i = rowStart + size_t(x) * 2;
                if (i + 2 > got)
                    break;
                const uint32_t v = (uint32_t(data[i]) << 8) | data[i + 1];
                const auto five = [](uint32_t c) { return (c << 3) | (c >> 2); };
                dst[x]
                    = 0xFF000000u | (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
            } else {
                const size_t i = rowStart + size_t(x) * 4;
                if (i + 4 > got)
                    break;
                const uint8_t* p = data.data() + i;
                dst[x] = withAlpha ? clampPremultiplied(p[0], p[1], p[2], p[3])
                                   : 0xFF000000u | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
            }
        }
    }
    return true;
}

} // namespace

bool isBitmapTag(uint16_t tagCode)
{
    switch (static_cast<TagCode>(tagCode)) {
    case TagCode::DefineBits:
    case TagCode::DefineBitsJPEG2:
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsJPEG4:
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsLossless2:
        return true;
    default:
        return false;
    }
}

std::vector<uint8_t> cleanJpeg(std::span<const uint8_t> d)
{
    std::vector<uint8_t> out;
    out.reserve(d.size());
    const size_t n = d.size();
    size_t i = 0;
    bool seenStart = false;
    const auto append
        = [&](size_t from, size_t to) { out.insert(out.end(), d.begin() + from, d.begin() + to); };
    while (i + 1 < n) {
        if (d[i] != kMarker) {
            append(i, n); // not a marker where one belongs: leave the rest to the decoder
            return out;
        }
        const uint8_t m = d[i + 1];
        if (m == kMarker) { // fill byte
            ++i;
            continue;
        }
        if (m == kSoi) {
            if (!seenStart)
                append(i, i + 2);
            seenStart = true;
            i += 2;
            continue;
        }
        if (m == kEoi) {
            // An end followed by a new start joins two streams: both markers go.
            size_t j = i + 2;
            while (j + 1 < n && d[j] == kMarker && d[j + 1] == kMarker)
                ++j;
            if (j + 1 < n && d[j] == kMarker && d[j + 1] == kSoi) {
                i = j;
                continue;
            }
            append(i, i + 2);
            return out;
        }
        if ((m >= 0xD0 && m <= 0xD7) || m == 0x01) {
            append(i, i + 2);
            i += 2;
            continue;
        }
        if (i + 3 >= n) {
            append(i, n);
            return out;
        }
        const size_t length = (size_t(d[i + 2]) << 8) | d[i + 3];
        const size_t end = std::min(n, i + 2 + length);
        append(i, end);
        i = end;
        if (m == kSos) {
            // Entropy-coded data runs to the next marker that is not a restart or a stuffed 0xFF.
            size_t j = i;
            while (j + 1 < n
                && !(d[j] == kMarker && d[j + 1] != 0x00 && !(d[j + 1] >= 0xD0 && d[j + 1] <= 0xD7)))
                ++j;
            if (j + 1 >= n)
                j = n;
            append(i, j);
            i = j;
        }
    }
    if (i < n)
        append(i, n);
    return out;
}

bool decodeBitmap(
    uint16_t tagCode, std::span<const uint8_t> body, std::span<const uint8_t> jpegTables, DecodedBitmap& out)
{
    out = {};
    switch (static_cast<TagCode>(tagCode)) {
    case TagCode::DefineBits: {
        std::vector<uint8_t> joined(jpegTables.begin(), jpegTables.end());
        joined.insert(joined.end(), body.begin(), body.end());
        return decodeJpegCharacter(joined, {}, false, out);
    }
    case TagCode::DefineBitsJPEG2:
        return decodeJpegCharacter(body, {}, false, out);
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsJPEG4: {
        const size_t header = static_cast<TagCode>(tagCode) == TagCode::DefineBitsJPEG4 ? 6 : 4;
        if (body.size() < header) {
            out.warnings.push_back("the bitmap header is cut short");
            return false;
        }
        const size_t offset = u32le(body, 0);
        const std::span<const uint8_t> rest = body.subspan(header);
        if (offset > rest.size())
            out.warnings.push_back("the alpha plane's offset lies past the end of the tag");
        const size_t imageSize = std::min(offset, rest.size());
        return decodeJpegCharacter(rest.first(imageSize), rest.subspan(imageSize), true, out);
    }
    case TagCode::DefineBitsLossless:
        return decodeLossless(body, false, out);
    case TagCode::DefineBitsLossless2:
        return decodeLossless(body, true, out);
    default:
        return false;
    }
}

} // namespace swf
