// Fuzzes what a movie reaches once it has parsed: the display tree playing its frames while
// the file still arrives, jumping back and forth on its timelines, the pointer moving and
// pressing over it, the movie's scripts and other changes to the tree, and the renderer painting it. The
// parser has its own target; here every input that parses is played and drawn as the player would. Beyond
// "never crash, never hang, never leak", it checks the bookkeeping the stage's limits rest on: its count of
// live objects is the tree's, and stays within its budget.
#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/kinds/FontFace.h"
#include "swf/player/MovieLoader.h"
#include "swf/render/Renderer.h"
#include "swf/script/ScriptEngine.h"
#include "swf/script/ScriptHost.h"
#include "swf/script/Vm.h"
#include "swf/sound/SoundEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

constexpr int kTicks = 12;
constexpr int kBackwardTick = 4;
constexpr int kForwardTick = 8;
constexpr int kScriptTick = 6;
constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Where the jumps go and how the main timeline ends, taken from the input (FNV-1a), so
// that a saved input replays exactly and each mutation tries other frames.
uint64_t digest(std::span<const uint8_t> bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t byte : bytes)
        hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::size_t countTree(const swf::DisplayObject& object)
{
    std::size_t count = 1;
    for (const swf::DisplayList* list : { object.children(), object.heldObjects() }) {
        if (list)
            for (const auto& [depth, child] : *list)
                count += countTree(*child);
    }
    return count;
}

void checkStage(const swf::Stage& stage)
{
    if (countTree(stage.root()) != stage.instanceCount())
        broken("the stage's instance count differs from its tree");
    if (stage.instanceCount() > swf::Stage::kMaxInstances)
        broken("the tree outgrew the stage's instance budget");
    const swf::MovieClip& root = stage.root();
    if (root.currentFrame() < 0 || root.currentFrame() >= root.frameCount())
        broken("the main timeline stands outside its frames");
}

// The first clip on the root's list, so that a nested timeline is rebuilt by a jump too.
swf::MovieClip* firstChildClip(const swf::MovieClip& root)
{
    for (const auto& [depth, object] : root.displayList())
        if (swf::MovieClip* clip = object->asMovieClip())
            return clip;
    return nullptr;
}

// A backward jump lands on a frame up to the current one (the same frame changes
// nothing); a forward jump may overshoot the end, which clamps.
void jumpBack(swf::MovieClip& clip, uint64_t choice)
{
    clip.gotoFrame(static_cast<int>(choice % (uint64_t(clip.currentFrame()) + 1)));
}

void jumpForward(swf::MovieClip& clip, uint64_t choice)
{
    clip.gotoFrame(clip.currentFrame() + 1 + static_cast<int>(choice % (uint64_t(clip.frameCount()) + 1)));
}

void paint(swf::Renderer& renderer, const swf::Stage& stage, QImage& image)
{
    QPainter painter(&image);
    renderer.render(painter, stage, QRectF(image.rect()));
}

// What a script might do to the tree: make objects of the movie's characters and empty
// clips, move them between depths, take them away, and look them up by path.
void scriptChanges(swf::Stage& stage, uint64_t choice)
{
    swf::MovieClip& root = stage.root();
    std::vector<uint16_t> ids;
    for (const auto& [id, character] : stage.movie().dictionary)
        ids.push_back(id);
    if (!ids.empty())
        root.placeByScript(ids[choice % ids.size()], "made", int(choice >> 8 & 7));
    swf::MovieClip* empty = root.createEmptyClip("empty", int(choice >> 12 & 3) - 1);
    if (empty && !ids.empty())
        empty->placeByScript(ids[(choice >> 16) % ids.size()], "inner", 0);
    if (swf::DisplayObject* first
        = root.displayList().empty() ? nullptr : root.displayList().begin()->second.get())
        root.swapDepths(*first, int(choice >> 20 & 15) - 2);
    (void)stage.resolvePath("_level0.empty.inner", nullptr, false);
    (void)stage.resolvePath("/made/../empty", empty, true);
    if (swf::DisplayObject* made = root.childByName("made", true); made && (choice >> 24 & 1))
        root.remove(*made);
}

