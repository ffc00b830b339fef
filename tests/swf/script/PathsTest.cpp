// Paths and targets: what SetTarget reaches, what a name of a shape stands for, what is
// left of a reference to a clip that is gone, and the clip a function runs on.

#include "ScriptFixture.h"

#include "swf/format/Buttons.h"
#include "swf/format/Tags.h"
#include "swf/runtime/Fixtures.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using A = ActionCode;

// _root.createEmptyMovieClip(name, depth), the clip left in variable `name`.
Asm& makeClip(Asm& a, const std::string& name, double depth, const std::string& parent = "_root")
{
    a.push(name).push(depth).push(name).get(parent).callMethod("createEmptyMovieClip", 2);
    return a.op(A::DefineLocal);
}

// trace(_name) through GetProperty("", 13) under the current target.
Asm& traceName(Asm& a)
{
    return a.push("").pushInt(13).op(A::GetProperty).op(A::Trace);
}

TEST(Paths, SetTargetThatFindsNothingLeavesNoTarget)
{
    Asm a;
    makeClip(a, "clip", 1);
    a.setTarget("clip");
    traceName(a);
    a.setTarget("nowhere");
    traceName(a);
    a.trace("still").op(A::Play); // a timeline action with no clip to act on
    a.setTarget("");
    traceName(a);
    EXPECT_EQ(traceOf(a, 7), QStringList({ "clip", "undefined", "still", "" }));
    // In SWF 5 and 6 the level's root stands in.
    EXPECT_EQ(traceOf(a, 6), QStringList({ "clip", "", "still", "" }));
}

TEST(Paths, TargetPathSyntax)
{
    Asm a;
    makeClip(a, "a", 1);
    makeClip(a, "b", 1, "a");
    makeClip(a, "c", 1, "b");
    for (const char* path : { "a.b.c", "a:b.c", "a/b:c", "/a/b/c/", "a/b/c:", "a::b.:c", "a/b/c/..", "a.b/.c",
             "a/b/c::", "a/b//c", "a:b:...c", "a:b:c:..:c", "this/a" }) {
        a.setTarget(path);
        traceName(a);
        a.setTarget("");
    }
    EXPECT_EQ(traceOf(a, 7),
        QStringList({ "c", "c", "c", "c", "c", "c", "b", "undefined", "undefined", "undefined", "undefined",
            "c", "undefined" }));
}

