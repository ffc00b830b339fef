// Static text, text fields and buttons: what they draw, what their API gives the script
// layer, and how buttons follow the pointer.
#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/BitWriter.h"
#include "swf/format/Buttons.h"
#include "swf/format/Fonts.h"
#include "swf/format/Records.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"
#include "swf/kinds/ButtonInstance.h"
#include "swf/kinds/EditTextInstance.h"
#include "swf/kinds/FontFace.h"
#include "swf/kinds/HtmlText.h"
#include "swf/kinds/StaticTextInstance.h"
#include "swf/kinds/TextCodec.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace swf::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(128, 128, 128);

uint16_t code(TagCode tag)
{
    return toCode(tag);
}

QImage drawStage(const Stage& stage, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Renderer renderer;
    renderer.render(painter, stage, QRectF(image.rect()));
    return image;
}

// A font whose only glyph, for 'A', is a square of half the em standing on the baseline.
// Its layout: ascent 600, descent 100, advance 600 (of 1024).
FontDefinition squareFont()
{
    ShapeBuilder b;
    b.fill1(1).moveTo(0, 0).lineTo(512, 0).lineTo(512, -512).lineTo(0, -512).lineTo(0, 0);
    FontDefinition font;
    font.version = 2;
    font.name = "Square";
    font.hasLayout = true;
    font.ascent = 600;
    font.descent = 100;
    FontGlyph glyph;
    glyph.records = b.build().records;
    glyph.code = 'A';
    glyph.advance = 600;
    font.glyphs.push_back(glyph);
    return font;
}

// ---- Static text -------------------------------------------------------------------------------

TEST(StaticText, GlyphsSitWhereTheRecordsPutThem)
{
    StaticText text;
    text.bounds = { 0, 1200, 0, 800 };
    TextRecord record;
    record.fontId = 1;
    record.height = 400; // the square is 200 twips
    record.color = Rgba { 255, 0, 0, 255 };
    record.xOffset = 200;
    record.yOffset = 600;
    record.glyphs = { { 0, 300 }, { 0, 300 } };
    text.records.push_back(record);
    Writer w(stageHeader(60, 40));
    w.setBackground({ 255, 255, 255 });
    w.define(code(TagCode::DefineFont2), 1, encodeFont(squareFont()));
    w.define(code(TagCode::DefineText), 2, encodeStaticText(text));
    w.place(placeAt(1, 2));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    const QImage image = drawStage(stage, { 60, 40 });
    EXPECT_EQ(pixel(image, 15, 25), kRed);
    EXPECT_EQ(pixel(image, 22, 25), kWhite) << "between the glyphs";
    EXPECT_EQ(pixel(image, 30, 25), kRed);
    EXPECT_EQ(pixel(image, 15, 35), kWhite) << "below the baseline";
    auto* shown = dynamic_cast<StaticTextInstance*>(stage.root().at(1));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(), QStringLiteral("AA"));
}

