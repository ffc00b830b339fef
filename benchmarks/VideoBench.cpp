// What video costs the window's thread, per frame shown: decoding in order on the caller's
// thread, against an FLV's playback and an embedded stream (DefineVideoStream) that decode
// on a thread of their own and never wait.
//   build/benchmarks/video_bench
// The clip (1280x720 Sorenson H.263, 50 frames) is encoded by ffmpeg when the benchmark
// starts; without ffmpeg the benchmarks are skipped.
#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/format/Tags.h"
#include "swf/format/Writer.h"
#include "swf/kinds/VideoInstance.h"
#include "swf/video/FlvPlayback.h"
#include "swf/video/FlvReader.h"
#include "swf/video/VideoDecoder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace swf;

const std::vector<uint8_t>& clip()
{
    static const std::vector<uint8_t> bytes = [] {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        QTemporaryDir dir;
        if (ffmpeg.isEmpty() || !dir.isValid())
            return std::vector<uint8_t> {};
        const QString out = dir.filePath(QStringLiteral("clip.flv"));
        QProcess process;
        process.start(ffmpeg,
            { "-v", "error", "-f", "lavfi", "-i", "testsrc=s=1280x720:r=25:d=2", "-c:v", "flv", "-q:v", "3",
                "-g", "25", "-an", "-f", "flv", out });
        QFile file(out);
        if (!process.waitForFinished(120000) || process.exitCode() != 0 || !file.open(QIODevice::ReadOnly))
            return std::vector<uint8_t> {};
        const QByteArray data = file.readAll();
        return std::vector<uint8_t>(data.begin(), data.end());
    }();
    return bytes;
}

std::vector<std::vector<uint8_t>> packets()
{
    std::vector<std::vector<uint8_t>> out;
    const auto header = readFlvHeader(clip());
    if (!header)
        return out;
    FlvReader reader(*header);
    while (const auto tag = reader.next(clip())) {
        if (const auto video = tag->type == 9 ? readFlvVideo(tag->data) : std::nullopt)
            out.emplace_back(video->packet.begin(), video->packet.end());
    }
    return out;
}

// Each frame decoded and converted where the picture is asked for.
void BM_VideoInOrderOnTheCaller(benchmark::State& state)
{
    const auto frames = packets();
    if (frames.empty()) {
        state.SkipWithError("no ffmpeg");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto decoder = VideoDecoder::open({ VideoCodec::SorensonH263 });
        state.ResumeTiming();
        for (n = 0; n < int(frames.size()); ++n) {
            decoder->decode(frames[size_t(n)]);
            benchmark::DoNotOptimize(decoder->picture());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

// The playback as the window plays it: a frame's time passes, the picture is asked for.
void BM_VideoOnItsThreadCallerTime(benchmark::State& state)
{
    if (clip().empty()) {
        state.SkipWithError("no ffmpeg");
        return;
    }
    int frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto playback = std::make_unique<FlvPlayback>();
        playback->setWaitForPictures(false);
        playback->append(clip());
        playback->finish();
        state.ResumeTiming();
        for (frames = 0; frames < 50; ++frames) {
            playback->advance(40);
            benchmark::DoNotOptimize(playback->picture());
        }
        state.PauseTiming(); // the join is not the window's per-frame cost
        playback.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * frames);
}

// The clip as a movie's embedded stream: one VideoFrame a frame, the placement's ratio
// the frame number.
std::shared_ptr<const Movie> embeddedMovie(const std::vector<std::vector<uint8_t>>& frames)
{
    Header header;
    header.version = 8;
    header.frameSize = Rect { 0, 1280 * 20, 0, 720 * 20 };
    header.frameRate = 25;
    Writer w(header);
    VideoStreamDefinition d;
    d.frameCount = uint16_t(frames.size());
    d.width = 1280;
    d.height = 720;
    d.codec = uint8_t(VideoCodec::SorensonH263);
    w.define(toCode(TagCode::DefineVideoStream), 1, videoStreamBody(d));
    for (size_t n = 0; n < frames.size(); ++n) {
        PlaceObject place;
        place.depth = 1;
        place.ratio = uint16_t(n);
        if (n == 0)
            place.characterId = 1;
        else
            place.move = true;
        w.place(place);
        w.rawTag(toCode(TagCode::VideoFrame), videoFrameBody(1, uint16_t(n), frames[n]));
        w.showFrame();
    }
    auto movie = parseMovie(w.finish(Compression::None));
    return movie ? std::make_shared<const Movie>(std::move(*movie)) : nullptr;
}

// The stream as the window plays it: the stage moves on a frame, the picture is asked for.
void BM_EmbeddedVideoOnItsThreadCallerTime(benchmark::State& state)
{
    const auto movie = embeddedMovie(packets());
    if (!movie || clip().empty()) {
        state.SkipWithError("no ffmpeg");
        return;
    }
    int frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto stage = std::make_unique<Stage>(movie);
        stage->setStepped(false);
        stage->start();
        const auto* video = dynamic_cast<const VideoInstance*>(stage->root().at(1));
        state.ResumeTiming();
        for (frames = 0; video && frames < 50; ++frames) {
            benchmark::DoNotOptimize(video->picture());
            stage->advance();
        }
        state.PauseTiming(); // the join is not the window's per-frame cost
        stage.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * frames);
}

BENCHMARK(BM_VideoInOrderOnTheCaller)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoOnItsThreadCallerTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmbeddedVideoOnItsThreadCallerTime)->Unit(benchmark::kMillisecond);

} // namespace
