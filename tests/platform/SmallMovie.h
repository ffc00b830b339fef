#pragma once

#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

namespace testing_movies {

// A movie of `frames` frames, 2000 x 1500 twips (133 x 100 pixels) on a blue stage,
// with a red square of 1000 twips in its top-left corner.
inline std::vector<uint8_t> smallMovie(
    uint16_t frames = 3, swf::Compression compression = swf::Compression::Zlib)
{
    swf::Header header;
    header.version = 8;
    header.frameSize = { 0, 2000, 0, 1500 };
    header.frameRate = 12;
    swf::Writer writer(header);
    writer.setBackground({ 0, 0, 255 });
    swf::ShapeBuilder square;
    square.fill1(square.addSolidFill({ 255, 0, 0 })).rectangle({ 0, 1000, 0, 1000 });
    writer.defineShape(1, square.build());
    swf::PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.matrix = swf::Matrix {};
    writer.place(place);
    for (uint16_t i = 0; i < frames; ++i)
        writer.showFrame();
    return writer.finish(compression);
}

inline bool writeFile(const QString& path, const std::vector<uint8_t>& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

} // namespace testing_movies
