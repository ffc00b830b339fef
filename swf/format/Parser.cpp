#include "Parser.h"

#include "BitReader.h"
#include "ControlTags.h"
#include "Decompress.h"
#include "Records.h"
#include "ShapeReader.h"
#include "TagStream.h"
#include "Tags.h"

#include <string_view>

namespace swf {

namespace {

// What a dictionary entry costs beyond the character: the map node and the shared
// pointer's control block.
constexpr size_t kMapNodeOverhead = 64;

std::string tagLabel(uint16_t code)
{
    auto name = tagName(code);
    return name.empty() ? "tag " + std::to_string(code) : std::string(name);
}

// Reads the header fields that follow the 8-byte file header: frame size, rate, count.
// `header` already carries the signature fields. Returns the body offset of the first tag.
Result<size_t> readMovieHeader(std::span<const uint8_t> body, Header& header)
{
    BitReader in(body);
    header.frameSize = readRect(in);
    header.frameRate = in.ufixed8();
    header.frameCount = in.u16();
    if (in.overrun())
        return fail("SWF: the file ends inside the movie header");
    return in.position();
}

Header fileHeader(std::span<const uint8_t> file, Compression compression)
{
    Header header;
    header.compression = compression;
    header.version = file[3];
    header.fileLength
        = uint32_t(file[4]) | uint32_t(file[5]) << 8 | uint32_t(file[6]) << 16 | uint32_t(file[7]) << 24;
    return header;
}

// The timeline being filled by one walk over a tag stream: the root's or a sprite's.
struct TimelineScope {
    Timeline timeline;
    Frame current;
    bool sawEnd = false;
    bool isRoot = false;
};

// Reads the tag streams of one movie. Definitions go into the movie's dictionary
// whichever timeline they appear in; control tags go into the timeline being read.
class MovieParser {
public:
    MovieParser(Movie& movie, ParseContext& context)
        : m_movie(movie)
        , m_context(context)
    {
    }

    // Reads tags until End or the end of `data`. `where` names the timeline in warnings.
    TimelineScope readTimeline(std::span<const uint8_t> data, int depth, const std::string& where);

private:
    void readTag(const TagView& tag, TimelineScope& scope, int depth);
    void addControl(TimelineScope& scope, ControlTag tag, size_t payload);
    template <class T>
    void addPlace(TimelineScope& scope, const std::optional<Decoded<T>>& place, uint16_t code);
    void define(uint16_t code, std::span<const uint8_t> body, int depth);
    void defineShape(uint16_t id, uint16_t code, uint8_t version, BitReader& in);
    void defineSprite(uint16_t id, BitReader& in, int depth);
    void insert(uint16_t id, CharacterData data);
    void warn(std::string message) { m_context.warnings.add(std::move(message)); }

