#include "PerlinNoise.h"

#include "BitmapSurface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace swf {
namespace {

constexpr int kLattice = 256;
// No more samples than this for one picture (pixels x octaves x channels).
constexpr double kMaxSamples = 2e7;
constexpr int kMaxOctaves = 32;

// The gradient noise of one channel: a shuffled lattice of random unit gradients.
class Noise2 {
public:
    explicit Noise2(uint32_t& state)
    {
        const auto next = [&state] {
            state = uint32_t((uint64_t(state) * 16807u) % 2147483647u);
            return state;
        };
        for (int i = 0; i < kLattice; ++i) {
            perm_[std::size_t(i)] = i;
            double gx = 0, gy = 0, length = 0;
            do {
                gx = double(int(next() % (2 * kLattice)) - kLattice) / kLattice;
                gy = double(int(next() % (2 * kLattice)) - kLattice) / kLattice;
                length = std::hypot(gx, gy);
            } while (length == 0);
            gradient_[std::size_t(i)] = { gx / length, gy / length };
        }
        for (int i = kLattice - 1; i > 0; --i)
            std::swap(perm_[std::size_t(i)], perm_[next() % uint32_t(i + 1)]);
    }

    // -1..1 (roughly); the lattice repeats every `periodX` by `periodY` cells when stitched.
    double at(double x, double y, int periodX, int periodY) const
    {
        const double fx = std::floor(x);
        const double fy = std::floor(y);
        const double tx = x - fx;
        const double ty = y - fy;
        const auto cell = [](double v, int period) {
            int64_t c = int64_t(v);
            if (period > 0)
                c = ((c % period) + period) % period;
            return int(((c % kLattice) + kLattice) % kLattice);
        };
        const int x0 = cell(fx, periodX), x1 = cell(fx + 1, periodX);
        const int y0 = cell(fy, periodY), y1 = cell(fy + 1, periodY);
        const auto dot = [&](int ix, int iy, double dx, double dy) {
            const auto& g
                = gradient_[std::size_t(perm_[std::size_t((perm_[std::size_t(ix)] + iy) % kLattice)])];
            return g[0] * dx + g[1] * dy;
        };
        const auto ease = [](double t) { return t * t * (3 - 2 * t); };
        const double sx = ease(tx), sy = ease(ty);
        const double a = dot(x0, y0, tx, ty) + sx * (dot(x1, y0, tx - 1, ty) - dot(x0, y0, tx, ty));
        const double b
            = dot(x0, y1, tx, ty - 1) + sx * (dot(x1, y1, tx - 1, ty - 1) - dot(x0, y1, tx, ty - 1));
        return a + sy * (b - a);
    }

private:
    std::array<int, kLattice> perm_ {};
    std::array<std::array<double, 2>, kLattice> gradient_ {};
};

} // namespace

void perlinNoise(BitmapSurface& bitmap, const PerlinOptions& o)
{
    const int w = bitmap.width();
    const int h = bitmap.height();
    const bool alpha = (o.channels & 8) && bitmap.transparent();
    const int colourNoises
        = o.grey ? 1 : ((o.channels & 1) != 0) + ((o.channels & 2) != 0) + ((o.channels & 4) != 0);
    const int noises = std::max(1, colourNoises + (alpha ? 1 : 0));
    int octaves = std::clamp(o.octaves, 0, kMaxOctaves);
    while (octaves > 1 && double(w) * h * octaves * noises > kMaxSamples)
        --octaves;
    uint32_t state = uint32_t(std::abs(int64_t(o.seed))) % 2147483647u;
    if (state == 0)
        state = 1;
    std::array<Noise2, 4> channelNoise { Noise2(state), Noise2(state), Noise2(state), Noise2(state) };
    const double baseX = std::abs(o.baseX);
    const double baseY = std::abs(o.baseY);

    // value 0..255 of noise `n` at pixel (x, y)
    const auto sample = [&](const Noise2& noise, int x, int y) {
        double sum = 0, weight = 1;
        double fx = baseX > 0 ? 1 / baseX : 0;
        double fy = baseY > 0 ? 1 / baseY : 0;
        int periodX = o.stitch && baseX > 0 ? std::max(1, int(std::lround(w / baseX))) : 0;
        int periodY = o.stitch && baseY > 0 ? std::max(1, int(std::lround(h / baseY))) : 0;
        for (int i = 0; i < octaves; ++i) {
            const QPointF off = std::size_t(i) < o.offsets.size() ? o.offsets[std::size_t(i)] : QPointF();
            const double n = noise.at((x + off.x()) * fx, (y + off.y()) * fy, periodX, periodY);
            sum += (o.fractal ? n : std::abs(n)) * weight;
            weight *= 0.5;
            fx *= 2;
            fy *= 2;
            periodX *= 2;
            periodY *= 2;
        }
        const double v = o.fractal ? (sum + 1) * 0.5 : sum;
        return uint32_t(std::clamp(v * 255, 0.0, 255.0));
    };

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t r = 0, g = 0, b = 0;
            if (o.grey) {
                r = g = b = sample(channelNoise[0], x, y);
            } else {
                if (o.channels & 1)
                    r = sample(channelNoise[0], x, y);
                if (o.channels & 2)
                    g = sample(channelNoise[1], x, y);
                if (o.channels & 4)
                    b = sample(channelNoise[2], x, y);
            }
            const uint32_t a = alpha ? sample(channelNoise[3], x, y) : 255;
            bitmap.setPixel32(x, y, (a << 24) | (r << 16) | (g << 8) | b);
        }
}

} // namespace swf