// Two squares 10 px wide, 5 px apart, standing on a baseline 30 px down a 60x40 px box.
std::unique_ptr<Stage> stageWithText(const Matrix& place, std::optional<uint8_t> csmFlags)
{
    StaticText text;
    text.bounds = { 0, 1200, 0, 800 };
    TextRecord record;
    record.fontId = 1;
    record.height = 400;
    record.color = Rgba { 255, 0, 0, 255 };
    record.xOffset = 200;
    record.yOffset = 600;
    record.glyphs = { { 0, 300 }, { 0, 300 } };
    text.records.push_back(record);
    Writer w(stageHeader(200, 200));
    w.define(code(TagCode::DefineFont2), 1, encodeFont(squareFont()));
    w.define(code(TagCode::DefineText), 2, encodeStaticText(text));
    if (csmFlags) {
        // CSMTextSettings after its TextID: UseFlashType:2 GridFit:3 reserved:3, then
        // Thickness and Sharpness (F32) and a reserved byte.
        const uint8_t body[] = { *csmFlags, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
        w.define(code(TagCode::CSMTextSettings), 2, body);
    }
    PlaceObject placed = placeAt(1, 2);
    placed.matrix = place;
    w.place(placed);
    w.showFrame();
    auto stage = std::make_unique<Stage>(readBack(w));
    stage->start();
    return stage;
}

TEST(StaticText, HitByItsGlyphsOrWhenAdvancedByItsBoxOnTheStage)
{
    const auto px = [](double x, double y) { return QPointF(x * kTwips, y * kTwips); };
    auto plain = stageWithText(Matrix {}, std::nullopt);
    EXPECT_TRUE(plain->objectAt(px(15, 25)));
    EXPECT_FALSE(plain->objectAt(px(22, 25))) << "between the glyphs";
    EXPECT_FALSE(plain->objectAt(px(15, 35))) << "below the baseline, in the box";
    EXPECT_FALSE(plain->objectAt(px(45, 10)));

    // Turned 45 degrees and moved to (50, 10): the point lies left of the turned box but
    // inside the upright box around it.
    const double r = std::sqrt(0.5);
    const Matrix turned { r, r, -r, r, 50 * kTwips, 10 * kTwips };
    for (const uint8_t flags : { 0x40, 0x48 }) {
        auto advanced = stageWithText(turned, flags);
        EXPECT_TRUE(advanced->objectAt(px(25, 15))) << int(flags);
        EXPECT_FALSE(advanced->objectAt(px(95, 50))) << int(flags);
    }
    EXPECT_FALSE(stageWithText(turned, 0x08)->objectAt(px(25, 15))) << "normal anti-aliasing";
    EXPECT_FALSE(stageWithText(turned, std::nullopt)->objectAt(px(25, 15)));
}

TEST(StaticText, DamagedRecordsDrawWhatTheyCan)
{
    StaticText text;
    TextRecord record;
    record.fontId = 1;
    record.height = 400;
    record.glyphs = { { 0, 300 }, { 7, 300 } }; // the second glyph is not in the font
    text.records.push_back(record);
    const std::vector<uint8_t> whole = encodeStaticText(text);
    const std::vector<uint8_t> font = encodeFont(squareFont());
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        Writer w(stageHeader(20, 20));
        w.define(code(TagCode::DefineFont2), 1, std::span(font).first(std::min(font.size(), size * 2)));
        w.define(code(TagCode::DefineText2), 2, std::span(whole).first(size));
        w.place(placeAt(1, 2));
        w.showFrame();
        Stage stage(readBack(w));
        stage.start();
        (void)drawStage(stage, { 20, 20 });
    }
}

// ---- Text fields -------------------------------------------------------------------------------

EditTextDefinition field()
{
    EditTextDefinition t;
    t.bounds = { 0, 1200, 0, 600 };
    t.fontId = 1;
    t.fontHeight = 400; // glyphs of 200 twips, advancing 234
    t.color = Rgba { 0, 0, 255, 255 };
    t.useOutlines = true;
    t.border = true;
    t.initialText = "AA";
    return t;
}

struct Field {
    std::unique_ptr<Stage> stage;
    EditTextInstance* text = nullptr;
    QImage draw() const { return drawStage(*stage, { 80, 50 }); }
};

// The field at (10.5, 10.5) pixels over a grey stage, so that its border lies on whole pixels.
Field showField(const EditTextDefinition& definition, uint8_t version = 8)
{
    Writer w(stageHeader(80, 50, 12, version));
    w.setBackground({ 128, 128, 128 });
    w.define(code(TagCode::DefineFont2), 1, encodeFont(squareFont()));
    w.define(code(TagCode::DefineEditText), 2, encodeEditText(definition));
    PlaceObject place = placeAt(1, 2);
    place.matrix->tx = 210;
    place.matrix->ty = 210;
    w.place(place);
    w.showFrame();
    Field f;
    f.stage = std::make_unique<Stage>(readBack(w));
    f.stage->start();
    f.text = dynamic_cast<EditTextInstance*>(f.stage->root().at(1));
    return f;
}

TEST(TextField, EmbeddedGlyphsBorderAndBackground)
{
    const Field f = showField(field());
    ASSERT_TRUE(f.text);
    const QImage image = f.draw();
    // The first glyph: 2 pixels in from the box; its baseline an ascent (11.7 pixels)
    // below the top gutter.
    EXPECT_EQ(pixel(image, 16, 18), kBlue);
    EXPECT_EQ(pixel(image, 28, 18), kBlue) << "the second glyph";
    EXPECT_EQ(pixel(image, 16, 27), kWhite) << "the background";
    EXPECT_EQ(pixel(image, 10, 25), QColor(0, 0, 0)) << "the border";
    EXPECT_EQ(pixel(image, 5, 5), kGrey) << "outside the field";
    EXPECT_EQ(f.text->text(), QStringLiteral("AA"));
}

