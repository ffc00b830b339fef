#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/Parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <vector>

namespace swf::test {
namespace {

// What a display list shows, in a form that compares and prints well.
struct Entry {
    int depth;
    uint16_t id;
    int32_t tx;
    int32_t ty;
    friend bool operator==(const Entry&, const Entry&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Entry& e)
    {
        return os << "{d" << e.depth << " #" << e.id << " @" << e.tx / kTwips << "," << e.ty / kTwips << "}";
    }
};

std::vector<Entry> listOf(const MovieClip& clip)
{
    std::vector<Entry> entries;
    for (const auto& [depth, object] : clip.displayList())
        entries.push_back({ depth, object->characterId(), object->matrix().tx, object->matrix().ty });
    return entries;
}

const MovieClip* clipAt(const MovieClip& parent, int depth)
{
    const DisplayObject* object = parent.at(depth);
    return object ? object->asMovieClip() : nullptr;
}

// Shapes 1, 2 and 3, for timelines that only need something to place.
Writer writerWithShapes(int frames = 0)
{
    Writer w(stageHeader(100, 100));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 10, 10, { 0, 255, 0 }));
    w.defineShape(3, filledRect(0, 0, 10, 10, { 0, 0, 255 }));
    for (int i = 0; i < frames; ++i)
        w.showFrame();
    return w;
}

// A sprite of `frames` frames that shows shape 1 moved one pixel further on each frame,
// so that its current frame can be read off its child.
SpriteDefinition walkingSprite(int frames)
{
    SpriteDefinition sprite;
    sprite.declaredFrameCount = static_cast<uint16_t>(frames);
    for (int f = 0; f < frames; ++f) {
        Frame frame;
        frame.tags.push_back(f == 0 ? ControlTag(placeAt(1, 1, 0, 0)) : ControlTag(moveTo(1, f, 0)));
        sprite.timeline.frames.push_back(frame);
    }
    return sprite;
}

TEST(Timeline, PlaceMoveReplaceAndRemove)
{
    Writer w = writerWithShapes();
    PlaceObject place = placeAt(1, 1, 5, 6);
    place.colorTransform = ColorTransform { .rMul = 128 };
    place.name = "box";
    w.place(place);
    w.showFrame();
    w.place(moveTo(1, 7, 8));
    w.showFrame();
    w.place(replaceWith(1, 2)); // the character changes, the rest stays
    w.showFrame();
    w.remove(removeAt(1));
    w.showFrame();

    Stage stage(readBack(w));
    stage.start();
    MovieClip& root = stage.root();
    EXPECT_EQ(listOf(root), (std::vector<Entry> { { 1, 1, 5 * kTwips, 6 * kTwips } }));
    EXPECT_EQ(root.at(1)->placement().name, "box");

    stage.advance();
    EXPECT_EQ(listOf(root), (std::vector<Entry> { { 1, 1, 7 * kTwips, 8 * kTwips } }));
    EXPECT_EQ(root.at(1)->colorTransform().rMul, 128) << "a move keeps what it does not name";

    stage.advance();
    ASSERT_NE(root.at(1), nullptr);
    EXPECT_EQ(listOf(root), (std::vector<Entry> { { 1, 2, 7 * kTwips, 8 * kTwips } }));
    EXPECT_EQ(root.at(1)->colorTransform().rMul, 128);
    EXPECT_EQ(root.at(1)->placement().name, "box");

    stage.advance();
    EXPECT_TRUE(listOf(root).empty());
    EXPECT_EQ(root.currentFrame(), 3);
}

