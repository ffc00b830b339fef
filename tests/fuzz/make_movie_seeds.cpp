// Writes a few movies made with the writer into the folder given on the command line:
// the seeds of the fuzz targets. With --play it adds what gives the playing target a
// timeline worth running: the two bundled movies, and a sprite that nests itself under
// masks. Made at build time, so that no seed is ever committed.
#include "demos/Movies.h"
#include "swf/format/BitWriter.h"
#include "swf/format/Buttons.h"
#include "swf/format/Fonts.h"
#include "swf/format/MorphShape.h"
#include "swf/format/Records.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/SoundRecords.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"
#include "swf/format/Writer.h"
#include "swf/script/Assembler.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <jpeglib.h>

namespace {

using namespace swf;

Header header(uint8_t version)
{
    Header h;
    h.version = version;
    h.frameSize = Rect { 0, 5500, 0, 4000 };
    h.frameRate = 24;
    return h;
}

Shape styledShape(uint8_t version)
{
    ShapeBuilder b(version);
    FillStyle gradient;
    gradient.kind = version >= 4 ? FillStyle::Kind::FocalRadialGradient : FillStyle::Kind::RadialGradient;
    gradient.gradient.matrix = Matrix { 0.05, 0.0, 0.0, 0.05, 1000, 1000 };
    gradient.gradient.stops
        = { { 0, { 255, 0, 0, 255 } }, { 128, { 0, 255, 0, 128 } }, { 255, { 0, 0, 255, 255 } } };
    gradient.gradient.focalPoint = 0.5;
    FillStyle bitmap;
    bitmap.kind = FillStyle::Kind::ClippedBitmap;
    bitmap.bitmapId = 9;
    bitmap.bitmapMatrix = Matrix { 20, 0, 0, 20, 0, 0 };
    LineStyle line;
    line.width = 60;
    line.color = { 0, 0, 0, 200 };
    if (version >= 4) {
        line.join = LineStyle::Join::Miter;
        line.miterLimit = 4;
        line.fill = gradient;
    }
    uint32_t g = b.addFill(gradient);
    uint32_t bm = b.addFill(bitmap);
    b.fill1(g).line(b.addLine(line)).ellipse({ 1000, 1000 }, 900, 600);
    b.fill0(bm).fill1(0).line(0).rectangle({ 2000, 3000, 100, 900 });
    b.moveTo(0, 0).lineTo(500, 0).curveTo(700, 300, 100, 800);
    return b.build();
}

std::vector<uint8_t> richMovie(Compression compression, uint8_t version)
{
    Writer w(header(version));
    w.setBackground({ 20, 40, 60, 255 });
    for (uint8_t v = 1; v <= 4; ++v)
        w.defineShape(v, styledShape(v));
    w.rawTag(toCode(TagCode::DefineBitsLossless),
        std::vector<uint8_t> { 9, 0, 5, 2, 0, 2, 0, 0x78, 0x9c, 0x03, 0 });

    SpriteDefinition sprite;
    sprite.declaredFrameCount = 2;
    sprite.timeline.frames.resize(2);
    PlaceObject inner;
    inner.depth = 1;
    inner.characterId = 2;
    inner.matrix = Matrix { 1.0, 0.5, -0.5, 1.0, 100, 100 };
    sprite.timeline.frames[0].tags.push_back(inner);
    sprite.timeline.frames[0].labels = { "spin" };
    sprite.timeline.frames[1].tags.push_back(RemoveObject { 1, std::nullopt });
    w.defineSprite(10, sprite);

    PlaceObject v1;
    v1.tagVersion = 1;
    v1.depth = 1;
    v1.characterId = 1;
    v1.matrix = Matrix {};
    v1.colorTransform = ColorTransform { 128, 128, 128, 256, 10, 20, 30, 0 };
    w.place(v1);
    PlaceObject v2;
    v2.depth = 2;
    v2.characterId = 10;
    v2.matrix = Matrix { 2.0, 0.0, 0.0, 2.0, 2000, 1000 };
    v2.colorTransform = ColorTransform { 256, 256, 256, 128, 0, 0, 0, 0 };
    v2.name = "clip";
    v2.ratio = 3;
    v2.clipActions = { 0, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0x96, 1, 0, 0, 0x07, 0, 0, 0, 0, 0, 0 };
    w.place(v2);
    PlaceObject v3;
    v3.tagVersion = 3;
    v3.depth = 3;
    v3.characterId = 4;
    v3.clipDepth = 5;
    // Two filters: Blur (blur x and y 4.0, one pass) and DropShadow (black, blur 2.0,
    // angle 0, distance 4.0, strength 1.0, one pass).
    v3.filters = { 2, //
        1, 0, 0, 4, 0, 0, 0, 4, 0, 0x08, //
        0, 0, 0, 0, 255, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, //
        0, 0, 4, 0, 0, 1, 0x21 };
    v3.blendMode = 3;
    v3.cacheAsBitmap = true;
    w.place(v3);
    w.frameLabel("start");
    w.doAction(std::vector<uint8_t> { 0x96, 0x04, 0x00, 0x00, 'h', 'i', 0x00, 0x26, 0x07, 0x00 });
    w.showFrame();
    PlaceObject move;
    move.depth = 2;
    move.move = true;
    move.matrix = Matrix { 1.0, 0.0, 0.0, 1.0, 50, 50 };
    w.place(move);
    w.remove(RemoveObject { 1, 1 });
    w.showFrame();
    return w.finish(compression);
}

// A sprite that places a smaller copy of itself under a mask, down to the nesting limit,
// and moves, swaps and removes on later frames: masks in masks, and gotos that rebuild
// deep trees.
std::vector<uint8_t> nestedMasks()
{
    Writer w(header(8));
    ShapeBuilder square;
    square.fill1(square.addSolidFill({ 200, 30, 30, 255 })).rectangle({ 0, 4000, 0, 3000 });
    w.defineShape(1, square.build());
    ShapeBuilder disc;
    disc.fill1(disc.addSolidFill({ 30, 30, 200, 160 })).line(disc.addLine(40, { 0, 0, 0, 255 }));
    disc.circle({ 2500, 2000 }, 1800);
    w.defineShape(2, disc.build());

    SpriteDefinition sprite;
    sprite.declaredFrameCount = 3;
    sprite.timeline.frames.resize(3);
    PlaceObject mask;
    mask.depth = 1;
    mask.characterId = 1;
    mask.matrix = Matrix {};
    mask.clipDepth = 3;
    PlaceObject self;
    self.depth = 2;
    self.characterId = 10;
    self.matrix = Matrix { 0.9, 0.1, -0.1, 0.9, 200, 150 };
    PlaceObject content;
    content.depth = 3;
    content.characterId = 2;
    content.matrix = Matrix {};
    sprite.timeline.frames[0].tags = { mask, self, content };
    PlaceObject turn;
    turn.depth = 2;
    turn.move = true;
    turn.matrix = Matrix { 0.8, -0.2, 0.2, 0.8, 300, 100 };
    sprite.timeline.frames[1].tags = { turn };
    PlaceObject swap;
    swap.depth = 3;
    swap.move = true;
    swap.characterId = 1;
    sprite.timeline.frames[2].tags = { swap, RemoveObject { 1, std::nullopt } };
    w.defineSprite(10, sprite);

    PlaceObject root;
    root.depth = 1;
    root.characterId = 10;
    root.matrix = Matrix {};
    w.place(root);
    w.frameLabel("in");
    w.showFrame();
    w.showFrame();
    w.remove(RemoveObject { 1, std::nullopt });
    w.showFrame();
    w.place(root);
    w.showFrame();
    return w.finish(Compression::None);
}

// A FILTERLIST of every kind of filter, in the format's byte layout: drop shadow, blur,
// glow, bevel, gradient glow, convolution, colour matrix and gradient bevel.
std::vector<uint8_t> everyFilter()
{
    const std::vector<uint8_t> colour = { 0x20, 0x40, 0x80, 0xc0 };
    const std::vector<uint8_t> blur = { 0x00, 0x00, 0x04, 0x00, 0x00, 0x80, 0x02, 0x00 }; // 4.0, 2.5
    const std::vector<uint8_t> light = { 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x80, 0x01 };
    std::vector<uint8_t> list = { 8 };
    const auto add = [&list](std::initializer_list<std::vector<uint8_t>> parts) {
        for (const auto& part : parts)
            list.insert(list.end(), part.begin(), part.end());
    };
    const std::vector<uint8_t> ramp = { 0x02, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0x00, 0xff };
    add({ { 0x00 }, colour, blur, light, { 0x23 } });
    add({ { 0x01 }, blur, { 0x18 } });
    add({ { 0x02 }, colour, blur, { 0x00, 0x02 }, { 0xa2 } });
    add({ { 0x03 }, colour, colour, blur, light, { 0xb1 } });
    add({ { 0x04 }, ramp, blur, light, { 0x22 } });
    add({ { 0x05, 0x03, 0x03, 0x00, 0x00, 0x10, 0x41, 0x00, 0x00, 0x00, 0x00 } });
    for (int i = 0; i < 9; ++i)
        add({ { 0x00, 0x00, 0x80, 0x3f } });
    add({ colour, { 0x02 } });
    add({ { 0x06 } });
    for (int i = 0; i < 20; ++i)
        add({ i % 6 == 0 ? std::vector<uint8_t> { 0x00, 0x00, 0x80, 0x3f } : std::vector<uint8_t>(4, 0) });
    add({ { 0x07 }, ramp, blur, light, { 0x72 } });
    return list;
}

// Objects with blend modes and filters, in a sprite that is a layer, moving.
std::vector<uint8_t> effectsMovie()
{
    Writer w(header(8));
    w.defineShape(1, styledShape(3));
    SpriteDefinition sprite;
    sprite.timeline.frames.resize(1);
    for (uint8_t mode = 0; mode <= 14; ++mode) {
        PlaceObject place;
        place.tagVersion = 3;
        place.depth = static_cast<uint16_t>(mode + 1);
        place.characterId = 1;
        place.matrix = Matrix { 0.5, 0.0, 0.0, 0.5, mode * 300, mode * 200 };
        place.blendMode = mode;
        if (mode % 4 == 0)
            place.filters = everyFilter();
        sprite.timeline.frames[0].tags.emplace_back(place);
    }
    w.defineSprite(2, sprite);
    PlaceObject root;
    root.tagVersion = 3;
    root.depth = 1;
    root.characterId = 2;
    root.matrix = Matrix {};
    root.blendMode = 2;
    root.filters = everyFilter();
    root.cacheAsBitmap = true;
    w.place(root);
    w.showFrame();
    PlaceObject move;
    move.tagVersion = 3;
    move.depth = 1;
    move.move = true;
    move.matrix = Matrix { 1.5, 0.2, -0.2, 1.5, -2000, -1000 };
    move.blendMode = 3;
    w.place(move);
    w.showFrame();
    return w.finish(Compression::None);
}

// Scripts of every group of actions: a loop, functions of both kinds, exceptions, a
// with block, enumeration, classes, built-in objects, clips made by script and their
// events, and init actions, for the fuzzer to mutate into what the VM must survive.
std::vector<uint8_t> scriptMovie(uint8_t version)
{
    using A = ActionCode;
    using swf::test::Asm;
    Writer w(header(version));
    SpriteDefinition sprite;
    sprite.timeline.frames.resize(2);
    sprite.timeline.frames[0].tags = { DoAction { Asm().push("v").push(1.0).op(A::SetVariable).bytes() } };
    sprite.timeline.frames[1].tags = { DoAction { Asm().op(A::PreviousFrame).bytes() } };
    w.defineSprite(2, sprite);
    w.control(DoInitAction { 2, Asm().trace("init").bytes() });
    PlaceObject place;
    place.depth = 1;
    place.characterId = 2;
    place.name = "clip";
    // onClipEvent(enterFrame) { _x++ }
    const std::vector<uint8_t> onEnter
        = Asm().push("_x").get("_x").op(A::Increment).op(A::SetVariable).bytes();
    place.clipActions = { 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, uint8_t(onEnter.size()), 0, 0, 0 };
    place.clipActions.insert(place.clipActions.end(), onEnter.begin(), onEnter.end());
    place.clipActions.insert(place.clipActions.end(), { 0, 0, 0, 0 });
    w.place(place);

    Asm a;
    a.constantPool({ "i", "sum", "o" });
    a.pushConstant(0).push(0.0).op(A::SetVariable);
    a.label("top").pushConstant(0).op(A::GetVariable).push(20.0).op(A::Less2).op(A::Not).ifTrue("done");
    a.pushConstant(0).pushConstant(0).op(A::GetVariable).op(A::Increment).op(A::SetVariable).jump("top");
    a.label("done");
    Asm square;
    square.get("n").get("n").op(A::Multiply).op(A::Return);
    a.function("square", { "n" }, square).push(7.0).call("square", 1).op(A::Trace);
    Asm body2;
    body2.pushRegister(1).push("k").op(A::GetMember).pushRegister(2).op(A::Add2).op(A::Return);
    a.function2("f2", 3, 0x01, { { 2, "x" } }, body2);
    a.assignNew("arr", "Array").push(3.0).push(1.0).push(2.0).get("arr").callMethod("push", 3).op(A::Pop);
    a.push(16.0).get("arr").callMethod("sort", 1).op(A::Trace);
    a.push("o").push("k").push(1.0).pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.get("o").with(Asm().traceVar("k"));
    a.get("o").op(A::Enumerate2).label("next").storeRegister(0).pushNull().op(A::Equals2).ifTrue("end");
    a.pushRegister(0).op(A::Trace).jump("next").label("end");
    a.tryCatch(Asm().push("x").op(A::Throw), "e", Asm().traceVar("e"));
    a.function("B", {}, Asm()).get("B").get("Object").op(A::Extends);
    a.assignNew("b", "B").get("b").get("B").op(A::InstanceOf).op(A::Trace);
    a.assignNew("d", "Date", { 2005.0, 1.0 }).traceCall("d", "getDay");
    a.assignNew("x", "XML", { "<a b='1'><c/></a>" }).traceVar("x");
    a.traceCall("Math", "sqrt", { 2.0 }).traceFunction("parseInt", { "0x1F" });
    a.push(3.0).push("m").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.push("s").push("abc").op(A::SetVariable).push(1.0).get("s").callMethod("charAt", 1).op(A::Trace);
    a.push(5.0).push(5.0).push("clip").pushInt(2).op(A::StartDrag).op(A::EndDrag);
    a.gotoFrame(1);
    w.doAction(a.bytes());
    w.showFrame();
    w.doAction(Asm().get("clip").push("_x").op(A::GetMember).op(A::Trace).gotoLabel("missing").bytes());
    w.showFrame();
    return w.finish(Compression::None);
}

std::vector<uint8_t> zlibbed(const std::vector<uint8_t>& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

// An 8x8 JPEG of colour stripes, made with libjpeg.
std::vector<uint8_t> smallJpeg()
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 60, TRUE);
    jpeg_start_compress(&info, TRUE);
    uint8_t row[8 * 3];
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < 8; ++x) {
            row[x * 3] = static_cast<uint8_t>(x * 30);
            row[x * 3 + 1] = static_cast<uint8_t>(info.next_scanline * 30);
            row[x * 3 + 2] = 128;
        }
        JSAMPROW rows[1] = { row };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// Every kind of content beside shapes and sprites: bitmaps of each record (JPEG with
