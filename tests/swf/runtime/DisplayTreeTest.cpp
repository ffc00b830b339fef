// The display tree as scripts see it: objects made, moved, renamed, swapped and removed
// beside the timeline's, and found again by name and by path.
#include "Fixtures.h"

#include "swf/display/Stage.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

// Shape 1 (red) and a two-frame sprite 2 holding it; a three-frame main timeline that
// places shape 1 at depth 1 on frame 1 and moves it right on frames 2 and 3.
std::shared_ptr<const Movie> threeFrames()
{
    Writer w(stageHeader(100, 100));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    SpriteDefinition sprite;
    sprite.declaredFrameCount = 2;
    sprite.timeline.frames.resize(2);
    sprite.timeline.frames[0].tags.push_back(placeAt(1, 1));
    w.defineSprite(2, sprite);
    PlaceObject first = placeAt(1, 1, 10, 10);
    first.name = "box";
    w.place(first);
    w.showFrame();
    w.place(moveTo(1, 20, 10));
    w.showFrame();
    w.place(moveTo(1, 30, 10));
    w.showFrame();
    return readBack(w);
}

TEST(DisplayTree, ScriptObjectsSurviveTheLoopAndABackwardGoto)
{
    Stage stage(threeFrames());
    stage.start();
    MovieClip& root = stage.root();
    DisplayObject* made = root.placeByScript(2, "made", 5);
    MovieClip* empty = root.createEmptyClip("canvas", 0);
    ASSERT_TRUE(made && empty);
    const ObjectId madeId = made->id();
    const ObjectId emptyId = empty->id();
    EXPECT_EQ(made->scriptDepth(), 5);
    EXPECT_EQ(made->origin(), Origin::Script);

    for (int tick = 0; tick < 7; ++tick) // past the loop, twice
        stage.advance();
    root.gotoFrame(2);
    root.gotoFrame(0);
    EXPECT_EQ(root.atScriptDepth(5), stage.find(madeId));
    EXPECT_EQ(root.atScriptDepth(0), stage.find(emptyId));
    EXPECT_EQ(root.childByName("made", true)->id(), madeId);
    // The script's clip kept playing its own timeline meanwhile.
    EXPECT_GE(stage.find(madeId)->asMovieClip()->currentFrame(), 0);
}

TEST(DisplayTree, AMovedTimelineObjectKeepsItsPlaceUntilPlacedAnew)
{
    Writer w(stageHeader(100, 100));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    w.place(placeAt(1, 1, 10, 10));
    w.showFrame();
    w.place(moveTo(1, 20, 10));
    w.showFrame();
    w.remove(removeAt(1));
    w.showFrame();
    w.place(placeAt(1, 1, 50, 10));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    DisplayObject* box = stage.root().at(1);
    ASSERT_TRUE(box);
    box->setMatrix(translation(77, 5));

    stage.advance(); // the timeline moves depth 1: not this object any more
    ASSERT_EQ(stage.root().at(1), box);
    EXPECT_EQ(box->matrix().tx, 77 * kTwips);
    EXPECT_EQ(box->matrix().ty, 5 * kTwips);
    stage.advance(); // removed
    EXPECT_EQ(stage.root().at(1), nullptr);
    stage.advance(); // placed anew: the timeline's place
    ASSERT_TRUE(stage.root().at(1));
    EXPECT_EQ(stage.root().at(1)->matrix().tx, 50 * kTwips);
}

TEST(DisplayTree, ARecolouredObjectKeepsItsColourAndPlaceAcrossMoves)
{
    Stage stage(threeFrames());
    stage.start();
    DisplayObject* box = stage.root().at(1);
    box->setColorTransform(ColorTransform { .rMul = 0 });
    stage.advance();
    EXPECT_EQ(box->colorTransform().rMul, 0);
    EXPECT_EQ(box->matrix().tx, 10 * kTwips) << "recoloured by a script: the timeline moves it no more";
}

TEST(DisplayTree, SwappedObjectsAreTheScriptsAndTheTimelineMakesItsOwnAgain)
{
    Stage stage(threeFrames());
    stage.start();
    MovieClip& root = stage.root();
    DisplayObject* box = root.at(1);
    DisplayObject* made = root.placeByScript(1, "made", 3);
    ASSERT_TRUE(root.swapDepths(*box, 3));
    EXPECT_EQ(root.atScriptDepth(3), box);
    EXPECT_EQ(root.at(1), made) << "what stood at the new depth took the old one";
    EXPECT_EQ(box->origin(), Origin::Script);

    stage.advance(); // the timeline's move of depth 1 does not reach either
    EXPECT_EQ(box->matrix().tx, 10 * kTwips);
    stage.advance();
    // The loop back to frame 1 rebuilds the timeline's depths: the script's clip swapped
    // into depth 1 goes, and the timeline places its own there again. The one swapped out
    // to the script's depths stays.
    stage.advance();
    ASSERT_TRUE(root.at(1));
    EXPECT_EQ(root.at(1)->origin(), Origin::Timeline);
    EXPECT_EQ(root.at(1)->name(), std::string("box")) << "the timeline's own, not the clip named made";
    EXPECT_EQ(root.atScriptDepth(3), box);
}