// A place (not a move) on a taken depth fails: what stands there stays, with its own
// timeline and placement, whether the frame is reached by playing or by a goto; the
// failure is reported with the tag's depth.
TEST(Timeline, APlaceOnATakenDepthKeepsWhatStandsThere)
{
    struct Recorder : StageObserver {
        std::vector<std::pair<const MovieClip*, int>> failed;
        void placeFailed(MovieClip& clip, int depth) override { failed.emplace_back(&clip, depth); }
    } recorder;
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(4));
    w.place(placeAt(3, 10, 5, 5));
    w.showFrame();
    w.place(placeAt(3, 2, 9, 9));
    w.showFrame();
    w.showFrame();

    Stage stage(readBack(w));
    stage.addObserver(&recorder);
    stage.start();
    const DisplayObject* sprite = stage.root().at(3);
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(recorder.failed.empty());
    stage.advance();
    EXPECT_EQ(stage.root().at(3), sprite);
    EXPECT_EQ(listOf(stage.root()), (std::vector<Entry> { { 3, 10, 5 * kTwips, 5 * kTwips } }));
    EXPECT_EQ(clipAt(stage.root(), 3)->currentFrame(), 1) << "the sprite plays on";
    EXPECT_EQ(recorder.failed, (std::vector<std::pair<const MovieClip*, int>> { { &stage.root(), 3 } }));

    // Built again from the first frame, the list holds the same object.
    stage.advance();
    stage.root().gotoFrame(1);
    EXPECT_EQ(stage.root().at(3), sprite);
    EXPECT_EQ(recorder.failed.size(), 2u);
    stage.root().gotoFrame(0);
    stage.root().gotoFrame(2);
    EXPECT_EQ(stage.root().at(3), sprite);
    EXPECT_EQ(recorder.failed.size(), 3u);
    stage.removeObserver(&recorder);
}

TEST(Timeline, TagsThatFindNothingChangeNothing)
{
    Writer w = writerWithShapes();
    w.place(moveTo(4, 1, 1)); // a move on an empty depth
    w.place(placeAt(5, 99)); // an unknown character
    w.remove(removeAt(6)); // nothing there
    w.place(placeAt(1, 1));
    w.showFrame();

    Stage stage(readBack(w));
    stage.start();
    EXPECT_EQ(listOf(stage.root()), (std::vector<Entry> { { 1, 1, 0, 0 } }));
}

TEST(Timeline, RootLoopsOrStopsAtTheEnd)
{
    Writer w = writerWithShapes();
    for (int f = 0; f < 3; ++f) {
        w.place(f == 0 ? placeAt(1, 1) : moveTo(1, f, 0));
        w.showFrame();
    }
    auto movie = readBack(w);

    Stage looping(movie);
    looping.start();
    looping.advance();
    looping.advance();
    EXPECT_EQ(looping.root().currentFrame(), 2);
    looping.advance();
    EXPECT_EQ(looping.root().currentFrame(), 0);
    EXPECT_EQ(listOf(looping.root()), (std::vector<Entry> { { 1, 1, 0, 0 } }));
    EXPECT_TRUE(looping.root().isPlaying());

    Stage once(movie);
    once.root().setEndMode(MovieClip::EndMode::Stop);
    once.start();
    for (int i = 0; i < 5; ++i)
        once.advance();
    EXPECT_EQ(once.root().currentFrame(), 2);
    EXPECT_FALSE(once.root().isPlaying());
}

TEST(Timeline, RootOfAFileCutOffWaitsOnItsLastFrame)
{
    Writer w = writerWithShapes();
    for (int f = 0; f < 2; ++f) {
        w.place(f == 0 ? placeAt(1, 1) : moveTo(1, 5, 0));
        w.showFrame();
    }
    w.declareFrameCount(3);
    const auto play = [](std::vector<uint8_t> bytes) {
        Result<Movie> movie = parseMovie(bytes);
        EXPECT_TRUE(movie.has_value());
        Stage stage(std::make_shared<const Movie>(movie ? std::move(*movie) : Movie {}));
        stage.start();
        for (int i = 0; i < 4; ++i)
            stage.advance();
        EXPECT_EQ(stage.root().frameCount(), 2) << "only the frames read are offered";
        return std::pair(stage.root().currentFrame(), stage.root().cutShort());
    };
    // With its End tag the movie is whole: two frames, looping.
    EXPECT_EQ(play(fileBytes(w)), std::pair(0, false));
    // Without it the third frame is still to come, and the root waits on the second.
    std::vector<uint8_t> cut = fileBytes(w);
    cut.resize(cut.size() - 2);
    cut[4] = uint8_t(cut.size());
    cut[5] = uint8_t(cut.size() >> 8);
    EXPECT_EQ(play(cut), std::pair(1, true));
}

