// Writes a few movies made with the writer into the folder given on the command line:
// the seeds of the fuzz targets. With --play it adds what gives the playing target a
// timeline worth running: the two bundled movies, and a sprite that nests itself under
// masks. Made at build time, so that no seed is ever committed.
#include "demos/Movies.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/SoundRecords.h"
#include "swf/format/Tags.h"
#include "swf/format/Writer.h"
#include "swf/script/Assembler.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

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
    if (argc != 2 && !forPlay && !forSound) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER [--play | --sound]\n", argv[0]);
        return 2;
    }
    std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
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
    save(folder, "sounds.swf", soundMovie());
    if (forPlay) {
        save(folder, "demo_rainy_day.swf", demos::makeRainyDay());
        save(folder, "demo_fat_baby.swf", demos::makeFatBaby());
        save(folder, "nested_masks.swf", nestedMasks());
        save(folder, "scripts_swf8.swf", scriptMovie(8));
        save(folder, "scripts_swf5.swf", scriptMovie(5));
    }
    return 0;
}