TEST(TextField, AlignmentPlacesTheLine)
{
    EditTextDefinition right = field();
    right.hasLayout = true;
    right.align = 1;
    const QImage image = showField(right).draw();
    EXPECT_EQ(pixel(image, 50, 18), kBlue);
    EXPECT_EQ(pixel(image, 16, 18), kWhite);
}

TEST(TextField, HtmlSetsColourAndParagraphAlignment)
{
    EditTextDefinition html = field();
    html.html = true;
    Field f = showField(html);
    f.text->setHtmlText(QStringLiteral("<p align=\"center\"><font color=\"#ff0000\">A</font></p>"));
    const QImage image = f.draw();
    EXPECT_EQ(pixel(image, 39, 18), kRed);
    EXPECT_EQ(pixel(image, 16, 18), kWhite);
    EXPECT_EQ(f.text->text(), QStringLiteral("A"));
    EXPECT_TRUE(f.text->htmlText().contains(QStringLiteral("ALIGN=\"CENTER\"")));
    EXPECT_TRUE(f.text->htmlText().contains(QStringLiteral("COLOR=\"#FF0000\"")));
}

TEST(TextField, WordWrapBreaksLinesAndScrollMovesThem)
{
    EditTextDefinition wrapped = field();
    wrapped.wordWrap = true;
    wrapped.multiline = true;
    wrapped.bounds = { 0, 700, 0, 700 }; // room for two glyphs a line, and for two lines
    wrapped.initialText = "AA AA AA AA";
    Field f = showField(wrapped);
    EXPECT_EQ(f.text->lineCount(), 4);
    EXPECT_GT(f.text->maxScroll(), 1);
    EXPECT_EQ(f.text->bottomScroll(), 2);
    const QImage before = f.draw();
    EXPECT_EQ(pixel(before, 16, 18), kBlue);
    EXPECT_EQ(pixel(before, 16, 32), kBlue) << "the second line";
    f.text->setScroll(4);
    EXPECT_EQ(f.text->scroll(), f.text->maxScroll());
    f.text->setWordWrap(false);
    EXPECT_EQ(f.text->lineCount(), 1);
}

TEST(TextField, PasswordShowsStarsButKeepsTheText)
{
    EditTextDefinition secret = field();
    secret.password = true;
    const Field f = showField(secret);
    EXPECT_EQ(f.text->text(), QStringLiteral("AA"));
    // The font has no star: nothing is drawn.
    EXPECT_EQ(pixel(f.draw(), 16, 18), kWhite);
}

TEST(TextField, PropertiesTheScriptLayerChanges)
{
    Field f = showField(field());
    f.text->setBorder(false);
    f.text->setBackground(false);
    f.text->setTextColor({ 255, 0, 0, 255 });
    f.text->setText(QStringLiteral("A\nA"));
    EXPECT_EQ(f.text->text(), QStringLiteral("A\rA"));
    EXPECT_EQ(f.text->lineCount(), 1) << "a field of one line";
    f.text->setMultiline(true);
    EXPECT_EQ(f.text->lineCount(), 2);
    const QImage image = f.draw();
    EXPECT_EQ(pixel(image, 16, 18), kRed);
    EXPECT_EQ(pixel(image, 40, 27), kGrey) << "no background any more";
    EXPECT_EQ(pixel(image, 10, 25), kGrey) << "no border any more";

    TextFormat large;
    large.size = 800;
    f.text->setFormat(1, 3, large);
    EXPECT_EQ(f.text->formatAt(0).size, 400);
    EXPECT_EQ(f.text->formatAt(2).size, 800);

    f.text->setAutoSize(EditTextInstance::AutoSize::Left);
    EXPECT_NEAR(f.text->box().height(), f.text->textHeight() + 80, 0.5);
}

TEST(TextField, SystemFontsDrawChineseText)
{
    EditTextDefinition device = field();
    device.useOutlines = false;
    device.fontId.reset();
    device.fontClass = "_sans";
    device.initialText = "\xe4\xb8\xad\xe6\x96\x87"; // 中文
    device.bounds = { 0, 1400, 0, 600 };
    const Field f = showField(device);
    const QImage image = f.draw();
    int inked = 0;
    for (int y = 12; y < 38; ++y)
        for (int x = 12; x < 80; ++x)
            inked += qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100;
    EXPECT_GT(inked, 20);
}

