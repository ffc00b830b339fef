#include "EventActions.h"

#include "BitReader.h"
#include "Records.h"

namespace swf {

std::vector<ClipEventHandler> readClipActions(std::span<const uint8_t> record, int swfVersion)
{
    const bool wide = swfVersion >= 6;
    BitReader in(record);
    in.u16(); // reserved
    const auto flags = [&] { return wide ? in.u32() : uint32_t(in.u16()); };
    // Every event of the record together: an event left out of it never fires, whatever
    // a handler below says.
    const uint32_t summary = flags();
    std::vector<ClipEventHandler> handlers;
    while (!in.atEnd()) {
        const uint32_t events = flags();
        if (events == 0 || in.overrun())
            break;
        uint32_t size = in.u32();
        ClipEventHandler handler;
        handler.events = events & summary & 0x7ffff;
        if (events & ClipKeyPress) {
            handler.keyCode = in.u8();
            size = size > 0 ? size - 1 : 0;
        }
        if (in.overrun())
            break;
        handler.actions = in.bytes(std::min<size_t>(size, in.remaining()));
        handlers.push_back(handler);
    }
    return handlers;
}

namespace {

// DefineButton's records: flags, character, depth, matrix; a zero byte ends them.
bool skipButtonRecords(BitReader& in)
{
    while (!in.atEnd()) {
        const uint8_t flags = in.u8();
        if (flags == 0)
            return true;
        in.u16();
        in.u16();
        readMatrix(in);
        if (in.overrun())
            return false;
    }
    return false;
}

} // namespace

std::vector<ButtonCondAction> readButtonActions(uint16_t tagCode, std::span<const uint8_t> body)
{
    std::vector<ButtonCondAction> actions;
    BitReader in(body);
    if (tagCode == 7) {
        if (skipButtonRecords(in))
            actions.push_back({ kButtonReleaseTransition, 0, in.rest() });
        return actions;
    }
    in.u8(); // menu flag
    const size_t offsetAt = in.position();
    const uint16_t offset = in.u16();
    if (offset == 0 || in.overrun() || offsetAt + offset >= body.size())
        return actions;
    size_t at = offsetAt + offset;
    while (at + 4 <= body.size()) {
        const uint16_t size = body[at] | (body[at + 1] << 8);
        if (size != 0 && size < 4)
            break;
        const uint8_t first = body[at + 2];
        const uint8_t second = body[at + 3];
        const size_t end = size == 0 || at + size > body.size() ? body.size() : at + size;
        ButtonCondAction action;
        action.transitions = uint16_t(first | ((second & 1) << 8));
        action.keyCode = second >> 1;
        action.actions = body.subspan(at + 4, end - (at + 4));
        actions.push_back(action);
        if (size == 0 || end >= body.size())
            break;
        at = end;
    }
    return actions;
}

} // namespace swf
