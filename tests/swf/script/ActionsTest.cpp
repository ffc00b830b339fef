// The actions of SWF 3 to 8 on assembled scripts: the stack machine and its conversions
// by the movie's version, control flow, functions, exceptions, scopes and classes.

#include "ScriptFixture.h"

#include "swf/runtime/Fixtures.h"

#include <gtest/gtest.h>

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

// Runs `script` in a movie of `version` whose stage holds an empty clip named "m".
QStringList traceWithClip(const Asm& script, uint8_t version)
{
    Writer w(stageHeader(100, 100, 12.0, version));
    w.defineSprite(1, SpriteDefinition {});
    PlaceObject clip = placeAt(1, 1);
    clip.name = "m";
    w.place(clip);
    w.doAction(script.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    return run.traces;
}

TEST(Actions, SwfFourArithmeticConvertsStringsToNumbers)
{
    Asm a;
    a.push("1").push(2.0).op(A::Add).op(A::Trace); // Add is numeric
    a.push("1").push(2.0).op(A::Add2).op(A::Trace); // Add2 joins when either is a string
    a.push(7.0).push(2.0).op(A::Modulo).op(A::Trace);
    a.push("abc").push(1.0).op(A::Multiply).op(A::Trace);
    a.push(1.0).push(0.0).op(A::Divide).op(A::Trace);
    a.push(-1.0).push(0.0).op(A::Divide).op(A::Trace);
    a.push("ab").push("cd").op(A::StringAdd).op(A::Trace);
    a.push("b").push("a").op(A::StringLess).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "3", "12", "1", "NaN", "Infinity", "-Infinity", "abcd", "false" }));
}

TEST(Actions, NumbersPrintWithFifteenSignificantDigits)
{
    Asm a;
    a.push(1.0).push(3.0).op(A::Divide).op(A::Trace);
    a.push(0.1).push(0.2).op(A::Add2).op(A::Trace);
    a.push(-0.5).op(A::Trace);
    a.push(123456789.0).op(A::Trace);
    a.push(1e21).op(A::Trace);
    a.pushInt(-7).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "0.333333333333333", "0.3", "-0.5", "123456789", "1e+21", "-7" }));
}

TEST(Actions, UndefinedConvertsByTheMovieVersion)
{
    Asm a;
    a.pushUndefined().push("x").op(A::Add2).op(A::Trace);
    a.pushUndefined().op(A::ToNumber).op(A::Trace);
    a.pushUndefined().op(A::Trace);
    EXPECT_EQ(traceOf(a, 6), lines({ "x", "0", "undefined" }));
    EXPECT_EQ(traceOf(a, 7), lines({ "undefinedx", "NaN", "undefined" }));
}

// From SWF 6 a string in hexadecimal or octal reads as a 32-bit integer; the sign may
// stand before the prefix or after it.
TEST(Actions, HexAndOctalStringsFromSwfSix)
{
    Asm a;
    for (const char* text : { "0x1F", "-0x10", "0x-10", "017", "0x" })
        a.push(text).op(A::ToNumber).op(A::Trace);
    EXPECT_EQ(traceOf(a, 6), lines({ "31", "-16", "-16", "15", "NaN" }));
    EXPECT_EQ(traceOf(a, 5), lines({ "NaN", "NaN", "NaN", "17", "NaN" }));
}

TEST(Actions, NamesIgnoreCaseBeforeSwfSeven)
{
    Asm a;
    a.push("Score").push(5.0).op(A::SetVariable).traceVar("score");
    EXPECT_EQ(traceOf(a, 6), lines({ "5" }));
    EXPECT_EQ(traceOf(a, 7), lines({ "undefined" }));
}

TEST(Actions, EqualityAndComparison)
{
    Asm a;
    a.pushNull().pushUndefined().op(A::Equals2).op(A::Trace);
    a.push("1").push(1.0).op(A::Equals2).op(A::Trace);
    a.push("1").push(1.0).op(A::StrictEquals).op(A::Trace);
    a.push("10").push("9").op(A::Less2).op(A::Trace); // two strings compare as strings
    a.push(10.0).push("9").op(A::Less2).op(A::Trace);
    a.push(2.0).push(1.0).op(A::Greater).op(A::Trace);
    a.push(std::nan("")).push(1.0).op(A::Less2).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "true", "true", "false", "true", "false", "true", "undefined" }));
}

// Equality asks an object its valueOf alone; text asks its toString and takes only a
// string from it.
TEST(Actions, ObjectsMeetPrimitivesThroughValueOfAndToString)
{
    const auto setMethod = [](Asm& a, const char* name, const Asm& body) {
        a.get("o").push(name).function("", {}, body).op(A::SetMember);
    };
    Asm a;
    a.assignNew("o", "Object");
    setMethod(a, "toString", Asm().push("test").op(A::Return));
    a.get("o").push("test").op(A::Equals2).op(A::Trace);
    a.get("o").op(A::Trace);
    setMethod(a, "toString", Asm().push(4.0).op(A::Return));
    a.get("o").op(A::Trace);
    setMethod(a, "valueOf", Asm().push("v").op(A::Return));
    a.get("o").push("v").op(A::Equals2).op(A::Trace);
    EXPECT_EQ(traceOf(a, 7), lines({ "false", "test", "[type Object]", "true" }));
}

// A conversion asks one method: valueOf for a number, toString for text. Without it
// the primitive is undefined; an object it gives leaves the object, whose text its
// toString then makes where text is needed.
TEST(Actions, ConversionAsksOneMethodOnly)
{
    const auto setMethod = [](Asm& a, const char* name, const Asm& body) {
        a.get("o").push(name).function("", {}, body).op(A::SetMember);
    };
    Asm a;
    a.assignNew("o", "Object");
    setMethod(a, "toString", Asm().trace("toString called").push("text").op(A::Return));
    a.get("o").push("valueOf").pushUndefined().op(A::SetMember);
    a.push("").get("o").op(A::Add2).op(A::Trace); // no valueOf: undefined, toString not asked
    setMethod(
        a, "valueOf", Asm().trace("valueOf called").push(0.0).push("Object").op(A::NewObject).op(A::Return));
    a.push("").get("o").op(A::Add2).op(A::Trace); // valueOf gives an object: the text is toString's
    a.get("o").push("toString").pushUndefined().op(A::SetMember);
    a.get("o").op(A::Trace); // no toString: valueOf is not asked for text
    EXPECT_EQ(
        traceOf(a, 7), lines({ "undefined", "valueOf called", "toString called", "text", "[type Object]" }));
}