TEST(Timeline, NestedSpritesAdvanceAndAlwaysLoop)
{
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(3));
    w.place(placeAt(1, 10));
    w.showFrame();
    w.showFrame();
    Stage stage(readBack(w));
    stage.root().setEndMode(MovieClip::EndMode::Stop);
    stage.start();

    const MovieClip* sprite = clipAt(stage.root(), 1);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->currentFrame(), 0) << "a placed sprite shows its first frame at once";
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        stage.advance();
        frames.push_back(sprite->currentFrame());
        EXPECT_EQ(sprite->at(1)->matrix().tx, sprite->currentFrame() * kTwips);
    }
    EXPECT_EQ(frames, (std::vector<int> { 1, 2, 0, 1, 2 })) << "the sprite loops while the root has stopped";
    EXPECT_FALSE(stage.root().isPlaying());
}

// The frame the clip at depth 1 stands on (-1 when none) over the first four ticks of
// the movie `w` makes.
std::vector<int> firstFramesOfDepthOne(Writer& w)
{
    Result<Movie> movie = parseMovie(fileBytes(w));
    EXPECT_TRUE(movie.has_value());
    Stage stage(std::make_shared<const Movie>(movie ? std::move(*movie) : Movie {}));
    stage.start();
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) {
        stage.advance();
        const MovieClip* sprite = clipAt(stage.root(), 1);
        frames.push_back(sprite ? sprite->currentFrame() : -1);
    }
    return frames;
}

TEST(Timeline, SpritesOfAMovieShortOfItsDeclaredFramesDoNotLoop)
{
    const auto spriteFrames = [](int declared) {
        Writer w = writerWithShapes();
        w.defineSprite(10, walkingSprite(3));
        w.place(placeAt(1, 10));
        for (int f = 0; f < 6; ++f)
            w.showFrame();
        w.declareFrameCount(uint16_t(declared));
        return firstFramesOfDepthOne(w);
    };
    EXPECT_EQ(spriteFrames(6), (std::vector<int> { 1, 2, 0, 1 }));
    EXPECT_EQ(spriteFrames(9), (std::vector<int> { 1, 2, 2, 2 })) << "the movie never arrives whole";
}

TEST(Timeline, AMoveThatChangesTheCharacterKeepsTheName)
{
    Writer w = writerWithShapes();
    PlaceObject first = placeAt(1, 1);
    first.name = "kept";
    w.place(first);
    w.showFrame();
    PlaceObject swap = replaceWith(1, 2);
    swap.name = "offered";
    w.place(swap);
    w.showFrame();
    Stage stage(readBack(w));
    stage.root().setEndMode(MovieClip::EndMode::Stop);
    stage.start();
    stage.advance();
    const DisplayObject* object = stage.root().at(1);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->characterId(), 2);
    EXPECT_EQ(object->name(), "kept");
}

// A sprite whose body ends open (tags after its last ShowFrame, or no End tag) plays to
// its last frame and waits there; the same frames shown and ended loop.
TEST(Timeline, ASpriteWhoseBodyEndsOpenStaysOnItsLastFrame)
{
    const auto spriteFrames = [](bool open) {
        // DefineSprite 10 of two frames, each an empty DoAction then a ShowFrame (the second
        // one dropped when open), then End: tag headers 0x0301 (DoAction, 1 byte),
        // 0x0040 (ShowFrame), 0x0000 (End).
        std::vector<uint8_t> body { 10, 0, 2, 0, 0x01, 0x03, 0, 0x40, 0x00, 0x01, 0x03, 0 };
        if (!open)
            body.insert(body.end(), { 0x40, 0x00 });
        body.insert(body.end(), { 0x00, 0x00 });
        Writer w = writerWithShapes();
        w.rawTag(39, body);
        w.place(placeAt(1, 10));
        for (int f = 0; f < 6; ++f)
            w.showFrame();
        return firstFramesOfDepthOne(w);
    };
    EXPECT_EQ(spriteFrames(false), (std::vector<int> { 1, 0, 1, 0 }));
    EXPECT_EQ(spriteFrames(true), (std::vector<int> { 1, 1, 1, 1 }));
}

