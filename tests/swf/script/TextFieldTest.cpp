// Text fields as scripts see them: TextField properties and methods, TextFormat,
// variables shown by fields, htmlText and Selection.

#include "ScriptFixture.h"

#include "swf/format/Fonts.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"
#include "swf/runtime/Fixtures.h"
#include "swf/script/classes/StyleSheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

// _root.createTextField(name, depth, x, y, width, height), its value dropped.
Asm& createField(Asm& a, const std::string& name, double depth, double x = 10, double y = 10, double w = 100,
    double h = 20)
{
    return a.pushArgs({ name, depth, x, y, w, h }).get("_root").callMethod("createTextField", 6).op(A::Pop);
}

// object.member = value
Asm& setMember(Asm& a, const std::string& object, const std::string& member, const Asm::Arg& value)
{
    a.get(object).push(member);
    if (const auto* n = std::get_if<double>(&value))
        a.push(*n);
    else
        a.push(std::get<std::string>(value));
    return a.op(A::SetMember);
}

Asm& setMemberBool(Asm& a, const std::string& object, const std::string& member, bool value)
{
    return a.get(object).push(member).pushBool(value).op(A::SetMember);
}

Asm& traceMember(Asm& a, const std::string& object, const std::string& member)
{
    return a.get(object).push(member).op(A::GetMember).op(A::Trace);
}

TEST(TextFieldScript, CreatedFieldAndItsProperties)
{
    Asm a;
    a.pushArgs({ "t", 1.0, 2.9, -3.5, -40.0, 20.0 })
        .get("_root")
        .callMethod("createTextField", 6)
        .op(A::Trace);
    traceMember(a, "t", "_x");
    traceMember(a, "t", "_y");
    traceMember(a, "t", "_width");
    traceMember(a, "t", "text");
    traceMember(a, "t", "type");
    traceMember(a, "t", "maxChars");
    traceMember(a, "t", "variable");
    traceMember(a, "t", "autoSize");
    setMember(a, "t", "backgroundColor", -1.0);
    traceMember(a, "t", "backgroundColor");
    setMember(a, "t", "text", "abc");
    traceMember(a, "t", "length");
    setMemberBool(a, "t", "autoSize", true);
    traceMember(a, "t", "autoSize");
    setMember(a, "t", "maxChars", 5.0);
    traceMember(a, "t", "maxChars");
    a.get("t").callMethod("getDepth", 0).op(A::Trace);
    a.get("t").callMethod("removeTextField", 0).op(A::Pop);
    a.traceVar("t");
    EXPECT_EQ(traceOf(a),
        lines({ "_level0.t", "2", "-3", "40", "", "dynamic", "null", "null", "none", "16777215", "3", "left",
            "5", "1", "undefined" }));
}

TEST(TextFieldScript, ExtremeDepthsAndIndicesAreRefusedOrClamped)
{
    Asm a;
    a.pushArgs({ "big", 1e300, 0.0, 0.0, 1e300, -1e300 })
        .get("_root")
        .callMethod("createTextField", 6)
        .op(A::Trace);
    createField(a, "t", 1);
    setMember(a, "t", "text", "ab");
    a.pushArgs({ 2147483647.0 })
        .get("t")
        .callMethod("getTextFormat", 1)
        .push("font")
        .op(A::GetMember)
        .op(A::Trace);
    a.pushArgs({ 2147483647.0, -2147483648.0, "x" }).get("t").callMethod("replaceText", 3).op(A::Pop);
    traceMember(a, "t", "text");
    EXPECT_EQ(traceOf(a), lines({ "undefined", "Times New Roman", "ab" }));
}

