// BitmapData and the filter classes as scripts see them: the values read back, the codes of
// calls that fail, and filters set on a clip.
#include "ScriptFixture.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using A = ActionCode;

// variable = new flash.PACKAGE.CLASS(args)
Asm& newPackaged(Asm& a, const std::string& variable, const std::string& package,
    const std::string& className, const std::vector<Asm::Arg>& args)
{
    a.push(variable).pushArgs(args).pushInt(int(args.size()));
    a.get("flash").push(package).op(A::GetMember).push(className).op(A::NewMethod);
    return a.op(A::SetVariable);
}

Asm& traceMember(Asm& a, const std::string& variable, const std::string& member)
{
    return a.get(variable).push(member).op(A::GetMember).op(A::Trace);
}

TEST(BitmapDataScript, PixelsSizeAndDispose)
{
    Asm a;
    newPackaged(a, "b", "display", "BitmapData", { 3.0, 2.0, 1.0, double(0xAABBCCDDu) });
    a.traceCall("b", "getPixel32", { 0.0, 0.0 });
    a.traceCall("b", "getPixel", { 1.0, 1.0 });
    a.traceCall("b", "setPixel32", { 2.0, 1.0, double(0xFF102030u) });
    a.traceCall("b", "getPixel32", { 2.0, 1.0 });
    a.traceCall("b", "setPixel32", { 2.0, 1.0 }); // too few arguments
    traceMember(a, "b", "width");
    a.traceCall("b", "dispose");
    traceMember(a, "b", "width");
    a.traceCall("b", "getPixel32", { 0.0, 0.0 });
    newPackaged(a, "big", "display", "BitmapData", { 2881.0, 1.0 });
    traceMember(a, "big", "height");
    EXPECT_EQ(traceOf(a),
        QStringList(
            { "-1430532900", "12307676", "0", "-15720400", "-1", "3", "undefined", "-1", "-1", "-1" }));
}

TEST(BitmapDataScript, FromSwf9ASizeOutOfRangeMakesNoObject)
{
    Asm a;
    newPackaged(a, "big", "display", "BitmapData", { 1.0, 2881.0 });
    a.traceVar("big");
    newPackaged(a, "ok", "display", "BitmapData", { 1.0, 2880.0 });
    traceMember(a, "ok", "height");
    EXPECT_EQ(traceOf(a, 9), QStringList({ "undefined", "2880" }));
}

TEST(BitmapDataScript, CallsWithWrongArgumentsAnswerTheirCodes)
{
    Asm a;
    newPackaged(a, "b", "display", "BitmapData", { 2.0, 2.0 });
    newPackaged(a, "gone", "display", "BitmapData", { 2.0, 2.0 });
    a.get("gone").callMethod("dispose", 0).op(A::Pop);
    newPackaged(a, "r", "geom", "Rectangle", { 0.0, 0.0, 1.0, 1.0 });
    newPackaged(a, "p", "geom", "Point", { 0.0, 0.0 });
    // copyChannel(source, rect, point, 1, 2) with a source that is no bitmap, a disposed
    // one, a rectangle that is no rectangle, then all good.
    const auto copyChannel = [&](const std::string& source, const std::string& rect) {
        a.pushInt(2).pushInt(1).get("p").get(rect).get(source).pushInt(5);
        a.get("b").push("copyChannel").op(A::CallMethod).op(A::Trace);
    };
    copyChannel("p", "r");
    copyChannel("gone", "r");
    copyChannel("b", "p");
    copyChannel("b", "r");
    // floodFill answers whether anything changed.
    a.traceCall("b", "floodFill", { 0.0, 0.0, double(0xFF00FF00u) });
    a.traceCall("b", "floodFill", { 0.0, 0.0, double(0xFF00FF00u) });
    EXPECT_EQ(traceOf(a), QStringList({ "-2", "-3", "-4", "-1", "1", "0" }));
}

TEST(FilterScript, PropertiesAreClampedAsStored)
{
    Asm a;
    newPackaged(a, "f", "filters", "BlurFilter", { 300.0, -5.0, 2.5 });
    traceMember(a, "f", "blurX");
    traceMember(a, "f", "blurY");
    traceMember(a, "f", "quality");
    newPackaged(a, "d", "filters", "DropShadowFilter", { 4.0, 370.0, -1.0, 0.5 });
    traceMember(a, "d", "angle");
    traceMember(a, "d", "color");
    traceMember(a, "d", "alpha");
    a.get("d").push("type").push("INNER").op(A::SetMember);
    a.get("d").callMethod("clone", 0).push("color").op(A::GetMember).op(A::Trace);
    a.get("d").callMethod("clone", 0).get("d").op(A::Equals2).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        QStringList({ "255", "0", "2", "10", "16777215", "0.498039215686275", "16777215", "false" }));
}