// Less2 and Greater: an operand whose valueOf gives an object makes the answer false
// before the other is converted; a clip is no number; NaN makes it undefined.
TEST(Actions, ComparisonWithObjectsAndClips)
{
    Asm a;
    a.assignNew("plain", "Object");
    a.assignNew("counted", "Object");
    a.get("counted")
        .push("valueOf")
        .function("", {}, Asm().trace("valueOf called").push(1.0).op(A::Return))
        .op(A::SetMember);
    a.get("plain").get("counted").op(A::Less2).op(A::Trace); // counted is never asked
    a.get("counted").push(2.0).op(A::Less2).op(A::Trace);
    a.push("a").get("plain").op(A::Less2).op(A::Trace);
    a.push("true").get("_root").op(A::Less2).op(A::Trace);
    EXPECT_EQ(traceOf(a, 7), lines({ "false", "valueOf called", "true", "false", "undefined" }));
}

// The SWF 4 Less converts its left operand first; Equals (like the other operators)
// its right one first. Objects only reach them from SWF 5 on.
TEST(Actions, LegacyOperatorsConvertInTheirOwnOrder)
{
    const auto makeObject = [](Asm& a, const char* name) {
        a.assignNew(name, "Object");
        a.get(name)
            .push("valueOf")
            .function("", {}, Asm().trace(name).push(1.0).op(A::Return))
            .op(A::SetMember);
    };
    Asm a;
    makeObject(a, "left");
    makeObject(a, "right");
    a.get("left").get("right").op(A::Less).op(A::Trace);
    a.get("left").get("right").op(A::Equals).op(A::Trace);
    EXPECT_EQ(traceOf(a, 5), lines({ "left", "right", "false", "right", "left", "true" }));
}

// A movie of version 4 sees no global object: NaN and Infinity are unset names, so
// they count as 0 in its arithmetic.
TEST(Actions, SwfFourSeesNoGlobals)
{
    Asm a;
    a.push(1.0).get("Infinity").op(A::Less).op(A::Trace);
    a.get("NaN").push(1.0).op(A::Less).op(A::Trace);
    EXPECT_EQ(traceOf(a, 4), lines({ "0", "1" }));
    EXPECT_EQ(traceOf(a, 5), lines({ "true", "false" }));
}

TEST(Actions, BitOperationsWorkOnThirtyTwoBits)
{
    Asm a;
    a.push(-1.0).push(28.0).op(A::BitURShift).op(A::Trace);
    a.push(4294967296.0 + 5).push(3.0).op(A::BitAnd).op(A::Trace);
    a.push(1.0).push(31.0).op(A::BitLShift).op(A::Trace);
    a.push(-16.0).push(2.0).op(A::BitRShift).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "15", "1", "-2147483648", "-4" }));
}

TEST(Actions, StringActionsCountCharacters)
{
    Asm a;
    a.push("汉字ab").op(A::MBStringLength).op(A::Trace);
    a.push("hello").push(2.0).push(3.0).op(A::StringExtract).op(A::Trace);
    a.push("A").op(A::CharToAscii).op(A::Trace);
    a.push(26408.0).op(A::MBAsciiToChar).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "4", "ell", "65", "木" }));
}

// A character beyond the first plane is two units long but has no 16-bit code.
TEST(Actions, CharactersBeyondTheFirstPlane)
{
    Asm a;
    a.push("\xF0\x9F\x98\x8B").op(A::CharToAscii).op(A::Trace);
    a.push("\xF0\x9F\x98\x8B").op(A::MBCharToAscii).op(A::Trace);
    a.push("\xF0\x9F\x98\x8Bx").op(A::StringLength).op(A::Trace);
    EXPECT_EQ(traceOf(a, 6), lines({ "65533", "65533", "3" }));
}

// SWF 4 has no movie clip values: names and paths of clips read as undefined there, while
// later versions give the clip. "//" names no clip in any version.
TEST(Actions, ClipsAreValuesFromSwfFive)
{
    Asm a;
    a.get("m").op(A::TypeOf).op(A::Trace);
    a.get("/").op(A::TypeOf).op(A::Trace);
    a.push("//").push(13.0).op(A::GetProperty).op(A::Trace);
    a.push("/m").push(13.0).op(A::GetProperty).op(A::Trace);
    for (const uint8_t version : { 4, 6 }) {
        const char* type = version < 5 ? "undefined" : "movieclip";
        EXPECT_EQ(traceWithClip(a, version), lines({ type, type, "undefined", "m" }))
            << "SWF " << int(version);
    }
}

// SetProperty with values no position can hold: NaN leaves _x, an infinity is the least
// position; a scale keeps its infinity; alpha wraps as 8.8 fixed point; _visible reads
// a number and leaves what is none.
TEST(Actions, SetPropertyWithValuesOutOfRange)
{
    const auto setAndTrace = [](Asm& a, int index, const Asm::Arg& value) {
        a.push("m").push(double(index)).pushArgs({ value }).op(A::SetProperty);
        a.push("m").push(double(index)).op(A::GetProperty).op(A::Trace);
    };
    const double inf = std::numeric_limits<double>::infinity();
    Asm a;
    setAndTrace(a, 0, 7.0);
    setAndTrace(a, 0, std::nan(""));
    setAndTrace(a, 0, inf);
    setAndTrace(a, 2, -inf);
    setAndTrace(a, 6, inf);
    setAndTrace(a, 7, "10x");
    setAndTrace(a, 7, "0");
    EXPECT_EQ(traceWithClip(a, 7), lines({ "7", "7", "-107374182.4", "-Infinity", "0", "true", "false" }));
}

// An infinite turn reads back as NaN and leaves the scales for a finite turn to restore;
// a NaN name reads "0".
TEST(Actions, SetPropertyTurnAndNameFromNonFiniteValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    Asm a;
    for (const double turn : { 30.0, -inf, std::nan(""), 45.0 }) {
        a.push("m").push(10.0).push(turn).op(A::SetProperty);
        a.push("m").push(10.0).op(A::GetProperty).op(A::Trace);
    }
    a.push("m").push(2.0).op(A::GetProperty).op(A::Trace);
    a.push("m").push(13.0).push(std::nan("")).op(A::SetProperty);
    a.push("/0").push(13.0).op(A::GetProperty).op(A::Trace);
    a.push("0").push(13.0).push(inf).op(A::SetProperty);
    a.push("/Infinity").push(13.0).op(A::GetProperty).op(A::Trace);
    EXPECT_EQ(traceWithClip(a, 7), lines({ "30", "NaN", "NaN", "45", "100", "0", "Infinity" }));
}

