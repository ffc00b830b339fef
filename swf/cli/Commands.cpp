#include "Commands.h"

#include "Session.h"

#include "swf/display/Stage.h"
#include "swf/sound/WavFileOutput.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace cli {
namespace {

const char* compressionName(swf::Compression compression)
{
    switch (compression) {
    case swf::Compression::Zlib:
        return "CWS (zlib)";
    case swf::Compression::Lzma:
        return "ZWS (LZMA)";
    case swf::Compression::None:
        break;
    }
    return "FWS (uncompressed)";
}

// The ActionScript generation: 3 when a DoABC tag appears or the FileAttributes tag sets
// its ActionScript3 flag, else 1/2.
std::string actionScriptVersion(const swf::Movie& movie)
{
    if (movie.hasDoAbc)
        return "3 (DoABC)";
    if (movie.fileAttributes)
        return movie.fileAttributes->actionScript3 ? "3 (FileAttributes)" : "1/2 (FileAttributes)";
    return "1/2";
}

bool oneFile(const Options& options)
{
    if (options.positional().size() == 1)
        return true;
    printError(options.positional().empty() ? "no movie given" : "more than one movie given");
    return false;
}

} // namespace

int commandInfo(const Options& options)
{
    if (!oneFile(options))
        return kUsage;
    const std::string& file = options.positional().front();
    Session session(swf::Player::ClockMode::Manual);
    session.start(file);
    if (!session.waitUntilLoaded())
        return kUnreadable;
    const swf::Movie& movie = session.player().stage()->movie();
    const swf::Header& h = movie.header;
    std::printf("file:          %s\n", file.c_str());
    std::printf("signature:     %s\n", compressionName(h.compression));
    std::printf("version:       %d\n", int(h.version));
    std::printf("file length:   %u bytes declared, %lld read\n", h.fileLength,
        static_cast<long long>(session.player().bytesLoaded()));
    std::printf("stage:         %.2f x %.2f px (twips %d,%d to %d,%d)\n", h.frameSize.width() / 20.0,
        h.frameSize.height() / 20.0, h.frameSize.xMin, h.frameSize.yMin, h.frameSize.xMax, h.frameSize.yMax);
    std::printf("frame rate:    %.2f fps\n", h.frameRate);
    std::printf(
        "frames:        %u declared, %zu read\n", unsigned(h.frameCount), movie.timeline.frames.size());
    std::printf("actionscript:  %s\n", actionScriptVersion(movie).c_str());
    std::printf("background:    #%02x%02x%02x\n", movie.background.r, movie.background.g, movie.background.b);
    std::printf("characters:    %zu\n", movie.dictionary.size());
    std::printf("complete:      %s\n", movie.truncated ? "no (the file ends before its End tag)" : "yes");
    std::printf("warnings:      %zu\n", movie.warnings.size());
    for (const std::string& warning : movie.warnings)
        std::printf("  %s\n", warning.c_str());
    return kOk;
}

