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
    static constexpr uint64_t kNowhere = ~uint64_t(0);
    std::vector<uint8_t> actions;
    // Where the first action byte sat in the movie's body (after the file header), for
    // branches that leave the block for the action bytes around it; kNowhere for a tag
    // made in memory. Not part of what the tag says, so equality leaves it out.
    uint64_t bodyOffset = kNowhere;
    friend bool operator==(const DoAction& a, const DoAction& b) { return a.actions == b.actions; }
};

// DoInitAction (59): actions run once, before the first frame that shows the sprite.
struct DoInitAction {
    uint16_t spriteId = 0;
    std::vector<uint8_t> actions;
    friend bool operator==(const DoInitAction&, const DoInitAction&) = default;
};

// Any other control tag, kept as it stands in the file for the layer that reads it:
// sounds and sound streams, exports and imports, script limits, tab order, JPEG tables,
// font information and the rest. `body` is the whole tag body.
struct TagRecord {
    uint16_t code = 0;
    std::vector<uint8_t> body;
    friend bool operator==(const TagRecord&, const TagRecord&) = default;
};

using ControlTag
    = std::variant<PlaceObject, RemoveObject, SetBackgroundColor, DoAction, DoInitAction, TagRecord>;

struct Frame {
    std::vector<ControlTag> tags; // in file order
    std::vector<std::string> labels; // every FrameLabel of the frame, in file order
    friend bool operator==(const Frame&, const Frame&) = default;
};

struct Timeline {
    std::vector<Frame> frames; // frames[0] is frame 1 of the file
    // A sprite's body that ended without an End tag, or with tags after its last ShowFrame
    // (which make a last frame of their own): played to its end, it waits there as if the
    // rest were still to come, instead of looping.
    bool openEnded = false;
    friend bool operator==(const Timeline&, const Timeline&) = default;
};

// ---- Characters: the dictionary --------------------------------------------------------

struct SpriteDefinition {
    uint16_t declaredFrameCount = 1;
    Timeline timeline;
    friend bool operator==(const SpriteDefinition&, const SpriteDefinition&) = default;
};

// What the format layer decodes of a definition: shapes and sprites. Every other kind
// stays as its tag body (Character::body) for the engine's class of that kind to read.
using CharacterData = std::variant<std::monostate, Shape, SpriteDefinition>;

struct Character {
    uint16_t id = 0;
    uint16_t tagCode = 0; // the defining tag
    // The tag body after the character id. Sprites keep theirs as the decoded timeline,
    // whose control tags hold every byte of it, and leave this empty.
    std::vector<uint8_t> body;
    CharacterData data;
    friend bool operator==(const Character&, const Character&) = default;
};

// FileAttributes (69).
struct FileAttributes {
    bool useDirectBlit = false;
    bool useGpu = false;
    bool hasMetadata = false;
    bool actionScript3 = false;
    bool useNetwork = false;
    friend bool operator==(const FileAttributes&, const FileAttributes&) = default;
};

// ScriptLimits (65).
struct ScriptLimits {
    uint16_t maxRecursionDepth = 256;
    uint16_t timeoutSeconds = 15;
    friend bool operator==(const ScriptLimits&, const ScriptLimits&) = default;
};

// A parsed movie. Immutable once parsed: the player shares it between instances.
struct Movie {
    Header header;
    Rgba background { 255, 255, 255, 255 }; // the first SetBackgroundColor, white before it
    Timeline timeline;
    std::map<uint16_t, std::shared_ptr<const Character>> dictionary;
    // Movie-wide settings found in the root timeline (the tags stay in their frames too).
    std::optional<FileAttributes> fileAttributes;
    std::optional<ScriptLimits> scriptLimits;
    std::vector<uint8_t> jpegTables; // the body of the first JPEGTables, shared by DefineBits
    bool hasDoAbc = false; // an ActionScript 3 block (DoABC) appears
    // Tags that add to a character defined earlier (a button's colour transform and
    // sounds, a font's names and alignment zones, text settings, a scaling grid), by the
    // id of that character, in file order.
    std::map<uint16_t, std::vector<TagRecord>> characterTags;
    // Problems met on the way that did not stop the parse (a truncated last tag, a
    // record that ran past its tag). Shown by the command-line tool, never fatal.
    std::vector<std::string> warnings;
    bool truncated = false; // the file ended before its End tag
    // False while the file is still arriving: more frames and definitions may follow.
    bool complete = true;
    // Stands in a clip for a file that could not be loaded into it (none there, or
    // neither a movie nor a picture): it shows nothing, and scripts read the failure.
    bool failedLoad = false;

    // An ActionScript 3 movie, which this engine cannot run.
    bool usesActionScript3() const { return hasDoAbc || (fileAttributes && fileAttributes->actionScript3); }

    const Character* character(uint16_t id) const
    {
        auto it = dictionary.find(id);
        return it == dictionary.end() ? nullptr : it->second.get();
    }
};

} // namespace swf