// _highquality, _quality and _soundbuftime are the player's, the same through every clip.
// _highquality takes whole numbers (0 low, 2 and up best, any other high) and _quality
// a name; an object gives its value through valueOf or toString; what is no number or no
// name changes nothing. _soundbuftime keeps whole seconds.
TEST(Actions, PlayerSettingsThroughClipProperties)
{
    const double inf = std::numeric_limits<double>::infinity();
    Asm a;
    const auto setAndTrace = [&](const char* target, int index, const Asm::Arg& value) {
        a.push(target).push(double(index)).pushArgs({ value }).op(A::SetProperty);
        a.push("m").push(double(index)).op(A::GetProperty).op(A::Trace);
        if (index == 16)
            a.push("/").push(19.0).op(A::GetProperty).op(A::Trace);
    };
    setAndTrace("/", 16, 2.0);
    setAndTrace("m", 16, "abc");
    setAndTrace("m", 16, -5.0);
    setAndTrace("m", 16, 0.5);
    setAndTrace("m", 16, inf);
    setAndTrace("m", 16, -inf);
    setAndTrace("m", 19, "medium");
    setAndTrace("m", 19, "2");
    a.push("m").push(16.0).op(A::GetProperty).op(A::Trace);
    setAndTrace("m", 18, 1.9);
    setAndTrace("m", 18, "x");
    setAndTrace("m", 18, -inf);
    // An object: valueOf for the numbers, toString for the name.
    a.assignNew("o", "Object");
    a.get("o")
        .push("valueOf")
        .function("", {}, Asm().trace("valueOf").push(2.0).op(A::Return))
        .op(A::SetMember);
    a.get("o")
        .push("toString")
        .function("", {}, Asm().trace("toString").push("low").op(A::Return))
        .op(A::SetMember);
    a.push("m").push(16.0).get("o").op(A::SetProperty);
    a.push("m").push(19.0).op(A::GetProperty).op(A::Trace);
    a.push("m").push(19.0).get("o").op(A::SetProperty);
    a.push("m").push(19.0).op(A::GetProperty).op(A::Trace);
    EXPECT_EQ(traceWithClip(a, 7),
        lines({ "2", "BEST", "2", "BEST", "1", "HIGH", "0", "LOW", "2", "BEST", "1", "HIGH", "MEDIUM",
            "MEDIUM", "0", "1", "1", "-2147483648", "valueOf", "BEST", "toString", "LOW" }));
}

// A flipped clip reads as turned half round with both scales positive, keeps its flip
// when a script turns it, and measures on whole twips.
TEST(Actions, FlippedClipKeepsItsFlip)
{
    Asm a;
    for (const char* property : { "_rotation", "_xscale", "_yscale", "_width" })
        a.get("m").push(property).op(A::GetMember).op(A::Trace);
    a.get("m").push("_rotation").push(0.0).op(A::SetMember);
    a.get("_root").get("m").callMethod("getBounds", 1).push("yMin").op(A::GetMember).op(A::Trace);
    Writer w(stageHeader(100, 100, 12.0, 7));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    SpriteDefinition sprite;
    sprite.timeline.frames.resize(1);
    sprite.timeline.frames[0].tags.push_back(placeAt(1, 1));
    w.defineSprite(2, sprite);
    PlaceObject clip = placeAt(1, 2, 50, 50);
    clip.matrix->a = -1; // flipped left to right
    clip.name = "m";
    w.place(clip);
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    // Turned back to 0 the y axis keeps its half turn: the square now hangs above y 50.
    EXPECT_EQ(run.traces, lines({ "180", "100", "100", "10", "40" }));
}

// A RemoveObject empties its depth whoever stands there: a duplicate that swapped into
// the timeline's depth goes, the timeline's clip that swapped out stays.
TEST(Actions, RemoveObjectTakesWhatSwappedIntoItsDepth)
{
    Asm swap;
    swap.push("mc1").push("dup").push(16385.0).op(A::CloneSprite);
    swap.get("dup").pushInt(1).get("mc1").callMethod("swapDepths", 1).op(A::Pop);
    Asm check;
    check.get("mc1").op(A::TypeOf).op(A::Trace);
    check.get("dup").op(A::TypeOf).op(A::Trace);
    Writer w(stageHeader(100, 100, 12.0, 6));
    w.defineSprite(1, SpriteDefinition {});
    PlaceObject clip = placeAt(2, 1);
    clip.name = "mc1";
    w.place(clip);
    w.doAction(swap.bytes());
    w.showFrame();
    RemoveObject gone;
    gone.depth = 2;
    w.remove(gone);
    w.doAction(check.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_EQ(run.traces, lines({ "movieclip", "undefined" }));
}

// A clip a script has recoloured is out of the timeline's hands for its position too;
// an untouched one beside it still follows the moves.
TEST(Actions, TimelineMovesPassOverARecolouredClip)
{
    Asm recolour;
    recolour.push("c").get("m").pushInt(1).push("Color").op(A::NewObject).op(A::SetVariable);
    recolour.push("ra").pushInt(50).pushInt(1).op(A::InitObject).get("c");
    recolour.callMethod("setTransform", 1).op(A::Pop);
    Asm check;
    check.get("m").push("_x").op(A::GetMember).op(A::Trace);
    check.get("n").push("_x").op(A::GetMember).op(A::Trace);
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.defineSprite(1, SpriteDefinition {});
    PlaceObject m = placeAt(1, 1);
    m.name = "m";
    w.place(m);
    PlaceObject n = placeAt(2, 1);
    n.name = "n";
    w.place(n);
    w.doAction(recolour.bytes());
    w.showFrame();
    w.place(moveTo(1, 40, 0));
    w.place(moveTo(2, 40, 0));
    w.doAction(check.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_EQ(run.traces, lines({ "0", "40" }));
}

// Sizing a clip that has no extent flattens it: both scales go to 0 and what is drawn
// in it later has no size either.
TEST(Actions, SizingAnEmptyClipFlattensIt)
{
    Asm a;
    a.get("m").push("_width").pushInt(20).op(A::SetMember);
    a.get("m").push("_xscale").op(A::GetMember).op(A::Trace);
    a.get("m").push("_yscale").op(A::GetMember).op(A::Trace);
    a.pushInt(1).get("m").callMethod("lineStyle", 1).op(A::Pop);
    a.pushInt(30).pushInt(30).get("m").callMethod("lineTo", 2).op(A::Pop);
    a.get("m").push("_width").op(A::GetMember).op(A::Trace);
    a.get("m").push("_height").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceWithClip(a, 8), lines({ "0", "0", "0", "0" }));
}

// A clip a script makes empty stands on no frame, counts one as loaded and holds no
// bytes; its empty box reads as the largest coordinate, rounded up once taken into
// another space. The player 8 properties read their defaults, and only from version 8.
TEST(Actions, AClipMadeEmptyReadsItsDefaults)
{
    const auto script = [] {
        Asm a;
        a.push(1.0).push("e").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
        for (const char* name : { "_currentframe", "_framesloaded", "_totalframes", "_lockroot", "blendMode",
                 "cacheAsBitmap" })
            a.get("e").push(name).op(A::GetMember).op(A::Trace);
        a.traceCall("e", "getBytesTotal");
        a.get("e").get("e").callMethod("getBounds", 1).push("xMin").op(A::GetMember).op(A::Trace);
        a.get("_root").get("e").callMethod("getBounds", 1).push("yMax").op(A::GetMember).op(A::Trace);
        // A clip placed from a definition stays on its first frame.
        a.get("m").push("_currentframe").op(A::GetMember).op(A::Trace);
        return a;
    }();
    EXPECT_EQ(traceWithClip(script, 8),
        lines({ "0", "1", "1", "false", "normal", "false", "0", "6710886.35", "6710886.4", "1" }));
    EXPECT_EQ(traceWithClip(script, 6),
        lines({ "0", "1", "1", "undefined", "undefined", "undefined", "0", "6710886.35", "6710886.4", "1" }));
}

// A blend mode is set by name or by number; anything else leaves it. A script's own
// _lockroot reads back.
TEST(Actions, BlendModeTakesNamesAndNumbers)
{
    Asm a;
    a.get("m").push("blendMode").push("multiply").op(A::SetMember);
    a.get("m").push("blendMode").op(A::GetMember).op(A::Trace);
    a.get("m").push("blendMode").push("nothing").op(A::SetMember);
    a.get("m").push("blendMode").op(A::GetMember).op(A::Trace);
    a.get("m").push("blendMode").push(5.0).op(A::SetMember);
    a.get("m").push("blendMode").op(A::GetMember).op(A::Trace);
    a.get("m").push("blendMode").push(15.0).op(A::SetMember);
    a.get("m").push("blendMode").op(A::GetMember).op(A::Trace);
    a.get("m").push("cacheAsBitmap").push(1.0).op(A::SetMember);
    a.get("m").push("cacheAsBitmap").op(A::GetMember).op(A::Trace);
    a.get("m").push("_lockroot").pushBool(true).op(A::SetMember);
    a.get("m").push("_lockroot").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceWithClip(a, 8), lines({ "multiply", "multiply", "lighten", "lighten", "true", "true" }));
}