TEST(TextField, StandardFaceWidthsStandInForAMissingFace)
{
    const auto other = [](QChar) { return 7.0; };
    using Widths = std::optional<std::vector<double>>;
    EXPECT_EQ(standardAdvances(QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif"), false, false, 240,
                  QStringLiteral("1a \u4e2d"), other),
        (Widths { { 120, 240 * 0.444, 60, 7 } }))
        << "characters past ASCII measured by the system's font";
    EXPECT_EQ(standardAdvances(QStringLiteral("_sans"), QStringLiteral("DejaVu Sans"), false, false, 1000,
                  QStringLiteral("iW"), other),
        (Widths { { 222, 944 } }));
    EXPECT_EQ(standardAdvances(QStringLiteral("_typewriter"), QStringLiteral("DejaVu Sans Mono"), false, false,
                  100, QStringLiteral("i~"), other),
        (Widths { { 60, 60 } }));
    // The system's own font where it has the face or one of the same widths, for other
    // faces, and for other styles.
    EXPECT_EQ(standardAdvances(QStringLiteral("_serif"), QStringLiteral("Liberation Serif"), false, false, 240,
                  QStringLiteral("1"), other),
        std::nullopt);
    EXPECT_EQ(standardAdvances(QStringLiteral("Arial"), QStringLiteral("Arial"), false, false, 240,
                  QStringLiteral("1"), other),
        std::nullopt);
    EXPECT_EQ(standardAdvances(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), false, false, 240,
                  QStringLiteral("1"), other),
        std::nullopt);
    EXPECT_EQ(standardAdvances(QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"), true, false, 240,
                  QStringLiteral("1"), other),
        std::nullopt);
}

TEST(TextField, HorizontalScrollOfSystemFontText)
{
    // A field of 10 pixels in Times New Roman of 12: two digits of 6 pixels overflow the
    // 6 pixels inside the gutters by 6, one fits.
    EditTextDefinition device = field();
    device.useOutlines = false;
    device.fontId.reset();
    device.fontClass = "Times New Roman";
    device.fontHeight = 240;
    device.bounds = { 0, 200, 0, 400 };
    device.initialText = "12";
    const Field f = showField(device);
    EXPECT_NEAR(f.text->textWidth(), 240, 1);
    EXPECT_NEAR(f.text->maxHscroll(), 120, 1);
    f.text->setHscroll(500);
    EXPECT_NEAR(f.text->hscroll(), 120, 1);
    f.text->setText(QStringLiteral("1"));
    EXPECT_EQ(f.text->maxHscroll(), 0);
}

