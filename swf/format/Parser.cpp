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

// The timeline being filled by a walk over a tag stream: the root's or a sprite's.
struct TimelineScope {
    explicit TimelineScope(Timeline& target, bool root)
        : timeline(target)
        , isRoot(root)
    {
    }
    Timeline& timeline;
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

    // Reads tags until End or the end of `data` into `scope`. `where` names the timeline
    // in warnings. Returns false once nothing more is to be read: End was met, or the
    // memory budget is spent.
    bool readTimeline(std::span<const uint8_t> data, TimelineScope& scope, int depth, const std::string& where,
        size_t base);
    // One tag of a timeline; false when it was End or the budget is spent.
    bool readOne(const TagView& tag, TimelineScope& scope, int depth, const std::string& where);
    // Closes a timeline whose data has ended: its last frame and its warnings.
    void endTimeline(TimelineScope& scope, size_t declaredFrames, const std::string& where);

private:
    void readTag(const TagView& tag, TimelineScope& scope, int depth);
    void keep(TimelineScope& scope, const TagView& tag);
    void addControl(TimelineScope& scope, ControlTag tag, size_t payload);
    template <class T>
    void addPlace(TimelineScope& scope, const std::optional<Decoded<T>>& place, uint16_t code);
    void define(uint16_t code, std::span<const uint8_t> body, int depth);
    void defineShape(uint16_t id, uint16_t code, uint8_t version, BitReader& in);
    void defineSprite(uint16_t id, BitReader& in, int depth);
    void insert(uint16_t id, uint16_t code, std::span<const uint8_t> body, CharacterData data);
    void warn(std::string message) { m_context.warnings.add(std::move(message)); }

    Movie& m_movie;
    ParseContext& m_context;
    bool m_sawBackground = false;
    bool m_reportedBudget = false;
    size_t m_tagBody = 0; // where the body of the tag being read starts in the movie's body
};

// `base` is where `data` starts in the movie's body.
bool MovieParser::readTimeline(
    std::span<const uint8_t> data, TimelineScope& scope, int depth, const std::string& where, size_t base)
{
    TagStream stream(data);
    while (auto tag = stream.next()) {
        tag->bodyOffset += base;
        if (!readOne(*tag, scope, depth, where)) {
            // Sprites often carry a stray byte or two after their End; only the movie's
            // own junk is worth a word.
            if (scope.sawEnd && stream.remaining() > 0 && scope.isRoot)
                warn(where + ": " + std::to_string(stream.remaining())
                    + " bytes after the End tag are ignored");
            return false;
        }
    }
    if (stream.truncatedHeader())
        warn(where + ": the data ends inside a tag header");
    return true;
}

bool MovieParser::readOne(const TagView& tag, TimelineScope& scope, int depth, const std::string& where)
{
    if (m_context.budget.exhausted()) {
        if (!m_reportedBudget)
            warn("SWF: the movie is too large to keep in memory; the rest is not read");
        m_reportedBudget = true;
        return false;
    }
    if (tag.clipped)
        warn(where + ": " + tagLabel(tag.code) + " at byte " + std::to_string(tag.offset)
            + " runs past the end of the data; kept " + std::to_string(tag.body.size()) + " bytes");
    if (tag.code == toCode(TagCode::End)) {
        scope.sawEnd = true;
        return false;
    }
    readTag(tag, scope, depth);
    return true;
}

void MovieParser::endTimeline(TimelineScope& scope, size_t declaredFrames, const std::string& where)
{
    // Tags after the last ShowFrame of a movie cut short are the frame it was cut in; in a
    // complete one they are never shown. A sprite's are always a frame of their own.
    const bool hasContent = !scope.current.tags.empty() || !scope.current.labels.empty();
    if (!scope.isRoot)
        scope.timeline.openEnded = hasContent || !scope.sawEnd;
    if (hasContent && (!scope.isRoot || scope.timeline.frames.size() < declaredFrames))
        scope.timeline.frames.push_back(std::move(scope.current));
    scope.current = Frame {};
    // Many writers end a sprite's body without an End tag; that is no damage.
    if (!scope.sawEnd && scope.isRoot && !m_reportedBudget)
        warn(where + ": no End tag; the data ends after " + std::to_string(scope.timeline.frames.size())
            + " frames");
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
        addControl(scope, DoAction { { tag.body.begin(), tag.body.end() }, tag.bodyOffset }, tag.body.size());
        return;
    case TagCode::FrameLabel:
        if (m_context.budget.spend(sizeof(std::string) + tag.body.size()))
            scope.current.labels.push_back(readFrameLabel(tag.body));
        return;
    case TagCode::DoInitAction: {
        BitReader in(tag.body);
        const uint16_t sprite = in.u16();
        if (in.overrun()) {
            warn("DoInitAction is too short to name its sprite; ignored");
            return;
        }
        auto actions = in.rest();
        addControl(scope, DoInitAction { sprite, { actions.begin(), actions.end() } }, actions.size());
        return;
    }
    default:
        break;
    }
    if (!knownTag(tag.code))
        return;
    if (definesCharacter(tag.code)) {
        m_tagBody = tag.bodyOffset;
        define(tag.code, tag.body, depth);
        return;
    }
    keep(scope, tag);
}