// Sizing a turned clip divides the asked size by the turned box of its own extent; the
// other scale is measured again from the box it has on the other axis. A quarter turn
// of a 200 by 100 drawing asked 50 wide first halves the x scale, which leaves the box
// as it was; asked again, the y scale follows.
TEST(Actions, SizingATurnedClipMeasuresBothAxes)
{
    Asm a;
    a.push(1.0).push("e").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.pushInt(0).get("e").callMethod("beginFill", 1).op(A::Pop);
    a.pushInt(0).pushInt(200).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(100).pushInt(200).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(100).pushInt(0).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.get("e").callMethod("endFill", 0).op(A::Pop);
    a.get("e").push("_rotation").pushInt(90).op(A::SetMember);
    for (int i = 0; i < 2; ++i) {
        a.get("e").push("_width").pushInt(50).op(A::SetMember);
        for (const char* name : { "_xscale", "_yscale", "_width", "_height" })
            a.get("e").push(name).op(A::GetMember).op(A::Trace);
    }
    EXPECT_EQ(traceWithClip(a, 8), lines({ "50", "100", "100", "100", "50", "50", "50", "100" }));
}

// Undefined and null leave the display properties; _visible takes its value as a
// number (NaN shows) and an object by what its valueOf gives; -180 degrees stay so.
TEST(Actions, DisplayPropertiesTakeValuesAsNumbers)
{
    Asm a;
    a.get("m").push("_x").pushInt(5).op(A::SetMember);
    a.get("m").push("_x").pushUndefined().op(A::SetMember);
    a.get("m").push("_x").pushNull().op(A::SetMember);
    a.get("m").push("_x").op(A::GetMember).op(A::Trace);
    a.get("m").push("_rotation").pushInt(-180).op(A::SetMember);
    a.get("m").push("_rotation").op(A::GetMember).op(A::Trace);
    const auto visible = [&a](auto push) {
        a.get("m");
        a.push("_visible");
        push();
        a.op(A::SetMember);
        a.get("m").push("_visible").op(A::GetMember).op(A::Trace);
    };
    visible([&a] { a.push("0000"); });
    visible([&a] { a.push("false"); });
    visible([&a] { a.pushUndefined(); });
    visible([&a] { a.pushInt(0).op(A::InitObject); });
    visible([&a] { a.push(std::nan("")); });
    Asm yes;
    yes.pushBool(true).op(A::Return);
    visible([&a, &yes] { a.push("valueOf").function("", {}, yes).pushInt(1).op(A::InitObject); });
    EXPECT_EQ(traceWithClip(a, 6), lines({ "5", "-180", "false", "true", "true", "false", "true", "true" }));
}

// A script asking whether a shape covers a point counts hidden clips too: the hidden
// clip itself and the hidden clip inside another.
TEST(Actions, ShapeHitTestsCountHiddenClips)
{
    Asm a;
    a.push(1.0).push("e").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.pushInt(0).get("e").callMethod("beginFill", 1).op(A::Pop);
    a.pushInt(0).pushInt(20).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(20).pushInt(20).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(20).pushInt(0).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.get("e").callMethod("endFill", 0).op(A::Pop);
    a.get("e").push("_visible").pushBool(false).op(A::SetMember);
    a.pushBool(true).pushInt(10).pushInt(10).get("e").callMethod("hitTest", 3).op(A::Trace);
    a.pushBool(true).pushInt(10).pushInt(10).get("_root").callMethod("hitTest", 3).op(A::Trace);
    a.pushBool(true).pushInt(30).pushInt(30).get("e").callMethod("hitTest", 3).op(A::Trace);
    EXPECT_EQ(traceWithClip(a, 8), lines({ "true", "true", "false" }));
}

