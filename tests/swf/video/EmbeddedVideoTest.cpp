// Embedded video: clips that FFmpeg encodes at test time, wrapped into movies as
// DefineVideoStream and VideoFrame tags, drawn by the engine; the colours of given frames,
// the order of decoding and what damaged streams do.
#include "Clips.h"

#include "../runtime/Fixtures.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/kinds/VideoInstance.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

// A movie playing on a stage, drawn on demand.
class Played {
public:
    explicit Played(const Writer& writer)
        : stage_(readBack(writer))
    {
        stage_.start();
    }
    Stage& stage() { return stage_; }
    VideoInstance* video(int depth = 1) { return dynamic_cast<VideoInstance*>(stage_.root().at(depth)); }
    QImage draw()
    {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        Renderer().render(painter, stage_, QRectF(image.rect()));
        return image;
    }
    // Advances to 0-based frame `frame` by playing, drawing each frame on the way.
    void playTo(int frame)
    {
        while (stage_.root().currentFrame() < frame) {
            stage_.advance();
            draw();
        }
    }

private:
    Stage stage_;
};

std::optional<Clip> redThenBlue(const QString& codec, int keyInterval = 3)
{
    return encodeClip(twoColours("red", "blue", 5), codec, keyInterval);
}

#define REQUIRE_CLIP(clip)                                                                                   \
    if (!(clip) || (clip)->frames.size() != 10)                                                              \
        GTEST_SKIP() << "the ffmpeg command or its encoder is missing";

// ---- Records, byte by byte as the format documents them -----------------------------------

TEST(VideoRecords, DefineVideoStreamLayout)
{
    // NumFrames 10, Width 320, Height 240, flags: reserved 4 bits, deblocking 3 bits (2),
    // smoothing 1 bit (1), CodecID 2 (Sorenson H.263).
    const std::vector<uint8_t> body { 0x0A, 0x00, 0x40, 0x01, 0xF0, 0x00, 0x05, 0x02 };
    const auto d = readVideoStream(body);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->frameCount, 10);
    EXPECT_EQ(d->width, 320);
    EXPECT_EQ(d->height, 240);
    EXPECT_EQ(d->deblocking, 2);
    EXPECT_TRUE(d->smoothing);
    EXPECT_EQ(d->codec, 2);
    EXPECT_EQ(videoStreamBody(*d), body);
    EXPECT_FALSE(readVideoStream(std::span(body).first(7)));
}

TEST(VideoRecords, VideoFrameLayout)
{
    // StreamID 1, FrameNum 258, then the packet.
    const std::vector<uint8_t> body { 0x01, 0x00, 0x02, 0x01, 0xAA, 0xBB };
    const auto f = readVideoFrame(body);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->streamId, 1);
    EXPECT_EQ(f->frameNumber, 258);
    EXPECT_EQ(
        std::vector<uint8_t>(f->packet.begin(), f->packet.end()), (std::vector<uint8_t> { 0xAA, 0xBB }));
    EXPECT_EQ(videoFrameBody(1, 258, f->packet), body);
    EXPECT_FALSE(readVideoFrame(std::span(body).first(3)));
}

TEST(VideoRecords, KeyFramesOfVp6AndDamagedHeaders)
{
    // VP6: the first bit is 0 on an intra frame; VP6 with alpha puts a 24-bit offset first.
    EXPECT_TRUE(isKeyFrame(VideoCodec::Vp6, std::vector<uint8_t> { 0x00, 0x10 }));
    EXPECT_FALSE(isKeyFrame(VideoCodec::Vp6, std::vector<uint8_t> { 0x80, 0x10 }));
    EXPECT_TRUE(isKeyFrame(VideoCodec::Vp6Alpha, std::vector<uint8_t> { 0x00, 0x00, 0x05, 0x36 }));
    EXPECT_FALSE(isKeyFrame(VideoCodec::Vp6Alpha, std::vector<uint8_t> { 0x00, 0x00, 0x05, 0x80 }));
    for (VideoCodec codec : { VideoCodec::SorensonH263, VideoCodec::ScreenVideo, VideoCodec::ScreenVideo2,
             VideoCodec::Vp6, VideoCodec::Vp6Alpha })
        EXPECT_FALSE(isKeyFrame(codec, {}));
    // Screen video: a 16x16 picture of one block whose size is 0 (unchanged) is no key frame.
    EXPECT_FALSE(
        isKeyFrame(VideoCodec::ScreenVideo, std::vector<uint8_t> { 0x00, 0x10, 0x00, 0x10, 0x00, 0x00 }));
    EXPECT_TRUE(isKeyFrame(
        VideoCodec::ScreenVideo, std::vector<uint8_t> { 0x00, 0x10, 0x00, 0x10, 0x00, 0x01, 0x78 }));
}