TEST(Timeline, SpritePlacedThisTickWaitsForTheNext)
{
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(3));
    w.showFrame();
    w.place(placeAt(1, 10));
    w.showFrame();
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    stage.advance();
    ASSERT_NE(clipAt(stage.root(), 1), nullptr);
    EXPECT_EQ(clipAt(stage.root(), 1)->currentFrame(), 0);
    stage.advance();
    EXPECT_EQ(clipAt(stage.root(), 1)->currentFrame(), 1);
}

// A timeline that places, moves, replaces and removes across six frames.
Writer busyTimeline()
{
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(4));
    w.place(placeAt(1, 1, 1, 1));
    w.place(placeAt(2, 10));
    w.place(placeAt(5, 3, 5, 5));
    w.showFrame();
    w.place(moveTo(1, 2, 2));
    w.place(placeAt(3, 2, 3, 3));
    w.showFrame();
    w.remove(removeAt(3));
    w.place(moveTo(5, 6, 6));
    w.showFrame();
    w.place(placeAt(3, 3, 4, 4));
    w.place(replaceWith(1, 2));
    w.showFrame();
    w.remove(removeAt(2));
    w.place(moveTo(1, 9, 9));
    w.showFrame();
    w.place(placeAt(2, 10, 7, 7));
    w.remove(removeAt(5));
    w.showFrame();
    return w;
}

TEST(Timeline, GotoGivesTheListThatPlayingGives)
{
    auto movie = readBack(busyTimeline());
    const int frameCount = 6;
    std::vector<std::vector<Entry>> played;
    {
        Stage stage(movie);
        stage.start();
        for (int f = 0; f < frameCount; ++f) {
            if (f > 0)
                stage.advance();
            played.push_back(listOf(stage.root()));
        }
    }
    // Every jump, forward and backward, from every frame to every frame.
    for (int from = 0; from < frameCount; ++from) {
        for (int to = 0; to < frameCount; ++to) {
            Stage stage(movie);
            stage.start();
            stage.root().gotoFrame(from);
            stage.root().gotoFrame(to);
            EXPECT_EQ(stage.root().currentFrame(), to);
            EXPECT_EQ(listOf(stage.root()), played[static_cast<std::size_t>(to)])
                << "from " << from << " to " << to;
        }
    }
}

TEST(Timeline, GotoBackKeepsObjectsThatStayAndRemakesTheRest)
{
    auto movie = readBack(busyTimeline());
    Stage stage(movie);
    stage.start();
    stage.advance();
    stage.advance(); // frame 3: the sprite at depth 2 has run two frames
    const DisplayObject* sprite = stage.root().at(2);
    const DisplayObject* shape = stage.root().at(1);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->asMovieClip()->currentFrame(), 2);

    stage.root().gotoFrame(0);
    EXPECT_EQ(stage.root().at(2), sprite) << "same character at the same depth: the instance stays";
    EXPECT_EQ(sprite->asMovieClip()->currentFrame(), 2) << "and keeps its own timeline";
    EXPECT_EQ(stage.root().at(1), shape);
    EXPECT_EQ(shape->matrix().tx, 1 * kTwips) << "the survivor takes the placement of the target frame";

    stage.root().gotoFrame(4); // frame 4 swapped depth 1 to shape 2 and frame 5 removed the sprite
    EXPECT_EQ(stage.root().at(1)->characterId(), 2);
    EXPECT_EQ(stage.root().at(2), nullptr);
    stage.root().gotoFrame(5); // placed again: a new instance, from its first frame
    ASSERT_NE(clipAt(stage.root(), 2), nullptr);
    EXPECT_EQ(clipAt(stage.root(), 2)->currentFrame(), 0);
}

