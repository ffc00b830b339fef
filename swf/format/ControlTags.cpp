#include "ControlTags.h"

#include "Records.h"
#include "Tags.h"

#include <cstring>

namespace swf {

namespace {

// PlaceObject2 and PlaceObject3 flag bits of the first flags byte.
enum PlaceFlags : uint8_t {
    kMove = 0x01,
    kHasCharacter = 0x02,
    kHasMatrix = 0x04,
    kHasColorTransform = 0x08,
    kHasRatio = 0x10,
    kHasName = 0x20,
    kHasClipDepth = 0x40,
    kHasClipActions = 0x80,
};

// PlaceObject3's second flags byte.
enum PlaceFlags3 : uint8_t {
    kHasFilterList = 0x01,
    kHasBlendMode = 0x02,
    kHasCacheAsBitmap = 0x04,
    kHasClassName = 0x08,
    kHasImage = 0x10,
    kHasVisible = 0x20,
    kOpaqueBackground = 0x40,
};

// Reads one field and stores it only when it was read in full, so that a tag cut short
// keeps exactly the fields before the cut.
template <class T, class Read> void readField(BitReader& in, std::optional<T>& field, Read read)
{
    T value = read();
    if (!in.overrun())
        field = std::move(value);
}

// The byte size of one filter record, found from its id and the counts inside it, or
// 0 for an id that is not known. Filters are kept raw, so only their extent matters.
size_t filterSize(BitReader& in)
{
    uint8_t id = in.u8();
    switch (id) {
    case 0: // DropShadow: colour, blur x/y, angle, distance, strength, flags
        return 23;
    case 1: // Blur: blur x/y, passes
        return 9;
    case 2: // Glow: colour, blur x/y, strength, flags
        return 15;
    case 3: // Bevel: shadow and highlight colours, blur x/y, angle, distance, strength, flags
        return 27;
    case 4: // GradientGlow
    case 7: { // GradientBevel: n colours and n ratios, then as Bevel without the colours
        size_t colors = in.u8();
        return 5 * colors + 19;
    }
    case 5: { // Convolution: x*y float matrix plus divisor, bias, default colour, flags
        size_t x = in.u8();
        size_t y = in.u8();
        return 4 * x * y + 13;
    }
    case 6: // ColorMatrix: 20 floats
        return 80;
    }
    return 0;
}

// A FILTERLIST as raw bytes (count byte first), or an empty vector when it cannot be
// read; the reader is left after the list.
std::vector<uint8_t> readFilterList(BitReader& in, bool& understood)
{
    understood = true;
    in.align();
    size_t start = in.position();
    auto all = in.data();
    unsigned count = in.u8();
    for (unsigned i = 0; i < count && !in.overrun(); ++i) {
        size_t size = filterSize(in);
        if (size == 0) {
            understood = false;
            return {};
        }
        in.skip(size);
    }
    if (in.overrun())
        return {};
    return std::vector<uint8_t>(all.begin() + start, all.begin() + in.position());
}

// The fields PlaceObject2 and PlaceObject3 share, from the character id on.
// Returns false when the tag ran out of data.
bool readPlaceFields(BitReader& in, uint8_t flags, uint8_t flags3, PlaceObject& po)
{
    if (flags & kHasCharacter)
        readField(in, po.characterId, [&] { return in.u16(); });
    if (flags & kHasMatrix)
        readField(in, po.matrix, [&] { return readMatrix(in); });
    if (flags & kHasColorTransform)
        readField(in, po.colorTransform, [&] { return readColorTransform(in, Alpha::With); });
    if (flags & kHasRatio)
        readField(in, po.ratio, [&] { return in.u16(); });
    if (flags & kHasName)
        readField(in, po.name, [&] { return in.string(); });
    if (flags & kHasClipDepth)
        readField(in, po.clipDepth, [&] { return in.u16(); });
    if (flags3 & kHasFilterList) {
        bool understood = true;
        auto filters = readFilterList(in, understood);
        if (!understood)
            return false; // nothing after an unknown filter can be found
        po.filters = std::move(filters);
    }
    if (flags3 & kHasBlendMode)
        readField(in, po.blendMode, [&] { return in.u8(); });
    if (flags3 & kHasCacheAsBitmap)
        readField(in, po.cacheAsBitmap, [&] { return in.u8() != 0; });
    if (flags3 & kHasVisible)
        in.u8();
    if (flags3 & kOpaqueBackground)
        readRgba(in);
    if (in.overrun())
        return false;
    if (flags & kHasClipActions) {
        auto actions = in.rest();
        po.clipActions.assign(actions.begin(), actions.end());
    }
    return true;
}

} // namespace

std::optional<Decoded<PlaceObject>> readPlaceObject(std::span<const uint8_t> body)
{
    BitReader in(body);
    Decoded<PlaceObject> result;
    PlaceObject& po = result.value;
    po.tagVersion = 1;
    uint16_t id = in.u16();
    po.depth = in.u16();
    if (in.overrun())
        return std::nullopt;
    po.characterId = id;
    readField(in, po.matrix, [&] { return readMatrix(in); });
    // The colour transform is there only when the tag has bytes left for it.
    in.align();
    if (!in.overrun() && !in.atEnd())
        readField(in, po.colorTransform, [&] { return readColorTransform(in, Alpha::Without); });
    result.complete = !in.overrun();
    return result;
}

std::optional<Decoded<PlaceObject>> readPlaceObject2(std::span<const uint8_t> body)
{
    BitReader in(body);
    Decoded<PlaceObject> result;
    PlaceObject& po = result.value;
    po.tagVersion = 2;
    uint8_t flags = in.u8();
    po.depth = in.u16();
    if (in.overrun())
        return std::nullopt;
    po.move = flags & kMove;
    result.complete = readPlaceFields(in, flags, 0, po);
    return result;
}

std::optional<Decoded<PlaceObject>> readPlaceObject3(std::span<const uint8_t> body)
{
    BitReader in(body);
    Decoded<PlaceObject> result;
    PlaceObject& po = result.value;
    po.tagVersion = 3;
    uint8_t flags = in.u8();
    uint8_t flags3 = in.u8();
    po.depth = in.u16();
    if (in.overrun())
        return std::nullopt;
    po.move = flags & kMove;
    if ((flags3 & kHasClassName) || ((flags3 & kHasImage) && (flags & kHasCharacter)))
        readField(in, po.className, [&] { return in.string(); });
    result.complete = !in.overrun() && readPlaceFields(in, flags, flags3, po);
    return result;
}

std::optional<RemoveObject> readRemoveObject(std::span<const uint8_t> body)
{
    BitReader in(body);
    RemoveObject ro;
    ro.characterId = in.u16();
    ro.depth = in.u16();
    if (in.overrun())
        return std::nullopt;
    return ro;
}

std::optional<RemoveObject> readRemoveObject2(std::span<const uint8_t> body)
{
    BitReader in(body);
    RemoveObject ro;
    ro.depth = in.u16();
    if (in.overrun())
        return std::nullopt;
    return ro;
}

std::optional<SetBackgroundColor> readSetBackgroundColor(std::span<const uint8_t> body)
{
    BitReader in(body);
    SetBackgroundColor tag { readRgb(in) };
    if (in.overrun())
        return std::nullopt;
    return tag;
}

std::string readFrameLabel(std::span<const uint8_t> body)
{
    const void* nul = std::memchr(body.data(), 0, body.size());
    size_t length = nul ? static_cast<const uint8_t*>(nul) - body.data() : body.size();
    return std::string(reinterpret_cast<const char*>(body.data()), length);
}

uint16_t writePlaceObject(BitWriter& out, const PlaceObject& po)
{
    if (po.tagVersion == 1 && po.characterId && po.matrix) {
        out.u16(*po.characterId);
        out.u16(po.depth);
        writeMatrix(out, *po.matrix);
        if (po.colorTransform)
            writeColorTransform(out, *po.colorTransform, Alpha::Without);
        out.align();
        return toCode(TagCode::PlaceObject);
    }
    bool version3 = po.tagVersion >= 3;
    uint8_t flags = (po.move ? kMove : 0) | (po.characterId ? kHasCharacter : 0)
        | (po.matrix ? kHasMatrix : 0) | (po.colorTransform ? kHasColorTransform : 0)
        | (po.ratio ? kHasRatio : 0) | (po.name ? kHasName : 0) | (po.clipDepth ? kHasClipDepth : 0)
        | (po.clipActions.empty() ? 0 : kHasClipActions);
    out.u8(flags);
    if (version3) {
        uint8_t flags3 = (po.filters.empty() ? 0 : kHasFilterList) | (po.blendMode ? kHasBlendMode : 0)
            | (po.cacheAsBitmap ? kHasCacheAsBitmap : 0) | (po.className ? kHasClassName : 0);
        out.u8(flags3);
    }
    out.u16(po.depth);
    if (version3 && po.className)
        out.string(*po.className);
    if (po.characterId)
        out.u16(*po.characterId);
    if (po.matrix)
        writeMatrix(out, *po.matrix);
    if (po.colorTransform)
        writeColorTransform(out, *po.colorTransform, Alpha::With);
    if (po.ratio)
        out.u16(*po.ratio);
    if (po.name)
        out.string(*po.name);
    if (po.clipDepth)
        out.u16(*po.clipDepth);
    if (version3) {
        out.bytes(po.filters);
        if (po.blendMode)
            out.u8(*po.blendMode);
        if (po.cacheAsBitmap)
            out.u8(*po.cacheAsBitmap ? 1 : 0);
    }
    out.bytes(po.clipActions);
    return toCode(version3 ? TagCode::PlaceObject3 : TagCode::PlaceObject2);
}

uint16_t writeRemoveObject(BitWriter& out, const RemoveObject& remove)
{
    if (remove.characterId) {
        out.u16(*remove.characterId);
        out.u16(remove.depth);
        return toCode(TagCode::RemoveObject);
    }
    out.u16(remove.depth);
    return toCode(TagCode::RemoveObject2);
}

} // namespace swf