// tables, with the old extra markers, with an alpha plane; lossless of each format),
// a morph shape at several ratios, a font with text and text fields (embedded, system
// font, HTML), buttons of both kinds with a colour transform, and text and a bitmap
// used as masks.
std::vector<uint8_t> contentKinds()
{
    Writer w(header(8));
    w.setBackground({ 255, 255, 255, 255 });
    const std::vector<uint8_t> jpeg = smallJpeg();
    const uint8_t sos[] = { 0xFF, 0xDA };
    const auto scan = std::search(jpeg.begin(), jpeg.end(), std::begin(sos), std::end(sos));
    std::vector<uint8_t> tables(jpeg.begin(), scan);
    tables.insert(tables.end(), { 0xFF, 0xD9 });
    std::vector<uint8_t> picture { 0xFF, 0xD8 };
    picture.insert(picture.end(), scan, jpeg.end());
    w.rawTag(toCode(TagCode::JPEGTables), tables);
    w.define(toCode(TagCode::DefineBits), 20, picture);
    std::vector<uint8_t> old { 0xFF, 0xD9, 0xFF, 0xD8 };
    old.insert(old.end(), jpeg.begin(), jpeg.end());
    w.define(toCode(TagCode::DefineBitsJPEG2), 21, old);
    std::vector<uint8_t> withAlpha { static_cast<uint8_t>(jpeg.size()),
        static_cast<uint8_t>(jpeg.size() >> 8), 0, 0 };
    withAlpha.insert(withAlpha.end(), jpeg.begin(), jpeg.end());
    const std::vector<uint8_t> alpha = zlibbed(std::vector<uint8_t>(64, 90));
    withAlpha.insert(withAlpha.end(), alpha.begin(), alpha.end());
    w.define(toCode(TagCode::DefineBitsJPEG3), 22, withAlpha);
    std::vector<uint8_t> palette { 3, 3, 0, 2, 0, 1 };
    const std::vector<uint8_t> paletteData
        = zlibbed({ 255, 0, 0, 128, 0, 255, 0, 255, 0, 1, 0, 0, 1, 0, 1, 0 });
    palette.insert(palette.end(), paletteData.begin(), paletteData.end());
    w.define(toCode(TagCode::DefineBitsLossless2), 23, palette);
    std::vector<uint8_t> pix15 { 4, 2, 0, 1, 0 };
    const std::vector<uint8_t> pix15Data = zlibbed({ 0x7C, 0x00, 0x03, 0xE0 });
    pix15.insert(pix15.end(), pix15Data.begin(), pix15Data.end());
    w.define(toCode(TagCode::DefineBitsLossless), 24, pix15);

    ShapeBuilder filled(3);
    FillStyle tiles;
    tiles.kind = FillStyle::Kind::NonSmoothedRepeatingBitmap;
    tiles.bitmapId = 22;
    tiles.bitmapMatrix = Matrix { 20, 0, 0, 20, 0, 0 };
    filled.fill1(filled.addFill(tiles)).rectangle({ 0, 800, 0, 800 });
    w.defineShape(25, filled.build());

    MorphShape morph;
    morph.version = 2;
    morph.startBounds = { 0, 400, 0, 400 };
    morph.endBounds = { 0, 800, 0, 800 };
    MorphFill solid;
    solid.startColor = { 255, 0, 0, 255 };
    solid.endColor = { 0, 0, 255, 128 };
    morph.fills.push_back(solid);
    MorphLine edge;
    edge.startWidth = 20;
    edge.endWidth = 200;
    edge.style.endCap = LineStyle::Cap::Square;
    morph.lines.push_back(edge);
    StyleChange start;
    start.moveTo = Point { 0, 0 };
    start.fill1 = 1;
    start.line = 1;
    morph.startRecords = { start, StraightEdge { 400, 0 }, CurvedEdge { 0, 200, 0, 200 },
        StraightEdge { -400, 0 }, StraightEdge { 0, -400 } };
    StyleChange end;
    end.moveTo = Point { 0, 0 };
    morph.endRecords = { end, CurvedEdge { 400, -100, 400, 100 }, StraightEdge { 0, 800 },
        StraightEdge { -800, 0 }, StraightEdge { 0, -800 } };
    w.define(toCode(TagCode::DefineMorphShape2), 26, encodeMorphShape(morph));

    FontDefinition font;
    font.version = 2;
    font.name = "Seed";
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 200;
    ShapeBuilder glyph;
    glyph.fill1(1).moveTo(0, 0).lineTo(500, 0).lineTo(250, -700).lineTo(0, 0);
    for (char c : { 'A', 'b', ' ' }) {
        FontGlyph g;
        g.records = glyph.build().records;
        g.code = static_cast<uint16_t>(c);
        g.advance = 600;
        font.glyphs.push_back(g);
    }
    font.kerning.push_back({ 'A', 'b', -50 });
    w.define(toCode(TagCode::DefineFont2), 27, encodeFont(font));
    StaticText text;
    text.bounds = { 0, 2000, -400, 200 };
    TextRecord record;
    record.fontId = 27;
    record.height = 300;
    record.color = Rgba { 0, 0, 0, 255 };
    record.glyphs = { { 0, 200 }, { 1, 200 }, { 2, 200 } };
    text.records.push_back(record);
    w.define(toCode(TagCode::DefineText), 28, encodeStaticText(text));
    EditTextDefinition field;
    field.bounds = { 0, 2400, 0, 800 };
    field.fontId = 27;
    field.useOutlines = true;
    field.border = true;
    field.wordWrap = field.multiline = true;
    field.html = true;
    field.hasLayout = true;
    field.align = 2;
    field.initialText
        = "<p align=\"right\"><b>Ab</b> <font size=\"20\" color=\"#ff0000\">A b</font><br>bA</p>";
    w.define(toCode(TagCode::DefineEditText), 29, encodeEditText(field));
    EditTextDefinition device = field;
    device.useOutlines = false;
    device.html = false;
    device.password = true;
    device.autoSize = true;
    device.initialText = "\xe4\xb8\xad Ab";
    w.define(toCode(TagCode::DefineEditText), 30, encodeEditText(device));

    ButtonDefinition button;
    button.trackAsMenu = true;
    ButtonRecord up;
    up.up = up.hitTest = true;
    up.characterId = 25;
    up.depth = 1;
    ButtonRecord over = up;
    over.up = over.hitTest = false;
    over.over = over.down = true;
    over.characterId = 26;
    over.colorTransform.rAdd = 100;
    button.records = { up, over };
    w.define(toCode(TagCode::DefineButton2), 31, encodeButton(button));
    button.version = 1;
    w.define(toCode(TagCode::DefineButton), 32, encodeButton(button));
    BitWriter cx;
    cx.u16(32);
    writeColorTransform(cx, ColorTransform { 128, 256, 256, 256, 0, 50, 0, 0 }, Alpha::Without);
    w.rawTag(toCode(TagCode::DefineButtonCxform), cx.take());

    uint16_t depth = 1;
    const auto place = [&](uint16_t id, int32_t x, int32_t y, std::optional<uint16_t> clip = {}) {
        PlaceObject p;
        p.depth = depth++;
        p.characterId = id;
        p.matrix = Matrix { 1, 0, 0, 1, x, y };
        p.ratio = 20000;
        p.clipDepth = clip;
        w.place(p);
    };
    for (uint16_t id : { 20, 21, 22, 23, 24 })
        place(id, (id - 20) * 900, 0);
    place(25, 0, 1000);
    place(26, 1000, 1000);
    place(28, 2000, 1200);
    place(29, 0, 2000);
    place(30, 2600, 2000);
    place(31, 4000, 1000);
    place(32, 4600, 1000);
    place(28, 0, 3000, 20);
    place(22, 100, 3000);
    w.showFrame();
    PlaceObject later;
    later.depth = 7;
    later.move = true;
    later.ratio = 65535;
    w.place(later);
    w.showFrame();
    return w.finish(Compression::None);
}