// A control tag the timeline model does not decode stays in its frame as it is; the few
// that say something about the whole movie or about a character are noted there too.
void MovieParser::keep(TimelineScope& scope, const TagView& tag)
{
    if (!m_context.budget.spend(sizeof(TagRecord) + tag.body.size()))
        return;
    TagRecord record { tag.code, { tag.body.begin(), tag.body.end() } };
    BitReader in(tag.body);
    if (tagRole(tag.code) == TagRole::Extend) {
        const uint16_t id = in.u16();
        if (!in.overrun() && m_context.budget.spend(sizeof(TagRecord) + tag.body.size()))
            m_movie.characterTags[id].push_back(record);
    } else if (scope.isRoot) {
        switch (TagCode(tag.code)) {
        case TagCode::FileAttributes: {
            const uint8_t flags = in.u8();
            if (!in.overrun() && !m_movie.fileAttributes)
                m_movie.fileAttributes = FileAttributes { .useDirectBlit = (flags & 0x40) != 0,
                    .useGpu = (flags & 0x20) != 0,
                    .hasMetadata = (flags & 0x10) != 0,
                    .actionScript3 = (flags & 0x08) != 0,
                    .useNetwork = (flags & 0x01) != 0 };
            break;
        }
        case TagCode::ScriptLimits: {
            ScriptLimits limits;
            limits.maxRecursionDepth = in.u16();
            limits.timeoutSeconds = in.u16();
            if (!in.overrun())
                m_movie.scriptLimits = limits;
            break;
        }
        case TagCode::JPEGTables:
            if (m_movie.jpegTables.empty())
                m_movie.jpegTables = record.body;
            break;
        case TagCode::ImportAssets:
        case TagCode::ImportAssets2: {
            // The characters another movie lends stand as empty clips: this engine does not
            // fetch the other movie, and scripts still find the instances by name.
            in.string();
            if (tag.code == toCode(TagCode::ImportAssets2))
                in.u16();
            const uint16_t count = in.u16();
            for (uint16_t i = 0; i < count && !in.overrun(); ++i) {
                const uint16_t id = in.u16();
                in.string();
                if (!in.overrun() && !m_movie.dictionary.contains(id))
                    insert(id, toCode(TagCode::DefineSprite), {}, SpriteDefinition {});
            }
            break;
        }
        default:
            break;
        }
    }
    if (tag.code == toCode(TagCode::DoABC))
        m_movie.hasDoAbc = true;
    addControl(scope, std::move(record), 0);
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
        insert(id, code, in.rest(), std::monostate {});
    }
}

void MovieParser::defineShape(uint16_t id, uint16_t code, uint8_t version, BitReader& in)
{
    const auto body = in.rest();
    BitReader shapeIn(body);
    ShapeReader reader(shapeIn, version, m_context, tagLabel(code) + " " + std::to_string(id));
    insert(id, code, body, reader.readDefineShape());
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
    insert(id, toCode(TagCode::DefineSprite), {}, std::monostate {});
    TimelineScope scope(sprite.timeline, false);
    const size_t base = m_tagBody + in.position();
    readTimeline(in.rest(), scope, depth + 1, where, base);
    endTimeline(scope, sprite.declaredFrameCount, where);
    auto character
        = std::make_shared<Character>(Character { id, toCode(TagCode::DefineSprite), {}, std::move(sprite) });
    m_movie.dictionary[id] = std::move(character);
}

void MovieParser::insert(uint16_t id, uint16_t code, std::span<const uint8_t> body, CharacterData data)
{
    if (!m_context.budget.spend(sizeof(Character) + kMapNodeOverhead + body.size()))
        return;
    m_movie.dictionary.emplace(id,
        std::make_shared<Character>(Character { id, code, { body.begin(), body.end() }, std::move(data) }));
}

} // namespace

// ---- Reading a movie as it arrives -------------------------------------------------------

struct MovieStream::State {
    explicit State(const ParseLimits& limits)
        : limits(limits)
        , decoder(limits.maxBodySize)
    {
    }
    ParseLimits limits;
    BodyDecoder decoder;
    std::unique_ptr<ParseContext> context;
    std::unique_ptr<MovieParser> parser;
    std::unique_ptr<TimelineScope> root;
    size_t offset = 0; // of the next tag, from the start of the body
    bool stopped = false; // End met, or the budget spent: the rest is not read
    size_t afterEnd = 0; // body bytes that came after End
};

