// The drawing methods of MovieClip, seen in the pictures and sizes of what they draw.
#include "ScriptFixture.h"

#include <QImage>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using A = ActionCode;

// An empty clip "d" on the root, to draw into.
Asm withClip()
{
    Asm a;
    a.pushArgs({ "d", 1.0 })
        .pushInt(2)
        .get("_root")
        .push("createEmptyMovieClip")
        .op(A::CallMethod)
        .op(A::Pop);
    return a;
}

Asm& draw(Asm& a, const std::string& method, const std::vector<Asm::Arg>& args = {})
{
    a.pushArgs(args).pushInt(int(args.size())).get("d").push(method).op(A::CallMethod);
    return a.op(A::Pop);
}

Asm& rectangle(Asm& a, double left, double top, double right, double bottom)
{
    draw(a, "moveTo", { left, top });
    draw(a, "lineTo", { right, top });
    draw(a, "lineTo", { right, bottom });
    draw(a, "lineTo", { left, bottom });
    return draw(a, "lineTo", { left, top });
}

// Pushes the arguments of a gradient from `from` to `to` (both opaque) over a box of
// `width` pixels from x 0, ratios as given, `extra` arguments past the box.
Asm& gradientArgs(
    Asm& a, uint32_t from, uint32_t to, int firstRatio, int lastRatio, double width, int extra = 0)
{
    for (int i = 0; i < extra; ++i)
        a.push("pad");
    a.push("matrixType").push("box").push("x").pushInt(0).push("y").pushInt(0);
    a.push("w").push(width).push("h").pushInt(100).push("r").pushInt(0).pushInt(6).op(A::InitObject);
    a.pushInt(lastRatio).pushInt(firstRatio).pushInt(2).op(A::InitArray);
    a.pushInt(100).pushInt(100).pushInt(2).op(A::InitArray);
    a.pushInt(int32_t(to)).pushInt(int32_t(from)).pushInt(2).op(A::InitArray);
    return a.push("linear").pushInt(5 + extra);
}

QImage played(const Asm& script)
{
    ScriptRun run;
    run.play(scriptMovie(script));
    return run.player().renderImage(QSize(100, 100));
}

QRgb rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST(DrawingScript, AFillLeftOpenIsClosedWithItsLine)
{
    Asm a = withClip();
    draw(a, "lineStyle", { 4.0, double(0x0000FF) });
    draw(a, "beginFill", { double(0xFF0000) });
    draw(a, "moveTo", { 10.0, 10.0 });
    draw(a, "lineTo", { 50.0, 10.0 });
    draw(a, "lineTo", { 50.0, 50.0 });
    draw(a, "lineTo", { 10.0, 50.0 });
    // No endFill: the edge back to (10, 10) closes it all the same, stroked.
    a.get("d").push("_width").op(A::GetMember).op(A::Trace);
    ScriptRun run;
    run.play(scriptMovie(a));
    // 40 pixels of edges and half the 4-pixel line on either side.
    EXPECT_EQ(run.traces, QStringList({ "44" }));
    const QImage image = run.player().renderImage(QSize(100, 100));
    EXPECT_EQ(rgb(image, 30, 30), 0xFF0000u);
    EXPECT_EQ(rgb(image, 10, 30), 0x0000FFu);
    EXPECT_EQ(rgb(image, 50, 30), 0x0000FFu);
    EXPECT_EQ(rgb(image, 60, 30), 0xFFFFFFu);
}

TEST(DrawingScript, AFillBegunLaterCoversTheLinesBeforeIt)
{
    Asm a = withClip();
    draw(a, "lineStyle", { 10.0, double(0x00FF00) });
    draw(a, "moveTo", { 0.0, 50.0 });
    draw(a, "lineTo", { 100.0, 50.0 });
    draw(a, "lineStyle");
    draw(a, "beginFill", { double(0x0000FF) });
    rectangle(a, 40, 0, 60, 100);
    draw(a, "endFill");
    const QImage image = played(a);
    EXPECT_EQ(rgb(image, 50, 50), 0x0000FFu);
    EXPECT_EQ(rgb(image, 20, 50), 0x00FF00u);
    EXPECT_EQ(rgb(image, 50, 20), 0x0000FFu);
}

