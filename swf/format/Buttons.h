#pragma once

#include "Types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// One BUTTONRECORD: a character shown in some of the button's states.
struct ButtonRecord {
    bool up = false;
    bool over = false;
    bool down = false;
    bool hitTest = false;
    uint16_t characterId = 0;
    uint16_t depth = 1;
    Matrix matrix;
    ColorTransform colorTransform; // DefineButton2; DefineButton's come from DefineButtonCxform
    std::vector<uint8_t> filters; // raw FILTERLIST, count byte first; empty when none
    std::optional<uint8_t> blendMode;
    uint8_t reservedFlags = 0; // flag bits the format leaves unused, kept as they were read
    friend bool operator==(const ButtonRecord&, const ButtonRecord&) = default;
};

// DefineButton (version 1) and DefineButton2 (version 2), without their actions: those
// are the script layer's, read from the character's body.
struct ButtonDefinition {
    uint8_t version = 2;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    friend bool operator==(const ButtonDefinition&, const ButtonDefinition&) = default;
};

// Reads the body (after the button id). Records cut off by the tag's end are left out with
// a warning; those before are kept.
ButtonDefinition readButton(
    std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings);

// The colour transform of a DefineButtonCxform body (the whole tag body, button id first).
std::optional<ColorTransform> readButtonCxform(std::span<const uint8_t> body);

// The body (after the id) of a DefineButton2 with no actions, or of a DefineButton whose
// actions are just the end.
std::vector<uint8_t> encodeButton(const ButtonDefinition& button);

// The length of the FILTERLIST at the start of `data`, or nullopt when it runs past the
// end or names an unknown filter.
std::optional<std::size_t> filterListLength(std::span<const uint8_t> data);

} // namespace swf