TEST(FilterScript, MapPointIsSetBeforeAConversionErrorReachesTheScript)
{
    Asm a;
    newPackaged(a, "f", "filters", "DisplacementMapFilter", {});
    // bad = {}; bad.valueOf = function () { throw "no number"; }
    a.push("bad").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.get("bad").push("valueOf").function("", {}, Asm().push("no number").op(A::Throw)).op(A::SetMember);
    // try { f.mapPoint = {FIELDS} } catch (e) { trace(e) } trace(f.mapPoint)
    const auto setPoint = [&](const std::vector<std::pair<std::string, Asm::Arg>>& fields, bool badX) {
        Asm body;
        body.get("f").push("mapPoint");
        if (badX)
            body.push("x").get("bad");
        for (const auto& [name, value] : fields)
            body.push(name).pushArgs({ value });
        body.pushInt(int(fields.size()) + (badX ? 1 : 0)).op(A::InitObject).op(A::SetMember);
        a.tryCatch(body, "e", Asm().traceVar("e"));
        traceMember(a, "f", "mapPoint");
    };
    setPoint({ { "y", 8.0 } }, true);
    setPoint({ { "x", 1.0 }, { "y", 2.0 } }, false);
    setPoint({}, true); // no y: the point is the origin, the error still comes
    setPoint({ { "x", 1.0 } }, false);
    EXPECT_EQ(traceOf(a),
        QStringList({ "no number", "(x=-2147483648, y=8)", "(x=1, y=2)", "no number", "(x=0, y=0)",
            "(x=0, y=0)" }));
}

TEST(FilterScript, GradientStopsFollowTheColours)
{
    Asm a;
    newPackaged(a, "g", "filters", "GradientGlowFilter", {});
    // g.colors = [1, 2]; g.ratios = [300]: one ratio leaves one stop
    a.push("g")
        .op(A::GetVariable)
        .push("colors")
        .pushInt(2)
        .pushInt(1)
        .pushInt(2)
        .op(A::InitArray)
        .op(A::SetMember);
    a.push("g").op(A::GetVariable).push("ratios").pushInt(300).pushInt(1).op(A::InitArray).op(A::SetMember);
    traceMember(a, "g", "colors");
    traceMember(a, "g", "ratios");
    traceMember(a, "g", "alphas");
    EXPECT_EQ(traceOf(a), QStringList({ "1", "255", "0" }));
}

TEST(FilterScript, ClipFiltersAreCopiesOfWhatWasSet)
{
    Asm a;
    a.push(1.0).push("m").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    newPackaged(a, "f", "filters", "GlowFilter", { double(0x00FF00), 1.0, 8.0, 8.0, 2.0, 3.0 });
    // m.filters = [f, "no filter"]
    a.get("m").push("filters").push("no filter").get("f").pushInt(2).op(A::InitArray).op(A::SetMember);
    a.get("m").push("filters").op(A::GetMember).push("length").op(A::GetMember).op(A::Trace);
    a.get("m")
        .push("filters")
        .op(A::GetMember)
        .pushInt(0)
        .op(A::GetMember)
        .push("blurX")
        .op(A::GetMember)
        .op(A::Trace);
    a.get("m")
        .push("filters")
        .op(A::GetMember)
        .pushInt(0)
        .op(A::GetMember)
        .push("quality")
        .op(A::GetMember)
        .op(A::Trace);
    a.get("m")
        .push("filters")
        .op(A::GetMember)
        .pushInt(0)
        .op(A::GetMember)
        .push("color")
        .op(A::GetMember)
        .op(A::Trace);
    a.get("m")
        .push("filters")
        .op(A::GetMember)
        .pushInt(0)
        .op(A::GetMember)
        .get("f")
        .op(A::Equals2)
        .op(A::Trace);
    EXPECT_EQ(traceOf(a), QStringList({ "1", "8", "3", "65280", "false" }));
}

} // namespace
} // namespace swf::test