// A short sound of every coding the movies of the era use, as bytes that decode to
// something (PCM and ADPCM take any bytes as samples; Nellymoser any 64-byte block).
std::vector<uint8_t> soundBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(128 + 100 * ((i / 8) % 2 ? 1 : -1) + (i * 37) % 11);
    return bytes;
}

// Event sounds with every part of their sound information, a button's sounds, a stream
// in the main timeline and one in a sprite, and a StartSound2 by exported name.
std::vector<uint8_t> soundMovie()
{
    Writer w(header(8));
    const SoundFormat pcm { uint8_t(SoundCodec::PcmLittleEndian), 1, true, false };
    const SoundFormat adpcm { uint8_t(SoundCodec::Adpcm), 2, true, true };
    const SoundFormat nelly { uint8_t(SoundCodec::Nellymoser), 1, true, false };
    w.define(toCode(TagCode::DefineSound), 1, soundDefinitionBody(pcm, 200, soundBytes(400)));
    w.define(toCode(TagCode::DefineSound), 2, soundDefinitionBody(adpcm, 300, soundBytes(160)));
    w.define(toCode(TagCode::DefineSound), 3, soundDefinitionBody(nelly, 512, soundBytes(128)));
    ShapeBuilder square;
    square.fill1(square.addSolidFill({ 200, 30, 30, 255 })).rectangle({ 0, 400, 0, 300 });
    w.defineShape(4, square.build());
    ButtonSounds buttons;
    buttons.byChange[1] = StartSoundRecord { 1, {} };
    buttons.byChange[2] = StartSoundRecord { 2, {} };
    std::vector<uint8_t> buttonBody { 4, 0 };
    const auto rest = buttonSoundsBody(buttons);
    buttonBody.insert(buttonBody.end(), rest.begin(), rest.end());
    w.rawTag(toCode(TagCode::DefineButtonSound), buttonBody);
    const std::vector<NamedCharacter> names { { 3, "voice" } };
    w.rawTag(toCode(TagCode::ExportAssets), characterNamesBody(names));

    SpriteDefinition sprite;
    sprite.timeline.frames.resize(3);
    sprite.timeline.frames[0].tags.push_back(
        TagRecord { toCode(TagCode::SoundStreamHead2), streamHeadBody({ adpcm, adpcm, 64, 0 }) });
    for (auto& frame : sprite.timeline.frames)
        frame.tags.push_back(TagRecord { toCode(TagCode::SoundStreamBlock), soundBytes(40) });
    w.defineSprite(5, sprite);

    SoundInfo info;
    info.inPoint = 10;
    info.outPoint = 900;
    info.loopCount = 3;
    info.envelope = { { 0, 0, 32768 }, { 500, 32768, 0 } };
    w.rawTag(toCode(TagCode::SoundStreamHead), streamHeadBody({ pcm, pcm, 50, 0 }));
    w.rawTag(toCode(TagCode::StartSound), startSoundBody({ 1, info }));
    PlaceObject place;
    place.depth = 1;
    place.characterId = 4;
    place.matrix = Matrix {};
    w.place(place);
    place.depth = 2;
    place.characterId = 5;
    w.place(place);
    for (int f = 0; f < 4; ++f) {
        w.rawTag(toCode(TagCode::SoundStreamBlock), soundBytes(100));
        if (f == 1) {
            SoundInfo once;
            once.syncNoMultiple = true;
            w.rawTag(toCode(TagCode::StartSound), startSoundBody({ 2, once }));
            w.rawTag(toCode(TagCode::StartSound2), startSound2Body("voice", {}));
        }
        if (f == 2) {
            SoundInfo stop;
            stop.syncStop = true;
            w.rawTag(toCode(TagCode::StartSound), startSoundBody({ 1, stop }));
        }
        w.showFrame();
    }
    return w.finish(Compression::None);
}