TEST(DrawingScript, AGradientBoxSpansTheGradientsTable)
{
    // Black to white over a box 64 pixels wide: each pixel spans four of the table's
    // 256 entries, so pixel x shows entry 4x, whose grey is 4x.
    Asm a = withClip();
    gradientArgs(a, 0x000000, 0xFFFFFF, 0, 255, 64);
    a.get("d").push("beginGradientFill").op(A::CallMethod).op(A::Pop);
    rectangle(a, 0, 0, 100, 100);
    draw(a, "endFill");
    const QImage image = played(a);
    for (int x : { 0, 1, 10, 63 })
        EXPECT_EQ(qRed(image.pixel(x, 50)), 4 * x) << x;
    EXPECT_EQ(rgb(image, 80, 50), 0xFFFFFFu);
}

TEST(DrawingScript, ALineGradientOutOfRangeLeavesTheLineAsItWas)
{
    Asm a = withClip();
    draw(a, "lineStyle", { 6.0, 0.0 });
    // A ratio past 255, then one argument too many: refused, the line stays black.
    gradientArgs(a, 0xFF0000, 0xFF0000, 0, 256, 100);
    a.get("d").push("lineGradientStyle").op(A::CallMethod).op(A::Pop);
    gradientArgs(a, 0xFF0000, 0xFF0000, 0, 255, 100, 4);
    a.get("d").push("lineGradientStyle").op(A::CallMethod).op(A::Pop);
    draw(a, "moveTo", { 0.0, 20.0 });
    draw(a, "lineTo", { 100.0, 20.0 });
    gradientArgs(a, 0xFF0000, 0xFF0000, 0, 255, 100);
    a.get("d").push("lineGradientStyle").op(A::CallMethod).op(A::Pop);
    draw(a, "moveTo", { 0.0, 60.0 });
    draw(a, "lineTo", { 100.0, 60.0 });
    const QImage image = played(a);
    EXPECT_EQ(rgb(image, 50, 20), 0x000000u);
    EXPECT_EQ(rgb(image, 50, 60), 0xFF0000u);
}

TEST(DrawingScript, ACopyKeepsTheDrawingAndClearTakesItAway)
{
    Asm a = withClip();
    draw(a, "beginFill", { double(0xFF0000) });
    rectangle(a, 10, 10, 50, 30);
    draw(a, "endFill");
    a.pushArgs({ "e", 2.0 }).pushInt(2).get("d").push("duplicateMovieClip").op(A::CallMethod).op(A::Pop);
    draw(a, "clear");
    a.get("d").push("_width").op(A::GetMember).op(A::Trace);
    a.get("_root").push("e").op(A::GetMember).push("_width").op(A::GetMember).op(A::Trace);
    // A copy at the source's own depth takes its place, and its drawing.
    a.pushArgs({ "f", 2.0 }).pushInt(2).get("e").push("duplicateMovieClip").op(A::CallMethod).op(A::Pop);
    a.get("_root").push("f").op(A::GetMember).push("_width").op(A::GetMember).op(A::Trace);
    a.get("_root").push("e").op(A::GetMember).op(A::Trace);
    ScriptRun run;
    run.play(scriptMovie(a));
    EXPECT_EQ(run.traces, QStringList({ "0", "40", "40", "undefined" }));
    const QImage image = run.player().renderImage(QSize(100, 100));
    EXPECT_EQ(rgb(image, 30, 20), 0xFF0000u);
}

// Clip `name` at `depth` with a square of `colour` drawn from `from` to `to`.
Asm& squareClip(Asm& a, const std::string& name, double depth, uint32_t colour, double from, double to)
{
    a.pushArgs({ name, depth })
        .pushInt(2)
        .get("_root")
        .push("createEmptyMovieClip")
        .op(A::CallMethod)
        .op(A::Pop);
    const auto call = [&](const std::string& method, const std::vector<Asm::Arg>& args) {
        a.pushArgs(args).pushInt(int(args.size())).get(name).push(method).op(A::CallMethod).op(A::Pop);
    };
    call("beginFill", { double(colour) });
    call("moveTo", { from, from });
    call("lineTo", { to, from });
    call("lineTo", { to, to });
    call("lineTo", { from, to });
    return a;
}

