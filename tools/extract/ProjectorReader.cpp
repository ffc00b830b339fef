#include "ProjectorReader.h"

#include <QIODevice>

#include <cstring>

namespace mdlExtractSWF {

ProjectorReader::ProjectorReader(QIODevice& input, std::size_t blockSize)
    : input_(input)
    , block_(blockSize == 0 ? 1 : blockSize)
{
}

std::uint8_t ProjectorReader::readByteOutsideBlock()
{
    if (position_ >= 0 && loadBlockAt(position_))
        return readByte();
    endFlag_ = true;
    ++position_;
    return 0;
}

void ProjectorReader::skipTo(std::uint8_t value)
{
    for (;;) {
        qint64 offset = position_ - blockStart_;
        if (offset < 0 || offset >= qint64(blockSize_)) {
            if (position_ < 0 || !loadBlockAt(position_))
                return; // at or past the end of the input
            offset = 0;
        }
        const std::uint8_t* from = block_.data() + offset;
        const std::size_t left = blockSize_ - std::size_t(offset);
        if (const void* found = std::memchr(from, value, left)) {
            position_ += static_cast<const std::uint8_t*>(found) - from;
            return;
        }
        position_ += qint64(left);
    }
}

bool ProjectorReader::loadBlockAt(qint64 position)
{
    if (!error_.isEmpty() || (length_ >= 0 && position >= length_))
        return false;
    if (input_.pos() != position && !input_.seek(position)) {
        error_ = input_.errorString();
        return false;
    }
    blockStart_ = position;
    blockSize_ = 0;
    // A device may hand out fewer bytes than asked for before its end; only a read that
    // gives nothing marks the end.
    while (blockSize_ < block_.size()) {
        const qint64 got = input_.read(
            reinterpret_cast<char*>(block_.data()) + blockSize_, qint64(block_.size() - blockSize_));
        if (got < 0) {
            error_ = input_.errorString();
            blockSize_ = 0;
            return false;
        }
        if (got == 0) {
            length_ = position + qint64(blockSize_);
            break;
        }
        blockSize_ += std::size_t(got);
    }
    return blockSize_ > 0;
}

} // namespace mdlExtractSWF