TEST(TextField, OldMoviesTextIsReadAsGbkOrWestern)
{
    EXPECT_EQ(movieText("\xc4\xe3\xba\xc3", 5), QStringLiteral("你好"));
    EXPECT_EQ(movieText("\xe4\xbd\xa0\xe5\xa5\xbd", 5), QStringLiteral("你好")) << "valid UTF-8 stays UTF-8";
    EXPECT_EQ(movieText("\xe4\xbd\xa0\xe5\xa5\xbd", 6), QStringLiteral("你好"));
    // A high byte before a plain one, or alone at the end, is a Western letter.
    EXPECT_EQ(movieText("test\xc5test", 5), QStringLiteral("test\u00c5test"));
    EXPECT_EQ(movieText("caf\xe9", 5), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(movieText("\x80", 5), QStringLiteral("\u20ac"));
    EXPECT_EQ(toMovieText(QStringLiteral("你好"), 5), std::string("\xc4\xe3\xba\xc3"));

    EditTextDefinition gbk = field();
    gbk.variableName = "\xc4\xe3";
    const Field f = showField(gbk, 5);
    EXPECT_EQ(f.text->variable(), QStringLiteral("你"));
}

TEST(TextField, HtmlSubset)
{
    TextFormat base;
    const std::vector<TextSpan> spans = parseHtml(
        QStringLiteral(
            "<p align='right'><b>x</b>&amp;<font face=\"Arial\" size=\"20\" color=\"#00ff00\">y</font>"
            "<br><u><a href=\"http://a\">z</a></u></p><p><i>w</i>&lt;&#x4e2d;</p><unknown>v</unknown>"),
        base);
    const auto find = [&](const QString& text) {
        const auto it
            = std::find_if(spans.begin(), spans.end(), [&](const TextSpan& s) { return s.text == text; });
        EXPECT_NE(it, spans.end()) << text.toStdString();
        return it == spans.end() ? TextFormat {} : it->format;
    };
    QString joined;
    for (const TextSpan& s : spans)
        joined += s.text;
    EXPECT_EQ(joined, QStringLiteral("x&y\rz\rw<\u4e2d\rv"));
    EXPECT_TRUE(find(QStringLiteral("x")).bold);
    EXPECT_EQ(find(QStringLiteral("x")).align, TextFormat::Align::Right);
    EXPECT_FALSE(find(QStringLiteral("&")).bold);
    const TextFormat y = find(QStringLiteral("y"));
    EXPECT_EQ(y.font, QStringLiteral("Arial"));
    EXPECT_EQ(y.size, 400);
    EXPECT_EQ(y.color, (Rgba { 0, 255, 0, 255 }));
    EXPECT_TRUE(find(QStringLiteral("z")).underline);
    EXPECT_EQ(find(QStringLiteral("z")).url, QStringLiteral("http://a"));
    EXPECT_TRUE(find(QStringLiteral("w")).italic);
    EXPECT_EQ(find(QStringLiteral("w")).align, TextFormat::Align::Left);
    const std::vector<TextSpan> again = parseHtml(toHtml(spans), base);
    QString all;
    for (const TextSpan& s : again)
        all += s.text;
    // Each paragraph written comes back ended.
    EXPECT_EQ(all, QStringLiteral("x&y\rz\rw<\u4e2d\rv\r"));
}

QString joinedText(const std::vector<TextSpan>& spans)
{
    QString out;
    for (const TextSpan& s : spans)
        out += s.text;
    return out;
}

TEST(TextField, HtmlWhiteSpaceAndParagraphEnds)
{
    const TextFormat base;
    const HtmlOptions multiline { true, false };
    const HtmlOptions singleLine { false, false };
    const HtmlOptions condensed { true, true };
    struct Case {
        const char* html;
        HtmlOptions options;
        QString text;
    };
    const Case cases[] = {
        // Text of nothing but white space between tags is dropped; line ends in text end
        // paragraphs in any field.
        { "\n<p> </p>\n<b>\n</b>", multiline, QStringLiteral("\r") },
        { " <b> a\nb </b> ", singleLine, QStringLiteral(" a\rb ") },
        // <br>, </p> and </li> end paragraphs of multiline fields only.
        { "<p>a</p><p>b<br>c</p>", multiline, QStringLiteral("a\rb\rc\r") },
        { "<p>a</p><p>b<br>c</p>", singleLine, QStringLiteral("abc") },
        // A <p> in an open paragraph starts none: the first </p> ends the paragraph, the
        // next ends nothing; a list item mid-line starts a line.
        { "<p>a<p>b</p></p>", multiline, QStringLiteral("ab\r") },
        { "<p>a<p>b</p>c<p>d</p>e</p>", multiline, QStringLiteral("ab\rcd\re") },
        { "<p>a <p>b<p>c</p> d</p> e</p>", multiline, QStringLiteral("a bc\r d e") },
        { "a<li>b</li>", multiline, QStringLiteral("a\rb\r") },
        // Only spaces, tabs and line ends condense.
        { " a \t\n b\x0b\x0b", condensed, QStringLiteral(" a b\x0b\x0b") },
    };
    for (const Case& t : cases)
        EXPECT_EQ(joinedText(parseHtml(QString::fromUtf8(t.html), base, t.options)), t.text) << t.html;
}

TEST(TextField, HtmlParagraphEndFormats)
{
    const TextFormat base;
    const auto ends = [&](const char* html) {
        std::vector<TextFormat> out;
        for (const TextSpan& s : parseHtml(QString::fromUtf8(html), base))
            for (QChar c : s.text)
                if (c == u'\r')
                    out.push_back(s.format);
        return out;
    };
    const Rgba black = base.color;
    const Rgba grey12 { 0x12, 0x12, 0x12, 255 };
    const Rgba grey13 { 0x13, 0x13, 0x13, 255 };
    const Rgba dark { 1, 1, 1, 255 };
    // The end of a </p> has the characters of the last <font> closed, whatever the text
    // before it, and the paragraph's layout.
    auto e = ends("<p>a<font color=\"#121212\"></font><p>b</p></p>");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].color, grey12);
    e = ends("<p>a<font color=\"#121212\"></font><font color=\"#131313\"><font color=\"#141414\"></font>"
             "</font><p>b</p><font color=\"#010101\"><p align=\"right\">c</p></font>");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].color, grey13) << "the outer font closes last";
    EXPECT_EQ(e[1].color, grey13) << "a font still open does not count";
    EXPECT_EQ(e[1].align, TextFormat::Align::Right);
    // ... and none of the open styles or link when no <font> has closed.
    e = ends("<b><a href=\"http://a\"><u><p align=\"center\"></p></u></a></b>");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_FALSE(e[0].bold || e[0].underline);
    EXPECT_TRUE(e[0].url.isEmpty());
    EXPECT_EQ(e[0].align, TextFormat::Align::Center);
    // A list item ends in the format of the point where it closes.
    e = ends("<li><font color=\"#010101\">text</font></li><font color=\"#010101\"><i><li></li></i></font>");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].color, black);
    EXPECT_TRUE(e[0].bullet);
    EXPECT_EQ(e[1].color, dark);
    EXPECT_TRUE(e[1].italic && e[1].bullet);
    // A paragraph around a list item ends after it, as a paragraph.
    e = ends("<font color=\"#010101\"><textformat rightmargin=\"3\"><p><li></li></p></textformat></font>");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_TRUE(e[0].bullet);
    EXPECT_EQ(e[0].color, dark);
    EXPECT_FALSE(e[1].bullet);
    EXPECT_EQ(e[1].color, black);
    EXPECT_EQ(e[1].rightMargin, 60);
}

