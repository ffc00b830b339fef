// Fuzzes what a movie reaches once it has parsed: the display tree playing its frames,
// jumping back and forth on its timelines, and the renderer painting it. The parser has
// its own target; here every input that parses is played and drawn as the player would.
// Beyond "never crash, never hang, never leak", it checks the bookkeeping the stage's
// limits rest on: its count of live objects is the tree's, and stays within its budget.
#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/kinds/FontFace.h"
#include "swf/render/Renderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>

namespace {

constexpr int kTicks = 12;
constexpr int kBackwardTick = 4;
constexpr int kForwardTick = 8;
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

} // namespace

// Text fields draw with system fonts, which need an application of Qt's GUI; the
// offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_play";
    static char* argv[] = { name, nullptr };
    static QGuiApplication app(argc, argv);
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
    auto parsed = swf::parseMovie(file, limits);
    if (!parsed)
        return 0;

    const uint64_t choice = digest(file);
    swf::Stage stage(std::make_shared<const swf::Movie>(std::move(*parsed)));
    swf::MovieClip& root = stage.root();
    root.setEndMode(choice & 1 ? swf::MovieClip::EndMode::Stop : swf::MovieClip::EndMode::Loop);
    stage.start();

    swf::Renderer renderer;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    paint(renderer, stage, image);
    for (int tick = 1; tick <= kTicks; ++tick) {
        stage.advance();
        if (tick == kBackwardTick) {
            jumpBack(root, choice >> 8);
            if (swf::MovieClip* child = firstChildClip(root))
                jumpBack(*child, choice >> 24);
            paint(renderer, stage, image);
        } else if (tick == kForwardTick) {
            jumpForward(root, choice >> 40);
            if (swf::MovieClip* child = firstChildClip(root))
                jumpForward(*child, choice >> 52);
        }
        checkStage(stage);
    }
    paint(renderer, stage, image);
    return 0;
}