TEST(TextFieldScript, OlderMoviesGetNoFieldBackAndSeePlainSwf8Properties)
{
    Asm a;
    createField(a, "t", 1);
    a.pushArgs({ "u", 2.0, 0.0, 0.0, 10.0, 10.0 }).get("_root").callMethod("createTextField", 6).op(A::Trace);
    // The properties of SWF 8 are plain ones before: a write makes the object's own.
    a.push("o").push(0.0).push("TextField").op(A::NewObject).op(A::SetVariable);
    setMember(a, "o", "gridFitType", "x");
    setMember(a, "o", "text", "x");
    traceMember(a, "o", "gridFitType");
    traceMember(a, "o", "text");
    traceMember(a, "t", "text");
    EXPECT_EQ(traceOf(a, 7), lines({ "undefined", "x", "undefined", "" }));
}

TEST(TextFieldScript, VariablesShownByFields)
{
    Asm a;
    createField(a, "t", 1);
    a.push("shown").push("before").op(A::SetVariable);
    setMember(a, "t", "variable", "shown");
    traceMember(a, "t", "text");
    a.push("shown").push("changed").op(A::SetVariable);
    traceMember(a, "t", "text");
    setMember(a, "t", "text", "typed");
    a.traceVar("shown");
    // A field bound to a variable that does not exist leaves it so while it is empty.
    createField(a, "u", 2);
    setMember(a, "u", "variable", "missing");
    a.get("missing").op(A::TypeOf).op(A::Trace);
    // A plain object's property is read once, when the field binds to it.
    a.push("o").pushInt(0).op(A::InitObject).op(A::SetVariable);
    setMember(a, "o", "v", "first");
    setMember(a, "u", "variable", "o.v");
    setMember(a, "o", "v", "second");
    traceMember(a, "u", "text");
    EXPECT_EQ(traceOf(a), lines({ "before", "changed", "typed", "undefined", "first" }));
}

// A field showing an object keeps the text it made of it until the variable holds
// another value: a new toString changes nothing for the object already shown.
TEST(TextFieldScript, ObjectShownByAFieldIsConvertedOncePerValue)
{
    Asm toString;
    toString.push("TO_STRING").op(A::Return);
    Asm a;
    createField(a, "t", 1);
    a.assignNew("shown", "Object", {});
    setMember(a, "t", "variable", "shown");
    traceMember(a, "t", "text");
    a.function("f", {}, toString);
    a.get("Object").push("prototype").op(A::GetMember).push("toString").get("f").op(A::SetMember);
    traceMember(a, "t", "text");
    a.assignNew("shown", "Object", {});
    traceMember(a, "t", "text");
    EXPECT_EQ(traceOf(a), lines({ "[object Object]", "[object Object]", "TO_STRING" }));
}

// Scroll positions wrap as 32-bit line indices counted from 0: the lowest wraps round to
// the last line, the one after it to the first. A horizontal scroll past 32 bits wraps
// negative and stops at 0.
TEST(TextFieldScript, ScrollPositionsWrapAt32Bits)
{
    Asm a;
    createField(a, "t", 1, 0, 0, 100, 20);
    setMemberBool(a, "t", "multiline", true);
    setMember(a, "t", "text", "a\rb\rc\rd\re");
    traceMember(a, "t", "maxscroll");
    for (double to : { 2147483647.0, 767100486418433.0, 767100486418432.0, 2.0, 1.5 }) {
        setMember(a, "t", "scroll", to);
        traceMember(a, "t", "scroll");
    }
    setMember(a, "t", "hscroll", 2147483648.0);
    traceMember(a, "t", "hscroll");
    EXPECT_EQ(traceOf(a), lines({ "5", "5", "1", "5", "2", "1", "0" }));
}