TEST(TextField, HtmlColoursAndKerning)
{
    const TextFormat base;
    const auto colour = [&](const char* value) {
        const auto spans
            = parseHtml(QStringLiteral("<font color=\"%1\">x</font>").arg(QString::fromUtf8(value)), base);
        return spans.empty() ? Rgba {} : spans.front().format.color;
    };
    EXPECT_EQ(colour("#234"), (Rgba { 0, 0x02, 0x34, 255 })) << "digits as a number, not shorthand";
    EXPECT_EQ(colour("#23456789a"), (Rgba { 0x56, 0x78, 0x9a, 255 })) << "the last six digits";
    EXPECT_EQ(colour("# abfg"), (Rgba { 0, 0x0a, 0xbf, 255 })) << "up to the first other character";
    EXPECT_EQ(colour("202020"), base.color) << "no '#'";
    EXPECT_EQ(colour("#g1"), base.color);
    const QString kerned = QStringLiteral("<font kerning=\"1\">k</font>");
    EXPECT_TRUE(parseHtml(kerned, base).front().format.kerning);
    EXPECT_FALSE(parseHtml(kerned, base, { true, false, false }).front().format.kerning);
}

TEST(TextField, HtmlClosingTagRestoresTheFormatBeforeIt)
{
    const auto spans = parseHtml(QStringLiteral("<textformat tabstops=\"1,2,3\">a<textformat tabstops=\"4,5\">"
                                                "b</textformat>c</textformat>"),
        TextFormat {});
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[1].format.tabStops, (std::vector<double> { 4, 5 }));
    EXPECT_EQ(spans[2].text, QStringLiteral("c"));
    EXPECT_EQ(spans[2].format.tabStops, (std::vector<double> { 1, 2, 3 }));
}

TEST(TextField, HtmlFontSizesAreWholePointsWithinLimits)
{
    const auto sizes = [](const char* html) {
        std::vector<double> out;
        for (const TextSpan& s : parseHtml(QString::fromUtf8(html), TextFormat {}))
            out.push_back(s.format.size / 20);
        return out;
    };
    EXPECT_EQ(sizes("<font size=\"1.9\">a<font size=\"+0.2\">b</font></font>"), (std::vector<double> { 1 }));
    EXPECT_EQ(sizes("<font size=\"3x\">a</font><font size=\"x\">b</font>"), (std::vector<double> { 3, 12 }));
    EXPECT_EQ(sizes("<font size=\"126\">a<font size=\"+1\">b<font size=\"+1\">c</font></font></font>"),
        (std::vector<double> { 126, 127 }));
    EXPECT_EQ(sizes("<font size=\"0\">a</font><font size=\"300\">b</font><font size=\"-20\">c</font>"),
        (std::vector<double> { 1, 127, 1 }));
}

TEST(TextField, HtmlClosingTagThatIsNotInnermostIsIgnored)
{
    const auto spans = parseHtml(QStringLiteral("<b>a<i>b</b>c</i>d</b>e"), TextFormat {});
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[1].text, QStringLiteral("bc"));
    EXPECT_TRUE(spans[1].format.bold && spans[1].format.italic);
    EXPECT_EQ(spans[2].text, QStringLiteral("d"));
    EXPECT_TRUE(spans[2].format.bold && !spans[2].format.italic);
    EXPECT_FALSE(spans[3].format.bold);
}