// A clip a script masked is hit only where its mask covers; the mask still counts as an
// object of its own. Two clips that mask each other still get an answer.
TEST(Actions, ShapeHitTestsHonourAScriptMask)
{
    Asm a;
    const auto square = [&a](const char* name, double depth, int size) {
        a.push(depth).push(name).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
        a.pushInt(0).get(name).callMethod("beginFill", 1).op(A::Pop);
        a.pushInt(0).pushInt(size).get(name).callMethod("lineTo", 2).op(A::Pop);
        a.pushInt(size).pushInt(size).get(name).callMethod("lineTo", 2).op(A::Pop);
        a.pushInt(size).pushInt(0).get(name).callMethod("lineTo", 2).op(A::Pop);
        a.get(name).callMethod("endFill", 0).op(A::Pop);
    };
    const auto test = [&a](const char* name, int x, int y) {
        a.pushBool(true).pushInt(y).pushInt(x).get(name).callMethod("hitTest", 3).op(A::Trace);
    };
    square("e", 1, 20);
    square("k", 2, 10);
    a.get("k").get("e").callMethod("setMask", 1).op(A::Pop);
    test("e", 5, 5);
    test("e", 15, 15);
    test("_root", 15, 15);
    test("k", 5, 5);
    a.get("e").get("k").callMethod("setMask", 1).op(A::Pop);
    test("e", 5, 5);
    test("e", 15, 15);
    a.pushNull().get("e").callMethod("setMask", 1).op(A::Pop);
    a.pushNull().get("k").callMethod("setMask", 1).op(A::Pop);
    test("e", 15, 15);
    EXPECT_EQ(traceWithClip(a, 8), lines({ "true", "false", "false", "true", "true", "false", "true" }));
}

// The point a script tests is in its movie's coordinates: moving and scaling _root moves
// the clip and the point alike, so the answers stay those of the unmoved movie.
TEST(Actions, HitTestPointsFollowAMovedRoot)
{
    Asm a;
    a.push(1.0).push("e").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.pushInt(0).get("e").callMethod("beginFill", 1).op(A::Pop);
    a.pushInt(0).pushInt(20).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(20).pushInt(20).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.pushInt(20).pushInt(0).get("e").callMethod("lineTo", 2).op(A::Pop);
    a.get("e").callMethod("endFill", 0).op(A::Pop);
    a.get("_root").push("_x").pushInt(30).op(A::SetMember);
    a.get("_root").push("_xscale").pushInt(50).op(A::SetMember);
    for (const bool shape : { true, false }) {
        // Inside in the movie's coordinates; the second lies where the clip now shows on
        // the stage, outside it in the movie's.
        a.pushBool(shape).pushInt(10).pushInt(15).get("e").callMethod("hitTest", 3).op(A::Trace);
        a.pushBool(shape).pushInt(10).pushInt(35).get("e").callMethod("hitTest", 3).op(A::Trace);
    }
    EXPECT_EQ(traceWithClip(a, 8), lines({ "true", "false", "true", "false" }));
}

// Copies reach depths far above those other script objects may take, up to a limit; a
// copy asked for past it is not made. The method reads its name before its depth.
TEST(Actions, DuplicatesReachTheHighestDepths)
{
    Asm a;
    a.push("mc1").push("top").push(2130706428.0).op(A::CloneSprite);
    a.push("mc1").push("past").push(2130706429.0).op(A::CloneSprite);
    a.get("top").op(A::TypeOf).op(A::Trace);
    a.get("past").op(A::TypeOf).op(A::Trace);
    a.pushInt(1048576).push("m").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.get("m").op(A::TypeOf).op(A::Trace);
    // {toString: function () { trace("name"); return "n"; }} and a depth that says so too.
    Asm name;
    name.trace("name").push("n").op(A::Return);
    Asm depth;
    depth.trace("depth").push(5.0).op(A::Return);
    a.push("toString").function("", {}, name).pushInt(1).op(A::InitObject);
    a.push("valueOf").function("", {}, depth).pushInt(1).op(A::InitObject);
    a.op(A::StackSwap).get("mc1").callMethod("duplicateMovieClip", 2).op(A::Pop);
    a.get("n").push("_name").op(A::GetMember).op(A::Trace);
    Writer w(stageHeader(100, 100, 12.0, 7));
    w.defineSprite(1, SpriteDefinition {});
    PlaceObject clip = placeAt(2, 1);
    clip.name = "mc1";
    w.place(clip);
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    EXPECT_EQ(run.traces, lines({ "movieclip", "undefined", "undefined", "name", "depth", "n" }));
}

// A variable path: the name follows the last colon or dot, the clips on the way are
// found in the display list before variables of the same name.
TEST(Actions, VariablePathsReachThroughClips)
{
    Asm a;
    a.push("m").push("shadow").op(A::SetVariable); // a variable named like the clip
    a.push("m.v").push("inner").op(A::SetVariable);
    a.traceVar("m");
    a.traceVar("m.v");
    a.traceVar("/m:v");
    a.traceVar("/m/.v"); // the name after the last dot, wherever it is
    a.traceVar("/m/.."); // a path that ends in a dot names no variable
    EXPECT_EQ(traceWithClip(a, 7), lines({ "shadow", "inner", "inner", "inner", "undefined" }));
}

// Counts and indices of any size are cut to what can be meant (found by the fuzzer: a
// call with a count of 6.8e228 converted it past the range of an integer).
TEST(Actions, HugeCountsAndIndicesAreCut)
{
    Asm a;
    a.push(6.8e228).push("nothing").op(A::CallFunction).op(A::Pop);
    a.push("/").push(1e300).op(A::GetProperty).op(A::Trace);
    a.push("/").push(std::nan("")).push(5.0).op(A::SetProperty);
    a.trace("after");
    EXPECT_EQ(traceOf(a), lines({ "undefined", "after" }));
}

TEST(Actions, LoopsWithJumpsAndConditions)
{
    // i = 0; sum = 0; while (i < 10) { i++; sum += i } trace(sum)
    Asm a;
    a.push("i").push(0.0).op(A::SetVariable).push("sum").push(0.0).op(A::SetVariable);
    a.label("top").get("i").push(10.0).op(A::Less2).op(A::Not).ifTrue("done");
    a.push("i").get("i").op(A::Increment).op(A::SetVariable);
    a.push("sum").get("sum").get("i").op(A::Add2).op(A::SetVariable);
    a.jump("top").label("done").traceVar("sum");
    EXPECT_EQ(traceOf(a), lines({ "55" }));
}

// One frame whose DoAction tags are `blocks`, in order: each under a short tag header
// (two bytes), as the writer gives blocks under 63 bytes.
QStringList traceOfBlocks(const std::vector<std::vector<uint8_t>>& blocks)
{
    Writer w(stageHeader(100, 100, 12.0, 6));
    for (const auto& block : blocks)
        w.doAction(block);
    w.showFrame();
    ScriptRun run;
    run.play(w);
    return run.traces;
}

// `code`, then a Jump by `offset` from the end of the Jump, then End.
std::vector<uint8_t> thenJump(const Asm& code, int64_t fromStart)
{
    std::vector<uint8_t> bytes = code.bytes(false);
    const int64_t offset = fromStart - int64_t(bytes.size() + 5);
    bytes.insert(bytes.end(), { 0x99, 0x02, 0x00, uint8_t(offset), uint8_t(offset >> 8), 0x00 });
    return bytes;
}