    Movie& m_movie;
    ParseContext& m_context;
    bool m_sawBackground = false;
    bool m_reportedBudget = false;
};

TimelineScope MovieParser::readTimeline(std::span<const uint8_t> data, int depth, const std::string& where)
{
    TimelineScope scope;
    scope.isRoot = depth == 0;
    TagStream stream(data);
    while (auto tag = stream.next()) {
        if (m_context.budget.exhausted()) {
            if (!m_reportedBudget)
                warn("SWF: the movie is too large to keep in memory; the rest is not read");
            m_reportedBudget = true;
            break;
        }
        if (tag->clipped)
            warn(where + ": " + tagLabel(tag->code) + " at byte " + std::to_string(tag->offset)
                + " runs past the end of the data; kept " + std::to_string(tag->body.size()) + " bytes");
        if (tag->code == toCode(TagCode::End)) {
            scope.sawEnd = true;
            // Sprites often carry a stray byte or two after their End; only the movie's
            // own junk is worth a word.
            if (stream.remaining() > 0 && scope.isRoot)
                warn(where + ": " + std::to_string(stream.remaining())
                    + " bytes after the End tag are ignored");
            break;
        }
        readTag(*tag, scope, depth);
    }
    if (stream.truncatedHeader())
        warn(where + ": the data ends inside a tag header");
    // Many writers end a sprite's body without an End tag; that is no damage.
    if (!scope.sawEnd && scope.isRoot && !m_reportedBudget)
        warn(where + ": no End tag; the data ends after " + std::to_string(scope.timeline.frames.size())
            + " frames");
    return scope;
}

void MovieParser::addControl(TimelineScope& scope, ControlTag tag, size_t payload)
{
    if (!m_context.budget.spend(sizeof(ControlTag) + payload))
        return;
    scope.current.tags.push_back(std::move(tag));
}

template <class T>
void MovieParser::addPlace(TimelineScope& scope, const std::optional<Decoded<T>>& place, uint16_t code)
{
    if (!place) {
        warn(tagLabel(code) + " is too short to read; ignored");
        return;
    }
    if (!place->complete)
        warn(tagLabel(code) + " at depth " + std::to_string(place->value.depth)
            + " runs past the end of its tag; kept the fields read");
    const PlaceObject& po = place->value;
    size_t payload = po.clipActions.size() + po.filters.size() + (po.name ? po.name->size() : 0)
        + (po.className ? po.className->size() : 0);
    addControl(scope, po, payload);
}

void MovieParser::readTag(const TagView& tag, TimelineScope& scope, int depth)
{
    switch (TagCode(tag.code)) {
    case TagCode::ShowFrame:
        if (m_context.budget.spend(sizeof(Frame)))
            scope.timeline.frames.push_back(std::move(scope.current));
        scope.current = Frame {};
        return;
    case TagCode::PlaceObject:
        addPlace(scope, readPlaceObject(tag.body), tag.code);
        return;
    case TagCode::PlaceObject2:
        addPlace(scope, readPlaceObject2(tag.body), tag.code);
        return;
    case TagCode::PlaceObject3:
        addPlace(scope, readPlaceObject3(tag.body), tag.code);
        return;
    case TagCode::RemoveObject:
    case TagCode::RemoveObject2: {
        auto remove = tag.code == toCode(TagCode::RemoveObject) ? readRemoveObject(tag.body)
                                                                : readRemoveObject2(tag.body);
        if (remove)
            addControl(scope, *remove, 0);
        else
            warn(tagLabel(tag.code) + " is too short to read; ignored");
        return;
    }
    case TagCode::SetBackgroundColor: {
        auto background = readSetBackgroundColor(tag.body);
        if (!background) {
            warn("SetBackgroundColor is too short to read; ignored");
            return;
        }
        if (scope.isRoot && !m_sawBackground) {
            m_movie.background = background->color;
            m_sawBackground = true;
        }
        addControl(scope, *background, 0);
        return;
    }
    case TagCode::DoAction:
        addControl(scope, DoAction { { tag.body.begin(), tag.body.end() } }, tag.body.size());
        return;
    case TagCode::FrameLabel:
        if (!scope.current.label && m_context.budget.spend(tag.body.size()))
            scope.current.label = readFrameLabel(tag.body);
        return;
    default:
        break;
    }
    // Every other tag that is not a definition plays no part in the timeline's model.
    if (definesCharacter(tag.code))
        define(tag.code, tag.body, depth);
}

void MovieParser::define(uint16_t code, std::span<const uint8_t> body, int depth)
{
    BitReader in(body);
    uint16_t id = in.u16();
    if (in.overrun()) {
        warn(tagLabel(code) + " is too short to hold a character id; ignored");
        return;
    }
    if (m_movie.dictionary.contains(id)) {
        warn(tagLabel(code) + " defines character " + std::to_string(id)
            + " again; the first definition is kept");
        return;
    }
    switch (TagCode(code)) {
    case TagCode::DefineShape:
        return defineShape(id, code, 1, in);
    case TagCode::DefineShape2:
        return defineShape(id, code, 2, in);
    case TagCode::DefineShape3:
        return defineShape(id, code, 3, in);
    case TagCode::DefineShape4:
        return defineShape(id, code, 4, in);
    case TagCode::DefineSprite:
        return defineSprite(id, in, depth);
    default:
        insert(id, UnsupportedCharacter { code });
    }
}

void MovieParser::defineShape(uint16_t id, uint16_t code, uint8_t version, BitReader& in)
{
    ShapeReader reader(in, version, m_context, tagLabel(code) + " " + std::to_string(id));
    insert(id, reader.readDefineShape());
}

void MovieParser::defineSprite(uint16_t id, BitReader& in, int depth)
{
    std::string where = "DefineSprite " + std::to_string(id);
    if (depth + 1 > m_context.limits.maxSpriteDepth) {
        warn(where + ": sprites nested more than " + std::to_string(m_context.limits.maxSpriteDepth)
            + " deep; ignored");
        return;
    }
    SpriteDefinition sprite;
    sprite.declaredFrameCount = in.u16();
    if (in.overrun()) {
        warn(where + " is too short to hold its frame count; ignored");
        return;
    }
    // Reserve the id before reading the body, so that a nested definition reusing it
    // cannot take it from the sprite that encloses it.
    insert(id, UnsupportedCharacter { toCode(TagCode::DefineSprite) });
    TimelineScope scope = readTimeline(in.rest(), depth + 1, where);
    if (!scope.current.tags.empty() || scope.current.label) {
        if (scope.timeline.frames.size() < sprite.declaredFrameCount)
            scope.timeline.frames.push_back(std::move(scope.current));
    }
    sprite.timeline = std::move(scope.timeline);
    auto character = std::make_shared<Character>(Character { id, std::move(sprite) });
    m_movie.dictionary[id] = std::move(character);
}

void MovieParser::insert(uint16_t id, CharacterData data)
{
    if (!m_context.budget.spend(sizeof(Character) + kMapNodeOverhead))
        return;
    m_movie.dictionary.emplace(id, std::make_shared<Character>(Character { id, std::move(data) }));
}

} // namespace

Result<Header> parseHeader(std::span<const uint8_t> file)
{
    // The frame size RECT takes at most 17 bytes, the rate and count 4 more.
    auto body = decompressBody(file, 32);
    if (!body)
        return std::unexpected(body.error());
    Header header = fileHeader(file, *readSignature(file));
    auto start = readMovieHeader(body->bytes(), header);
    if (!start)
        return std::unexpected(start.error());
    return header;
}

Result<Movie> parseMovie(std::span<const uint8_t> file, const ParseLimits& limits)
{
    auto body = decompressBody(file, limits.maxBodySize);
    if (!body)
        return std::unexpected(body.error());

    Movie movie;
    movie.header = fileHeader(file, *readSignature(file));
    auto start = readMovieHeader(body->bytes(), movie.header);
    if (!start)
        return std::unexpected(start.error());

    ParseContext context { Warnings(movie.warnings, limits.maxWarnings), Budget(limits.maxModelBytes),
        limits };
    for (auto& warning : body->warnings)
        context.warnings.add(std::move(warning));

    MovieParser parser(movie, context);
    TimelineScope root = parser.readTimeline(body->bytes().subspan(*start), 0, "SWF");
    // Tags after the last ShowFrame of a movie cut short are the frame it was cut in;
    // in a complete movie they are never shown.
    bool hasContent = !root.current.tags.empty() || root.current.label;
    if (hasContent && root.timeline.frames.size() < movie.header.frameCount)
        root.timeline.frames.push_back(std::move(root.current));
    movie.timeline = std::move(root.timeline);
    movie.truncated = !root.sawEnd;
    if (movie.timeline.frames.size() != movie.header.frameCount && root.sawEnd)
        context.warnings.add("SWF: the header declares " + std::to_string(movie.header.frameCount)
            + " frames, the movie has " + std::to_string(movie.timeline.frames.size()));
    return movie;
}

} // namespace swf
