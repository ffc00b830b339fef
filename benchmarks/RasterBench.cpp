// The engine's own compound scanline rasteriser against AGG's (libagg-dev,
// rasterizer_compound_aa with render_scanlines_compound), on the same edges, and against
// filling each style on its own with QPainter, the way shapes were drawn before.
//
// The scene is what a cartoon is made of: fills that share every edge with their
// neighbours, here a rotated grid of cells, each its own style. Besides the time, each
// run reports two measures of quality as counters:
//   seam:  the lightest a pixel inside the grid gets when every cell is black on white
//          (0 = no seam; a seam shows as a line of lighter pixels along the shared edges);
//   error: the mean difference per channel from the exact coverage (16x16 samples a
//          pixel), and maxError, the largest.
#include "swf/render/Canvas.h"
#include "swf/render/PaintSource.h"
#include "swf/render/Rasterizer.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_compound_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A grid of columns x rows cells of `cell` pixels, turned by `degrees` about the centre of
// the picture.
struct Grid {
    int columns;
    int rows;
    QTransform toDevice;
    bool black = false;

    Grid(int columns, int rows, double cell, double degrees)
        : columns(columns)
        , rows(rows)
    {
        toDevice.translate(kWidth / 2.0, kHeight / 2.0);
        toDevice.rotate(degrees);
        toDevice.scale(cell, cell);
        toDevice.translate(-columns / 2.0, -rows / 2.0);
    }
    int cells() const { return columns * rows; }
    int style(int column, int row) const
    {
        return column < 0 || row < 0 || column >= columns || row >= rows ? -1 : row * columns + column;
    }
    QRgb color(int style) const
    {
        if (black)
            return 0xff000000;
        const unsigned s = static_cast<unsigned>(style);
        return qRgb(int(s * 37 % 256), int(s * 91 % 256), int(s * 53 % 256));
    }
    QPointF at(int column, int row) const { return toDevice.map(QPointF(column, row)); }
};

QImage blank()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

// The engine: every cell its own closed outline, all in one rasteriser.
void drawOwn(const Grid& grid, QImage& image, const std::vector<const swf::PaintSource*>& table)
{
    swf::Rasterizer rasterizer(image.rect());
    for (int r = 0; r < grid.rows; ++r) {
        for (int c = 0; c < grid.columns; ++c) {
            const int s = grid.style(c, r);
            const QPointF p[4]
                = { grid.at(c, r), grid.at(c + 1, r), grid.at(c + 1, r + 1), grid.at(c, r + 1) };
            for (int k = 0; k < 4; ++k)
                rasterizer.addEdge(p[k].x(), p[k].y(), p[(k + 1) % 4].x(), p[(k + 1) % 4].y(), s);
        }
    }
    swf::Canvas canvas(image, true);
    canvas.paint(rasterizer, table);
}

std::vector<std::unique_ptr<swf::PaintSource>> ownPaints(const Grid& grid)
{
    std::vector<std::unique_ptr<swf::PaintSource>> paints;
    for (int s = 0; s < grid.cells(); ++s) {
        const QRgb c = grid.color(s);
        paints.push_back(std::make_unique<swf::SolidPaint>(
            swf::Rgba { uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)), 255 }));
    }
    return paints;
}

// AGG: every edge once, with the styles on its two sides.
struct AggStyles {
    const Grid* grid;
    std::vector<agg::rgba8> colors;
    explicit AggStyles(const Grid& g)
        : grid(&g)
    {
        for (int s = 0; s < g.cells(); ++s) {
            const QRgb c = g.color(s);
            colors.emplace_back(qRed(c), qGreen(c), qBlue(c), 255);
        }
    }
    bool is_solid(unsigned) const { return true; }
    const agg::rgba8& color(unsigned style) const { return colors[style]; }
    void generate_span(agg::rgba8*, int, int, unsigned, unsigned) { }
};

void drawAgg(const Grid& grid, QImage& image, AggStyles& styles)
{
    agg::rendering_buffer buffer(
        image.bits(), unsigned(image.width()), unsigned(image.height()), int(image.bytesPerLine()));
    agg::pixfmt_bgra32_pre pixels(buffer);
    agg::renderer_base<agg::pixfmt_bgra32_pre> base(pixels);
    agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl> rasterizer;
    rasterizer.clip_box(0, 0, image.width(), image.height());
    const auto edge = [&](QPointF a, QPointF b, int left, int right) {
        rasterizer.styles(left, right);
        rasterizer.move_to_d(a.x(), a.y());
        rasterizer.line_to_d(b.x(), b.y());
    };
    for (int c = 0; c <= grid.columns; ++c)
        for (int r = 0; r < grid.rows; ++r)
            edge(grid.at(c, r), grid.at(c, r + 1), grid.style(c - 1, r), grid.style(c, r));
    for (int r = 0; r <= grid.rows; ++r)
        for (int c = 0; c < grid.columns; ++c)
            edge(grid.at(c, r), grid.at(c + 1, r), grid.style(c, r), grid.style(c, r - 1));
    agg::scanline_u8 aa;
    agg::scanline_bin bin;
    agg::span_allocator<agg::rgba8> spans;
    agg::render_scanlines_compound(rasterizer, aa, bin, base, spans, styles);
}