TEST(Actions, BranchesLeaveTheirBlockForTheFramesOtherBlocks)
{
    // v = ""; v += "A"; v += "B" and back to the start of the block before; trace(v).
    const auto appendA = Asm().push("v").get("v").push("A").op(A::Add2).op(A::SetVariable).bytes();
    const int64_t backToA = -int64_t(appendA.size() + 2);
    EXPECT_EQ(traceOfBlocks({ Asm().push("v").push("").op(A::SetVariable).bytes(), appendA,
                  thenJump(Asm().push("v").get("v").push("B").op(A::Add2).op(A::SetVariable), backToA),
                  Asm().traceVar("v").bytes() }),
        lines({ "ABA" }));

    // Forward into the middle of the next block, which then runs as itself.
    const auto two = Asm().trace("one").trace("two").bytes();
    const auto jumper = thenJump(Asm(), 0);
    const int64_t toSecondTrace = int64_t(jumper.size()) + 2 + int64_t(Asm().trace("one").bytes(false).size());
    EXPECT_EQ(traceOfBlocks({ thenJump(Asm(), toSecondTrace), two }), lines({ "two", "one", "two" }));
}

TEST(Actions, BranchesOutOfTheFramesBlocksEndTheBlock)
{
    // Into the block's own tag header, before the file, past the last block: the block
    // ends there and the frame goes on.
    for (int64_t target : { int64_t(-1), int64_t(-32000), int64_t(30000) }) {
        EXPECT_EQ(traceOfBlocks({ thenJump(Asm().trace("x"), target), Asm().trace("after").bytes() }),
            lines({ "x", "after" }))
            << target;
    }
    // Two blocks sending each other back and forth are stopped as any endless script.
    const auto first = thenJump(Asm(), 0);
    const int64_t toFirst = -int64_t(first.size() + 2);
    const int64_t toSecond = int64_t(first.size()) + 2;
    EXPECT_EQ(thenJump(Asm(), toSecond).size(), first.size());
    ScriptRun run;
    Writer w(stageHeader(100, 100, 12.0, 6));
    w.rawTag(65, std::vector<uint8_t> { 0x00, 0x01, 0x01, 0x00 }); // ScriptLimits: one second
    w.doAction(thenJump(Asm(), toSecond));
    w.doAction(thenJump(Asm(), toFirst));
    w.showFrame();
    run.play(w);
    EXPECT_FALSE(run.stopped.isEmpty());
}

TEST(Actions, ConstantPoolAndRegisters)
{
    Asm a;
    a.constantPool({ "greeting", "hi" });
    a.pushConstant(0).pushConstant(1).op(A::SetVariable);
    a.pushConstant(0).op(A::GetVariable).storeRegister(3).op(A::Pop);
    a.pushRegister(3).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "hi" }));
}

TEST(Actions, ConstantPoolCarriesIntoTheNextBlocks)
{
    Writer w(stageHeader(100, 100, 12.0, 6));
    w.doAction(Asm().constantPool({ "first", "second" }).pushConstant(1).op(A::Trace).bytes());
    // No pool of its own: the last one declared holds, also on the next frame.
    w.doAction(Asm().pushConstant(0).op(A::Trace).bytes());
    w.showFrame();
    w.doAction(
        Asm().pushConstant(1).op(A::Trace).constantPool({ "third" }).pushConstant(0).op(A::Trace).bytes());
    w.showFrame();
    w.doAction(Asm().pushConstant(0).op(A::Trace).op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    EXPECT_EQ(run.traces, lines({ "second", "first", "second", "third", "third" }));
}

TEST(Actions, FunctionsTakeArgumentsAndReturn)
{
    Asm body;
    body.get("a").get("b").op(A::Multiply).op(A::Return);
    Asm a;
    a.function("mul", { "a", "b" }, body);
    a.push(7.0).push(6.0).call("mul", 2).op(A::Trace);
    // arguments.length and a missing argument
    Asm count;
    count.get("arguments").push("length").op(A::GetMember).op(A::Return);
    a.function("count", {}, count).push(1.0).push(2.0).push(3.0).call("count", 3).op(A::Trace);
    a.push(1.0).call("mul", 1).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "42", "3", "NaN" }));
}

TEST(Actions, DefineFunction2PreloadsRegisters)
{
    // flags: preload this (0x01), arguments (0x04), suppress super (0x20)
    Asm body;
    body.pushRegister(1).push("tag").op(A::GetMember).op(A::Trace); // this.tag
    body.pushRegister(2).push("length").op(A::GetMember).op(A::Trace); // arguments.length
    body.pushRegister(3).op(A::Trace); // the first parameter lives in register 3
    body.get("x").op(A::Trace); // and has no variable
    Asm a;
    a.push("o").push("tag").push("T").pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.push("o").op(A::GetVariable).push("f");
    a.function2("", 4, 0x01 | 0x04 | 0x20, { { 3, "x" } }, body);
    a.op(A::SetMember);
    a.push(9.0).push("q").get("o").callMethod("f", 2).op(A::Pop);
    EXPECT_EQ(traceOf(a), lines({ "T", "2", "q", "undefined" }));
}

TEST(Actions, TryCatchFinally)
{
    Asm body;
    body.trace("in").push("boom").op(A::Throw).trace("not here");
    Asm handler;
    handler.push("caught ").get("e").op(A::Add2).op(A::Trace);
    Asm last;
    last.trace("finally");
    Asm a;
    a.tryCatch(body, "e", handler, &last).trace("after");
    EXPECT_EQ(traceOf(a), lines({ "in", "caught boom", "finally", "after" }));
}

TEST(Actions, TryBlockJumpingOverItsCatchRunsFinallyOnce)
{
    // Compilers end a try block with a jump over the catch block to the finally block.
    Asm handler;
    handler.trace("catch");
    const size_t handlerSize = handler.bytes(false).size();
    Asm body;
    body.trace("try").raw(A::Jump, { uint8_t(handlerSize), uint8_t(handlerSize >> 8) });
    Asm last;
    last.trace("finally");
    Asm a;
    a.tryCatch(body, "e", handler, &last).trace("after");
    EXPECT_EQ(traceOf(a), lines({ "try", "finally", "after" }));
}

TEST(Actions, UncaughtThrowEndsTheBlockOnly)
{
    Asm thrower;
    thrower.push("bad").op(A::Throw);
    Asm a;
    a.function("f", {}, thrower).trace("before").pushInt(0).push("f").op(A::CallFunction).trace("skipped");
    ScriptRun run;
    Writer w = scriptMovie(a);
    w.doAction(Asm().trace("next block").bytes());
    w.showFrame();
    run.play(w, 1);
    ASSERT_GE(run.traces.size(), 2);
    EXPECT_EQ(run.traces.first(), QStringLiteral("before"));
    EXPECT_FALSE(run.traces.contains(QStringLiteral("skipped")));
}

