// When scripts run: init actions, frame actions and clip events across the tree, button
// conditions, and what scripts do to the timeline.

#include "ScriptFixture.h"

#include "swf/display/Stage.h"
#include "swf/format/Buttons.h"
#include "swf/format/Tags.h"
#include "swf/player/MovieLoader.h"
#include "swf/runtime/Fixtures.h"
#include "swf/script/ScriptEngine.h"
#include "swf/script/ScriptHost.h"

#include <gtest/gtest.h>

#include <optional>

namespace swf::test {
namespace {

using A = ActionCode;

QStringList lines(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

void u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

// CLIPACTIONS of SWF 6 and later: one record per (event flags, script). The events of
// them all together head the list, unless `summary` says otherwise.
std::vector<uint8_t> clipActions(
    const std::vector<std::pair<uint32_t, Asm>>& records, std::optional<uint32_t> summary = std::nullopt)
{
    std::vector<uint8_t> out { 0, 0 };
    uint32_t all = 0;
    for (const auto& [flags, script] : records)
        all |= flags;
    u32(out, summary.value_or(all));
    for (const auto& [flags, script] : records) {
        const std::vector<uint8_t> code = script.bytes();
        u32(out, flags);
        u32(out, uint32_t(code.size()));
        out.insert(out.end(), code.begin(), code.end());
    }
    u32(out, 0);
    return out;
}

constexpr uint32_t kLoad = 0x01, kEnterFrame = 0x02, kUnload = 0x04;

// A sprite of one frame whose frame runs `script`.
SpriteDefinition spriteRunning(const Asm& script)
{
    SpriteDefinition sprite;
    sprite.timeline.frames.push_back(Frame { { DoAction { script.bytes() } }, {} });
    return sprite;
}

TEST(Engine, InitActionsRunOnceBeforeTheFrame)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(2, spriteRunning(Asm().trace("child frame")));
    w.doAction(Asm().trace("root frame").bytes());
    w.control(DoInitAction { 2, Asm().trace("init").bytes() });
    PlaceObject place = placeAt(1, 2);
    place.name = "c";
    place.clipActions = clipActions({ { kLoad, Asm().trace("load") }, { kUnload, Asm().trace("unload") } });
    w.place(place);
    w.showFrame();
    w.remove(removeAt(1));
    w.doAction(Asm().trace("frame 2").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    ASSERT_FALSE(run.traces.isEmpty());
    EXPECT_EQ(run.traces.first(), QStringLiteral("init"));
    EXPECT_EQ(run.traces.count(QStringLiteral("init")), 1);
    EXPECT_EQ(run.traces.count(QStringLiteral("load")), 1);
    EXPECT_EQ(run.traces.count(QStringLiteral("child frame")), 1);
    EXPECT_LT(
        run.traces.indexOf(QStringLiteral("root frame")), run.traces.indexOf(QStringLiteral("frame 2")));
    EXPECT_EQ(run.traces.count(QStringLiteral("unload")), 1);
}

// A frame that empties a depth, runs a script and fills the depth again: the clip that
// went says goodbye at its RemoveObject, the new one runs its first frame at its own
// PlaceObject, after the script between them.
TEST(Engine, ADepthEmptiedAndFilledAgainRunsInTagOrder)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(2, SpriteDefinition {});
    w.defineSprite(3, spriteRunning(Asm().trace("new clip")));
    PlaceObject old = placeAt(1, 2);
    old.clipActions = clipActions({ { kUnload, Asm().trace("unload") } });
    w.place(old);
    w.showFrame();
    w.remove(removeAt(1));
    w.doAction(Asm().trace("root frame 2").op(A::Stop).bytes());
    w.place(placeAt(1, 3));
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    EXPECT_EQ(run.traces, lines({ "unload", "root frame 2", "new clip" }));
}

// A clip the timeline removes that has something to run on unloading waits below every
// depth until that has run: its name and its properties still answer there. One without
// goes at once; afterwards neither is found.
TEST(Engine, ARemovedClipStaysFoundUntilItsUnloadScriptsRan)
{
    const auto member = [](Asm& a, const char* object, const char* name) -> Asm& {
        return a.get(object).push(name).op(A::GetMember);
    };
    Asm byEvent;
    byEvent.get("this").callMethod("getDepth", 0).op(A::Trace);
    member(byEvent, "this", "_currentframe").op(A::Trace);
    member(byEvent, "_root", "a").get("this").op(A::Equals2).op(A::Trace);
    Asm byMethod;
    byMethod.get("this").callMethod("getDepth", 0).op(A::Trace);
    member(byMethod, "_root", "b").op(A::TypeOf).op(A::Trace);
    member(byMethod, "_root", "c").op(A::TypeOf).op(A::Trace);

    Writer w(stageHeader(100, 100, 12.0, 6));
    w.defineSprite(2, SpriteDefinition {});
    PlaceObject a = placeAt(3, 2);
    a.name = "a";
    a.clipActions = clipActions({ { kUnload, byEvent } });
    w.place(a);
    PlaceObject b = placeAt(4, 2);
    b.name = "b";
    w.place(b);
    PlaceObject c = placeAt(5, 2);
    c.name = "c";
    w.place(c);
    w.doAction(Asm().get("b").push("onUnload").function("", {}, byMethod).op(A::SetMember).bytes());
    w.showFrame();
    w.remove(removeAt(3));
    w.remove(removeAt(4));
    w.remove(removeAt(5));
    Asm after;
    member(after, "_root", "a").op(A::TypeOf).op(A::Trace);
    member(after, "_root", "b").op(A::TypeOf).op(A::Trace);
    w.doAction(after.op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    // Depths 3 and 4 are script depths -16381 and -16380: they wait at -32769 less those.
    EXPECT_EQ(run.traces,
        lines({ "-16388", "1", "true", "-16389", "movieclip", "undefined", "undefined", "undefined" }));
}

// A jump that drops a clip keeps it for its unload scripts too, and so does a clip only
// a clip inside it has them for.
TEST(Engine, AClipDroppedByAJumpWaitsForTheUnloadScriptsInIt)
{
    Asm inner;
    inner.get("_root").push("outer").op(A::GetMember).callMethod("getDepth", 0).op(A::Trace);
    inner.get("this").push("_currentframe").op(A::GetMember).op(A::Trace);
    SpriteDefinition innerSprite;
    innerSprite.timeline.frames.push_back(Frame { { DoAction { Asm().trace("inner frame").bytes() } }, {} });
    innerSprite.timeline.frames.push_back(Frame {});

    Writer w(stageHeader(100, 100, 12.0, 6));
    w.defineSprite(2, innerSprite);
    SpriteDefinition outerSprite;
    PlaceObject innerPlace = placeAt(1, 2);
    innerPlace.clipActions = clipActions({ { kUnload, inner } });
    outerSprite.timeline.frames.push_back(Frame { { innerPlace }, {} });
    w.defineSprite(3, outerSprite);
    w.doAction(Asm().trace("root frame 1").bytes());
    w.showFrame();
    PlaceObject outer = placeAt(7, 3);
    outer.name = "outer";
    w.place(outer);
    w.doAction(Asm().trace("root frame 2").gotoFrame(0).op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 4);
    EXPECT_EQ(
        run.traces, lines({ "root frame 1", "inner frame", "root frame 2", "-16392", "1", "root frame 1" }));
}

// An unload script stopped for running too long does not leave its clip waiting.
TEST(Engine, AClipWhoseUnloadScriptIsStoppedGoesAllTheSame)
{
    Writer w(stageHeader(100, 100, 12.0, 6));
    const std::vector<uint8_t> limits { 0x00, 0x01, 0x01, 0x00 }; // one second
    w.rawTag(65, limits);
    w.defineSprite(2, SpriteDefinition {});
    PlaceObject a = placeAt(3, 2);
    a.name = "a";
    a.clipActions = clipActions({ { kUnload, Asm().label("again").jump("again") } });
    w.place(a);
    w.showFrame();
    w.remove(removeAt(3));
    w.showFrame();
    w.doAction(Asm().get("_root").push("a").op(A::GetMember).op(A::TypeOf).op(A::Trace).op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    EXPECT_FALSE(run.stopped.isEmpty());
    EXPECT_EQ(run.traces, lines({ "undefined" }));
}

// A place on a taken depth keeps the clip standing there (no new clip runs its first
// frame) and is said as a trace line with the tag's depth, before the frame's scripts.
TEST(Engine, APlaceOnATakenDepthWarnsBeforeTheFrameScripts)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(2, spriteRunning(Asm().trace("first clip")));
    w.defineSprite(3, spriteRunning(Asm().trace("second clip")));
    w.place(placeAt(40, 2));
    w.showFrame();
    w.place(placeAt(40, 3));
    w.doAction(Asm().trace("root frame 2").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    EXPECT_EQ(
        run.traces, lines({ "first clip", "Warning: Failed to place object at depth 40.", "root frame 2" }));
}

// An empty sprite placed on the first frame (after `firstScript`, if any), kept for the
// second and removed on the third, which stops the movie.
Writer placedForAFrame(const PlaceObject& place, const Asm* firstScript = nullptr)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(2, SpriteDefinition {});
    if (firstScript)
        w.doAction(firstScript->bytes());
    w.place(place);
    w.showFrame();
    w.showFrame();
    w.remove(removeAt(1));
    w.doAction(Asm().op(A::Stop).bytes());
    w.showFrame();
    return w;
}

// A clip of a registered class tells its class as objects made by `new` do: its own
// __constructor__, and before SWF 7 its own constructor too.
TEST(Engine, ClipsOfARegisteredClassKnowTheirConstructor)
{
    for (const uint8_t version : { uint8_t(6), uint8_t(7) }) {
        Writer w(stageHeader(100, 100, 12.0, version));
        w.defineSprite(2, SpriteDefinition {});
        // ExportAssets: one character, 2 as "sym".
        const std::vector<uint8_t> exports { 1, 0, 2, 0, 's', 'y', 'm', 0 };
        w.rawTag(toCode(TagCode::ExportAssets), exports);
        Asm a;
        a.function("Cls", {}, Asm());
        a.get("Cls").push("sym").pushInt(2).get("Object").push("registerClass").op(A::CallMethod).op(A::Pop);
        a.pushArgs({ "sym", "clip", 1.0 }).get("_root").callMethod("attachMovie", 3).op(A::Pop);
        for (const char* name : { "__constructor__", "constructor" })
            a.push(name).pushInt(1).get("clip").push("hasOwnProperty").op(A::CallMethod).op(A::Trace);
        a.get("clip").push("__constructor__").op(A::GetMember).get("Cls").op(A::StrictEquals).op(A::Trace);
        w.doAction(a.bytes());
        w.showFrame();
        ScriptRun run;
        run.play(w);
        EXPECT_EQ(run.traces, lines({ "true", version < 7 ? "true" : "false", "true" })) << int(version);
    }
}

// attachMovie's last argument gives its properties to a clip; a button attached with it
// takes none of them, though scripts may set its properties afterwards.
TEST(Engine, OnlyAnAttachedClipTakesTheInitObject)
{
    Writer w(stageHeader(100, 100, 12.0, 6));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    w.defineSprite(2, SpriteDefinition {});
    ButtonDefinition button;
    ButtonRecord shape;
    shape.characterId = 1;
    shape.depth = 1;
    shape.up = shape.over = shape.down = shape.hitTest = true;
    button.records = { shape };
    w.define(toCode(TagCode::DefineButton2), 3, encodeButton(button));
    // ExportAssets: 2 as "clip", 3 as "button".
    const std::vector<uint8_t> exports { 2, 0, 2, 0, 'c', 'l', 'i', 'p', 0, 3, 0, 'b', 'u', 't', 't', 'o', 'n', 0 };
    w.rawTag(toCode(TagCode::ExportAssets), exports);
    Asm a;
    a.assignNew("o", "Object");
    a.get("o").push("f").pushInt(56).op(A::SetMember);
    a.get("o").pushArgs({ "clip", "c", 1.0 }).get("_root").callMethod("attachMovie", 4).op(A::Pop);
    a.get("o").pushArgs({ "button", "b", 2.0 }).get("_root").callMethod("attachMovie", 4).op(A::Pop);
    a.get("b").push("s").pushInt(37).op(A::SetMember);
    a.traceVar("c.f").traceVar("b").traceVar("b.f").traceVar("b.s");
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    EXPECT_EQ(run.traces, lines({ "56", "_level0.b", "undefined", "37" }));
}

TEST(Engine, EnterFrameRunsEachFrameUntilTheClipGoes)
{
    PlaceObject place = placeAt(1, 2);
    place.clipActions = clipActions({ { kEnterFrame, Asm().trace("tick") } });
    ScriptRun run;
    run.play(placedForAFrame(place), 5);
    // Not on the frame that places it: from the next one until it is removed.
    EXPECT_EQ(run.traces, lines({ "tick" }));
}

// Intervals shorter than a frame run several times before the next frame, in the order
// of their due times with the timeouts, and clearing one stops the runs still to come.
TEST(Engine, ShortIntervalsRunSeveralTimesAFrame)
{
    Asm tick;
    tick.push("n").get("n").op(A::Increment).op(A::SetVariable).traceVar("n");
    tick.get("n").push(3.0).op(A::Equals2).op(A::Not).ifTrue("end");
    tick.get("id").call("clearInterval", 1).op(A::Pop).label("end");
    Asm script;
    script.push("n").push(0.0).op(A::SetVariable);
    script.function("tick", {}, tick);
    script.function("once", {}, Asm().trace("once"));
    script.push("id").push(1.0).get("tick").call("setInterval", 2).op(A::SetVariable);
    script.push(1.0).get("once").call("setTimeout", 2).op(A::Pop);
    ScriptRun run;
    run.play(scriptMovie(script), 2);
    EXPECT_EQ(run.traces, lines({ "1", "once", "2", "3" }));
}

// An interval of 1 ms whose callback takes far longer: the runs a frame makes up for are
// cut off after a tenth of a second, so each frame still ends, and the next one runs it
// again.
TEST(Engine, SlowShortIntervalsDoNotHoldUpTheFrame)
{
    Asm tick;
    tick.push("n").get("n").op(A::Increment).op(A::SetVariable).traceVar("n");
    tick.push("k").push(0.0).op(A::SetVariable).label("busy");
    tick.push("k").get("k").op(A::Increment).op(A::SetVariable);
    tick.get("k").push(100000.0).op(A::Less2).ifTrue("busy");
    Asm script;
    script.push("n").push(0.0).op(A::SetVariable);
    script.function("tick", {}, tick);
    script.push(1.0).get("tick").call("setInterval", 2).op(A::Pop);
    ScriptRun run;
    run.play(scriptMovie(script), 1);
    const qsizetype first = run.traces.size();
    EXPECT_GE(first, 1);
    EXPECT_LT(first, 20) << "every period of the frame made up for";
    run.advance(1);
    EXPECT_GT(run.traces.size(), first);
    EXPECT_LT(run.traces.size(), first + 20);
}

// A period longer than a frame (100 ms at 12 frames a second) comes due before the third
// frame and the fourth, not before the second.
TEST(Engine, LongIntervalsWaitForTheirTime)
{
    Asm script;
    script.function("tick", {}, Asm().trace("tick"));
    script.push(100.0).get("tick").call("setInterval", 2).op(A::Pop);
    ScriptRun run;
    run.play(scriptMovie(script), 1);
    EXPECT_TRUE(run.traces.isEmpty());
    run.advance(2);
    EXPECT_EQ(run.traces, lines({ "tick", "tick" }));
}

TEST(Engine, OnlyTheEventsTheClipActionsHeadNamesFire)
{
    PlaceObject place = placeAt(1, 2);
    place.clipActions
        = clipActions({ { kLoad | kEnterFrame, Asm().trace("load or tick") },
                          { kEnterFrame, Asm().trace("tick") }, { kUnload, Asm().trace("unload") } },
            kLoad);
    ScriptRun run;
    run.play(placedForAFrame(place), 5);
    EXPECT_EQ(run.traces, lines({ "load or tick" }));
}

TEST(Engine, PointerIsAtTheOriginUntilItFirstMoves)
{
    const Asm where = Asm()
                          .get("_root")
                          .push("_xmouse")
                          .op(A::GetMember)
                          .op(A::Trace)
                          .get("_root")
                          .push("_ymouse")
                          .op(A::GetMember)
                          .op(A::Trace);
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.doAction(where.bytes());
    w.showFrame();
    w.doAction(Asm(where).op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    run.player().pointerMove(QPointF(30 * kTwips, 40 * kTwips));
    run.advance();
    EXPECT_EQ(run.traces, lines({ "0", "0", "30", "40" }));
}

TEST(Engine, OnEnterFrameMethodAndStop)
{
    // _root.onEnterFrame = function () { n++; trace(n); if (n == 3) delete _root.onEnterFrame }
    Asm handler;
    handler.push("n").get("n").op(A::Increment).op(A::SetVariable).traceVar("n");
    handler.get("n").push(3.0).op(A::Equals2).op(A::Not).ifTrue("end");
    handler.get("_root").push("onEnterFrame").op(A::Delete).op(A::Pop).label("end");
    Asm a;
    a.push("n").push(0.0).op(A::SetVariable);
    a.get("_root").push("onEnterFrame").function("", {}, handler).op(A::SetMember).op(A::Stop);
    ScriptRun run;
    run.play(scriptMovie(a), 6);
    EXPECT_EQ(run.traces, lines({ "1", "2", "3" }));
}

// The script objects alive after a movie of `clips` empty clips, none of them named by a
// script, has played three frames.
size_t scriptObjectsAfterPlaying(int clips)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(2, SpriteDefinition {});
    for (int depth = 1; depth <= clips; ++depth)
        w.place(placeAt(uint16_t(depth), 2));
    w.doAction(Asm().push("n").push(1.0).op(A::SetVariable).bytes());
    w.showFrame();
    Stage stage(readBack(w));
    StandardLoader loader(1 << 20);
    NullSoundOutput output;
    SeededRandom random;
    FixedWallClock clock;
    script::NullScriptHost host;
    script::ScriptEngine engine(stage, Services { loader, output, random, clock }, host);
    stage.start();
    stage.advance();
    stage.advance();
    return engine.vm().heap().liveObjects();
}

TEST(Engine, ClipsNoScriptReachesGetNoScriptObjects)
{
    // Each frame asks every clip for its onEnterFrame method; a clip that neither a script
    // nor a prototype gives one need not get an object for the asking. A movie of many
    // clips would otherwise spend most of each frame making and dropping them.
    EXPECT_LT(scriptObjectsAfterPlaying(300), scriptObjectsAfterPlaying(1) + 10);
}

TEST(Engine, EventMethodsOfPrototypesReachUntouchedClips)
{
    // MovieClip.prototype[name] = function () { trace(said + this) }
    Asm a;
    const auto define = [&a](const char* name, const char* said) {
        Asm body;
        body.push(said).push("this").op(A::GetVariable).op(A::Add2).op(A::Trace);
        a.get("MovieClip").push("prototype").op(A::GetMember).push(name);
        a.function("", {}, body).op(A::SetMember);
    };
    define("onEnterFrame", "enter ");
    define("onUnload", "unload ");
    PlaceObject place = placeAt(1, 2);
    place.name = "c";
    ScriptRun run;
    run.play(placedForAFrame(place, &a), 3);
    const std::string said = run.traces.join(u'|').toStdString();
    EXPECT_TRUE(run.traces.contains(QStringLiteral("enter _level0.c"))) << said;
    EXPECT_TRUE(run.traces.contains(QStringLiteral("enter _level0"))) << said;
    EXPECT_EQ(run.traces.count(QStringLiteral("unload _level0.c")), 1) << said;
}

TEST(Engine, GotoLabelIgnoresCase)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.doAction(Asm().trace("first").gotoLabel("target").bytes());
    w.showFrame();
    w.doAction(Asm().trace("skipped").bytes());
    w.showFrame();
    w.frameLabel("TARGET");
    w.doAction(Asm().trace("at target").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 4);
    EXPECT_EQ(run.traces, lines({ "first", "at target" }));
}

TEST(Engine, FramesThatGoToEachOtherAreStopped)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    const std::vector<uint8_t> limits { 0x00, 0x01, 0x01, 0x00 }; // one second
    w.rawTag(65, limits);
    w.doAction(Asm().gotoLabel("b").bytes());
    w.showFrame();
    w.frameLabel("b");
    w.doAction(Asm().push(1.0).get("_root").callMethod("gotoAndStop", 1).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_FALSE(run.stopped.isEmpty());
}

TEST(Engine, ScriptsReachClipsByPath)
{
    Writer w(stageHeader(100, 100, 12.0, 6));
    w.defineSprite(2, spriteRunning(Asm().push("v").push("inner").op(A::SetVariable)));
    PlaceObject place = placeAt(1, 2);
    place.name = "clip";
    w.place(place);
    w.showFrame();
    Asm a;
    a.get("clip").op(A::Trace);
    a.push("/clip:v").op(A::GetVariable).op(A::Trace);
    a.push("_root.clip.v").op(A::GetVariable).op(A::Trace);
    a.push("clip").pushInt(0).op(A::GetProperty).op(A::Trace); // _x
    a.setTarget("clip").get("v").op(A::Trace).setTarget("");
    a.op(A::Stop);
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_EQ(run.traces, lines({ "_level0.clip", "inner", "inner", "0", "inner" }));
}

TEST(Engine, ActionScriptThreeMoviesAreRefused)
{
    Writer w(stageHeader(100, 100, 12.0, 9));
    const std::vector<uint8_t> attributes { 0x08, 0x00, 0x00, 0x00 }; // FileAttributes: ActionScript 3
    w.rawTag(69, attributes);
    w.doAction(Asm().trace("never").bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    EXPECT_TRUE(run.traces.isEmpty());
}

} // namespace
} // namespace swf::test