// The pointer wanders over the stage and presses where the input says; the first objects
// take the mouse, so that targets exist to be entered, pressed and left.
void pointerWalk(swf::Stage& stage, uint64_t choice)
{
    int marked = 0;
    for (const auto& [depth, object] : stage.root().displayList()) {
        if (marked++ < 3)
            object->setHandlesMouse(true);
    }
    const swf::Rect& frame = stage.movie().header.frameSize;
    const double width = std::max(1, frame.width());
    const double height = std::max(1, frame.height());
    for (int step = 0; step < 6; ++step) {
        const uint64_t bits = choice >> (step * 9);
        stage.input().move(
            QPointF(frame.xMin + (bits & 7) * width / 7, frame.yMin + (bits >> 3 & 7) * height / 7));
        if (bits >> 6 & 1)
            stage.input().press();
        if (bits >> 7 & 1)
            stage.input().release();
    }
    (void)stage.input().cursor();
}

} // namespace

// Fontconfig keeps what it loads for the life of the process, through pointers the leak
// checker cannot follow; those blocks are not the engine's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// Text fields draw with system fonts, which need an application of Qt's GUI; the
// offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_play";
    static char* argv[] = { name, nullptr };
    // Never destroyed: torn down at exit, after Qt's per-thread storage, it would leave
    // the font caches behind as leaks.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    // Qt fills its font caches on first use and keeps them; filling them here keeps those
    // allocations out of the inputs' leak checks.
    for (const char* family : { "_sans", "_serif", "_typewriter", "Arial" }) {
        QPainterPath path;
        path.addText(0, 0, swf::deviceFont(QString::fromLatin1(family), false, false, 240),
            QStringLiteral("The quick brown fox 0123456789 \u4e2d\u6587"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> file(data, size);
    // The parser's fuzz target reads with the same limits.
    swf::ParseLimits limits;
    limits.maxBodySize = size_t(16) << 20;
    limits.maxModelBytes = size_t(64) << 20;
    // The file arrives in two pieces; the movie plays what it has of the first.
    const uint64_t choice = digest(file);
    swf::MovieStream stream(limits);
    const size_t split = size ? (choice >> 32) % size : 0;
    if (!stream.append(file.first(split)))
        return 0;
    std::unique_ptr<swf::Stage> early;
    if (stream.movie() && stream.framesLoaded() > 0) {
        early = std::make_unique<swf::Stage>(stream.movie());
        early->start();
        early->advance();
        early->advance();
    }
    if (!stream.append(file.subspan(split)) || !stream.finish())
        return 0;
    if (early) {
        early->advance();
        checkStage(*early);
        early.reset();
    }

    swf::Stage stage(stream.movie());
    swf::MovieClip& root = stage.root();
    root.setEndMode(choice & 1 ? swf::MovieClip::EndMode::Stop : swf::MovieClip::EndMode::Loop);
    // The movie's sounds are mixed a frame at a time, as for a recording; its buttons'
    // sounds are tried on the first object.
    swf::StandardLoader loader(1 << 20);
    swf::NullSoundOutput output;
    swf::SeededRandom random;
    swf::FixedWallClock clock;
    const swf::Services services { loader, output, random, clock };
    // The scripts run as in the player, held to a short time so that a script that never
    // ends costs a fraction of the input's time.
    swf::script::NullScriptHost host;
    swf::script::ScriptEngine script(stage, services, host);
    script.vm().setTimeoutMillis(100);
    swf::SoundEngine sound(stage, services, 24);
    stage.start();
    sound.frameShown();
    if (!root.displayList().empty())
        stage.notifyButtonTransition(
            *root.displayList().begin()->second, swf::ButtonTransition::OverUpToOverDown);

    swf::Renderer renderer;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    paint(renderer, stage, image);
    for (int tick = 1; tick <= kTicks; ++tick) {
        stage.advance();
        sound.frameShown();
        if (tick == kBackwardTick) {
            jumpBack(root, choice >> 8);
            if (swf::MovieClip* child = firstChildClip(root))
                jumpBack(*child, choice >> 24);
            paint(renderer, stage, image);
        } else if (tick == kForwardTick) {
            jumpForward(root, choice >> 40);
            if (swf::MovieClip* child = firstChildClip(root))
                jumpForward(*child, choice >> 52);
        } else if (tick == kScriptTick) {
            scriptChanges(stage, choice >> 3);
            pointerWalk(stage, choice >> 11);
        }
        checkStage(stage);
    }
    paint(renderer, stage, image);
    return 0;
}
