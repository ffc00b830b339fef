#include "Buttons.h"

#include "BitReader.h"
#include "BitWriter.h"
#include "Records.h"

namespace swf {

std::optional<std::size_t> filterListLength(std::span<const uint8_t> data)
{
    if (data.empty())
        return std::nullopt;
    std::size_t at = 1;
    const unsigned count = data[0];
    for (unsigned i = 0; i < count; ++i) {
        if (at >= data.size())
            return std::nullopt;
        const uint8_t id = data[at++];
        std::size_t size = 0;
        switch (id) {
        case 0: // drop shadow
            size = 23;
            break;
        case 1: // blur
            size = 9;
            break;
        case 2: // glow
            size = 15;
            break;
        case 3: // bevel
            size = 27;
            break;
        case 4: // gradient glow
        case 7: // gradient bevel
            if (at >= data.size())
                return std::nullopt;
            size = 1 + std::size_t(data[at]) * 5 + 19;
            break;
        case 5: // convolution
            if (at + 1 >= data.size())
                return std::nullopt;
            size = 2 + 8 + std::size_t(data[at]) * data[at + 1] * 4 + 5;
            break;
        case 6: // colour matrix
            size = 80;
            break;
        default:
            return std::nullopt;
        }
        at += size;
        if (at > data.size())
            return std::nullopt;
    }
    return at;
}

ButtonDefinition readButton(
    std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings)
{
    ButtonDefinition button;
    button.version = version;
    BitReader in(body);
    if (version >= 2) {
        button.trackAsMenu = in.u8() & 0x01;
        in.u16(); // the offset of the actions
    }
    const auto damaged = [&](const std::string& why) {
        warnings.push_back("DefineButton" + std::string(version >= 2 ? "2" : "") + ": " + why + "; kept "
            + std::to_string(button.records.size()) + " records");
    };
    while (true) {
        if (in.atEnd()) {
            damaged("the tag ends before its last record");
            return button;
        }
        const uint8_t flags = in.u8();
        if (flags == 0)
            return button;
        ButtonRecord r;
        const bool hasBlendMode = version >= 2 && (flags & 0x20);
        const bool hasFilters = version >= 2 && (flags & 0x10);
        r.reservedFlags = flags & (version >= 2 ? 0xC0 : 0xF0);
        r.hitTest = flags & 0x08;
        r.down = flags & 0x04;
        r.over = flags & 0x02;
        r.up = flags & 0x01;
        r.characterId = in.u16();
        r.depth = in.u16();
        r.matrix = readMatrix(in);
        if (version >= 2)
            r.colorTransform = readColorTransform(in, Alpha::With);
        if (hasFilters) {
            in.align();
            const std::span<const uint8_t> rest = body.subspan(std::min(in.position(), body.size()));
            const std::optional<std::size_t> length = filterListLength(rest);
            if (!length) {
                damaged("a filter list cannot be read");
                return button;
            }
            r.filters.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(*length));
            in.skip(*length);
        }
        if (hasBlendMode)
            r.blendMode = in.u8();
        if (in.overrun()) {
            damaged("a record runs past the end of the tag");
            return button;
        }
        button.records.push_back(std::move(r));
    }
}

std::optional<ColorTransform> readButtonCxform(std::span<const uint8_t> body)
{
    BitReader in(body);
    in.u16();
    const ColorTransform cx = readColorTransform(in, Alpha::Without);
    if (in.overrun())
        return std::nullopt;
    return cx;
}

std::vector<uint8_t> encodeButton(const ButtonDefinition& button)
{
    BitWriter out;
    if (button.version >= 2) {
        out.u8(button.trackAsMenu ? 1 : 0);
        out.u16(0); // no actions
    }
    for (const ButtonRecord& r : button.records) {
        uint8_t flags = static_cast<uint8_t>(r.reservedFlags | (r.hitTest ? 0x08 : 0) | (r.down ? 0x04 : 0)
            | (r.over ? 0x02 : 0) | (r.up ? 0x01 : 0));
        if (button.version >= 2) {
            if (!r.filters.empty())
                flags |= 0x10;
            if (r.blendMode)
                flags |= 0x20;
        }
        out.u8(flags);
        out.u16(r.characterId);
        out.u16(r.depth);
        writeMatrix(out, r.matrix);
        if (button.version >= 2) {
            writeColorTransform(out, r.colorTransform, Alpha::With);
            if (!r.filters.empty())
                out.bytes(r.filters);
            if (r.blendMode)
                out.u8(*r.blendMode);
        }
    }
    out.u8(0);
    if (button.version < 2)
        out.u8(0); // ActionEndFlag
    return out.take();
}

} // namespace swf