// The leading of a format goes between lines, and below a lone line.
TEST(TextFieldScript, TextHeightCountsLeadingBetweenLinesAndUnderALoneOne)
{
    Asm a;
    createField(a, "t", 1, 0, 0, 100, 100);
    setMember(a, "t", "text", "a");
    traceMember(a, "t", "textHeight");
    a.assignNew("f", "TextFormat", {});
    setMember(a, "f", "leading", 10.0);
    a.get("f").get("t").callMethod("setTextFormat", 1).op(A::Pop);
    traceMember(a, "t", "textHeight");
    setMemberBool(a, "t", "multiline", true);
    setMember(a, "t", "text", "a\rb");
    a.get("f").get("t").callMethod("setTextFormat", 1).op(A::Pop);
    traceMember(a, "t", "textHeight");
    const QStringList out = traceOf(a);
    ASSERT_EQ(out.size(), 3);
    const int line = out[0].toInt();
    EXPECT_GT(line, 0);
    EXPECT_EQ(out[1].toInt(), line + 10);
    EXPECT_NEAR(out[2].toInt(), 2 * line + 10, 1);
}

TEST(TextFieldScript, WatchSeesWritesOfTheText)
{
    Asm callback;
    callback.push("seen ").get("old").op(A::Add2).push(" ").op(A::Add2).get("now").op(A::Add2).op(A::Trace);
    callback.get("now").push("!").op(A::Add2).op(A::Return);
    Asm a;
    createField(a, "t", 1);
    a.function("watcher", { "name", "old", "now" }, callback);
    a.push("watcher")
        .op(A::GetVariable)
        .push("text")
        .pushInt(2)
        .get("t")
        .push("watch")
        .op(A::CallMethod)
        .op(A::Pop);
    setMember(a, "t", "text", "hi");
    traceMember(a, "t", "text");
    EXPECT_EQ(traceOf(a), lines({ "seen undefined hi", "hi!" }));
}

TEST(TextFieldScript, TextFormatConversions)
{
    Asm a;
    a.assignNew("f", "TextFormat", { "Arial", 12.9, -1.0 });
    traceMember(a, "f", "font");
    traceMember(a, "f", "size");
    traceMember(a, "f", "color");
    traceMember(a, "f", "bold");
    traceMember(a, "f", "display");
    setMember(a, "f", "size", 2.5);
    traceMember(a, "f", "size");
    setMember(a, "f", "leftMargin", -3.0);
    traceMember(a, "f", "leftMargin");
    setMember(a, "f", "align", "center");
    traceMember(a, "f", "align");
    setMember(a, "f", "align", "middle");
    traceMember(a, "f", "align");
    setMember(a, "f", "display", "Inline");
    traceMember(a, "f", "display");
    a.get("f").push("size").pushNull().op(A::SetMember);
    traceMember(a, "f", "size");
    EXPECT_EQ(traceOf(a),
        lines(
            { "Arial", "12", "4294967295", "null", "block", "2", "0", "center", "center", "block", "null" }));
}

TEST(TextFieldScript, HtmlTextInTheOriginalForm)
{
    Asm a;
    createField(a, "t", 1);
    setMemberBool(a, "t", "html", true);
    setMemberBool(a, "t", "multiline", true);
    setMember(a, "t", "htmlText",
        "<textformat leftmargin='5' leading='2'><p>one <b>two</b></p></textformat><p align='right'>"
        "<font face='Arial' size='20'>three</font></p>");
    traceMember(a, "t", "htmlText");
    traceMember(a, "t", "length");
    EXPECT_EQ(traceOf(a),
        lines({ "<TEXTFORMAT LEFTMARGIN=\"5\" LEADING=\"2\"><P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" "
                "SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">one <B>two</B></FONT></P>"
                "</TEXTFORMAT><P ALIGN=\"RIGHT\"><FONT FACE=\"Arial\" SIZE=\"20\" COLOR=\"#000000\" "
                "LETTERSPACING=\"0\" KERNING=\"0\">three</FONT></P>",
            "14" }));
}

