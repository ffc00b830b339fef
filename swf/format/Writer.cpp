#include "Writer.h"

#include "BitWriter.h"
#include "Compress.h"
#include "ControlTags.h"
#include "Records.h"
#include "ShapeWriter.h"
#include "Tags.h"

#include <algorithm>
#include <variant>

namespace swf {

namespace {

// Appends control tags and frames of the model as tags; shared by the movie's own
// timeline and the bodies of sprites.
class TimelineEncoder {
public:
    explicit TimelineEncoder(std::vector<uint8_t>& out)
        : m_out(out)
    {
    }

    void control(const ControlTag& tag)
    {
        BitWriter body;
        uint16_t code = std::visit(
            [&](const auto& t) -> uint16_t {
                using T = std::decay_t<decltype(t)>;
                if constexpr (std::is_same_v<T, PlaceObject>) {
                    return writePlaceObject(body, t);
                } else if constexpr (std::is_same_v<T, RemoveObject>) {
                    return writeRemoveObject(body, t);
                } else if constexpr (std::is_same_v<T, SetBackgroundColor>) {
                    writeRgb(body, t.color);
                    return toCode(TagCode::SetBackgroundColor);
                } else if constexpr (std::is_same_v<T, DoAction>) {
                    body.bytes(t.actions);
                    return toCode(TagCode::DoAction);
                } else if constexpr (std::is_same_v<T, DoInitAction>) {
                    body.u16(t.spriteId);
                    body.bytes(t.actions);
                    return toCode(TagCode::DoInitAction);
                } else {
                    body.bytes(t.body);
                    return t.code;
                }
            },
            tag);
        appendTag(m_out, code, body.data());
    }

    void label(std::string_view text)
    {
        BitWriter body;
        body.string(text);
        appendTag(m_out, toCode(TagCode::FrameLabel), body.data());
    }

    void showFrame() { appendTag(m_out, toCode(TagCode::ShowFrame), {}); }

    void frame(const Frame& frame)
    {
        for (const std::string& text : frame.labels)
            label(text);
        for (const ControlTag& tag : frame.tags)
            control(tag);
        showFrame();
    }

private:
    std::vector<uint8_t>& m_out;
};

std::vector<uint8_t> fileHeader(char signature, uint8_t version, uint32_t length)
{
    return { uint8_t(signature), 'W', 'S', version, uint8_t(length), uint8_t(length >> 8),
        uint8_t(length >> 16), uint8_t(length >> 24) };
}

} // namespace

void appendTag(std::vector<uint8_t>& out, uint16_t code, std::span<const uint8_t> body)
{
    auto put16 = [&](uint16_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    if (body.size() < 0x3f) {
        put16(uint16_t(code << 6 | body.size()));
    } else {
        put16(uint16_t(code << 6 | 0x3f));
        put16(uint16_t(body.size()));
        put16(uint16_t(body.size() >> 16));
    }
    out.insert(out.end(), body.begin(), body.end());
}

Writer::Writer(const Header& header)
    : m_header(header)
{
}

void Writer::setBackground(Rgba color)
{
    control(SetBackgroundColor { color });
}

void Writer::defineShape(uint16_t id, const Shape& shape)
{
    static constexpr TagCode codes[] = { TagCode::DefineShape, TagCode::DefineShape, TagCode::DefineShape2,
        TagCode::DefineShape3, TagCode::DefineShape4 };
    BitWriter body;
    body.u16(id);
    writeDefineShape(body, shape);
    appendTag(m_tags, toCode(codes[std::min<uint8_t>(shape.version, 4)]), body.data());
}

void Writer::defineSprite(uint16_t id, const SpriteDefinition& sprite)
{
    std::vector<uint8_t> body { uint8_t(id), uint8_t(id >> 8), uint8_t(sprite.declaredFrameCount),
        uint8_t(sprite.declaredFrameCount >> 8) };
    TimelineEncoder encoder(body);
    for (const Frame& frame : sprite.timeline.frames)
        encoder.frame(frame);
    // A body read open is written open, without its End tag, so that it reads back the same.
    if (!sprite.timeline.openEnded)
        appendTag(body, toCode(TagCode::End), {});
    appendTag(m_tags, toCode(TagCode::DefineSprite), body);
}

void Writer::define(uint16_t code, uint16_t id, std::span<const uint8_t> body)
{
    std::vector<uint8_t> tag { uint8_t(id), uint8_t(id >> 8) };
    tag.insert(tag.end(), body.begin(), body.end());
    appendTag(m_tags, code, tag);
}

void Writer::place(const PlaceObject& place)
{
    control(place);
}

void Writer::remove(const RemoveObject& remove)
{
    control(remove);
}

void Writer::doAction(std::span<const uint8_t> actions)
{
    control(DoAction { { actions.begin(), actions.end() } });
}

void Writer::frameLabel(std::string_view label)
{
    TimelineEncoder(m_tags).label(label);
}

void Writer::control(const ControlTag& tag)
{
    TimelineEncoder(m_tags).control(tag);
}

void Writer::showFrame()
{
    TimelineEncoder(m_tags).showFrame();
    ++m_frames;
}

void Writer::rawTag(uint16_t code, std::span<const uint8_t> body)
{
    appendTag(m_tags, code, body);
}

std::vector<uint8_t> Writer::finish(Compression compression) const
{
    BitWriter head;
    writeRect(head, m_header.frameSize);
    head.ufixed8(m_header.frameRate);
    head.u16(m_declaredFrames.value_or(m_frames));
    std::vector<uint8_t> body = head.take();
    body.insert(body.end(), m_tags.begin(), m_tags.end());
    appendTag(body, toCode(TagCode::End), {});

    uint32_t length = uint32_t(8 + body.size());
    std::vector<uint8_t> file;
    switch (compression) {
    case Compression::None:
        file = fileHeader('F', m_header.version, length);
        file.insert(file.end(), body.begin(), body.end());
        break;
    case Compression::Zlib: {
        file = fileHeader('C', m_header.version, length);
        auto packed = compressZlib(body);
        file.insert(file.end(), packed.begin(), packed.end());
        break;
    }
    case Compression::Lzma: {
        file = fileHeader('Z', m_header.version, length);
        auto packed = compressLzma(body);
        uint32_t packedSize = uint32_t(packed.data.size());
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(packedSize >> (8 * i)));
        file.insert(file.end(), packed.properties.begin(), packed.properties.end());
        file.insert(file.end(), packed.data.begin(), packed.data.end());
        break;
    }
    }
    return file;
}

std::vector<uint8_t> writeMovie(const Movie& movie, Compression compression)
{
    Writer w(movie.header);
    for (const auto& [id, character] : movie.dictionary) {
        if (auto* shape = std::get_if<Shape>(&character->data))
            w.defineShape(id, *shape);
        else if (auto* sprite = std::get_if<SpriteDefinition>(&character->data))
            w.defineSprite(id, *sprite);
        else
            w.define(character->tagCode, id, character->body);
    }
    for (const Frame& frame : movie.timeline.frames) {
        for (const std::string& label : frame.labels)
            w.frameLabel(label);
        for (const ControlTag& tag : frame.tags)
            w.control(tag);
        w.showFrame();
    }
    return w.finish(compression);
}

} // namespace swf