// Our reading of each packet's key flag agrees with what the encoder wrote in the FLV.
TEST(VideoRecords, KeyFramesAgreeWithTheEncoder)
{
    for (const auto& [codec, id] :
        { std::pair { "flv", VideoCodec::SorensonH263 }, std::pair { "flashsv", VideoCodec::ScreenVideo },
            std::pair { "flashsv2", VideoCodec::ScreenVideo2 } }) {
        const auto clip = redThenBlue(codec, 4);
        if (!clip)
            continue;
        int keys = 0;
        for (const auto& frame : clip->frames) {
            keys += frame.key;
            EXPECT_EQ(isKeyFrame(id, frame.packet), frame.key) << codec;
        }
        EXPECT_GE(keys, 2) << codec;
    }
}

// ---- Playing embedded video ----------------------------------------------------------------

TEST(EmbeddedVideo, SorensonFramesShowTheirColoursInOrder)
{
    const auto clip = redThenBlue("flv");
    REQUIRE_CLIP(clip);
    Played movie(embeddedMovie(*clip, VideoCodec::SorensonH263));
    ASSERT_TRUE(movie.video());
    EXPECT_TRUE(near(pixel(movie.draw(), 16, 16), kRed, 24));
    EXPECT_EQ(pixel(movie.draw(), 48, 48), kWhite); // outside the 32x32 box
    movie.playTo(4);
    EXPECT_TRUE(near(pixel(movie.draw(), 16, 16), kRed, 24));
    movie.playTo(5);
    EXPECT_TRUE(near(pixel(movie.draw(), 16, 16), kBlue, 24));
    movie.playTo(9);
    EXPECT_TRUE(near(pixel(movie.draw(), 31, 31), kBlue, 24));
    // Each frame went through the decoder once, however often it was drawn.
    EXPECT_EQ(movie.video()->decodedCount(), 10);
}

TEST(EmbeddedVideo, ScreenVideoIsExact)
{
    for (const auto& [codec, id] : { std::pair { "flashsv", VideoCodec::ScreenVideo },
             std::pair { "flashsv2", VideoCodec::ScreenVideo2 } }) {
        const auto clip = redThenBlue(codec);
        if (!clip || clip->frames.size() != 10)
            continue;
        Played movie(embeddedMovie(*clip, id));
        EXPECT_EQ(pixel(movie.draw(), 0, 0), kRed) << codec;
        movie.playTo(7);
        EXPECT_EQ(pixel(movie.draw(), 31, 31), kBlue) << codec;
    }
}

// The frame of the last key frame at or before `frame`, as the encoder marked them.
int keyBefore(const Clip& clip, int frame)
{
    while (frame > 0 && !clip.frames[size_t(frame)].key)
        --frame;
    return frame;
}

// Every frame differs: each frame shows the picture that decoding the stream in order
// makes of it, whether reached in order (each packet decoded once however often it is
// drawn), by a goto back (from the key frame before it), or by a jump on past a key frame
// (the frames before that key frame are not decoded). With the placement's ratios, and
// following the timeline without them.
TEST(EmbeddedVideo, RightPictureInOrderAndAfterJumps)
{
    // 60 frames, a key frame every 20 at least.
    const auto clip = encodeClip("testsrc=s=64x48:r=10:d=6", "flv", 20);
    if (!clip || clip->frames.size() != 60)
        GTEST_SKIP() << "the ffmpeg command or its encoder is missing";
    const auto inOrder = decodeInOrder(*clip, VideoCodec::SorensonH263);
    const int back = 25;
    const int on = 57;
    const int ahead = int(VideoInstance::kFramesAhead);
    ASSERT_GT(keyBefore(*clip, on), back + 1 + ahead) << "a key frame between the two";
    for (bool ratios : { true, false }) {
        Played movie(embeddedMovie(*clip, VideoCodec::SorensonH263, ratios));
        for (int frame = 0; frame < 60; ++frame) {
            movie.playTo(frame);
            for (int draw = 0; draw < 2; ++draw) {
                const auto shown = movie.video()->picture();
                ASSERT_TRUE(shown && inOrder[size_t(frame)]);
                ASSERT_EQ(*shown, *inOrder[size_t(frame)]) << "frame " << frame << " ratios " << ratios;
            }
        }
        EXPECT_EQ(movie.video()->decodedCount(), 60) << "ratios " << ratios;

        int before = movie.video()->decodedCount();
        movie.stage().root().gotoFrame(back);
        EXPECT_EQ(*movie.video()->picture(), *inOrder[back]) << "ratios " << ratios;
        const int needed = back - keyBefore(*clip, back) + 1;
        EXPECT_GE(movie.video()->decodedCount() - before, needed);
        EXPECT_LE(movie.video()->decodedCount() - before, needed + ahead);

        before = movie.video()->decodedCount();
        movie.stage().root().gotoFrame(on);
        EXPECT_EQ(*movie.video()->picture(), *inOrder[on]) << "ratios " << ratios;
        // At most the frames handed over ahead before the jump, and those from the key frame.
        EXPECT_LE(movie.video()->decodedCount() - before, on - keyBefore(*clip, on) + 1 + 2 * ahead);
    }
}

