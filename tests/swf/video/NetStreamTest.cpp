// FLV files played from scripts: NetConnection, NetStream and Video.attachVideo, through
// the real player, with the order of the events scripts hear and the picture shown.
#include "Clips.h"

#include "../runtime/Fixtures.h"
#include "../runtime/HttpServer.h"
#include "../script/ScriptFixture.h"

#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/render/Renderer.h"
#include "swf/sound/Mixer.h"
#include "swf/sound/RecordingSoundOutput.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace swf::test {
namespace {

using A = ActionCode;

// A movie with a 32x32 video object "vid" whose script plays `url` into it and traces each
// status code, the metadata's width and each cue point's name.
Writer streamMovie(const std::string& url)
{
    Writer w(stageHeader(64, 64, 10));
    w.setBackground({ 255, 255, 255, 255 });
    VideoStreamDefinition d;
    d.width = 32;
    d.height = 32;
    d.codec = uint8_t(VideoCodec::ScreenVideo);
    w.define(toCode(TagCode::DefineVideoStream), 1, videoStreamBody(d));
    PlaceObject place = placeAt(1, 1);
    place.name = "vid";
    w.place(place);

    Asm onStatus;
    onStatus.get("info").push("code").op(A::GetMember).op(A::Trace);
    Asm onMeta;
    onMeta.push("width ").get("m").push("width").op(A::GetMember).op(A::Add2).op(A::Trace);
    Asm a;
    a.assignNew("nc", "NetConnection");
    a.pushNull().get("nc").callMethod("connect", 1).op(A::Trace);
    a.push("ns").get("nc").pushInt(1).push("NetStream").op(A::NewObject).op(A::SetVariable);
    a.get("ns").push("onStatus").function("", { "info" }, onStatus).op(A::SetMember);
    a.get("ns").push("onMetaData").function("", { "m" }, onMeta).op(A::SetMember);
    a.get("ns").get("vid").callMethod("attachVideo", 1).op(A::Pop);
    a.push(url).get("ns").callMethod("play", 1).op(A::Pop);
    a.op(A::Stop);
    w.doAction(a.bytes());
    w.showFrame();
    return w;
}

QImage drawStage(Player& player)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    Renderer().render(painter, *player.stage(), QRectF(image.rect()));
    return image;
}

void playFrames(ScriptRun& run, int frames)
{
    for (int i = 0; i < frames; ++i) {
        QCoreApplication::processEvents();
        run.advance();
    }
}

