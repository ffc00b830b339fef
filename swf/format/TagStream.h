#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf {

struct TagView {
    uint16_t code = 0;
    std::span<const uint8_t> body; // a view into the stream's data
    size_t offset = 0; // of the tag header, from the start of the stream
    size_t bodyOffset = 0; // of the body, from the start of the stream
    bool clipped = false; // the declared length ran past the data; body is what is there
};

// Walks a sequence of tags (the movie body after its header, or a sprite's body) and
// hands out views of their bodies without copying. A tag whose declared length runs past
// the data is clipped to the data and marked; a header cut off by the end of the data
// ends the walk and sets `truncatedHeader`.
class TagStream {
public:
    explicit TagStream(std::span<const uint8_t> data)
        : m_data(data)
    {
    }

    std::optional<TagView> next();
    size_t position() const { return m_pos; }
    size_t remaining() const { return m_data.size() - m_pos; }
    bool truncatedHeader() const { return m_truncatedHeader; }

private:
    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    bool m_truncatedHeader = false;
};

} // namespace swf
