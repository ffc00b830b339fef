// FLV files played from scripts: NetConnection, NetStream and Video.attachVideo, through
// the real player, with the order of the events scripts hear and the picture shown.
#include "Clips.h"

#include "../runtime/Fixtures.h"
#include "../runtime/HttpServer.h"
#include "../script/ScriptFixture.h"

#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/render/Renderer.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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

} // namespace
} // namespace swf::test