TEST(TextFieldScript, FormatsOfRangesNestFontTags)
{
    Asm a;
    createField(a, "t", 1);
    setMemberBool(a, "t", "html", true);
    setMember(a, "t", "text", "abcdef");
    a.assignNew("f", "TextFormat", { "Arial" });
    a.get("f").pushArgs({ 4.0 }).push(1.0).get("t").callMethod("setTextFormat", 3).op(A::Pop);
    a.assignNew("g", "TextFormat");
    setMember(a, "g", "size", 20.0);
    a.get("g").pushArgs({ 3.0 }).push(2.0).get("t").callMethod("setTextFormat", 3).op(A::Pop);
    traceMember(a, "t", "htmlText");
    // A range of several fonts reads null where they differ.
    a.pushArgs({ 0.0, 6.0 })
        .get("t")
        .callMethod("getTextFormat", 2)
        .push("font")
        .op(A::GetMember)
        .op(A::Trace);
    a.pushArgs({ 2.0 }).get("t").callMethod("getTextFormat", 1).push("size").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines(
            { "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
              "LETTERSPACING=\"0\" KERNING=\"0\">a<FONT FACE=\"Arial\">b<FONT SIZE=\"20\">c</FONT>d</FONT>ef"
              "</FONT></P>",
                "null", "20" }));
}

TEST(TextFieldScript, SelectionFocusAndReplacingTheSelection)
{
    Asm listener;
    listener.traceVar("from").traceVar("to");
    Asm a;
    createField(a, "t", 1);
    setMember(a, "t", "text", "abcd");
    a.push("l").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.get("l").push("onSetFocus").function("", { "from", "to" }, listener).op(A::SetMember);
    a.get("l").get("Selection").callMethod("addListener", 1).op(A::Pop);
    // Without the focus the text goes in at the start.
    a.pushArgs({ "|" }).get("t").callMethod("replaceSel", 1).op(A::Pop);
    traceMember(a, "t", "text");
    a.get("t").get("Selection").callMethod("setFocus", 1).op(A::Trace);
    a.get("Selection").callMethod("getFocus", 0).op(A::Trace);
    a.pushArgs({ 4.0, 1.0 }).get("Selection").callMethod("setSelection", 2).op(A::Pop);
    a.get("Selection").callMethod("getBeginIndex", 0).op(A::Trace);
    a.get("Selection").callMethod("getCaretIndex", 0).op(A::Trace);
    a.pushArgs({ "X" }).get("t").callMethod("replaceSel", 1).op(A::Pop);
    traceMember(a, "t", "text");
    a.push("nowhere").get("Selection").callMethod("setFocus", 1).op(A::Trace);
    a.pushNull().get("Selection").callMethod("setFocus", 1).op(A::Trace);
    a.get("Selection").callMethod("getFocus", 0).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines({ "|abcd", "null", "_level0.t", "true", "_level0.t", "1", "1", "|Xd", "false", "_level0.t",
            "null", "true", "null" }));
}

