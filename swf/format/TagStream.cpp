#include "TagStream.h"

namespace swf {

std::optional<TagView> TagStream::next()
{
    if (m_pos >= m_data.size())
        return std::nullopt;
    size_t left = m_data.size() - m_pos;
    const uint8_t* p = m_data.data() + m_pos;
    if (left < 2) {
        m_truncatedHeader = true;
        m_pos = m_data.size();
        return std::nullopt;
    }
    uint16_t codeAndLength = uint16_t(p[0] | p[1] << 8);
    TagView tag;
    tag.offset = m_pos;
    tag.code = codeAndLength >> 6;
    uint64_t length = codeAndLength & 0x3f;
    size_t headerSize = 2;
    if (length == 0x3f) {
        // The long form: a u32 length follows.
        if (left < 6) {
            m_truncatedHeader = true;
            m_pos = m_data.size();
            return std::nullopt;
        }
        length = uint32_t(p[2]) | uint32_t(p[3]) << 8 | uint32_t(p[4]) << 16 | uint32_t(p[5]) << 24;
        headerSize = 6;
    }
    size_t available = left - headerSize;
    if (length > available) {
        length = available;
        tag.clipped = true;
    }
    tag.bodyOffset = m_pos + headerSize;
    tag.body = m_data.subspan(m_pos + headerSize, size_t(length));
    m_pos += headerSize + size_t(length);
    return tag;
}

} // namespace swf
