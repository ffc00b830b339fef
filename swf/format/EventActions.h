#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// The events a clip's PlaceObject2/3 can attach actions to, one bit each, in the order the
// file lays out its event flags (the first flag byte in the low bits).
enum ClipEvent : uint32_t {
    ClipLoad = 1u << 0,
    ClipEnterFrame = 1u << 1,
    ClipUnload = 1u << 2,
    ClipMouseMove = 1u << 3,
    ClipMouseDown = 1u << 4,
    ClipMouseUp = 1u << 5,
    ClipKeyDown = 1u << 6,
    ClipKeyUp = 1u << 7,
    ClipData = 1u << 8,
    ClipInitialize = 1u << 9,
    ClipPress = 1u << 10,
    ClipRelease = 1u << 11,
    ClipReleaseOutside = 1u << 12,
    ClipRollOver = 1u << 13,
    ClipRollOut = 1u << 14,
    ClipDragOver = 1u << 15,
    ClipDragOut = 1u << 16,
    ClipKeyPress = 1u << 17,
    ClipConstruct = 1u << 18,
};

// One handler of a CLIPACTIONS record: the events it answers, the key of a KeyPress
// handler, and its action bytes (a view into the record).
struct ClipEventHandler {
    uint32_t events = 0;
    uint8_t keyCode = 0;
    std::span<const uint8_t> actions;
};

// The handlers of a PlaceObject2/3's CLIPACTIONS. Movies of SWF 5 and older have 16-bit
// event flags, later ones 32-bit. A damaged record keeps the handlers read before it.
std::vector<ClipEventHandler> readClipActions(std::span<const uint8_t> record, int swfVersion);

// One BUTTONCONDACTION: the transitions that run it (bit N is the StageObserver's
// ButtonTransition N), the key that runs it (0 for none), and its action bytes.
struct ButtonCondAction {
    uint16_t transitions = 0;
    uint8_t keyCode = 0;
    std::span<const uint8_t> actions;
};

// The actions of a DefineButton (code 7: one list, run on release) or DefineButton2
// (34: condition records), from the character's body after its id.
std::vector<ButtonCondAction> readButtonActions(uint16_t tagCode, std::span<const uint8_t> body);

// The transition bit of a DefineButton's actions: pressed, released over the button.
inline constexpr uint16_t kButtonReleaseTransition = 1u << 3;

} // namespace swf