MovieStream::MovieStream(const ParseLimits& limits)
    : m_state(std::make_unique<State>(limits))
{
}

MovieStream::~MovieStream() = default;

size_t MovieStream::framesLoaded() const
{
    return m_movie ? m_movie->timeline.frames.size() : 0;
}

Result<void> MovieStream::append(std::span<const uint8_t> bytes)
{
    if (m_failed || m_finished)
        return m_failed ? fail("SWF: the movie could not be read") : Result<void> {};
    if (auto fed = m_state->decoder.feed(bytes); !fed) {
        m_failed = true;
        return fed;
    }
    return readAvailable(false);
}

Result<void> MovieStream::finish()
{
    if (m_failed || m_finished)
        return m_failed ? fail("SWF: the movie could not be read") : Result<void> {};
    m_finished = true;
    if (auto done = m_state->decoder.finish(); !done) {
        m_failed = true;
        return done;
    }
    if (auto read = readAvailable(true); !read) {
        m_failed = true;
        return read;
    }
    State& s = *m_state;
    // What the decoder found short of the file comes first, as it is about the whole file.
    const auto bodyWarnings = s.decoder.warnings();
    m_movie->warnings.insert(m_movie->warnings.begin(), bodyWarnings.begin(), bodyWarnings.end());

    if (s.afterEnd > 0)
        s.context->warnings.add(
            "SWF: " + std::to_string(s.afterEnd) + " bytes after the End tag are ignored");
    s.parser->endTimeline(*s.root, m_movie->header.frameCount, "SWF");
    m_movie->truncated = !s.root->sawEnd;
    if (m_movie->timeline.frames.size() != m_movie->header.frameCount && s.root->sawEnd)
        s.context->warnings.add("SWF: the header declares " + std::to_string(m_movie->header.frameCount)
            + " frames, the movie has " + std::to_string(m_movie->timeline.frames.size()));
    m_movie->complete = true;
    return {};
}

// Reads what the decoder has: the movie header first, then every tag that has arrived
// whole. With `last`, a tag cut off by the end of the file is read as far as it goes.
Result<void> MovieStream::readAvailable(bool last)
{
    State& s = *m_state;
    BodyDecoder& decoder = s.decoder;
    if (!m_movie) {
        if (!decoder.hasHeader())
            return {};
        auto body = decoder.available();
        // The frame size RECT takes 5 + 4n bits, n given by its first five bits.
        const size_t needed = body.empty() ? 1 : (5 + 4 * size_t(body[0] >> 3) + 7) / 8 + 4;
        if (body.size() < needed) {
            if (last || decoder.ended())
                return fail("SWF: the file ends inside the movie header");
            return {};
        }
        auto movie = std::make_shared<Movie>();
        movie->header.compression = decoder.compression();
        movie->header.version = decoder.version();
        movie->header.fileLength = decoder.declaredLength();
        auto start = readMovieHeader(body, movie->header);
        if (!start)
            return std::unexpected(start.error());
        decoder.consume(*start);
        s.offset = *start;
        movie->complete = false;
        m_movie = std::move(movie);
        s.context = std::make_unique<ParseContext>(ParseContext {
            Warnings(m_movie->warnings, s.limits.maxWarnings), Budget(s.limits.maxModelBytes), s.limits });
        s.parser = std::make_unique<MovieParser>(*m_movie, *s.context);
        s.root = std::make_unique<TimelineScope>(m_movie->timeline, true);
    }

    while (true) {
        auto body = decoder.available();
        if (s.stopped) {
            s.afterEnd += s.root->sawEnd ? body.size() : 0;
            decoder.consume(body.size());
            return {};
        }
        TagStream stream(body);
        auto tag = stream.next();
        const bool whole = tag && !tag->clipped;
        const bool final = last || decoder.ended();
        if (!whole && !final)
            return {}; // the rest of the tag is still on its way
        if (!tag) {
            if (stream.truncatedHeader())
                s.context->warnings.add("SWF: the data ends inside a tag header");
            decoder.consume(body.size());
            return {};
        }
        tag->offset += s.offset;
        tag->bodyOffset += s.offset;
        if (!s.parser->readOne(*tag, *s.root, 0, "SWF"))
            s.stopped = true;
        s.offset += stream.position();
        decoder.consume(stream.position());
    }
}

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
    MovieStream stream(limits);
    if (auto read = stream.append(file); !read)
        return std::unexpected(read.error());
    if (auto done = stream.finish(); !done)
        return std::unexpected(done.error());
    return std::move(*stream.movie());
}

} // namespace swf