// `run` plays a movie headless and writes the stage. By frames (the default) it reads the
// whole movie, shows frame 1 and steps N - 1 frames; with --realtime it plays by the wall
// clock for S seconds while the movie arrives, exactly as the window does.
//
// Its picture is a snapshot to compare pixel for pixel with the reference player's, which
// draws every edge hard: a pixel is in a shape when its centre is. So `run` draws that way
// too, and --smooth draws anti-aliased edges as the window does at quality "High".
int commandRun(const Options& options)
{
    if (!oneFile(options))
        return kUsage;
    bool ok = true;
    const bool realtime = options.has("--realtime");
    if (realtime && options.has("--frames")) {
        printError("--frames and --realtime do not go together");
        return kUsage;
    }
    if (!realtime && options.has("--seconds")) {
        printError("--seconds goes with --realtime");
        return kUsage;
    }
    const auto png = options.value("--png");
    const auto wav = options.value("--wav");
    if (realtime && wav) {
        printError("--wav goes with --frames");
        return kUsage;
    }
    if (realtime) {
        const auto seconds = options.decimal("--seconds", ok);
        if (!ok || !seconds || *seconds < 0 || *seconds > 24 * 3600) {
            printError("--realtime needs --seconds S, a number of seconds");
            return kUsage;
        }
        Session session(swf::Player::ClockMode::Wall);
        session.player().setAntialiased(options.has("--smooth"));
        session.start(options.positional().front());
        session.playFor(*seconds);
        if (!session.player().stage() && session.player().readyState() == swf::Player::Complete) {
            printError("cannot read " + options.positional().front() + ": "
                + session.player().errorString().toStdString());
            return kUnreadable;
        }
        if (session.player().stage() && !session.playable())
            return kUnsupported;
        if (png && !session.writePicture(QString::fromLocal8Bit(png->c_str()), session.pictureSize()))
            return kCannotWrite;
        std::fflush(stdout);
        return kOk;
    }

    const auto frames = options.number("--frames", ok).value_or(1);
    if (!ok || frames < 1 || frames > 10'000'000) {
        printError("--frames needs a count of at least 1");
        return kUsage;
    }
    // The sound of each frame shown goes into the file as the frame is: N frames of a
    // movie at R frames a second make N / R seconds of sound.
    swf::WavFileOutput sound;
    if (wav && !sound.open(*wav)) {
        printError("cannot write " + *wav);
        return kCannotWrite;
    }
    Session session(swf::Player::ClockMode::Manual, wav ? &sound : nullptr);
    session.player().setAntialiased(options.has("--smooth"));
    session.start(options.positional().front());
    if (!session.waitUntilLoaded())
        return kUnreadable;
    if (!session.playable()) {
        if (png)
            session.writePicture(QString::fromLocal8Bit(png->c_str()), session.pictureSize());
        return kUnsupported;
    }
    // What the movie's scripts fetch (files, pages) arrives between frames; local files
    // are in before the next frame, and those asked for in the last one before the end.
    session.settleLoads();
    for (long long frame = 1; frame < frames && !session.quitAsked(); ++frame) {
        session.player().advanceFrame();
        session.settleLoads();
    }
    if (png && !session.writePicture(QString::fromLocal8Bit(png->c_str()), session.pictureSize()))
        return kCannotWrite;
    if (wav && !sound.close()) {
        printError("cannot write " + *wav);
        return kCannotWrite;
    }
    std::fflush(stdout);
    return kOk;
}

int commandFrames(const Options& options)
{
    if (!oneFile(options))
        return kUsage;
    const auto out = options.value("--out");
    if (!out) {
        printError("frames needs --out DIR");
        return kUsage;
    }
    bool ok = true;
    bool widthOk = true;
    const auto width = options.number("--width", widthOk);
    if (!widthOk || (width && (*width < 1 || *width > 100000))) {
        printError("--width needs a number of pixels");
        return kUsage;
    }
    Session session(swf::Player::ClockMode::Manual);
    session.start(options.positional().front());
    if (!session.waitUntilLoaded())
        return kUnreadable;
    const long long total = session.player().totalFrames();
    const long long from = options.number("--from", ok).value_or(1);
    bool toOk = true;
    const long long to = options.number("--to", toOk).value_or(total);
    if (!ok || !toOk || from < 1 || to < from || to > 10'000'000) {
        printError("--from and --to need frame numbers, 1 <= from <= to");
        return kUsage;
    }
    QDir dir(QString::fromLocal8Bit(out->c_str()));
    if (!dir.mkpath(QStringLiteral("."))) {
        printError("cannot make the folder " + *out);
        return kCannotWrite;
    }
    const QSize size = session.pictureSize(width ? std::optional<int>(int(*width)) : std::nullopt);
    for (long long frame = 1; frame <= to; ++frame) {
        if (frame > 1)
            session.player().advanceFrame();
        if (frame < from)
            continue;
        const QString name = QStringLiteral("frame_%1.png").arg(frame, 4, 10, QLatin1Char('0'));
        if (!session.writePicture(dir.filePath(name), size))
            return kCannotWrite;
    }
    return kOk;
}

} // namespace cli