TEST(TextField, HtmlOutputOfParagraphEnds)
{
    TextFormat bold;
    bold.bold = true;
    const TextFormat plain;
    const QString open = QStringLiteral("<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
                                        "COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">");
    const QString close = QStringLiteral("</FONT></P>");
    // The empty paragraph after the last end is not written; an end in another format is
    // written as an empty run, an empty paragraph in the format of its end.
    EXPECT_EQ(toHtml({ { QStringLiteral("ab"), plain }, { QStringLiteral("\r"), bold } }),
        open + QStringLiteral("ab<B></B>") + close);
    EXPECT_EQ(toHtml({ { QStringLiteral("\r"), bold }, { QStringLiteral("c\r"), plain } }),
        open + QStringLiteral("<B></B>") + close + open + QStringLiteral("c") + close);
    // A paragraph has the alignment of its first run.
    TextFormat right;
    right.align = TextFormat::Align::Right;
    EXPECT_EQ(toHtml({ { QStringLiteral("a"), right }, { QStringLiteral("b"), plain } }),
        QString(open).replace(QStringLiteral("LEFT"), QStringLiteral("RIGHT")) + QStringLiteral("ab")
            + close);
}

// ---- Buttons -----------------------------------------------------------------------------------

class Transitions : public StageObserver {
public:
    void buttonTransition(DisplayObject&, ButtonTransition t) override { seen.push_back(t); }
    std::vector<ButtonTransition> seen;
};

ButtonRecord record(uint16_t character, bool up, bool over, bool down, bool hit)
{
    ButtonRecord r;
    r.characterId = character;
    r.depth = 1;
    r.up = up;
    r.over = over;
    r.down = down;
    r.hitTest = hit;
    return r;
}

// Buttons of 20x20 pixels: red up, green over, blue down.
void defineStates(Writer& w)
{
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 20, 20, { 0, 255, 0 }));
    w.defineShape(3, filledRect(0, 0, 20, 20, { 0, 0, 255 }));
}

ButtonDefinition threeStates(bool menu)
{
    ButtonDefinition b;
    b.trackAsMenu = menu;
    b.records = { record(1, true, false, false, true), record(2, false, true, false, false),
        record(3, false, false, true, false) };
    return b;
}

QPointF at(int xPx, int yPx)
{
    return QPointF(xPx * kTwips, yPx * kTwips);
}

TEST(Button, StatesFollowThePointer)
{
    Writer w(stageHeader(60, 40));
    w.setBackground({ 255, 255, 255 });
    defineStates(w);
    w.define(code(TagCode::DefineButton2), 4, encodeButton(threeStates(false)));
    w.place(placeAt(1, 4, 10, 10));
    w.showFrame();
    Stage stage(readBack(w));
    Transitions transitions;
    stage.addObserver(&transitions);
    stage.start();
    const auto shown = [&] { return pixel(drawStage(stage, { 60, 40 }), 20, 20); };

    EXPECT_EQ(shown(), kRed);
    stage.input().move(at(20, 20));
    EXPECT_EQ(shown(), kGreen);
    EXPECT_EQ(stage.input().cursor(), Cursor::Hand);
    stage.input().press();
    EXPECT_EQ(shown(), kBlue);
    stage.input().move(at(50, 35));
    EXPECT_EQ(shown(), kGreen) << "pressed and dragged off: the over state";
    stage.input().move(at(20, 20));
    EXPECT_EQ(shown(), kBlue);
    stage.input().release();
    EXPECT_EQ(shown(), kGreen);
    stage.input().press();
    stage.input().move(at(50, 35));
    stage.input().release();
    EXPECT_EQ(shown(), kRed);
    EXPECT_EQ(stage.input().cursor(), Cursor::Arrow);
    using T = ButtonTransition;
    EXPECT_EQ(transitions.seen,
        (std::vector { T::IdleToOverUp, T::OverUpToOverDown, T::OverDownToOutDown, T::OutDownToOverDown,
            T::OverDownToOverUp, T::OverUpToOverDown, T::OverDownToOutDown, T::OutDownToIdle }));
    stage.removeObserver(&transitions);
}