TEST(Timeline, GotoBackKeepsAnInstanceOfTheSameCharacterAndRatioWhicheverTagPlacedIt)
{
    const auto named = [](PlaceObject place, const char* name, std::optional<uint16_t> ratio) {
        place.name = name;
        place.ratio = ratio;
        return place;
    };
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(4));
    w.place(named(placeAt(1, 10), "first", std::nullopt));
    w.place(named(placeAt(2, 10), "second", std::nullopt));
    w.showFrame();
    w.showFrame();
    w.remove(removeAt(1));
    w.remove(removeAt(2));
    w.showFrame();
    // Placed again by other tags: the same ratio at depth 1, another one at depth 2.
    w.place(named(placeAt(1, 10), "again", uint16_t(0)));
    w.place(named(placeAt(2, 10), "other", uint16_t(65535)));
    // Up among the script depths: going back leaves it alone.
    w.place(named(placeAt(uint16_t(kScriptDepthOffset + 7), 10), "high", std::nullopt));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    stage.root().gotoFrame(3);
    const DisplayObject* again = stage.root().at(1);
    const DisplayObject* high = stage.root().at(kScriptDepthOffset + 7);
    ASSERT_NE(again, nullptr);

    stage.root().gotoFrame(1);
    EXPECT_EQ(stage.root().at(1), again);
    EXPECT_EQ(again->name(), "again") << "the kept instance keeps its own name";
    ASSERT_NE(stage.root().at(2), nullptr);
    EXPECT_EQ(stage.root().at(2)->name(), "second") << "another ratio: made again";
    EXPECT_EQ(stage.root().at(kScriptDepthOffset + 7), high);
}

TEST(Timeline, GotoBackDropsWhatScriptsMadeAmongTheTimelineDepths)
{
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(2));
    w.place(placeAt(1, 10));
    w.place(placeAt(2, 10, 5, 5));
    w.showFrame();
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    stage.advance();
    MovieClip& root = stage.root();
    ASSERT_NE(root.placeByScript(10, "below", -5), nullptr);
    ASSERT_NE(root.placeByScript(10, "above", 5), nullptr);
    DisplayObject* swapped = root.at(2);
    ASSERT_TRUE(root.swapDepths(*swapped, -100));

    root.gotoFrame(0);
    EXPECT_EQ(root.atScriptDepth(-5), nullptr) << "a copy below depth 0 goes";
    EXPECT_NE(root.atScriptDepth(5), nullptr);
    EXPECT_EQ(root.atScriptDepth(-100), swapped) << "the timeline's own clip stays where it was swapped";
    // Going forward keeps a script's objects wherever they are.
    ASSERT_NE(root.placeByScript(10, "below", -5), nullptr);
    root.gotoFrame(1);
    EXPECT_NE(root.atScriptDepth(-5), nullptr);
}

TEST(Timeline, StoppedRootStillAdvancesItsChildren)
{
    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(3));
    w.place(placeAt(1, 10));
    w.showFrame();
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    stage.root().stop();
    stage.advance();
    EXPECT_EQ(stage.root().currentFrame(), 0);
    EXPECT_EQ(clipAt(stage.root(), 1)->currentFrame(), 1);
}

// The stage takes the movie's first background colour for good; later ones change nothing.
TEST(Timeline, FirstBackgroundColourStays)
{
    Writer w = writerWithShapes();
    w.setBackground({ 10, 20, 30 });
    w.showFrame();
    w.setBackground({ 40, 50, 60 });
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    EXPECT_EQ(stage.background(), (Rgba { 10, 20, 30, 255 }));
    stage.advance();
    EXPECT_EQ(stage.background(), (Rgba { 10, 20, 30, 255 }));
}

