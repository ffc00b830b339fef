#include "ExportCommand.h"

#include "Options.h"
#include "Progress.h"
#include "Session.h"

#include "swf/export/ExportFormat.h"
#include "swf/export/Exporter.h"
#include "swf/export/MediaFile.h"
#include "swf/export/PngSequence.h"
#include "swf/export/TemporaryOutput.h"
#include "swf/sound/RecordingSoundOutput.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace cli {
namespace {

using namespace swf::exporting;

constexpr int kInterrupted = 130; // as a shell reports a command ended by Ctrl+C
constexpr int kMaxSide = 4096;

// Set by Ctrl+C (or a polite kill) so that the export stops between two frames and
// removes what it began; the one thing a signal handler may touch.
std::atomic<bool> interrupted { false };

extern "C" void interrupt(int)
{
    interrupted = true;
}

int fail(const QString& message, int code)
{
    std::fprintf(stderr, "zorvaplay-swf export: %s\n", message.toLocal8Bit().constData());
    return code;
}

// An option's value within [low, high]; `ok` false (with the message printed) when it is
// given but is not such a number.
template <typename Number>
std::optional<Number> withinRange(std::optional<Number> value, bool valid, std::string_view name, Number low,
    Number high, const QString& meaning, bool& ok)
{
    if (!valid || (value && (*value < low || *value > high))) {
        fail(QStringLiteral("%1 需要 %2 到 %3 之间的%4")
                 .arg(QString::fromUtf8(name))
                 .arg(low)
                 .arg(high)
                 .arg(meaning),
            kUsage);
        ok = false;
    }
    return value;
}

std::optional<long long> wholeOption(const Options& options, std::string_view name, long long low,
    long long high, const QString& meaning, bool& ok)
{
    bool valid = true;
    const auto value = options.number(name, valid);
    return withinRange(value, valid, name, low, high, meaning, ok);
}

std::optional<double> decimalOption(
    const Options& options, std::string_view name, double low, double high, const QString& meaning, bool& ok)
{
    bool valid = true;
    const auto value = options.decimal(name, valid);
    return withinRange(value, valid, name, low, high, meaning, ok);
}

// The video's size: the movie's, or what was asked, the other side following the
// movie's shape; even sides for the encoders that take half-size colour.
QSize videoSize(
    QSize movie, std::optional<long long> width, std::optional<long long> height, Container container)
{
    double w = movie.width();
    double h = movie.height();
    if (width && height) {
        w = double(*width);
        h = double(*height);
    } else if (width) {
        h = h * double(*width) / w;
        w = double(*width);
    } else if (height) {
        w = w * double(*height) / h;
        h = double(*height);
    }
    const bool even = container == Container::Mp4 || container == Container::WebM;
    const auto side = [even](double v) {
        int pixels = std::clamp(static_cast<int>(std::lround(v)), 1, kMaxSide);
        return even ? std::max(2, pixels + (pixels & 1)) : pixels;
    };
    return QSize(side(w), side(h));
}

QString reasonText(MovieEnd::Reason reason)
{
    switch (reason) {
    case MovieEnd::Reason::LastFrame:
        return QStringLiteral("到动画结尾为止");
    case MovieEnd::Reason::Loop:
        return QStringLiteral("到动画循环处为止");
    case MovieEnd::Reason::StandsStill:
        return QStringLiteral("动画停住不动，到此为止；要更长请用 --seconds，要点击请用 --click");
    case MovieEnd::Reason::TooLong:
        return QStringLiteral("动画没有结尾，导出 %1 分钟为止").arg(MovieEnd::kMaxSeconds / 60);
    case MovieEnd::Reason::None:
        break;
    }
    return {};
}

struct Request {
    QString movie;
    QString out;
    Container container;
    std::optional<long long> width, height, frames, quality;
    std::optional<double> fps, seconds;
    std::vector<Click> clicks;
};

std::optional<Request> readRequest(const Options& options)
{
    if (options.positional().size() != 2) {
        fail(QStringLiteral("需要一个动画文件和一个输出文件"), kUsage);
        return std::nullopt;
    }
    Request request;
    request.movie = QString::fromLocal8Bit(options.positional()[0].c_str());
    request.out = QString::fromLocal8Bit(options.positional()[1].c_str());
    const auto container = containerFor(request.out);
    if (!container) {
        fail(QStringLiteral("不认识输出文件 %1 的格式：请用 .mp4、.webm、.gif 或 .png（PNG 序列）")
                 .arg(request.out),
            kUsage);
        return std::nullopt;
    }
    request.container = *container;
    bool ok = true;
    request.width = wholeOption(options, "--width", 1, kMaxSide, QStringLiteral("像素数"), ok);
    request.height = wholeOption(options, "--height", 1, kMaxSide, QStringLiteral("像素数"), ok);
    request.frames = wholeOption(options, "--frames", 1, 10'000'000, QStringLiteral("帧数"), ok);
    request.quality = wholeOption(options, "--quality", 1, 100, QStringLiteral("质量（越大越好）"), ok);
    request.fps = decimalOption(options, "--fps", 1, 120, QStringLiteral("帧率"), ok);
    request.seconds = decimalOption(options, "--seconds", 0.001, 24 * 3600, QStringLiteral("秒数"), ok);
    if (!ok)
        return std::nullopt;
    if (request.frames && request.seconds) {
        fail(QStringLiteral("--frames 和 --seconds 只能用一个"), kUsage);
        return std::nullopt;
    }
    if (const auto click = options.value("--click")) {
        QString error;
        const auto clicks = parseClicks(QString::fromLocal8Bit(click->c_str()), error);
        if (!clicks) {
            fail(error, kUsage);
            return std::nullopt;
        }
        request.clicks = *clicks;
    }
    return request;
}

ExportSettings settingsFor(const Request& request, const Session& session, const swf::Player& player)
{
    ExportSettings settings;
    settings.size = videoSize(session.pictureSize(), request.width, request.height, request.container);
    settings.rate = frameRateOf(request.fps.value_or(player.frameRate()));
    if (request.frames)
        settings.frames = *request.frames;
    else if (request.seconds)
        settings.frames = std::max<int64_t>(1, std::llround(*request.seconds * settings.rate.value()));
    settings.quality = static_cast<int>(request.quality.value_or(80));
    settings.clicks = request.clicks;
    return settings;
}

// The output being written: a video file under a temporary name, or a PNG sequence
// with its sound under one.
struct Output {
    std::unique_ptr<TemporaryOutput> file;
    std::unique_ptr<FrameSink> sink;
    PngSequence* sequence = nullptr;
    QString codecs;
    QStringList notices;

