// The pointer on the stage: exact hit tests of shapes, and the events mouse targets get as
// it moves, presses and releases over overlapping objects.
#include "Fixtures.h"

#include "swf/display/Stage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace swf::test {
namespace {

QPointF px(double x, double y)
{
    return QPointF(x * kTwips, y * kTwips);
}

// One object of each outline worth testing, each alone on a 200x200 stage at depth 1.
std::unique_ptr<Stage> stageWith(const Shape& shape)
{
    Writer w(stageHeader(200, 200));
    w.defineShape(1, shape);
    w.place(placeAt(1, 1));
    w.showFrame();
    auto stage = std::make_unique<Stage>(readBack(w));
    stage->start();
    return stage;
}

TEST(HitTest, AHoleIsNotPartOfTheShape)
{
    // A 100 px square with a 40 px square hole, both outlines filled with one style.
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 0, 0, 0 }));
    b.rectangle(Rect { 0, 100 * kTwips, 0, 100 * kTwips });
    b.rectangle(Rect { 30 * kTwips, 70 * kTwips, 30 * kTwips, 70 * kTwips });
    auto stage = stageWith(b.build());
    EXPECT_TRUE(stage->objectAt(px(10, 10)));
    EXPECT_TRUE(stage->objectAt(px(29, 50)));
    EXPECT_FALSE(stage->objectAt(px(50, 50))) << "in the hole";
    EXPECT_FALSE(stage->objectAt(px(31, 69)));
    EXPECT_FALSE(stage->objectAt(px(101, 50)));
}

TEST(HitTest, ACurvedOutlineIsFollowedNotItsBox)
{
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 0, 0, 0 })).circle({ 100 * kTwips, 100 * kTwips }, 50 * kTwips);
    auto stage = stageWith(b.build());
    EXPECT_TRUE(stage->objectAt(px(100, 100)));
    EXPECT_TRUE(stage->objectAt(px(100, 52)));
    EXPECT_TRUE(stage->objectAt(px(140, 120)));
    EXPECT_FALSE(stage->objectAt(px(55, 55))) << "inside the box, outside the circle";
    EXPECT_FALSE(stage->objectAt(px(145, 145)));
}

TEST(HitTest, ALineIsHitAsWideAsItIsDrawn)
{
    // A diagonal line 10 px wide, with no fill.
    ShapeBuilder b;
    b.line(b.addLine(10 * kTwips, { 0, 0, 0 }))
        .moveTo(20 * kTwips, 20 * kTwips)
        .lineTo(180 * kTwips, 180 * kTwips);
    auto stage = stageWith(b.build());
    EXPECT_TRUE(stage->objectAt(px(100, 100)));
    EXPECT_TRUE(stage->objectAt(px(103, 100)));
    EXPECT_FALSE(stage->objectAt(px(110, 100)));
    EXPECT_FALSE(stage->objectAt(px(160, 40))) << "inside the line's box";
}

TEST(HitTest, AMaskLimitsWhatIsHit)
{
    Writer w(stageHeader(200, 200));
    w.defineShape(1, filledRect(0, 0, 100, 100, { 0, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 50, 50, { 0, 0, 0 }));
    PlaceObject mask = placeAt(1, 2);
    mask.clipDepth = 2;
    w.place(mask);
    w.place(placeAt(2, 1));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    EXPECT_EQ(stage.objectAt(px(25, 25)), stage.root().at(2));
    EXPECT_EQ(stage.objectAt(px(75, 75)), nullptr) << "outside the mask";
    EXPECT_TRUE(stage.root().at(1)->isMask());
}

// Records the events of mouse targets by name.
class Recorder : public InputListener {
public:
    void pointerEvent(DisplayObject& target, PointerEventKind kind) override
    {
        static const char* names[]
            = { "over", "out", "press", "release", "releaseOutside", "dragOver", "dragOut" };
        events.push_back(target.name() + " " + names[int(kind)]);
    }
    std::vector<std::string> take() { return std::exchange(events, {}); }
    std::vector<std::string> events;
};

// Two 60 px squares that overlap by 20 px: "low" at (0,0) below "high" at (40,0).
class PointerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Writer w(stageHeader(200, 100));
        w.defineShape(1, filledRect(0, 0, 60, 60, { 0, 0, 0 }));
        SpriteDefinition sprite;
        sprite.declaredFrameCount = 1;
        sprite.timeline.frames.resize(1);
        sprite.timeline.frames[0].tags.push_back(placeAt(1, 1));
        w.defineSprite(2, sprite);
        PlaceObject low = placeAt(1, 2, 0, 0);
        low.name = "low";
        PlaceObject high = placeAt(2, 2, 40, 0);
        high.name = "high";
        w.place(low);
        w.place(high);
        w.showFrame();
        stage = std::make_unique<Stage>(readBack(w));
        stage->start();
        for (int depth : { 1, 2 })
            stage->root().at(depth)->setHandlesMouse(true);
        stage->input().setListener(&recorder);
    }

    PointerInput& input() { return stage->input(); }

    std::unique_ptr<Stage> stage;
    Recorder recorder;
};

