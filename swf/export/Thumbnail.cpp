#include "Thumbnail.h"

#include "swf/player/Player.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace swf::exporting {
namespace {

// A picture is blank when fewer than this share of its pixels stand out from the
// background: a stray line or a small "loading" word is not yet a picture of the movie.
constexpr double kBlankShare = 0.02;
constexpr int kTolerance = 24; // per channel, for anti-aliased edges and dither

long long pixelsApart(const QImage& picture, QColor background)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    long long apart = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - background.red()) > kTolerance
                || std::abs(qGreen(p) - background.green()) > kTolerance
                || std::abs(qBlue(p) - background.blue()) > kTolerance)
                ++apart;
        }
    }
    return apart;
}

} // namespace

QSize thumbnailSize(QSize movie, int side)
{
    const double longest = std::max({ movie.width(), movie.height(), 1 });
    const double scale = side / longest;
    return QSize(std::max(1, static_cast<int>(std::lround(movie.width() * scale))),
        std::max(1, static_cast<int>(std::lround(movie.height() * scale))));
}

bool looksBlank(const QImage& picture, QColor background)
{
    const double area = double(picture.width()) * picture.height();
    return area <= 0 || pixelsApart(picture, background) < area * kBlankShare;
}

QImage representativeFrame(Player& player, QSize size, double seconds, std::chrono::milliseconds budget)
{
    QElapsedTimer clock;
    clock.start();
    const int frames = std::max(1, static_cast<int>(std::ceil(seconds * std::max(1.0, player.frameRate()))));
    QImage fullest;
    long long fullestPixels = -1;
    for (int frame = 0; frame < frames; ++frame) {
        if (frame > 0)
            player.advanceFrame();
        QImage picture = player.renderImage(size);
        const long long apart = pixelsApart(picture, player.backgroundColor());
        if (apart >= double(size.width()) * size.height() * kBlankShare)
            return picture;
        if (apart > fullestPixels) {
            fullest = picture;
            fullestPixels = apart;
        }
        if (clock.elapsed() > budget.count())
            break;
    }
    return fullest;
}

} // namespace swf::exporting
