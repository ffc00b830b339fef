#pragma once

#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <random>

// Projector-like files for the extraction tests: code bytes, then a movie, then a trailer.
namespace projectors {

// A small movie of the engine's writer: "FWS" uncompressed, "CWS" compressed.
inline QByteArray movie(swf::Compression compression)
{
    swf::Header header;
    header.version = compression == swf::Compression::None ? 6 : 7;
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
    writer.showFrame();
    const std::vector<uint8_t> bytes = writer.finish(compression);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Bytes standing for a player's machine code: arbitrary, but without the first letter of
// either signature, so that only what a test sows there can be found.
inline QByteArray code(qsizetype size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) {
        b = char(byte(random));
        if (b == 'F' || b == 'C')
            b = 'E';
    }
    return bytes;
}

inline const QByteArray Trailer = QByteArray("\x56\x34\x12\xFA\x00\x00trailer", 13);

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace projectors
