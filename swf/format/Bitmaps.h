#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

// The largest bitmap decoded, on a side and in all. A bitmap that declares more is not
// decoded; the zlib data of one is never inflated past what its declared size needs, so
// a small compressed bomb cannot eat memory.
inline constexpr uint32_t kMaxBitmapSide = 8192;
inline constexpr uint64_t kMaxBitmapPixels = uint64_t(4096) * 4096;

// Pixels as premultiplied 0xAARRGGBB, row by row.
struct BitmapPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> argb;
};

// What a bitmap character holds, decoded. `foreign` is set instead of pixels when the
// image data is a PNG or GIF file (DefineBitsJPEG2 and 3 may carry one), for a caller
// with those codecs; its alpha comes from the file itself. `warnings` say what was
// damaged: what could be decoded is kept, the rest of the picture is transparent.
struct DecodedBitmap {
    BitmapPixels pixels;
    std::vector<uint8_t> foreign;
    std::vector<std::string> warnings;
};

bool isBitmapTag(uint16_t tagCode);

// Decodes the body (after the character id) of DefineBits, DefineBitsJPEG2/3/4 or
// DefineBitsLossless/2. DefineBits takes the movie's JPEGTables. Fails only when nothing
// at all can be shown.
bool decodeBitmap(
    uint16_t tagCode, std::span<const uint8_t> body, std::span<const uint8_t> jpegTables, DecodedBitmap& out);

// A JPEG stream as libjpeg takes it: the old players' streams may start with an extra
// end/start marker pair, and keep their tables and their picture as two streams one after
// the other; both pairs are taken out.
std::vector<uint8_t> cleanJpeg(std::span<const uint8_t> data);

} // namespace swf