// SWF 4 writes paths with slashes only: the name of another clip's variable follows a
// colon, a dot is part of a name, and a path that reaches nothing leaves no target.
TEST(Paths, Swf4PathsAreSlashPaths)
{
    Writer w(stageHeader(100, 100, 12.0, 4));
    SpriteDefinition empty;
    empty.timeline.frames.push_back(Frame {});
    w.defineSprite(1, empty);
    SpriteDefinition sprite;
    sprite.timeline.frames.push_back(Frame { { placeAt(1, 1) }, {} });
    w.defineSprite(2, sprite);
    PlaceObject a = placeAt(2, 1);
    a.name = "a";
    w.place(a);
    Asm s;
    // "[" + the _name (13) of what the path reaches.
    for (const char* path : { "a/", "/a/", "a/../a", "_level0:x/a", "_flash0/a", "a/..:a", "_level0/a.a",
             "_level0/:a", "//a", "a//", "_root/a", "_level0/_level0" })
        s.push("[").push(path).pushInt(13).op(A::GetProperty).op(A::StringAdd).op(A::Trace);
    s.push("a:v").push("s").op(A::SetVariable);
    for (const char* name : { "a:v", "/a/:v", "_level0/a:v", "a.v", ":v" })
        s.push("[").push(name).op(A::GetVariable).op(A::StringAdd).op(A::Trace);
    // _x (0) of the target after a tellTarget that finds nothing.
    s.setTarget("a.child");
    s.push("[").push("").pushInt(0).op(A::GetProperty).op(A::StringAdd).op(A::Trace);
    s.setTarget("");
    s.push("[").push("").pushInt(0).op(A::GetProperty).op(A::StringAdd).op(A::Trace);
    w.doAction(s.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    EXPECT_EQ(run.traces,
        QStringList({ "[a", "[a", "[a", "[a", "[a", "[", "[", "[", "[", "[", "[", "[", "[s", "[s", "[s", "[",
            "[", "[", "[0" }));
}

TEST(Paths, VariablePathsGoThroughObjectsInVariables)
{
    Asm a;
    a.push("obj").pushInt(0).op(A::InitObject).op(A::DefineLocal);
    makeClip(a, "clip", 1);
    a.get("clip").push("inner.most").pushInt(0).op(A::InitObject).op(A::SetMember);
    a.push("/obj:Name").push(1.0).op(A::SetVariable);
    a.get("obj").push("name").op(A::GetMember).op(A::Trace); // SWF 6: no case
    a.push("clip/inner.most.x").push(2.0).op(A::SetVariable); // a name with a dot after a slash
    a.get("clip").push("inner.most").op(A::GetMember).push("x").op(A::GetMember).op(A::Trace);
    a.push("this/clip:y").push(3.0).op(A::SetVariable);
    a.traceVar("clip.y");
    // With neither colon nor dot, a path that reaches no clip is a variable's own name.
    a.push("clip/z").push(4.0).op(A::SetVariable);
    a.get("_root").push("clip/z").op(A::GetMember).op(A::Trace);
    a.traceVar("clip/z");
    a.traceVar("_root/clip");
    EXPECT_EQ(traceOf(a, 6), QStringList({ "1", "2", "3", "4", "4", "_level0.clip" }));
}

TEST(Paths, SetTarget2TakesObjectsAsTheirPath)
{
    Asm a;
    makeClip(a, "twin", 1);
    a.get("twin").push("x").push("first").op(A::SetMember);
    makeClip(a, "second", 2);
    a.get("second").push("x").push("second").op(A::SetMember);
    // The second clip renamed: two clips of one name, the first (by depth) is reached.
    a.get("second").push("_name").push("twin").op(A::SetMember);
    a.get("second").op(A::SetTarget2).traceVar("x").setTarget("");
    // Another object goes by its text.
    a.push("o").pushInt(0).op(A::InitObject).op(A::DefineLocal);
    a.get("o").push("toString").function("", {}, Asm().push("twin").op(A::Return)).op(A::SetMember);
    a.get("o").op(A::SetTarget2).traceVar("x").setTarget("");
    a.pushNull().op(A::SetTarget2);
    traceName(a);
    a.setTarget("");
    EXPECT_EQ(traceOf(a, 7), QStringList({ "first", "first", "undefined" }));
}

TEST(Paths, NamedShapesStandForTheirClip)
{
    Writer w(stageHeader(100, 100, 12.0, 7));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    SpriteDefinition sprite;
    PlaceObject inner = placeAt(1, 1);
    inner.name = "box";
    sprite.timeline.frames.push_back(Frame { { inner }, {} });
    w.defineSprite(2, sprite);
    PlaceObject shape = placeAt(1, 1);
    shape.name = "shape";
    w.place(shape);
    PlaceObject clip = placeAt(2, 2);
    clip.name = "clip";
    w.place(clip);
    Asm a;
    a.traceVar("shape");
    a.get("shape").op(A::TypeOf).op(A::Trace);
    a.get("clip").push("box").op(A::GetMember).op(A::Trace);
    a.traceVar("clip.box._parent");
    a.traceVar("clip/box");
    a.get("_root").push("").op(A::GetMember).op(A::Trace); // no name is no child
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    EXPECT_EQ(run.traces,
        QStringList({ "_level0", "movieclip", "_level0.clip", "_level0", "_level0.clip", "undefined" }));
}

TEST(Paths, ReferenceToARemovedClipHasNoPath)
{
    Asm a;
    makeClip(a, "gone", 1);
    a.get("gone").callMethod("removeMovieClip", 0).op(A::Pop);
    a.push("[").get("gone").op(A::Add2).push("]").op(A::Add2).op(A::Trace);
    a.get("gone").op(A::TypeOf).op(A::Trace);
    a.get("gone").push("_x").op(A::GetMember).op(A::Trace);
    // A clip at its path again is reached through it.
    makeClip(a, "again", 1);
    a.get("again").push("_name").push("gone").op(A::SetMember);
    a.traceVar("gone");
    EXPECT_EQ(traceOf(a, 7), QStringList({ "[]", "movieclip", "undefined", "_level0.gone" }));
}

TEST(Paths, FunctionOfARemovedClipRunsOnItsCaller)
{
    // f traces its target (GetProperty "" _target) and is kept on a clip and an object.
    Asm body;
    body.push("").pushInt(11).op(A::GetProperty).op(A::Trace);
    Asm a;
    makeClip(a, "definer", 1);
    makeClip(a, "user", 2);
    a.push("o").pushInt(0).op(A::InitObject).op(A::DefineLocal);
    a.push("definer").op(A::SetTarget2);
    a.push("f").function("", {}, body).op(A::DefineLocal);
    a.setTarget("");
    a.get("user").push("f").get("definer.f").op(A::SetMember);
    a.get("o").push("f").get("definer.f").op(A::SetMember);
    a.get("user").callMethod("f", 0).op(A::Pop);
    a.get("definer").callMethod("removeMovieClip", 0).op(A::Pop);
    a.get("user").callMethod("f", 0).op(A::Pop);
    a.get("o").callMethod("f", 0).op(A::Pop);
    EXPECT_EQ(traceOf(a, 7), QStringList({ "/definer", "/user", "/" }));
}

TEST(Paths, FunctionCalledByNameRunsOnWhereItWasFound)
{
    // inner is a local of outer: called by name it gets outer's activation as `this`,
    // an object of no class.
    Asm inner;
    inner.traceVar("this");
    Asm outer;
    outer.push("inner").function("", {}, inner).op(A::DefineLocal);
    outer.call("inner", 0).op(A::Pop);
    Asm top;
    top.traceVar("this");
    Asm a;
    a.function("outer", {}, outer);
    a.function("top", {}, top);
    a.call("outer", 0).op(A::Pop);
    a.call("top", 0).op(A::Pop);
    EXPECT_EQ(traceOf(a, 7), QStringList({ "[type Object]", "_level0" }));
}

// The clips a button's state shows hang under the button: they are named as the timeline
// names its objects (after the button itself), and paths go through the button.
TEST(Paths, ClipsInAButtonHangUnderIt)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    SpriteDefinition sprite;
    sprite.timeline.frames.push_back(
        Frame { { DoAction { Asm().traceVar("this").traceVar("_parent").traceVar("_root").bytes() } }, {} });
    w.defineSprite(2, sprite);
    ButtonDefinition button;
    ButtonRecord shape;
    shape.characterId = 1;
    shape.depth = 1;
    shape.up = shape.over = shape.down = shape.hitTest = true;
    ButtonRecord clip;
    clip.characterId = 2;
    clip.depth = 2;
    clip.up = true;
    button.records = { shape, clip };
    w.define(toCode(TagCode::DefineButton2), 3, encodeButton(button));
    w.place(placeAt(1, 3));
    w.showFrame();
    Asm a;
    a.traceVar("instance1.instance2");
    a.get("instance1").push("instance2").op(A::GetMember).push("_target").op(A::GetMember).op(A::Trace);
    a.get("instance1").push("instance2").op(A::GetMember).push("_parent").op(A::GetMember).op(A::Trace);
    a.op(A::Stop);
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_EQ(run.traces,
        QStringList({ "_level0.instance1.instance2", "_level0.instance1", "_level0",
            "_level0.instance1.instance2", "/instance1/instance2", "_level0.instance1" }));
}

} // namespace
} // namespace swf::test