// Videos made by a script and taken away again while their threads decode the frames
// ahead (large ones): each goes at once, gives its thread back to the stage, and the next
// one shows the right picture, well past the stage's number of decode threads.
TEST(EmbeddedVideo, RemovedWhileDecoding)
{
    const auto clip = encodeClip("testsrc=s=640x480:r=10:d=1", "flv", 10);
    if (!clip || clip->frames.size() != 10)
        GTEST_SKIP() << "the ffmpeg command or its encoder is missing";
    const auto inOrder = decodeInOrder(*clip, VideoCodec::SorensonH263);
    Played movie(embeddedMovie(*clip, VideoCodec::SorensonH263));
    movie.playTo(2);
    MovieClip& root = movie.stage().root();
    for (int made = 0; made < Stage::kMaxDecodeThreads + 8; ++made) {
        auto* video = dynamic_cast<VideoInstance*>(root.placeByScript(1, "copy", 0));
        ASSERT_TRUE(video);
        const auto shown = video->picture();
        ASSERT_TRUE(shown) << "video " << made;
        ASSERT_EQ(*shown, *inOrder[2]) << "video " << made;
        ASSERT_TRUE(root.remove(*video));
    }
    EXPECT_EQ(*movie.video()->picture(), *inOrder[2]);
}

// Without ratios the stream shows the last VideoFrame its timeline reached.
TEST(EmbeddedVideo, FramesFollowTheTimelineWithoutRatios)
{
    const auto clip = redThenBlue("flashsv");
    REQUIRE_CLIP(clip);
    Played movie(embeddedMovie(*clip, VideoCodec::ScreenVideo, false));
    EXPECT_EQ(pixel(movie.draw(), 8, 8), kRed);
    movie.playTo(6);
    EXPECT_EQ(pixel(movie.draw(), 8, 8), kBlue);
}

// The video is drawn like any object: scaled by its matrix and through its colour transform.
TEST(EmbeddedVideo, ScaledAndColourTransformed)
{
    const auto clip = redThenBlue("flashsv");
    REQUIRE_CLIP(clip);
    Writer w = embeddedMovie(*clip, VideoCodec::ScreenVideo);
    PlaceObject move = moveTo(1, 0, 0);
    move.matrix->a = 2;
    move.matrix->d = 0.5;
    ColorTransform cx;
    cx.rMul = 0;
    cx.gAdd = 255;
    move.colorTransform = cx;
    w.place(move);
    w.showFrame();
    Played movie(w);
    movie.playTo(10);
    const QImage image = movie.draw();
    EXPECT_EQ(pixel(image, 60, 8), QColor(0, 255, 255)); // blue, red gone, green added
    EXPECT_EQ(pixel(image, 60, 20), kWhite); // half the height
}

// A stream whose codec is unknown, or whose packets are cut or flipped, draws what
// decodes and never crashes.
TEST(EmbeddedVideo, DamagedStreamsDrawWhatDecodes)
{
    const auto clip = redThenBlue("flv");
    REQUIRE_CLIP(clip);
    for (int damage = 0; damage < 4; ++damage) {
        Clip broken = *clip;
        for (size_t i = 0; i < broken.frames.size(); ++i) {
            auto& p = broken.frames[i].packet;
            if (damage == 0)
                p.resize(p.size() / 2);
            else if (damage == 1)
                for (size_t b = 4; b < p.size(); b += 7)
                    p[b] ^= 0x5A;
            else if (damage == 2 && i % 2)
                p.clear();
            else if (damage == 3)
                p.assign(p.begin(), p.begin() + std::min<size_t>(p.size(), 5));
        }
        Played movie(embeddedMovie(broken, VideoCodec::SorensonH263));
        movie.playTo(9);
        movie.stage().root().gotoFrame(2);
        movie.draw();
    }
    Played unknown(embeddedMovie(*clip, VideoCodec(9)));
    EXPECT_EQ(pixel(unknown.draw(), 8, 8), kWhite);
}

// An H.263 picture header that claims 65535 x 65535 pixels is refused, not allocated.
TEST(EmbeddedVideo, HugeDeclaredPictureDrawsNothing)
{
    // Start code, version 0, temporal reference 0, size 1 (16-bit width and height),
    // 0xFFFF x 0xFFFF, intra picture.
    const std::vector<uint8_t> header { 0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00 };
    EXPECT_TRUE(isKeyFrame(VideoCodec::SorensonH263, header));
    Clip clip;
    clip.frames.push_back({ header, true, 0 });
    Writer w = embeddedMovie(clip, VideoCodec::SorensonH263);
    Played movie(w);
    EXPECT_EQ(pixel(movie.draw(), 8, 8), kWhite);
}

} // namespace
} // namespace swf::test
