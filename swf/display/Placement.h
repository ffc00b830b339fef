#pragma once

#include "swf/format/Movie.h"

#include <cstdint>
#include <string>
#include <vector>

namespace swf {

// The properties a timeline gives to the object at one depth. PlaceObject sets them, a move
// changes those it names and keeps the rest.
struct Placement {
    uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0; // 0: not a mask
    uint8_t blendMode = 0; // the BlendMode byte: 0 and 1 are normal
    std::vector<uint8_t> filters; // the FILTERLIST as read; empty when none
    bool cacheAsBitmap = false;

    // A fresh placement: what the tag names, defaults for the rest.
    static Placement fromTag(const PlaceObject& tag);
    // Applies the fields a move names; the character is the caller's business.
    void applyMove(const PlaceObject& tag);

    friend bool operator==(const Placement&, const Placement&) = default;
};

} // namespace swf