TEST(TextFieldScript, FocusRectOfTheMovieAndOfEachObject)
{
    Asm a;
    a.pushArgs({ "clip", 1.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.traceVar("_focusrect");
    a.push("_focusrect").push("0").op(A::SetVariable).traceVar("_focusrect");
    // Null and NaN leave the movie's switch as it is; an infinity is on, an object off.
    a.push("_focusrect").pushNull().op(A::SetVariable).traceVar("_focusrect");
    a.push("_focusrect").push("x").op(A::SetVariable);
    traceMember(a, "_root", "_focusrect");
    a.push("_root").push(17.0).push(-std::numeric_limits<double>::infinity()).op(A::SetProperty);
    a.push("_root").push(17.0).push(std::nan("")).op(A::SetProperty);
    traceMember(a, "_root", "_focusrect");
    a.push("_focusrect").pushInt(0).op(A::InitObject).op(A::SetVariable).traceVar("_focusrect");
    // Another object has its own: null until given, then a boolean.
    traceMember(a, "clip", "_focusrect");
    setMember(a, "clip", "_focusrect", "0");
    traceMember(a, "clip", "_focusrect");
    setMember(a, "clip", "_focusrect", 0.0);
    traceMember(a, "clip", "_focusrect");
    a.get("clip").push("_focusrect").pushNull().op(A::SetMember);
    traceMember(a, "clip", "_focusrect");
    EXPECT_EQ(traceOf(a, 7),
        lines({ "true", "false", "false", "false", "true", "false", "null", "true", "false", "null" }));
}

TEST(TextFieldScript, ClipsTakeTheFocusWhenEnabledOrActingAsButtons)
{
    Asm a;
    a.pushArgs({ "clip", 1.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.get("clip").get("Selection").callMethod("setFocus", 1).op(A::Trace);
    a.get("clip").push("onRelease").function("", {}, Asm()).op(A::SetMember);
    a.get("clip").get("Selection").callMethod("setFocus", 1).op(A::Trace);
    a.get("Selection").callMethod("getFocus", 0).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "false", "true", "_level0.clip" }));
}

TEST(TextFieldScript, TextFormatAlignIgnoresWhatItDoesNotKnow)
{
    Asm a;
    a.assignNew("f", "TextFormat");
    setMember(a, "f", "align", "RIGHT");
    a.get("f").push("align").pushNull().op(A::SetMember);
    traceMember(a, "f", "align");
    setMember(a, "f", "size", 3.0);
    a.get("f").push("size").pushNull().op(A::SetMember);
    traceMember(a, "f", "size");
    EXPECT_EQ(traceOf(a), lines({ "right", "null" }));
}

// ---- Measures of embedded text -----------------------------------------------------------------

// A font of 'A' (a square, advancing 500 of the em of 1024) and ' ' (256): at 20 pixels
// they advance 195.3 and 100 twips.
FontDefinition boxFont()
{
    ShapeBuilder b;
    b.fill1(1).moveTo(0, 0).lineTo(400, 0).lineTo(400, -400).lineTo(0, -400).lineTo(0, 0);
    FontDefinition font;
    font.version = 2;
    font.name = "Box";
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 224;
    FontGlyph square;
    square.records = b.build().records;
    square.code = 'A';
    square.advance = 500;
    FontGlyph space;
    space.code = ' ';
    space.advance = 256;
    font.glyphs = { square, space };
    return font;
}

// A field one pixel wide at the origin, in the box font at 20 pixels aligned `align`,
// autosized to the right, given `text`: its _x, _width, textWidth and textHeight.
QStringList autosizedField(uint8_t version, const std::string& align, const std::string& text)
{
    Asm a;
    createField(a, "t", 1, 0, 0, 1, 1);
    setMemberBool(a, "t", "embedFonts", true);
    a.assignNew("f", "TextFormat", { "Box", 20.0 });
    setMember(a, "f", "align", align);
    a.get("f").get("t").callMethod("setNewTextFormat", 1).op(A::Pop);
    setMember(a, "t", "autoSize", "right");
    setMember(a, "t", "text", text);
    for (const char* p : { "_x", "_width", "textWidth", "textHeight" })
        traceMember(a, "t", p);
    Writer w(stageHeader(100, 100, 12.0, version));
    w.define(toCode(TagCode::DefineFont2), 1, encodeFont(boxFont()));
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    return run.traces;
}

TEST(TextFieldScript, EmbeddedTextIsMeasuredInWholeTwipsAndReadInWholePixels)
{
    // 195 + 195 + 100 twips: textWidth drops the half pixel, the box keeps it.
    EXPECT_EQ(autosizedField(7, "left", "AA "), lines({ "-27.5", "28.5", "24", "20" }));
    // Version 7 counts the ending spaces of any line, later ones not on a line set right.
    EXPECT_EQ(autosizedField(7, "right", "AA "), lines({ "-27.5", "28.5", "24", "20" }));
    EXPECT_EQ(autosizedField(8, "right", "AA "), lines({ "-22.5", "23.5", "19", "20" }));
    EXPECT_EQ(autosizedField(8, "center", " "), lines({ "-3", "4", "0", "20" }));
    EXPECT_EQ(autosizedField(8, "left", " "), lines({ "-8", "9", "5", "20" }));
    // No text has no height: the box is its gutters alone.
    EXPECT_EQ(autosizedField(8, "left", ""), lines({ "-3", "4", "0", "0" }));
}

// The textWidth of a field in the box font at 20 pixels showing `text`, with the tab
// stops `stops` (pixels) when any.
QString tabbedWidth(const std::string& text, const std::vector<int>& stops)
{
    Asm a;
    createField(a, "t", 1, 0, 0, 400, 100);
    setMemberBool(a, "t", "embedFonts", true);
    a.assignNew("f", "TextFormat", { "Box", 20.0 });
    if (!stops.empty()) {
        a.get("f").push("tabStops");
        for (auto it = stops.rbegin(); it != stops.rend(); ++it)
            a.pushInt(*it);
        a.pushInt(static_cast<int>(stops.size())).op(A::InitArray).op(A::SetMember);
    }
    a.get("f").get("t").callMethod("setNewTextFormat", 1).op(A::Pop);
    setMember(a, "t", "text", text);
    traceMember(a, "t", "textWidth");
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.define(toCode(TagCode::DefineFont2), 1, encodeFont(boxFont()));
    w.doAction(a.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    return run.traces.value(0);
}

TEST(TextFieldScript, TabsAdvanceToTheNextStop)
{
    // 'A' is 9.75 pixels: the tab after it goes to 32, the next after 41.75 to 64.
    EXPECT_EQ(tabbedWidth("A\tA\tA", {}), QStringLiteral("73"));
    // The paragraph's own stops; a tab past the last one takes no room.
    EXPECT_EQ(tabbedWidth("A\tA\tA\tA", { 20, 50 }), QStringLiteral("69"));
}

TEST(TextFieldScript, TextExtentIsAPlainObjectOfTheTextAndItsField)
{
    Asm a;
    a.assignNew("f", "TextFormat", { "_sans", 12.0 });
    a.push("e").pushArgs({ "some words to wrap", 50.0 }).get("f").callMethod("getTextExtent", 2);
    a.op(A::SetVariable);
    traceMember(a, "e", "__proto__");
    traceMember(a, "e", "textFieldWidth");
    a.get("e").push("textFieldHeight").op(A::GetMember).get("e").push("height").op(A::GetMember);
    a.op(A::Subtract).op(A::Trace);
    a.get("e").push("width").op(A::GetMember).pushInt(50).op(A::Less2).op(A::Trace);
    a.push("e").pushArgs({ "one" }).get("f").callMethod("getTextExtent", 1).op(A::SetVariable);
    a.get("e").push("textFieldWidth").op(A::GetMember).get("e").push("width").op(A::GetMember);
    a.op(A::Subtract).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "undefined", "50", "4", "true", "4" }));
}