TEST(DrawingScript, SetMaskShowsTheClipOnlyUnderTheMaskWhichHides)
{
    Asm a;
    squareClip(a, "a", 1, 0xFF0000, 0, 50);
    squareClip(a, "m", 2, 0x0000FF, 25, 75);
    a.get("m").pushInt(1).get("a").push("setMask").op(A::CallMethod).op(A::Pop);
    ScriptRun run;
    run.play(scriptMovie(a));
    QImage image = run.player().renderImage(QSize(100, 100));
    EXPECT_EQ(rgb(image, 30, 30), 0xFF0000u);
    EXPECT_EQ(rgb(image, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(rgb(image, 60, 60), 0xFFFFFFu);

    // Unmasked, both show again.
    a.pushNull().pushInt(1).get("a").push("setMask").op(A::CallMethod).op(A::Pop);
    ScriptRun again;
    again.play(scriptMovie(a));
    image = again.player().renderImage(QSize(100, 100));
    EXPECT_EQ(rgb(image, 10, 10), 0xFF0000u);
    EXPECT_EQ(rgb(image, 60, 60), 0x0000FFu);
}

TEST(DrawingScript, InAMaskAScrollRectMovesWhatItShowsButCutsNothing)
{
    Asm a;
    squareClip(a, "a", 1, 0xFF0000, 0, 100);
    squareClip(a, "m", 2, 0x0000FF, 25, 75);
    // m.scrollRect = new flash.geom.Rectangle(10, 10, 5, 5): as a picture, m would show
    // nothing of its square.
    a.get("m").push("scrollRect").pushArgs({ 10.0, 10.0, 5.0, 5.0 }).pushInt(4);
    a.get("flash").push("geom").op(A::GetMember).push("Rectangle").op(A::NewMethod).op(A::SetMember);
    a.get("m").pushInt(1).get("a").push("setMask").op(A::CallMethod).op(A::Pop);
    ScriptRun run;
    run.play(scriptMovie(a));
    const QImage image = run.player().renderImage(QSize(100, 100));
    // The square, moved up and left by 10: from 15 to 65.
    EXPECT_EQ(rgb(image, 18, 18), 0xFF0000u);
    EXPECT_EQ(rgb(image, 62, 62), 0xFF0000u);
    EXPECT_EQ(rgb(image, 12, 12), 0xFFFFFFu);
    EXPECT_EQ(rgb(image, 70, 70), 0xFFFFFFu);
}

TEST(DrawingScript, AScrollRectShowsItsPartAtTheOriginAndIsTheSize)
{
    Asm a;
    squareClip(a, "a", 1, 0xFF0000, 0, 100);
    a.pushArgs({ "b", 2.0 }).pushInt(2).get("a").push("createEmptyMovieClip").op(A::CallMethod).op(A::Pop);
    const auto inner = [&](const std::string& method, const std::vector<Asm::Arg>& args) {
        a.pushArgs(args).pushInt(int(args.size())).get("a").push("b").op(A::GetMember);
        a.push(method).op(A::CallMethod).op(A::Pop);
    };
    inner("beginFill", { double(0x0000FF) });
    inner("moveTo", { 50.0, 0.0 });
    inner("lineTo", { 60.0, 0.0 });
    inner("lineTo", { 60.0, 10.0 });
    inner("lineTo", { 50.0, 10.0 });
    // a.scrollRect = new flash.geom.Rectangle(50, 0, 20, 20)
    a.get("a").push("scrollRect").pushArgs({ 50.0, 0.0, 20.0, 20.0 }).pushInt(4);
    a.get("flash").push("geom").op(A::GetMember).push("Rectangle").op(A::NewMethod).op(A::SetMember);
    a.get("a").push("_width").op(A::GetMember).op(A::Trace);
    a.get("a").push("scrollRect").op(A::GetMember).push("x").op(A::GetMember).op(A::Trace);
    ScriptRun run;
    run.play(scriptMovie(a));
    EXPECT_EQ(run.traces, QStringList({ "20", "50" }));
    const QImage image = run.player().renderImage(QSize(100, 100));
    EXPECT_EQ(rgb(image, 5, 5), 0x0000FFu); // the blue square, moved left by 50
    EXPECT_EQ(rgb(image, 15, 15), 0xFF0000u);
    EXPECT_EQ(rgb(image, 30, 5), 0xFFFFFFu); // cut off at the rectangle's width
    EXPECT_EQ(rgb(image, 55, 5), 0xFFFFFFu);
}

} // namespace
} // namespace swf::test