TEST(Button, HitAreaAloneTakesThePointer)
{
    // Nothing shows in the up state; the hit area, a square at the right, takes the pointer.
    ButtonDefinition b;
    b.records = { record(2, false, true, false, false) };
    ButtonRecord hit = record(1, false, false, false, true);
    hit.matrix.tx = 30 * kTwips;
    b.records.push_back(hit);
    Writer w(stageHeader(60, 40));
    w.setBackground({ 255, 255, 255 });
    defineStates(w);
    w.define(code(TagCode::DefineButton2), 4, encodeButton(b));
    w.place(placeAt(1, 4));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    EXPECT_EQ(pixel(drawStage(stage, { 60, 40 }), 40, 10), kWhite) << "the hit area is not drawn";
    stage.input().move(at(10, 10));
    EXPECT_EQ(stage.input().over(), nullptr);
    stage.input().move(at(40, 10));
    ASSERT_NE(stage.input().over(), nullptr);
    EXPECT_EQ(pixel(drawStage(stage, { 60, 40 }), 10, 10), kGreen);
}

TEST(Button, MenuButtonsPassThePressAlong)
{
    Writer w(stageHeader(60, 40));
    w.setBackground({ 255, 255, 255 });
    defineStates(w);
    w.define(code(TagCode::DefineButton2), 4, encodeButton(threeStates(true)));
    w.place(placeAt(1, 4, 0, 10));
    w.place(placeAt(2, 4, 30, 10));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    auto* first = dynamic_cast<ButtonInstance*>(stage.root().at(1));
    auto* second = dynamic_cast<ButtonInstance*>(stage.root().at(2));
    ASSERT_TRUE(first && second);
    stage.input().move(at(10, 20));
    stage.input().press();
    EXPECT_EQ(first->pointerState(), ButtonInstance::PointerState::OverDown);
    stage.input().move(at(40, 20));
    EXPECT_EQ(first->pointerState(), ButtonInstance::PointerState::Idle);
    EXPECT_EQ(second->pointerState(), ButtonInstance::PointerState::OverDown);
    const QImage image = drawStage(stage, { 60, 40 });
    EXPECT_EQ(pixel(image, 10, 20), kRed);
    EXPECT_EQ(pixel(image, 40, 20), kBlue);
    stage.input().release();
    EXPECT_EQ(second->pointerState(), ButtonInstance::PointerState::OverUp);
}

TEST(Button, FirstButtonKindTakesItsColourTransform)
{
    ButtonDefinition b = threeStates(false);
    b.version = 1;
    Writer w(stageHeader(40, 40));
    w.setBackground({ 255, 255, 255 });
    defineStates(w);
    w.define(code(TagCode::DefineButton), 4, encodeButton(b));
    BitWriter cx;
    cx.u16(4);
    writeColorTransform(cx, ColorTransform { 0, 256, 256, 256, 0, 0, 255, 0 }, Alpha::Without);
    w.rawTag(code(TagCode::DefineButtonCxform), cx.take());
    w.place(placeAt(1, 4, 10, 10));
    w.showFrame();
    Stage stage(readBack(w));
    stage.start();
    EXPECT_EQ(pixel(drawStage(stage, { 40, 40 }), 20, 20), kBlue);
}

TEST(Button, DamagedButtonsNeverCrash)
{
    const std::vector<uint8_t> whole = encodeButton(threeStates(false));
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        Writer w(stageHeader(40, 40));
        defineStates(w);
        w.define(code(TagCode::DefineButton2), 4, std::span(whole).first(size));
        w.place(placeAt(1, 4));
        w.showFrame();
        Stage stage(readBack(w));
        stage.start();
        stage.input().move(at(5, 5));
        stage.input().press();
        stage.input().release();
        (void)drawStage(stage, { 40, 40 });
    }
}

TEST(Button, ButtonThatShowsItselfStops)
{
    // Once, then six times over: each level multiplies the tree by twice the number of
    // copies; it stops after a few levels, not at the stage's limit.
    for (int copies : { 1, 6 }) {
        ButtonDefinition b;
        for (int i = 0; i < copies; ++i) {
            b.records.push_back(record(4, true, true, true, true));
            b.records.back().depth = uint16_t(i + 1);
        }
        Writer w(stageHeader(40, 40));
        w.define(code(TagCode::DefineButton2), 4, encodeButton(b));
        w.place(placeAt(1, 4));
        w.showFrame();
        Stage stage(readBack(w));
        stage.start();
        EXPECT_GT(stage.instanceCount(), 2u) << copies;
        EXPECT_LE(stage.instanceCount(), 1000u) << copies;
        stage.input().move(QPointF(200, 200));
        EXPECT_LE(stage.instanceCount(), 1000u) << copies;
    }
}

} // namespace
} // namespace swf::test