// ---- TextSnapshot ------------------------------------------------------------------------------

// A font of 'A', 'B' and 'C' without outlines, each advancing 600 of the em (1024).
FontDefinition letterFont()
{
    FontDefinition font;
    font.version = 2;
    font.name = "Letters";
    font.hasLayout = true;
    font.ascent = 600;
    font.descent = 100;
    for (char code : { 'A', 'B', 'C' }) {
        FontGlyph glyph;
        glyph.code = uint16_t(code);
        glyph.advance = 600;
        font.glyphs.push_back(glyph);
    }
    return font;
}

// Static text of glyphs `indices` of the letter font, 20 pixels high, its baseline at 20
// pixels, each glyph 15 pixels wide.
StaticText letters(std::vector<uint16_t> indices)
{
    StaticText text;
    text.bounds = { 0, 2000, 0, 600 };
    TextRecord record;
    record.fontId = 1;
    record.height = 400;
    record.color = Rgba { 0, 0, 0, 255 };
    record.xOffset = 0;
    record.yOffset = 400;
    for (uint16_t i : indices)
        record.glyphs.push_back({ i, 300 });
    text.records.push_back(record);
    return text;
}

// "AB" at depth 1, "C" at depth 2 (lower on the stage), then `script`.
QStringList snapshotTraces(const Asm& script)
{
    Writer w(stageHeader(100, 100, 12.0, 8));
    w.define(toCode(TagCode::DefineFont2), 1, encodeFont(letterFont()));
    w.define(toCode(TagCode::DefineText), 2, encodeStaticText(letters({ 0, 1 })));
    w.define(toCode(TagCode::DefineText), 3, encodeStaticText(letters({ 2 })));
    w.place(placeAt(1, 2));
    w.place(placeAt(2, 3, 0, 50));
    w.doAction(script.bytes());
    w.showFrame();
    ScriptRun run;
    run.play(w);
    return run.traces;
}

