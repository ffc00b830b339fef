#pragma once

#include "SmallMovie.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <random>

// Projector-like files for the extraction tests: code bytes, then a movie, then a trailer.
namespace projectors {

// A small movie of the engine's writer: "FWS" uncompressed, "CWS" compressed.
inline QByteArray movie(swf::Compression compression)
{
    const std::vector<uint8_t> bytes = testing_movies::smallMovie(1, compression);
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
