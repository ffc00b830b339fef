#pragma once

#include "BitReader.h"
#include "BitWriter.h"
#include "Movie.h"

#include <optional>
#include <string>

namespace swf {

// Decoders of the control tags that make up a frame. Each takes the tag body.
//
// A tag that runs out of data keeps every field that was read in full and drops the
// rest; `complete` tells the caller to warn. A tag too short to say even which depth it
// is about is nothing at all (std::nullopt).
template <class T> struct Decoded {
    T value;
    bool complete = true;
};

std::optional<Decoded<PlaceObject>> readPlaceObject(std::span<const uint8_t> body); // PlaceObject (4)
std::optional<Decoded<PlaceObject>> readPlaceObject2(std::span<const uint8_t> body); // 26
std::optional<Decoded<PlaceObject>> readPlaceObject3(std::span<const uint8_t> body); // 70
std::optional<RemoveObject> readRemoveObject(std::span<const uint8_t> body); // 5
std::optional<RemoveObject> readRemoveObject2(std::span<const uint8_t> body); // 28
std::optional<SetBackgroundColor> readSetBackgroundColor(std::span<const uint8_t> body);
// The label up to its NUL; an unterminated label is taken as far as the tag goes.
std::string readFrameLabel(std::span<const uint8_t> body);

// The encoders, for the writer. Each writes the tag body and returns the tag code:
// PlaceObject, PlaceObject2 or PlaceObject3 by place.tagVersion (a PlaceObject without a
// character or matrix cannot be said in version 1 and is written as PlaceObject2);
// RemoveObject when the character id is given, RemoveObject2 otherwise.
uint16_t writePlaceObject(BitWriter& out, const PlaceObject& place);
uint16_t writeRemoveObject(BitWriter& out, const RemoveObject& remove);

} // namespace swf