TEST(TextSnapshotScript, ReadsSearchesAndSelectsTheClipsStaticText)
{
    Asm a;
    a.push("ts").get("_root").callMethod("getTextSnapshot", 0).op(A::SetVariable);
    a.traceCall("ts", "getCount");
    a.traceCall("ts", "getText", { 0.0, 3.0 });
    a.pushBool(true).pushArgs({ 0.0, 3.0 }).get("ts").callMethod("getText", 3).op(A::Trace);
    // Ranges are cut to the text and hold at least one character; one index is not enough.
    a.traceCall("ts", "getText", { 7.0, 1.0 });
    a.traceCall("ts", "getText", { -2.0, -5.0 });
    a.traceCall("ts", "getText", { 1.0 });
    a.pushBool(false).push("bc").push(0.0).get("ts").callMethod("findText", 3).op(A::Trace);
    a.pushBool(true).push("bc").push(0.0).get("ts").callMethod("findText", 3).op(A::Trace);
    a.pushBool(true).pushArgs({ 0.0, 2.0 }).get("ts").callMethod("setSelected", 3).op(A::Pop);
    a.traceCall("ts", "getSelectedText");
    a.traceCall("ts", "getSelected", { 2.0, 3.0 });
    a.traceCall("ts", "getSelected", { 1.0, 3.0 });
    // Pixels of the clip: B is the second square of the first line, C is 50 pixels down.
    a.traceCall("ts", "hitTestTextNearPos", { 20.0, 15.0 });
    a.traceCall("ts", "hitTestTextNearPos", { 5.0, 70.0, 30.0 });
    a.traceCall("ts", "hitTestTextNearPos", { 90.0, 90.0, 1.0 });
    // No clip, no text.
    a.assignNew("none", "TextSnapshot");
    a.traceCall("none", "getCount");
    EXPECT_EQ(snapshotTraces(a),
        lines({ "3", "ABC", "AB\nC", "C", "A", "undefined", "1", "-1", "AB", "false", "true", "1", "2", "-1",
            "undefined" }));
}

