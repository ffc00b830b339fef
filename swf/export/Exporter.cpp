#include "Exporter.h"

#include "FrameQueue.h"

#include "swf/display/Stage.h"
#include "swf/player/Player.h"
#include "swf/sound/RecordingSoundOutput.h"

#include <QPainter>

#include <cmath>
#include <thread>

namespace swf::exporting {

Exporter::Exporter(Player& player, RecordingSoundOutput& sound, const ExportSettings& settings)
    : player_(player)
    , sound_(sound)
    , settings_(settings)
    , clicks_(settings.clicks)
    , end_(player.frameRate())
    , movieRate_(player.frameRate() > 0 ? player.frameRate() : 12.0)
{
}

int64_t Exporter::expectedFrames() const
{
    if (settings_.frames)
        return *settings_.frames;
    const int movieFrames = player_.stage() ? player_.stage()->root().frameCount() : 1;
    return std::max<int64_t>(1, std::llround(movieFrames * settings_.rate.value() / movieRate_));
}

QImage Exporter::draw() const
{
    QImage picture(settings_.size, QImage::Format_RGB32);
    QPainter painter(&picture);
    player_.render(painter, picture.rect());
    return picture;
}

MovieEnd::Verdict Exporter::runMovieTo(int64_t frame)
{
    MovieEnd::Verdict verdict = MovieEnd::Verdict::Go;
    while (movieFrame_ < frame && verdict == MovieEnd::Verdict::Go) {
        // A click at S seconds is made just before the frame due at S runs.
        for (const Click& click : clicks_.dueBy((movieFrame_ + 1) / movieRate_)) {
            const Rect& stage = player_.stage()->movie().header.frameSize;
            player_.pointerMove(
                QPointF(stage.xMin + click.pixels.x() * 20, stage.yMin + click.pixels.y() * 20));
            player_.pointerPress();
            player_.pointerRelease();
        }
        player_.advanceFrame();
        ++movieFrame_;
        if (!settings_.frames && player_.stage())
            verdict = end_.frameRun(*player_.stage(), clicks_.pending());
    }
    return verdict;
}

ExportResult Exporter::run(FrameSink& sink, const Progress& progress, const std::atomic<bool>& stop)
{
    ExportResult result;
    FrameQueue queue;
    QString sinkError;
    std::thread encoder([&] {
        while (auto frame = queue.pop()) {
            if (!sink.addFrame(frame->picture, frame->sound)) {
                sinkError = sink.error();
                queue.abandon();
                return;
            }
        }
    });

    const int64_t expected = expectedFrames();
    for (int64_t k = 0; !settings_.frames || k < *settings_.frames; ++k) {
        if (stop) {
            result.outcome = ExportResult::Outcome::Interrupted;
            break;
        }
        // The movie frame showing at k / fps, in whole frames (a hair of slack keeps exact
        // multiples from rounding down).
        const auto target = static_cast<int64_t>(std::floor(k * movieRate_ / settings_.rate.value() + 1e-9));
        const MovieEnd::Verdict verdict = runMovieTo(target);
        if (verdict == MovieEnd::Verdict::EndBefore || !player_.stage())
            break;
        ExportFrame frame { draw(), sound_.samples() };
        sound_.clear();
        if (!queue.push(std::move(frame)))
            break; // the encoder failed
        ++result.frames;
        if (progress)
            progress(result.frames, std::max(expected, result.frames + 1));
        if (verdict == MovieEnd::Verdict::EndWith)
            break;
    }
    queue.close();
    encoder.join();
    result.end = end_.reason();
    if (!sinkError.isEmpty()) {
        result.outcome = ExportResult::Outcome::Failed;
        result.error = sinkError;
    } else if (result.outcome == ExportResult::Outcome::Done && !sink.finish()) {
        result.outcome = ExportResult::Outcome::Failed;
        result.error = sink.error();
    }
    return result;
}

} // namespace swf::exporting
