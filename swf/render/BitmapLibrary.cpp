#include "BitmapLibrary.h"

#include "swf/display/DecodedCache.h"
#include "swf/format/Bitmaps.h"
#include "swf/format/Movie.h"

#include <cstring>

namespace swf {
namespace {

struct BitmapEntry {
    std::shared_ptr<const QImage> image;
};

std::shared_ptr<const QImage> toImage(const DecodedBitmap& decoded)
{
    if (!decoded.foreign.empty()) {
        QImage image = QImage::fromData(decoded.foreign.data(), static_cast<int>(decoded.foreign.size()));
        if (image.isNull() || uint64_t(image.width()) * uint64_t(image.height()) > kMaxBitmapPixels)
            return nullptr;
        return std::make_shared<const QImage>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    const BitmapPixels& p = decoded.pixels;
    if (p.width == 0 || p.height == 0 || p.argb.size() != size_t(p.width) * p.height)
        return nullptr;
    QImage image(static_cast<int>(p.width), static_cast<int>(p.height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return nullptr;
    for (uint32_t y = 0; y < p.height; ++y)
        std::memcpy(
            image.scanLine(static_cast<int>(y)), p.argb.data() + size_t(y) * p.width, size_t(p.width) * 4);
    return std::make_shared<const QImage>(std::move(image));
}

} // namespace

std::shared_ptr<const QImage> bitmapImage(const Movie& movie, const Character& character, DecodedCache& cache)
{
    if (!isBitmapTag(character.tagCode))
        return nullptr;
    return cache
        .get<BitmapEntry>(character,
            [&] {
                DecodedBitmap decoded;
                if (!decodeBitmap(character.tagCode, character.body, movie.jpegTables, decoded))
                    return BitmapEntry {};
                return BitmapEntry { toImage(decoded) };
            })
        .image;
}

std::shared_ptr<const QImage> bitmapImage(const Movie& movie, uint16_t characterId, DecodedCache& cache)
{
    const Character* character = movie.character(characterId);
    return character ? bitmapImage(movie, *character, cache) : nullptr;
}

} // namespace swf