TEST(TextSnapshotScript, GetTextSnapshotMakesWhatTheGlobalClassIs)
{
    Asm made;
    made.trace("made");
    Asm a;
    // getTextSnapshot makes whatever the global TextSnapshot is.
    // A clip without static text has none to give.
    a.pushArgs({ "clip", 5.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.push("empty").get("clip").callMethod("getTextSnapshot", 0).op(A::SetVariable);
    a.traceCall("empty", "getCount");
    a.traceCall("empty", "getText", { 0.0, 5.0 });
    a.pushArgs({ 0.0, 5.0 }).get("empty").callMethod("getTextRunInfo", 2).push("length").op(A::GetMember);
    a.op(A::Trace);
    a.get("_global").push("TextSnapshot").function("", { "clip" }, made).op(A::SetMember);
    a.get("_root").callMethod("getTextSnapshot", 0).op(A::Pop);
    EXPECT_EQ(snapshotTraces(a), lines({ "0", "", "0", "made" }));
}

// Each rule as "selectors{name=value;...}", or "fails".
QString parsedSheet(const char* css)
{
    std::vector<script::CssRule> rules;
    if (!script::parseStyleSheet(QString::fromUtf8(css), rules))
        return QStringLiteral("fails");
    QString out;
    for (const script::CssRule& r : rules) {
        out += r.selectors.join(u',') + u'{';
        for (const script::CssProperty& p : r.properties)
            out += p.name + u'=' + p.value + u';';
        out += u'}';
    }
    return out;
}

TEST(StyleSheetScript, CssIsReadWithoutQuotingOrEscapes)
{
    EXPECT_EQ(parsedSheet(" a , b{ kerning: 5 } c {x:y}"), "a,b{kerning=5 ;}c{x=y;}");
    EXPECT_EQ(parsedSheet(""), "");
    // Names keep trailing spaces and lose their dashes; values keep trailing spaces.
    EXPECT_EQ(parsedSheet("k{  font-size  :  1 2 ;a--b-:v}"), "k{fontSize  =1 2 ;a-b=v;}");
    // Braces and semicolons belong to a name up to its colon.
    EXPECT_EQ(parsedSheet("a{name}b{:value}"), "a{name}b{=value;}");
    EXPECT_EQ(parsedSheet("b{;;key: v;;o: w;}"), "b{;;key=v;;o=w;}");
    EXPECT_EQ(parsedSheet("a}{:}"), "a}{}");
    EXPECT_EQ(parsedSheet("\"q\\\" {c: \"r\\}"), "\"q\\\"{c=\"r\\;}");
    // An unclosed block may end between declarations, never inside one.
    EXPECT_EQ(parsedSheet("a{"), "a{}");
    EXPECT_EQ(parsedSheet("a{key:;"), "a{key=;}");
    for (const char* broken : { "a{key:value", "a{:", "a{name", "a{name}", "a{x: y;;}", "name", "{c:}",
             "long key {c: d}", "a{with space: v}", "a{x:y}; junk", "a,{x:y}" })
        EXPECT_EQ(parsedSheet(broken), "fails") << broken;
}

// s = new TextField.StyleSheet()
Asm& newStyleSheet(Asm& a, const std::string& variable)
{
    return a.push(variable).pushInt(0).get("TextField").push("StyleSheet").op(A::NewMethod).op(A::SetVariable);
}

TEST(StyleSheetScript, StylesAreCopiedAndTransformedIntoTextFormats)
{
    Asm a;
    newStyleSheet(a, "s");
    a.get("s").push("_css").op(A::GetMember).op(A::Trace);
    a.traceCall("s", "parseCSS", { "a, b { color: #FF0000; font-size: 12px; font-weight: bold } c {" });
    a.traceCall("s", "parseCSS", { "d { color }" });
    a.pushArgs({ "a" }).get("s").callMethod("getStyle", 1).push("fontSize").op(A::GetMember).op(A::Trace);
    a.pushArgs({ "a" }).get("s").callMethod("getStyle", 1).get("s").push("_css").op(A::GetMember).push("a").op(A::GetMember);
    a.op(A::Equals2).op(A::Trace);
    for (const auto& [style, field] : { std::pair { "b", "color" }, { "b", "size" }, { "b", "bold" }, { "c", "color" } })
        a.get("s").push("_styles").op(A::GetMember).push(style).op(A::GetMember).push(field).op(A::GetMember).op(A::Trace);
    a.pushArgs({ "e", "str" }).get("s").callMethod("setStyle", 2).op(A::Pop);
    a.traceCall("s", "getStyle", { "e" });
    a.get("s").push("_styles").op(A::GetMember).push("e").op(A::GetMember).op(A::Trace);
    a.get("s").callMethod("getStyleNames", 0).push("length").op(A::GetMember).op(A::Trace);
    a.get("s").callMethod("clear", 0).op(A::Pop);
    a.get("s").callMethod("getStyleNames", 0).push("length").op(A::GetMember).op(A::Trace);
    a.traceCall("s", "getStyle", { "a" });
    EXPECT_EQ(traceOf(a),
        lines({ "undefined", "true", "false", "12px", "false", "16711680", "12", "true", "null", "null", "null",
            "4", "0", "null" }));
}

} // namespace
} // namespace swf::test
