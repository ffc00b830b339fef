#include "Progress.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace cli {
namespace {

constexpr int kBarWidth = 24;
constexpr qint64 kRedrawMs = 200;

} // namespace

Progress::Progress(std::FILE* out)
    : out_(out)
    , terminal_(isatty(fileno(out)) == 1)
{
    clock_.start();
}

QString Progress::clockTime(double seconds)
{
    const auto total = static_cast<long long>(std::max(0.0, std::round(seconds)));
    const long long h = total / 3600;
    const long long m = total / 60 % 60;
    const long long s = total % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(m, 2, 10, QLatin1Char('0'))
            .arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

QString Progress::line(int64_t done, int64_t expected, double elapsed)
{
    expected = std::max<int64_t>({ expected, done, 1 });
    const double part = double(done) / double(expected);
    const int filled = static_cast<int>(part * kBarWidth);
    QString bar = QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-'));
    QString text = QStringLiteral("导出中 [%1] %2%  %3/%4 帧  已用 %5")
                       .arg(bar)
                       .arg(static_cast<int>(part * 100), 3)
                       .arg(done)
                       .arg(expected)
                       .arg(clockTime(elapsed));
    if (done > 0)
        text
            += QStringLiteral("  剩余约 %1").arg(clockTime(elapsed / double(done) * double(expected - done)));
    return text;
}

void Progress::update(int64_t done, int64_t expected)
{
    if (!terminal_ || clock_.elapsed() - lastDrawn_ < kRedrawMs)
        return;
    lastDrawn_ = clock_.elapsed();
    std::fprintf(out_, "\r\033[K%s", line(done, expected, elapsedSeconds()).toLocal8Bit().constData());
    std::fflush(out_);
    drawn_ = true;
}

void Progress::clear()
{
    if (drawn_)
        std::fputs("\r\033[K", out_);
    drawn_ = false;
}

void Progress::finish(const QString& summary)
{
    clear();
    std::fprintf(out_, "%s\n", summary.toLocal8Bit().constData());
    std::fflush(out_);
}

} // namespace cli