TEST_F(PointerTest, RollOverAndOutFollowTheTopmostTarget)
{
    input().move(px(10, 10));
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "low over" }));
    EXPECT_EQ(input().cursor(), Cursor::Hand);
    input().move(px(50, 10)); // where both are: the higher one
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "low out", "high over" }));
    input().move(px(90, 10));
    EXPECT_TRUE(recorder.take().empty());
    input().move(px(150, 90));
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high out" }));
    EXPECT_EQ(input().cursor(), Cursor::Arrow);
}

TEST_F(PointerTest, PressDragAndReleaseOutside)
{
    input().move(px(50, 10));
    recorder.take();
    input().press();
    input().move(px(10, 10)); // onto the lower one: only the pressed target hears
    input().move(px(50, 30)); // back
    input().move(px(150, 90));
    input().release();
    EXPECT_EQ(recorder.take(),
        (std::vector<std::string> {
            "high press", "high dragOut", "high dragOver", "high dragOut", "high releaseOutside" }));
    // Released outside over the other target: it gets the pointer at once.
    input().move(px(10, 10));
    input().press();
    input().move(px(90, 10));
    input().release();
    EXPECT_EQ(recorder.take(),
        (std::vector<std::string> {
            "low over", "low press", "low dragOut", "low releaseOutside", "high over" }));
}

TEST_F(PointerTest, ReleaseOverThePressedTarget)
{
    input().move(px(90, 50));
    input().press();
    input().release();
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high over", "high press", "high release" }));
    input().press();
    input().press(); // a second press without a release is the same press
    input().release();
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high press", "high release" }));
}

TEST_F(PointerTest, ATargetThatGoesAwayIsForgotten)
{
    input().move(px(90, 50));
    input().press();
    DisplayObject* high = stage->root().at(2);
    stage->root().remove(*high);
    input().move(px(10, 10));
    input().release();
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high over", "high press", "low over" }));
}

TEST_F(PointerTest, TargetsInsideATargetTakeNoEventsOfTheirOwn)
{
    // The clip "high" takes the mouse as a whole; so does the shape inside it, in vain.
    MovieClip* high = stage->root().at(2)->asMovieClip();
    high->at(1)->setHandlesMouse(true);
    input().move(px(90, 50));
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high over" }));
    EXPECT_EQ(stage->mouseTargetAt(px(90, 50)), high);
}

TEST_F(PointerTest, AStillPointerNoticesWhatMovesUnderIt)
{
    input().move(px(150, 90));
    stage->root().at(1)->setMatrix(translation(120, 40));
    input().refresh();
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "low over" }));
}

TEST_F(PointerTest, DisabledTargetsAreNotPressed)
{
    stage->root().at(2)->setEnabled(false);
    input().move(px(90, 50));
    input().press();
    input().release();
    EXPECT_EQ(recorder.take(), (std::vector<std::string> { "high over" }));
    EXPECT_EQ(input().cursor(), Cursor::Arrow);
}

} // namespace
} // namespace swf::test
