// What an FLV's video costs the window's thread, per frame shown: decoding in order on the
// caller's thread, against the playback that decodes on its own thread and never waits.
//   build/benchmarks/video_bench
// The clip (1280x720 Sorenson H.263, 50 frames) is encoded by ffmpeg when the benchmark
// starts; without ffmpeg the benchmarks are skipped.
#include "swf/video/FlvPlayback.h"
#include "swf/video/FlvReader.h"
#include "swf/video/VideoPlayback.h"

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
        VideoPlayback playback({ VideoCodec::SorensonH263 });
        state.ResumeTiming();
        for (n = 0; n < int(frames.size()); ++n)
            benchmark::DoNotOptimize(playback.frame(n, [&](int i) -> std::optional<VideoPacket> {
                return VideoPacket { frames[size_t(i)], i % 25 == 0 };
            }));
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

BENCHMARK(BM_VideoInOrderOnTheCaller)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoOnItsThreadCallerTime)->Unit(benchmark::kMillisecond);

} // namespace