// The sound target's inputs: a format byte, a SOUNDINFO, then the coded sound.
std::vector<uint8_t> soundInput(uint8_t format, const SoundInfo& info, const std::vector<uint8_t>& data)
{
    BitWriter out;
    out.u8(format);
    writeSoundInfo(out, info);
    out.bytes(data);
    return out.take();
}

// ---- Video: embedded streams and FLV files --------------------------------------------

void putBig(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// A Screen Video picture of one 16x16 block of one colour (B, G, R rows, zlib), or with
// `unchanged` an interframe that keeps the block.
std::vector<uint8_t> screenVideoFrame(uint8_t b, uint8_t g, uint8_t r, bool unchanged = false)
{
    std::vector<uint8_t> out { 0x00, 0x10, 0x00, 0x10 };
    if (unchanged) {
        putBig(out, 0, 2);
        return out;
    }
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16 * 16; ++i)
        pixels.insert(pixels.end(), { b, g, r });
    uLongf size = compressBound(uLong(pixels.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, pixels.data(), uLong(pixels.size()));
    putBig(out, uint32_t(size), 2);
    out.insert(out.end(), packed.begin(), packed.begin() + long(size));
    return out;
}

// A Sorenson H.263 intra picture header of 16x16 pixels (size code 1, 8-bit sides), the
// rest left to the decoder to reject.
std::vector<uint8_t> h263Frame()
{
    return { 0x00, 0x00, 0x84, 0x00, 0x40, 0x20, 0x10, 0x00, 0x47, 0xFF, 0x00 };
}

// DefineVideoStream and one VideoFrame per frame, the placement's ratio stepping as the
// authoring tool writes it; a second stream without ratios.
std::vector<uint8_t> videoMovie()
{
    Writer w(header(8));
    const std::vector<std::vector<uint8_t>> screen { screenVideoFrame(0, 0, 255), screenVideoFrame(0, 0, 0, true),
        screenVideoFrame(255, 0, 0), screenVideoFrame(0, 0, 0, true) };
    for (uint16_t id : { 1, 2 }) {
        // Frames, width, height, flags (deblocking off, smoothing), codec.
        const std::vector<uint8_t> body { uint8_t(screen.size()), 0, 16, 0, 16, 0, uint8_t(id == 1 ? 0x03 : 0x00),
            uint8_t(id == 1 ? 3 : 2) };
        w.define(toCode(TagCode::DefineVideoStream), id, body);
    }
    for (uint16_t n = 0; n < screen.size(); ++n) {
        PlaceObject place;
        place.depth = 1;
        place.ratio = n;
        if (n == 0) {
            place.characterId = 1;
            place.matrix = Matrix { 2, 0, 0, 2, 0, 0 };
            PlaceObject second;
            second.depth = 2;
            second.characterId = 2;
            w.place(second);
        } else {
            place.move = true;
        }
        w.place(place);
        for (uint16_t stream : { 1, 2 }) {
            std::vector<uint8_t> frame { uint8_t(stream), 0, uint8_t(n), 0 };
            const std::vector<uint8_t> packet = stream == 1 ? screen[n] : h263Frame();
            frame.insert(frame.end(), packet.begin(), packet.end());
            w.rawTag(toCode(TagCode::VideoFrame), frame);
        }
        w.showFrame();
    }
    return w.finish(Compression::None);
}

void flvTag(std::vector<uint8_t>& out, uint8_t type, uint32_t time, const std::vector<uint8_t>& data)
{
    out.push_back(type);
    putBig(out, uint32_t(data.size()), 3);
    putBig(out, time & 0xFFFFFF, 3);
    out.push_back(uint8_t(time >> 24));
    putBig(out, 0, 3);
    out.insert(out.end(), data.begin(), data.end());
    putBig(out, uint32_t(11 + data.size()), 4);
}

// An FLV file: onMetaData, a cue point, screen video frames and an audio tag.
std::vector<uint8_t> flvFile(uint8_t codec)
{
    std::vector<uint8_t> out { 'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0 };
    const std::vector<uint8_t> meta { 0x02, 0x00, 0x0A, 'o', 'n', 'M', 'e', 't', 'a', 'D', 'a', 't', 'a', 0x08, 0,
        0, 0, 1, 0x00, 0x08, 'd', 'u', 'r', 'a', 't', 'i', 'o', 'n', 0x00, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0x00, 0x00,
        0x09 };
    flvTag(out, 18, 0, meta);
    const std::vector<uint8_t> cue { 0x02, 0x00, 0x0A, 'o', 'n', 'C', 'u', 'e', 'P', 'o', 'i', 'n', 't', 0x03, 0x00,
        0x04, 'n', 'a', 'm', 'e', 0x02, 0x00, 0x01, 'a', 0x00, 0x04, 't', 'i', 'm', 'e', 0x0B, 0x40, 0x59, 0, 0, 0,
        0, 0, 0, 0, 0, 0x00, 0x00, 0x09 };
    flvTag(out, 18, 100, cue);
    for (uint32_t n = 0; n < 4; ++n) {
        std::vector<uint8_t> video { uint8_t((n == 0 ? 0x10 : 0x20) | codec) };
        const auto packet = codec == 2 ? h263Frame() : screenVideoFrame(uint8_t(n * 60), 0, 200, n % 2 == 1);
        video.insert(video.end(), packet.begin(), packet.end());
        flvTag(out, 9, n * 100, video);
        flvTag(out, 8, n * 100, { 0x3A, 0, 0x10, 0, 0x10, 0xF0, 0xFF, 0x00 });
    }
    return out;
}

void save(const std::filesystem::path& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    const bool forPlay = argc == 3 && std::string_view(argv[2]) == "--play";
    const bool forSound = argc == 3 && std::string_view(argv[2]) == "--sound";
    const bool forFlv = argc == 3 && std::string_view(argv[2]) == "--flv";
    if (argc != 2 && !forPlay && !forSound && !forFlv) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER [--play | --sound | --flv]\n", argv[0]);
        return 2;
    }
    std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    if (forFlv) {
        save(folder, "screen_video.flv", flvFile(3));
        save(folder, "h263.flv", flvFile(2));
        return 0;
    }
    if (forSound) {
        SoundInfo looped;
        looped.loopCount = 2;
        looped.envelope = { { 0, 100, 200 }, { 300, 32768, 0 } };
        save(folder, "pcm8.bin", soundInput(0x34, {}, soundBytes(300)));
        save(folder, "pcm16_stereo.bin", soundInput(0x3B, looped, soundBytes(800)));
        save(folder, "adpcm2.bin", soundInput(0x12, {}, soundBytes(100)));
        save(folder, "adpcm5_stereo.bin", soundInput(0x1F, looped, soundBytes(600)));
        save(folder, "nellymoser.bin", soundInput(0x64, {}, soundBytes(256)));
        save(folder, "nellymoser8k.bin", soundInput(0x50, looped, soundBytes(128)));
        save(folder, "mp3_header.bin",
            soundInput(0x2E, {}, std::vector<uint8_t> { 0, 0, 0xFF, 0xFB, 0x90, 0x44 }));
        return 0;
    }
    save(folder, "rich_fws.swf", richMovie(Compression::None, 8));
    save(folder, "rich_cws.swf", richMovie(Compression::Zlib, 6));
    save(folder, "rich_zws.swf", richMovie(Compression::Lzma, 8));
    Writer empty(header(1));
    empty.showFrame();
    save(folder, "empty.swf", empty.finish(Compression::None));
    save(folder, "content_kinds.swf", contentKinds());
    save(folder, "sounds.swf", soundMovie());
    if (forPlay) {
        save(folder, "demo_rainy_day.swf", demos::makeRainyDay());
        save(folder, "demo_fat_baby.swf", demos::makeFatBaby());
        save(folder, "nested_masks.swf", nestedMasks());
        save(folder, "effects.swf", effectsMovie());
        save(folder, "scripts_swf8.swf", scriptMovie(8));
        save(folder, "scripts_swf5.swf", scriptMovie(5));
        save(folder, "video.swf", videoMovie());
    }
    return 0;
}
