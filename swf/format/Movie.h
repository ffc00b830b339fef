#pragma once

#include "Shape.h"
#include "Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace swf {

enum class Compression : uint8_t { None, Zlib, Lzma }; // FWS, CWS, ZWS

struct Header {
    Compression compression = Compression::None;
    uint8_t version = 8;
    uint32_t fileLength = 0; // as declared: the uncompressed length, header included
    Rect frameSize; // twips
    double frameRate = 12.0; // frames per second (8.8 fixed in the file)
    uint16_t frameCount = 1; // as declared; the timeline holds what was really read
};

// ---- Control tags: what happens on a frame -------------------------------------------

// PlaceObject (4), PlaceObject2 (26) and PlaceObject3 (70).
struct PlaceObject {
    uint16_t depth = 1;
    bool move = false; // PlaceFlagMove: modify what stands at depth
    std::optional<uint16_t> characterId; // place (or, with move, replace) this character
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    uint8_t tagVersion = 2; // 1 for PlaceObject, 2 for PlaceObject2, 3 for PlaceObject3
    std::vector<uint8_t> clipActions; // raw CLIPACTIONS, interpreted by the script layer
    // PlaceObject3 only.
    std::optional<std::string> className;
    std::vector<uint8_t> filters; // raw FILTERLIST (count byte first); empty when none
    std::optional<uint8_t> blendMode; // BlendMode byte: 0 and 1 are normal, 2 layer ...
    std::optional<bool> cacheAsBitmap;
    friend bool operator==(const PlaceObject&, const PlaceObject&) = default;
};

// RemoveObject (5) carries the character id, RemoveObject2 (28) only the depth.
struct RemoveObject {
    uint16_t depth = 1;
    std::optional<uint16_t> characterId;
    friend bool operator==(const RemoveObject&, const RemoveObject&) = default;
};

struct SetBackgroundColor {
    Rgba color;
    friend bool operator==(const SetBackgroundColor&, const SetBackgroundColor&) = default;
};

// DoAction (12): action bytes, run by the script layer.
struct DoAction {
    std::vector<uint8_t> actions;
    friend bool operator==(const DoAction&, const DoAction&) = default;
};

using ControlTag = std::variant<PlaceObject, RemoveObject, SetBackgroundColor, DoAction>;

struct Frame {
    std::vector<ControlTag> tags; // in file order
    std::optional<std::string> label;
    friend bool operator==(const Frame&, const Frame&) = default;
};

struct Timeline {
    std::vector<Frame> frames; // frames[0] is frame 1 of the file
    friend bool operator==(const Timeline&, const Timeline&) = default;
};

// ---- Characters: the dictionary --------------------------------------------------------

struct SpriteDefinition {
    uint16_t declaredFrameCount = 1;
    Timeline timeline;
    friend bool operator==(const SpriteDefinition&, const SpriteDefinition&) = default;
};

// A defining tag that this engine keeps but does not interpret yet.
struct UnsupportedCharacter {
    uint16_t tagCode = 0;
    friend bool operator==(const UnsupportedCharacter&, const UnsupportedCharacter&) = default;
};

using CharacterData = std::variant<Shape, SpriteDefinition, UnsupportedCharacter>;

struct Character {
    uint16_t id = 0;
    CharacterData data;
    friend bool operator==(const Character&, const Character&) = default;
};

// A parsed movie. Immutable once parsed: the player shares it between instances.
struct Movie {
    Header header;
    Rgba background { 255, 255, 255, 255 }; // the first SetBackgroundColor, white before it
    Timeline timeline;
    std::map<uint16_t, std::shared_ptr<const Character>> dictionary;
    // Problems met on the way that did not stop the parse (a truncated last tag, a
    // record that ran past its tag). Shown by the command-line tool, never fatal.
    std::vector<std::string> warnings;
    bool truncated = false; // the file ended before its End tag

    const Character* character(uint16_t id) const
    {
        auto it = dictionary.find(id);
        return it == dictionary.end() ? nullptr : it->second.get();
    }
};

} // namespace swf
