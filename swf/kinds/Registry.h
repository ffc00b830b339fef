#pragma once

#include <cstdint>
#include <memory>

namespace swf {

class DisplayObject;
class Stage;
struct Character;
struct Movie;

// What a kind of character needs to make an instance of itself.
struct InstanceContext {
    Stage& stage;
    const Movie& movie; // whose dictionary the character, and any it refers to, come from
    const Character& character;
    int depth;
    int nesting; // the clips above the new instance
};

using MakeInstance = std::unique_ptr<DisplayObject> (*)(const InstanceContext&);

// The maker of instances of the characters a defining tag gives, or null when no kind of
// this engine reads that tag yet.
MakeInstance kindFactory(uint16_t tagCode);

// An instance of a character nothing draws yet: it holds its depth, so that the timeline's
// moves and removes find it, and shows nothing.
std::unique_ptr<DisplayObject> makeInert(const InstanceContext& context);

} // namespace swf