TEST(Actions, WithPutsAnObjectOnTheScope)
{
    Asm inner;
    inner.traceVar("a").push("a").push(6.0).op(A::SetVariable);
    Asm a;
    a.push("o").push("a").push(5.0).pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.get("o").with(inner);
    a.get("o").push("a").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "5", "6" }));
}

TEST(Actions, Enumerate2ListsEnumerableProperties)
{
    // n = 0; for (k in {a:1, b:2, c:3}) n++
    Asm a;
    a.push("n").push(0.0).op(A::SetVariable);
    a.push("a").push(1.0).push("b").push(2.0).push("c").push(3.0).pushInt(3).op(A::InitObject);
    a.op(A::Enumerate2);
    a.label("next").storeRegister(0).pushNull().op(A::Equals2).ifTrue("done");
    a.push("n").get("n").op(A::Increment).op(A::SetVariable).jump("next");
    a.label("done").traceVar("n");
    EXPECT_EQ(traceOf(a), lines({ "3" }));
}

TEST(Actions, Enumerate2ListsThePrototypesNamesFirst)
{
    // p = {a, b}; o = {__proto__: p}; o.b = 3; o.c = 4; for (k in o) trace(k)
    Asm a;
    a.push("p").push("a").push(1.0).push("b").push(2.0).pushInt(2).op(A::InitObject).op(A::SetVariable);
    a.push("o").push("__proto__").get("p").pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.get("o").push("b").push(3.0).op(A::SetMember);
    a.get("o").push("c").push(4.0).op(A::SetMember);
    a.get("o").op(A::Enumerate2);
    a.label("next").storeRegister(0).pushNull().op(A::Equals2).ifTrue("done");
    a.pushRegister(0).op(A::Trace).jump("next");
    a.label("done");
    // InitObject makes b before a; o's own b hides p's.
    EXPECT_EQ(traceOf(a), lines({ "a", "c", "b" }));
}

TEST(Actions, TraceOfAnObjectWhoseToStringThrows)
{
    // o = {toString: function () { throw "bad"; }}; try { trace(o); } catch (e) { trace("caught " + e); }
    Asm a;
    a.push("o").push("toString").function("", {}, Asm().push("bad").op(A::Throw)).pushInt(1);
    a.op(A::InitObject).op(A::SetVariable);
    Asm body;
    body.traceVar("o").trace("not reached");
    Asm handler;
    handler.push("caught ").get("e").op(A::Add2).op(A::Trace);
    a.tryCatch(body, "e", handler);
    EXPECT_EQ(traceOf(a), lines({ "[type Object]", "caught bad" }));
}

TEST(Actions, SuperCallsNeitherResolveNorIntoClips)
{
    // o.__proto__ = {__resolve: function (n) { trace("resolve " + n); }}; o.m() runs super()
    Asm resolver;
    resolver.push("resolve ").get("n").op(A::Add2).op(A::Trace);
    Asm method;
    method.pushInt(0).get("super").pushUndefined().op(A::CallMethod).op(A::Trace);
    // ... and super.f() with o.__proto__ = _root, whose own __proto__ has f.
    method.pushInt(0).get("super").push("f").op(A::CallMethod).op(A::Trace);
    Asm a;
    a.push("o").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.push("p").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.get("p").push("__resolve").function("", { "n" }, resolver).op(A::SetMember);
    a.get("o").push("__proto__").get("p").op(A::SetMember);
    a.get("o").push("m").function("", {}, method).op(A::SetMember);
    a.pushInt(0).get("o").callMethod("m", 0).op(A::Pop);
    a.get("_root")
        .push("__proto__")
        .push("f")
        .function("", {}, Asm().trace("f called"))
        .pushInt(1)
        .op(A::InitObject)
        .op(A::SetMember);
    a.get("o").push("__proto__").get("_root").op(A::SetMember);
    a.pushInt(0).get("o").callMethod("m", 0).op(A::Pop);
    // q.g() runs super.f(): found through a String object as q's prototype, but a text
    // there is never made one (and q keeps its own g).
    a.get("String").push("prototype").op(A::GetMember).push("f").function("", {}, Asm().trace("String f"));
    a.op(A::SetMember);
    a.push("q").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.get("q").push("g").function(
        "", {}, Asm().pushInt(0).get("super").push("f").op(A::CallMethod).op(A::Trace));
    a.op(A::SetMember);
    a.get("q").push("__proto__").push("s").pushInt(1).push("String").op(A::NewObject).op(A::SetMember);
    a.pushInt(0).get("q").callMethod("g", 0).op(A::Pop);
    a.get("q").push("__proto__").push("text").op(A::SetMember);
    a.pushInt(0).get("q").callMethod("g", 0).op(A::Pop);
    EXPECT_EQ(traceOf(a),
        lines({ "undefined", "undefined", "undefined", "undefined", "String f", "undefined", "undefined" }));
}

TEST(Actions, ClassesWithExtendsInstanceOfAndCast)
{
    // function A() {}; function B() {}; B extends A; b = new B()
    Asm a;
    a.function("A", {}, Asm()).function("B", {}, Asm());
    a.get("B").get("A").op(A::Extends);
    a.push("b").pushInt(0).push("B").op(A::NewObject).op(A::SetVariable);
    a.get("b").get("A").op(A::InstanceOf).op(A::Trace);
    a.get("A").get("b").op(A::CastOp).push("b").op(A::GetVariable).op(A::StrictEquals).op(A::Trace);
    a.get("Array").get("b").op(A::CastOp).op(A::Trace);
    // interface I; A implements I
    a.function("I", {}, Asm());
    a.get("I").pushInt(1).get("A").op(A::ImplementsOp);
    a.get("b").get("I").op(A::InstanceOf).op(A::Trace);
    a.get("b").op(A::TypeOf).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "true", "true", "null", "true", "object" }));
}

TEST(Actions, NewObjectsArraysAndDeletion)
{
    Asm a;
    a.push("arr").push(3.0).push(2.0).push(1.0).pushInt(3).op(A::InitArray).op(A::SetVariable);
    a.get("arr").op(A::Trace);
    a.get("arr").push("length").op(A::GetMember).op(A::Trace);
    a.push("o").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.get("o").push("k").push(1.0).op(A::SetMember);
    a.get("o").push("k").op(A::Delete).op(A::Trace);
    a.get("o").push("k").op(A::GetMember).op(A::Trace);
    a.get("o").op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "1,2,3", "3", "true", "undefined", "[object Object]" }));
}