TEST(DisplayTree, RemovedObjectsAreGoneByIdAndDepthsCountUp)
{
    Stage stage(threeFrames());
    stage.start();
    MovieClip& root = stage.root();
    EXPECT_EQ(root.nextHighestDepth(), 0);
    DisplayObject* a = root.placeByScript(1, "a", 0);
    root.placeByScript(1, "b", 7);
    EXPECT_EQ(root.nextHighestDepth(), 8);
    const ObjectId id = a->id();
    EXPECT_TRUE(root.remove(*a));
    EXPECT_EQ(stage.find(id), nullptr);
    EXPECT_EQ(root.placeByScript(1, "c", kMaxScriptDepth + 1), nullptr);
    EXPECT_EQ(root.placeByScript(999, "d", 1), nullptr) << "no such character";
}

TEST(DisplayTree, NamesAndTargetPaths)
{
    Stage stage(threeFrames());
    stage.start();
    MovieClip& root = stage.root();
    MovieClip* outer = root.createEmptyClip("Outer", 1);
    MovieClip* inner = outer->createEmptyClip("inner", 1);
    DisplayObject* box = root.at(1);

    EXPECT_EQ(box->name(), "box");
    EXPECT_EQ(root.childByName("OUTER", false), outer);
    EXPECT_EQ(root.childByName("OUTER", true), nullptr);
    EXPECT_EQ(stage.targetPath(*inner), "_level0.Outer.inner");
    EXPECT_EQ(stage.slashPath(*inner), "/Outer/inner");
    EXPECT_EQ(stage.slashPath(root), "/");

    EXPECT_EQ(stage.resolvePath("_level0.Outer.inner", nullptr, true), inner);
    EXPECT_EQ(stage.resolvePath("/Outer/inner", inner, true), inner);
    EXPECT_EQ(stage.resolvePath("inner", outer, true), inner);
    EXPECT_EQ(stage.resolvePath("_parent._parent.box", inner, true), box);
    EXPECT_EQ(stage.resolvePath("../../box", inner, true), box);
    EXPECT_EQ(stage.resolvePath("_root.outer.INNER", inner, false), inner);
    EXPECT_EQ(stage.resolvePath("_root.outer.INNER", inner, true), nullptr);
    // "this" is a variable of scripts, no part of a target path.
    EXPECT_EQ(stage.resolvePath("this", inner, true), nullptr);
    EXPECT_EQ(stage.resolvePath("inner/", outer, true), inner);
    EXPECT_EQ(stage.resolvePath("inner//", outer, true), nullptr);
    EXPECT_EQ(stage.resolvePath("_level0", inner, true), &root);
    EXPECT_EQ(stage.resolvePath("_level3", nullptr, true), nullptr);
    EXPECT_EQ(stage.resolvePath("nothing.here", nullptr, true), nullptr);
    // Colons part names anywhere; dots only before the first slash.
    EXPECT_EQ(stage.resolvePath("Outer:inner", nullptr, true), inner);
    EXPECT_EQ(stage.resolvePath("_root.Outer:inner", inner, true), inner);
    EXPECT_EQ(stage.resolvePath("/Outer:inner", nullptr, true), inner);
    EXPECT_EQ(stage.resolvePath("/Outer.inner", nullptr, true), nullptr);
    EXPECT_EQ(stage.resolvePath("../../Outer/inner/..", inner, true), outer);
    EXPECT_EQ(stage.resolvePath("/Outer//inner", nullptr, true), nullptr);

    // A shape, which scripts cannot reach, is given no instance name.
    DisplayObject* made = root.placeByScript(2, "", 4);
    ASSERT_TRUE(made);
    MovieClip* sprite = made->asMovieClip();
    ASSERT_TRUE(sprite && sprite->at(1));
    EXPECT_EQ(sprite->at(1)->name(), "");
}

TEST(DisplayTree, LevelsHoldMoviesBesideTheFirst)
{
    Stage stage(threeFrames());
    stage.start();
    MovieClip* level = stage.loadLevel(2, threeFrames());
    ASSERT_TRUE(level);
    EXPECT_EQ(stage.resolvePath("_level2.box", nullptr, true), level->at(1));
    EXPECT_EQ(stage.targetPath(*level->at(1)), "_level2.box");
    stage.advance();
    EXPECT_EQ(level->currentFrame(), 1);
    stage.unloadLevel(2);
    EXPECT_EQ(stage.level(2), nullptr);
    EXPECT_EQ(stage.loadLevel(0, threeFrames()), nullptr) << "level 0 is the player's own movie";
}

} // namespace
} // namespace swf::test
