#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <vector>

class QIODevice;

namespace mdlExtractSWF {

// The projector file as the signature search reads it: a read position and an end flag.
// Reading one byte gives the byte at the position while the position is below the length
// of the input, and otherwise sets the end flag; either way the position moves on by one.
// Setting the position clears the end flag.
//
// The bytes come from the device in blocks, so that reading one byte is a look into
// memory and the memory held stays one block whatever the size of the input. A failing
// read of the device ends the input: the end flag is set and error() tells why.
class ProjectorReader {
public:
    static constexpr std::size_t DefaultBlockSize = std::size_t(1) << 20;

    // `input` must be open for reading and outlive the reader.
    explicit ProjectorReader(QIODevice& input, std::size_t blockSize = DefaultBlockSize);

    qint64 position() const { return position_; }
    bool endFlag() const { return endFlag_; }
    void setPosition(qint64 position)
    {
        position_ = position;
        endFlag_ = false;
    }

    std::uint8_t readByte()
    {
        const qint64 offset = position_ - blockStart_;
        if (offset < 0 || offset >= qint64(blockSize_))
            return readByteOutsideBlock();
        ++position_;
        return block_[std::size_t(offset)];
    }

    // Moves the position to the next byte equal to `value`, at the position or after it,
    // or to the end of the input when none follows. Every byte passed over differs from
    // `value`; the end flag is left as it is.
    void skipTo(std::uint8_t value);

    // Why reading stopped early; empty while the device answered every read.
    const QString& error() const { return error_; }

private:
    std::uint8_t readByteOutsideBlock();
    // Makes the block start at `position`; false when no byte of the input lies there.
    bool loadBlockAt(qint64 position);

    QIODevice& input_;
    std::vector<std::uint8_t> block_;
    qint64 blockStart_ = 0;
    std::size_t blockSize_ = 0; // bytes of block_ that hold input
    qint64 length_ = -1; // the input's length, once a read has met its end
    qint64 position_ = 0;
    bool endFlag_ = false;
    QString error_;
};

} // namespace mdlExtractSWF