    // Removes what a failed or interrupted export wrote.
    void discard()
    {
        if (sequence) {
            for (const QString& path : sequence->written())
                QFile::remove(path);
        }
        file.reset();
    }
};

std::optional<Output> openOutput(const Request& request, const ExportSettings& settings)
{
    Output output;
    const QString target
        = request.container == Container::PngSequence ? soundPathOf(request.out) : request.out;
    output.file = std::make_unique<TemporaryOutput>(target);
    if (!output.file->ok()) {
        fail(output.file->error(), kCannotWrite);
        return std::nullopt;
    }
    if (request.container == Container::PngSequence) {
        auto sequence = std::make_unique<PngSequence>(request.out, output.file->path(), settings.rate);
        output.sequence = sequence.get();
        output.sink = std::move(sequence);
        output.codecs = QStringLiteral("PNG + WAV");
        return output;
    }
    QString error;
    auto media = MediaFile::create(output.file->path(), request.container, settings, error);
    if (!media) {
        fail(error, kCannotWrite);
        return std::nullopt;
    }
    output.codecs = media->codecs();
    output.notices = media->notices();
    output.sink = std::move(media);
    return output;
}

QString summary(const Request& request, const ExportSettings& settings, const Output& output,
    const ExportResult& result, double elapsed)
{
    const double seconds = double(result.frames) / settings.rate.value();
    const QString format = output.codecs == containerName(request.container)
        ? output.codecs
        : QStringLiteral("%1（%2）").arg(containerName(request.container), output.codecs);
    // The name goes in last, in one pass, so that a '%' in it stays as it is.
    QString text = QStringLiteral("已导出 %7：%8，%1×%2，%3 帧/秒，%4 帧，%5 秒，用时 %6 秒")
                       .arg(settings.size.width())
                       .arg(settings.size.height())
                       .arg(settings.rate.value(), 0, 'g', 6)
                       .arg(result.frames)
                       .arg(seconds, 0, 'f', 2)
                       .arg(elapsed, 0, 'f', 1)
                       .arg(request.out, format);
    if (elapsed > 0)
        text += QStringLiteral("（实时的 %1 倍）").arg(seconds / elapsed, 0, 'f', 1);
    if (const QString reason = reasonText(result.end); !reason.isEmpty())
        text += QStringLiteral("；") + reason;
    for (const QString& notice : output.notices)
        text += QStringLiteral("；注意：") + notice;
    return text;
}

} // namespace

int commandExport(const Options& options)
{
    const auto request = readRequest(options);
    if (!request)
        return kUsage;

    swf::RecordingSoundOutput sound;
    Session session(swf::Player::ClockMode::Manual, &sound);
    session.start(options.positional()[0]);
    if (!session.waitForMovie())
        return fail(QStringLiteral("无法导出 %1：%2").arg(request->movie, session.player().errorString()),
            kUnreadable);

    // From the moment a file is begun, a stop request lets the export remove it.
    interrupted = false;
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    const ExportSettings settings = settingsFor(*request, session, session.player());
    auto output = openOutput(*request, settings);
    if (!output)
        return kCannotWrite;

    Progress progress;
    Exporter exporter(session.player(), sound, settings);
    const ExportResult result = exporter.run(
        *output->sink, [&](int64_t done, int64_t expected) { progress.update(done, expected); }, interrupted);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    if (result.outcome == ExportResult::Outcome::Interrupted) {
        output->discard();
        progress.clear();
        return fail(QStringLiteral("导出已中断，没有写出 %1").arg(request->out), kInterrupted);
    }
    if (result.outcome == ExportResult::Outcome::Failed || !output->file->commit()) {
        const QString why
            = result.outcome == ExportResult::Outcome::Failed ? result.error : output->file->error();
        output->discard();
        progress.clear();
        return fail(QStringLiteral("无法导出 %1：%2").arg(request->out, why), kCannotWrite);
    }
    progress.finish(summary(*request, settings, *output, result, progress.elapsedSeconds()));
    return kOk;
}

} // namespace cli