TEST(NetStream, PlaysALocalFileIntoAVideo)
{
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flashsv", 3);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    QTemporaryDir dir;
    QFile file(dir.filePath("clip.flv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(clip->flv.data()), qint64(clip->flv.size()));
    file.close();

    ScriptRun run;
    run.play(streamMovie(file.fileName().toStdString()));
    playFrames(run, 3);
    EXPECT_EQ(pixel(drawStage(run.player()), 8, 8), QColor(255, 0, 0));
    playFrames(run, 20);
    EXPECT_EQ(run.traces,
        (QStringList { "true", "NetStream.Play.Start", "NetStream.Buffer.Full", "width 32",
            "NetStream.Play.Stop", "NetStream.Buffer.Empty" }));
    EXPECT_EQ(pixel(drawStage(run.player()), 8, 8), QColor(0, 0, 255));
    EXPECT_EQ(pixel(drawStage(run.player()), 40, 40), QColor(255, 255, 255));
}

// Frames until the script has said `last`, the network given time between them.
void playUntil(ScriptRun& run, const QString& last, int maxFrames = 200)
{
    for (int i = 0; i < maxFrames && !run.traces.contains(last); ++i) {
        QTest::qWait(5);
        run.advance();
    }
}

TEST(NetStream, PlaysAnHttpStream)
{
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flashsv", 3);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    const QByteArray body(reinterpret_cast<const char*>(clip->flv.data()), qsizetype(clip->flv.size()));
    HttpServer server(body);
    ScriptRun run;
    run.play(streamMovie(server.url("/clip.flv").toString().toStdString()));
    // The server sends the file in three pieces 150 ms apart: the stream may run dry and
    // fill again between them, however the time falls.
    playUntil(run, "NetStream.Play.Stop");
    playUntil(run, "never", 2);
    ASSERT_GE(run.traces.size(), 6);
    EXPECT_EQ(run.traces.first(4),
        (QStringList { "true", "NetStream.Play.Start", "NetStream.Buffer.Full", "width 32" }));
    EXPECT_EQ(run.traces.last(2), (QStringList { "NetStream.Play.Stop", "NetStream.Buffer.Empty" }));
    EXPECT_EQ(pixel(drawStage(run.player()), 8, 8), QColor(0, 0, 255));
}

TEST(NetStream, MissingFileIsStreamNotFound)
{
    ScriptRun run;
    run.play(streamMovie("no such file.flv"));
    playFrames(run, 5);
    EXPECT_EQ(run.traces, (QStringList { "true", "NetStream.Play.StreamNotFound" }));
}

// A movie that plays `url` into "vid" at 10 frames a second, closes the stream on frame
// `closeAt` and clears the video on `clearAt` (0: never), then stops.
Writer closingMovie(const std::string& url, int closeAt, int clearAt = 0)
{
    Writer w(stageHeader(64, 64, 10));
    w.setBackground({ 255, 255, 255, 255 });
    VideoStreamDefinition d;
    d.width = 32;
    d.height = 32;
    d.codec = uint8_t(VideoCodec::ScreenVideo);
    w.define(toCode(TagCode::DefineVideoStream), 1, videoStreamBody(d));
    PlaceObject place = placeAt(1, 1);
    place.name = "vid";
    w.place(place);
    Asm a;
    a.assignNew("nc", "NetConnection");
    a.pushNull().get("nc").callMethod("connect", 1).op(A::Pop);
    a.push("ns").get("nc").pushInt(1).push("NetStream").op(A::NewObject).op(A::SetVariable);
    a.get("ns").get("vid").callMethod("attachVideo", 1).op(A::Pop);
    a.push(url).get("ns").callMethod("play", 1).op(A::Pop);
    w.doAction(a.bytes());
    w.showFrame();
    for (int frame = 2; frame <= std::max(closeAt, clearAt); ++frame) {
        Asm later;
        if (frame == closeAt)
            later.get("ns").callMethod("close", 0).op(A::Pop);
        if (frame == clearAt)
            later.get("vid").callMethod("clear", 0).op(A::Pop);
        if (frame == std::max(closeAt, clearAt))
            later.op(A::Stop);
        w.doAction(later.bytes());
        w.showFrame();
    }
    return w;
}

// Where the mix is audible: its first and last frame above `threshold`, and its peak.
struct Heard {
    size_t first = 0;
    size_t last = 0;
    int peak = 0;
    size_t length() const { return peak > 0 ? last - first + 1 : 0; }
};

Heard heard(const RecordingSoundOutput& output, int threshold = 300)
{
    Heard h;
    const auto& samples = output.samples();
    for (size_t i = 0; i < samples.size(); ++i) {
        const int level = std::abs(int(samples[i]));
        if (level < threshold)
            continue;
        if (h.peak == 0)
            h.first = i / 2;
        h.last = i / 2;
        h.peak = std::max(h.peak, level);
    }
    return h;
}

// Half a second of a 440 Hz tone at an eighth of full scale, in each coding a file may
// carry, reaches the mix for as long as it lasts, at its level.
TEST(NetStream, TheFilesSoundIsMixed)
{
    const int tone = 32768 / 8;
    for (const char* codec : { "pcm_s16le", "adpcm_swf", "libmp3lame", "nellymoser", "aac" }) {
        const auto flv = encodeSound("sine=f=440:d=0.5", codec);
        if (!flv) {
            std::printf("no ffmpeg encoder %s: skipped\n", codec);
            continue;
        }
        RecordingSoundOutput output;
        ScriptRun run(output);
        const QString path = run.put(
            "tone.flv", QByteArray(reinterpret_cast<const char*>(flv->data()), qsizetype(flv->size())));
        run.play(closingMovie(path.toStdString(), 0));
        playFrames(run, 20);
        const Heard h = heard(output);
        // Coders that pad the start and end (MP3, AAC) add up to a few thousand frames.
        EXPECT_NEAR(double(h.length()), 22050, 3000) << codec;
        EXPECT_NEAR(h.peak, tone, tone * 0.2) << codec;
    }
}

// close() silences the stream's sound within a fade and keeps the last picture as a
// still; Video.clear() then blanks the video.
TEST(NetStream, CloseStopsTheSoundAndKeepsTheLastPicture)
{
    const auto flv = encodeSound("sine=f=440:d=3", "pcm_s16le");
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flashsv", 3);
    if (!flv || !clip)
        GTEST_SKIP() << "no ffmpeg";
    RecordingSoundOutput output;
    ScriptRun run(output);
    const QString sound
        = run.put("tone.flv", QByteArray(reinterpret_cast<const char*>(flv->data()), qsizetype(flv->size())));
    run.play(closingMovie(sound.toStdString(), 12));
    playFrames(run, 20);
    const Heard h = heard(output);
    ASSERT_GT(h.peak, 0);
    // Closed on frame 12: its sound (frames 12 * 4410 on) fades out within Mixer::kFadeFrames.
    EXPECT_LT(h.last, 12 * 4410 + Mixer::kFadeFrames);
    EXPECT_GT(h.last, 10 * 4410);

    ScriptRun video;
    const QString file = video.put(
        "clip.flv", QByteArray(reinterpret_cast<const char*>(clip->flv.data()), qsizetype(clip->flv.size())));
    video.play(closingMovie(file.toStdString(), 12, 16));
    playFrames(video, 14);
    EXPECT_EQ(pixel(drawStage(video.player()), 8, 8), QColor(0, 0, 255)) << "closed: the last picture stays";
    playFrames(video, 4);
    EXPECT_EQ(pixel(drawStage(video.player()), 8, 8), QColor(255, 255, 255)) << "cleared";
}

} // namespace
} // namespace swf::test