TEST(Timeline, ObserversHearFramesAndObjectsComeAndGo)
{
    struct Recorder : StageObserver {
        std::vector<std::pair<const MovieClip*, std::size_t>> frames; // clip, DoAction count
        std::vector<std::string> objects;
        int ticks = 0;
        void frameEntered(MovieClip& clip, const Frame& frame) override
        {
            std::size_t actions = 0;
            for (const ControlTag& tag : frame.tags)
                actions += std::holds_alternative<DoAction>(tag);
            frames.emplace_back(&clip, actions);
        }
        void objectAdded(DisplayObject& object) override
        {
            objects.push_back("+" + std::to_string(object.characterId()));
        }
        void objectRemoved(DisplayObject& object) override
        {
            objects.push_back("-" + std::to_string(object.characterId()));
        }
        void tickFinished() override { ++ticks; }
    } recorder;

    Writer w = writerWithShapes();
    w.defineSprite(10, walkingSprite(2));
    w.place(placeAt(1, 10));
    w.doAction(std::vector<uint8_t> { 0x07, 0x00 }); // stop
    w.showFrame();
    w.remove(removeAt(1));
    w.showFrame();
    Stage stage(readBack(w));
    stage.addObserver(&recorder);
    stage.start();
    const MovieClip* sprite = clipAt(stage.root(), 1);
    ASSERT_EQ(recorder.frames.size(), 2u);
    EXPECT_EQ(recorder.frames[0].first, sprite) << "the sprite enters its frame as it is placed";
    EXPECT_EQ(recorder.frames[1], std::make_pair<const MovieClip*>(&stage.root(), std::size_t { 1 }));
    EXPECT_EQ(recorder.ticks, 1) << "the first frame is a tick of its own";
    stage.advance();
    EXPECT_EQ(recorder.frames.size(), 3u);
    EXPECT_EQ(recorder.ticks, 2);
    // The sprite and its shape came; leaving, the shape is reported before the sprite.
    EXPECT_EQ(recorder.objects, (std::vector<std::string> { "+10", "+1", "-1", "-10" }));
    stage.removeObserver(&recorder);
    stage.advance();
    EXPECT_EQ(recorder.ticks, 2);
}

// ---- Hostile timelines ----------------------------------------------------------------------

TEST(TimelineLimits, SpriteThatPlacesItselfStopsAtTheNestingLimit)
{
    Writer w = writerWithShapes();
    SpriteDefinition self;
    Frame frame;
    frame.tags.push_back(placeAt(1, 10));
    self.timeline.frames = { frame, Frame {} };
    w.defineSprite(10, self);
    w.place(placeAt(1, 10));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    for (int i = 0; i < 10; ++i)
        stage.advance();

    int depth = 0;
    for (const MovieClip* clip = &stage.root(); clip; clip = clipAt(*clip, 1))
        ++depth;
    EXPECT_LE(depth, Stage::kMaxNesting + 1);
    EXPECT_GE(depth, 10);
}

TEST(TimelineLimits, SpriteThatDoublesItselfStaysWithinTheInstanceBudget)
{
    Writer w = writerWithShapes();
    SpriteDefinition twice;
    Frame frame;
    for (uint16_t depth : { 1, 2 })
        frame.tags.emplace_back(placeAt(depth, 10));
    twice.timeline.frames = { frame, Frame {} };
    w.defineSprite(10, twice);
    w.place(placeAt(1, 10));
    w.showFrame();
    w.showFrame();
    Stage stage(readBack(w));
    const auto started = std::chrono::steady_clock::now();
    stage.start();
    for (int i = 0; i < 4; ++i) {
        stage.advance();
        stage.root().gotoFrame(0);
    }
    EXPECT_LE(stage.instanceCount(), Stage::kMaxInstances);
    EXPECT_GT(stage.instanceCount(), 1000u);
    // Not a timing test: a tree that grew without bound would not finish at all.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(TimelineLimits, EmptyMovieHasOneEmptyFrameAndGotoClamps)
{
    auto movie = std::make_shared<const Movie>();
    Stage stage(movie);
    stage.start();
    stage.advance();
    stage.root().gotoFrame(3);
    EXPECT_EQ(stage.root().frameCount(), 1);
    EXPECT_EQ(stage.root().currentFrame(), 0);
    EXPECT_TRUE(stage.root().displayList().empty());
}

} // namespace
} // namespace swf::test
