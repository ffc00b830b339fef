#include "BenchCommand.h"

#include "Options.h"
#include "Session.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace cli {
namespace {

constexpr long long kMaxSide = 16384;

// A size option: absent, or a whole number of pixels in range.
bool side(const Options& options, const char* name, std::optional<long long>& value)
{
    bool ok = true;
    value = options.number(name, ok);
    if (ok && (!value || (*value >= 1 && *value <= kMaxSide)))
        return true;
    printError(std::string(name) + " needs a number of pixels, 1 to 16384");
    return false;
}

} // namespace

// Each frame is stepped and drawn as the window does it, into a picture of the size
// asked (the movie's own by default); the time covers both and nothing else: not the
// loading, not writing any file.
int commandBench(const Options& options)
{
    if (options.positional().size() != 1) {
        printError(options.positional().empty() ? "no movie given" : "more than one movie given");
        return kUsage;
    }
    bool ok = true;
    const auto frames = options.number("--frames", ok);
    if (!ok || (frames && (*frames < 1 || *frames > 10'000'000))) {
        printError("--frames needs a count of at least 1");
        return kUsage;
    }
    std::optional<long long> width;
    std::optional<long long> height;
    if (!side(options, "--width", width) || !side(options, "--height", height))
        return kUsage;
    if (width.has_value() != height.has_value()) {
        printError("--width and --height go together");
        return kUsage;
    }

    Session session(swf::Player::ClockMode::Manual);
    session.start(options.positional().front());
    if (!session.waitUntilLoaded())
        return kUnreadable;
    if (!session.playable())
        return kUnsupported;
    swf::Player& player = session.player();
    const long long count = frames.value_or(std::max(1, player.totalFrames()));
    const QSize size = width ? QSize(int(*width), int(*height)) : session.pictureSize();
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) {
        printError("not enough memory for a picture of that size");
        return kUnsupported;
    }

    const auto start = std::chrono::steady_clock::now();
    for (long long frame = 1; frame <= count; ++frame) {
        if (frame > 1) {
            QCoreApplication::processEvents();
            player.advanceFrame();
        }
        QPainter painter(&picture);
        player.render(painter, picture.rect());
    }
    const double ms
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double seconds = std::max(ms, 1e-3) / 1000;
    const double rate = player.frameRate() > 0 ? player.frameRate() : 1;
    std::printf("frames=%lld ms=%.1f fps=%.2f realtime=%.2f\n", count, ms, double(count) / seconds,
        double(count) / rate / seconds);
    std::fflush(stdout);
    return kOk;
}

} // namespace cli