// Each cell filled on its own, anti-aliased, as QPainter fills paths.
void drawEach(const Grid& grid, QImage& image)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int r = 0; r < grid.rows; ++r) {
        for (int c = 0; c < grid.columns; ++c) {
            const QPolygonF cell { grid.at(c, r), grid.at(c + 1, r), grid.at(c + 1, r + 1),
                grid.at(c, r + 1) };
            painter.setBrush(QColor::fromRgb(grid.color(grid.style(c, r))));
            painter.drawPolygon(cell);
        }
    }
}

// The exact picture, 16x16 samples a pixel.
QImage reference(const Grid& grid)
{
    QImage image = blank();
    const QTransform fromDevice = grid.toDevice.inverted();
    constexpr int n = 16;
    for (int y = 0; y < kHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            int sum[3] = { 0, 0, 0 };
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const QPointF g = fromDevice.map(QPointF(x + (i + 0.5) / n, y + (j + 0.5) / n));
                    const int s = grid.style(int(std::floor(g.x())), int(std::floor(g.y())));
                    const QRgb c = s < 0 ? 0xffffffff : grid.color(s);
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                }
            }
            line[x] = qRgb((sum[0] + n * n / 2) / (n * n), (sum[1] + n * n / 2) / (n * n),
                (sum[2] + n * n / 2) / (n * n));
        }
    }
    return image;
}

// The lightest channel of any pixel wholly inside the grid (its centre a pixel and a half
// from the grid's outer edge).
int seam(const Grid& grid, const QImage& image)
{
    const QTransform fromDevice = grid.toDevice.inverted();
    const double margin = 1.5 / std::sqrt(std::abs(grid.toDevice.determinant()));
    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const QPointF g = fromDevice.map(QPointF(x + 0.5, y + 0.5));
            if (g.x() < margin || g.y() < margin || g.x() > grid.columns - margin
                || g.y() > grid.rows - margin)
                continue;
            worst = std::max({ worst, qRed(line[x]), qGreen(line[x]), qBlue(line[x]) });
        }
    }
    return worst;
}

template <class Draw> void measure(benchmark::State& state, Draw&& draw)
{
    const double cell = double(state.range(0)) / 10;
    Grid grid(int(std::ceil(700 / cell)), int(std::ceil(500 / cell)), cell, 17);
    QImage image = blank();
    for (auto _ : state) {
        draw(grid, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = grid.cells();

    image = blank();
    draw(grid, image);
    const QImage exact = reference(grid);
    double total = 0;
    int largest = 0;
    for (int y = 0; y < kHeight; ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(exact.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            for (int d :
                { qRed(a[x]) - qRed(b[x]), qGreen(a[x]) - qGreen(b[x]), qBlue(a[x]) - qBlue(b[x]) }) {
                total += std::abs(d);
                largest = std::max(largest, std::abs(d));
            }
        }
    }
    state.counters["error"] = total / (3.0 * kWidth * kHeight);
    state.counters["maxError"] = largest;

    grid.black = true;
    image = blank();
    draw(grid, image);
    state.counters["seam"] = seam(grid, image);
}

void ownRasterizer(benchmark::State& state)
{
    measure(state, [](const Grid& grid, QImage& image) {
        const auto paints = ownPaints(grid);
        std::vector<const swf::PaintSource*> table;
        for (const auto& p : paints)
            table.push_back(p.get());
        drawOwn(grid, image, table);
    });
}

void aggCompound(benchmark::State& state)
{
    measure(state, [](const Grid& grid, QImage& image) {
        AggStyles styles(grid);
        drawAgg(grid, image, styles);
    });
}

void qpainterEachFill(benchmark::State& state)
{
    measure(state, [](const Grid& grid, QImage& image) { drawEach(grid, image); });
}

// Cells of 100, 30 and 8 pixels (the argument is tenths of a pixel): few large fills,
// a cartoon's mix, and many small ones.
BENCHMARK(ownRasterizer)->Arg(1000)->Arg(300)->Arg(80)->Unit(benchmark::kMillisecond);
BENCHMARK(aggCompound)->Arg(1000)->Arg(300)->Arg(80)->Unit(benchmark::kMillisecond);
BENCHMARK(qpainterEachFill)->Arg(1000)->Arg(300)->Arg(80)->Unit(benchmark::kMillisecond);

} // namespace