TEST(Actions, EndlessLoopIsStoppedAndTheMovieGoesOn)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    // ScriptLimits: recursion 256, one second.
    const std::vector<uint8_t> limits { 0x00, 0x01, 0x01, 0x00 };
    w.rawTag(65, limits);
    Asm loop;
    loop.label("top").jump("top");
    w.doAction(loop.bytes());
    w.showFrame();
    w.doAction(Asm().trace("frame 2").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_FALSE(run.stopped.isEmpty());
    EXPECT_EQ(run.traces, lines({ "frame 2" }));
}

// A prototype chain may be made to loop; reading a name it lacks through the loop stops
// the script, and the next frame's script runs.
TEST(Actions, ReadingThroughALoopingPrototypeChainStopsTheScript)
{
    Asm loop;
    loop.push("p").pushInt(0).op(A::InitObject).op(A::SetVariable);
    loop.get("p").push("__proto__").get("p").op(A::SetMember);
    loop.get("p").push("__proto__").op(A::GetMember).get("p").op(A::StrictEquals).op(A::Trace);
    loop.get("p").push("missing").op(A::GetMember).op(A::Trace);
    loop.trace("not reached");
    Writer w(stageHeader(100, 100, 12.0, 7));
    w.doAction(loop.bytes());
    w.showFrame();
    w.doAction(Asm().trace("frame 2").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 2);
    EXPECT_FALSE(run.stopped.isEmpty());
    EXPECT_EQ(run.traces, lines({ "true", "frame 2" }));
}

TEST(Actions, DeepRecursionFailsTheCallNotThePlayer)
{
    // function f(n) { return f(n + 1) }  f(0); trace("alive")
    Asm body;
    body.get("n").op(A::Increment).pushInt(1).push("f").op(A::CallFunction).op(A::Return);
    Asm a;
    a.function("f", { "n" }, body).push(0.0).call("f", 1).op(A::Pop).trace("alive");
    ScriptRun run;
    run.play(scriptMovie(a));
    EXPECT_TRUE(run.traces.contains(QStringLiteral("alive")) || !run.stopped.isEmpty());
}

TEST(Actions, TimelineActionsOfSwfThree)
{
    Writer w(stageHeader(100, 100, 12.0, 3));
    w.doAction(Asm().trace("one").gotoFrame(2).bytes());
    w.showFrame();
    w.doAction(Asm().trace("two").bytes());
    w.showFrame();
    w.frameLabel("end");
    w.doAction(Asm().trace("three").op(A::Stop).bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w, 3);
    // GotoFrame stops the timeline on the frame it goes to.
    EXPECT_EQ(run.traces, lines({ "one", "three" }));
}

TEST(Actions, WaitForFrameOfACompleteTimeline)
{
    // (Each skip passes the two actions of a trace.) Frames past the last are there once everything is, up to
    // the most a timeline can have; a fraction or a missing label names no frame, so nothing is skipped.
    Asm a;
    a.waitForFrame(0, 2).trace("frame 1");
    a.waitForFrame(5, 2).trace("frame 6");
    a.waitForFrame(16000, 2).trace("frame 16001");
    a.waitForFrame(16001, 2).trace("frame 16002");
    a.push(16002.0).raw(A::WaitForFrame2, { 2 }).trace("2: frame 16002");
    a.push(16002.5).raw(A::WaitForFrame2, { 2 }).trace("2: frame 16002.5");
    a.push("nowhere").raw(A::WaitForFrame2, { 2 }).trace("2: nowhere");
    a.push(-3.0).raw(A::WaitForFrame2, { 2 }).trace("2: frame -3");
    a.push(2147483648.0).raw(A::WaitForFrame2, { 2 }).trace("2: frame 2^31");
    EXPECT_EQ(traceOf(a, 7),
        lines({ "frame 1", "frame 6", "frame 16001", "2: frame 16002.5", "2: nowhere", "2: frame -3" }));
}

// A handful of blocks written byte by byte from the format's action records.
TEST(Actions, BlocksFromTheFormatDocumentation)
{
    const auto run = [](std::vector<uint8_t> bytes, uint8_t version = 8) {
        Writer w(stageHeader(100, 100, 12.0, version));
        w.doAction(bytes);
        w.showFrame();
        ScriptRun r;
        r.play(w);
        return r.traces;
    };
    // Push "hi" (type 0: string), Trace, End.
    EXPECT_EQ(run({ 0x96, 0x04, 0x00, 0x00, 'h', 'i', 0x00, 0x26, 0x00 }), lines({ "hi" }));
    // Push float 1.5 (type 1) and integer 2 (type 7), Add2, Trace.
    EXPECT_EQ(run({ 0x96, 0x0A, 0x00, 0x01, 0x00, 0x00, 0xC0, 0x3F, 0x07, 0x02, 0x00, 0x00, 0x00, 0x47, 0x26,
                  0x00 }),
        lines({ "3.5" }));
    // Push double 0.5 (type 6: high word first: 3FE00000 00000000), Trace.
    EXPECT_EQ(run({ 0x96, 0x09, 0x00, 0x06, 0x00, 0x00, 0xE0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x26, 0x00 }),
        lines({ "0.5" }));
    // Push true (type 5), Not, Trace: SWF 4 prints a boolean as 1 or 0.
    EXPECT_EQ(run({ 0x96, 0x02, 0x00, 0x05, 0x01, 0x12, 0x26, 0x00 }, 4), lines({ "0" }));
    // Jump over a trace: Jump +8, Push "no" Trace, Push "yes" Trace.
    EXPECT_EQ(run({ 0x99, 0x02, 0x00, 0x08, 0x00, 0x96, 0x04, 0x00, 0x00, 'n', 'o', 0x00, 0x26, 0x96, 0x05,
                  0x00, 0x00, 'y', 'e', 's', 0x00, 0x26, 0x00 }),
        lines({ "yes" }));
    // A cut-off action at the end of the block is not run.
    EXPECT_EQ(run({ 0x96, 0x04, 0x00, 0x00, 'h', 'i', 0x00, 0x26, 0x96, 0x09, 0x00 }), lines({ "hi" }));
}

TEST(Actions, GbkStringsOfOldMoviesAreDecoded)
{
    // "中文" in GBK: D6 D0 CE C4.
    const std::vector<uint8_t> bytes { 0x96, 0x06, 0x00, 0x00, 0xD6, 0xD0, 0xCE, 0xC4, 0x00, 0x26, 0x00 };
    Writer w(stageHeader(100, 100, 12.0, 5));
    w.doAction(bytes);
    w.showFrame();
    ScriptRun r;
    r.play(w);
    EXPECT_EQ(r.traces, lines({ "中文" }));
}

} // namespace
} // namespace swf::test
