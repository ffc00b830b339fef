#pragma once

#include <QImage>

#include <cstdint>
#include <memory>

namespace swf {

class DecodedCache;
struct Character;
struct Movie;

// The picture of a bitmap character (DefineBits, DefineBitsJPEG2/3/4, DefineBitsLossless/2)
// as premultiplied ARGB, decoded once per character and shared by every fill and instance
// that shows it. Null when the character is no bitmap or nothing of it can be decoded.
std::shared_ptr<const QImage> bitmapImage(
    const Movie& movie, const Character& character, DecodedCache& cache);
std::shared_ptr<const QImage> bitmapImage(const Movie& movie, uint16_t characterId, DecodedCache& cache);

} // namespace swf
