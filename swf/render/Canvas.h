#pragma once

#include "Blend.h"
#include "PaintSource.h"
#include "Rasterizer.h"

#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// How much of each pixel of a rectangle of the device a mask lets through, 0..255.
struct CoverageMask {
    QRect rect;
    std::vector<uint8_t> alpha; // rect.width() per row

    explicit CoverageMask(const QRect& r = {});
    uint8_t at(int x, int y) const
    {
        if (!rect.contains(x, y))
            return 0;
        return alpha[static_cast<std::size_t>(y - rect.top()) * static_cast<std::size_t>(rect.width())
            + static_cast<std::size_t>(x - rect.left())];
    }
    uint8_t* row(int y)
    {
        return alpha.data()
            + static_cast<std::size_t>(y - rect.top()) * static_cast<std::size_t>(rect.width());
    }
    const uint8_t* row(int y) const
    {
        return alpha.data()
            + static_cast<std::size_t>(y - rect.top()) * static_cast<std::size_t>(rect.width());
    }
    // The part of both masks, pixel by pixel.
    static CoverageMask intersect(const CoverageMask& a, const CoverageMask& b);
};

// The pixels of `within` that `area` (device coordinates, however large or odd) touches.
QRect pixelsWithin(const QRectF& area, const QRect& within);

// The device picture being drawn (premultiplied ARGB) and the masks in force over it.
//
// Every fill goes through paint(): the styles' coverages, row by row, are mixed (each
// colour weighted by its coverage) and the mix is laid on the picture once, through the
// clip. While a mask is being made, paint() adds the coverage to the mask instead and
// colours do not matter; masks have sharp edges, each pixel in or out.
//
// With a band painter, fills are painted by its threads while the caller goes on; the
// picture is complete only after finish() (compose() and the destructor finish too).
class BandPainter;

class Canvas {
public:
    // Working memory that outlives a canvas: a renderer keeps one for all its frames, so
    // that a frame allocates little once the first has warmed it up. Canvases drawing at
    // once (a layer and the picture it is laid on) may share it.
    class Memory;

    // `image` must be Format_ARGB32_Premultiplied and stay untouched by others until
    // finish(). With a `painter`, fills are painted by its two threads to the very same
    // pixels as without.
    Canvas(QImage& image, bool antialias, BandPainter* painter = nullptr, Memory* memory = nullptr);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool antialias() const { return antialias_; }
    BandPainter* painter() const { return painter_; }
    // Waits until every fill given so far is on the picture.
    void finish();
    // Sets every pixel of the picture to `color`; with a painter its threads do it, each
    // the rows it paints, so that those rows stay in its own cache for the fills after.
    void clear(QRgb color);
    QSize size() const { return image_.size(); }
    // The pixels a paint may touch now: the picture, within the clip and the mask being made.
    QRect paintBox() const;

    // The canvas's rasteriser, emptied for a new drawing over `box`: one for every fill of
    // the frame, so that its memory is reused.
    Rasterizer& rasterizer(const QRect& box);
    // Lays the rasteriser's styles on the target; `paints[style]` colours each style. The
    // rasteriser must be the one rasterizer() gave last.
    void paint(Rasterizer& rasterizer, std::span<const PaintSource* const> paints);

    // Lays a finished layer (premultiplied, its top left pixel at `at` on the picture) on
    // the picture in `mode`, through the clip.
    void compose(const QImage& layer, QPoint at, BlendMode mode);

    // Clips what follows to `mask` (already intersected with the clip it replaces) until
    // popClip().
    void pushClip(std::shared_ptr<const CoverageMask> mask);
    void popClip();
    const CoverageMask* clip() const { return clips_.empty() ? nullptr : clips_.back().get(); }
    std::size_t clipDepth() const { return clips_.size(); }

    // Paints from now on build a mask over `rect` (within the clip) until endMask().
    void beginMask(const QRect& rect);
    std::shared_ptr<CoverageMask> endMask();
    bool makingMask() const { return !building_.empty(); }

private:
    // What a thread painting rows needs for itself.
    struct Lane {
        Rasterizer::Lane sweep;
        // Per column, the mixed colour of the styles sharing a pixel of the row being
        // painted, valid where its stamp is the row's.
        std::vector<std::array<float, 4>> mix;
        std::vector<uint32_t> stamps;
        uint32_t stamp = 0;
        std::vector<int> touched;
        std::vector<QRgb> shade;
        std::vector<float> maskSum;
    };
    // One fill: its edges, its paints and the clip it was given under, kept until the
    // painter's threads are done with it.
    struct Fill {
        Rasterizer raster;
        std::vector<std::unique_ptr<PaintSource>> paints;
        std::vector<const PaintSource*> view;
        std::shared_ptr<const CoverageMask> clip;
    };
    // Takes back the fills the painter is done with.
    void recycle();
    void paintRows(Lane& lane, const Fill& fill, int from, int to);
    void paintRow(Lane& lane, int y, std::span<const StyleSpan> spans,
        std::span<const PaintSource* const> paints, const CoverageMask* clip);
    void maskRow(Lane& lane, int y, std::span<const StyleSpan> spans);
    void prefetchBelow(int y, std::span<const StyleSpan> spans) const;
    QRgb* line(int y) const
    {
        return reinterpret_cast<QRgb*>(bits_ + static_cast<std::ptrdiff_t>(y) * bytesPerLine_);
    }

    QImage& image_;
    bool antialias_;
    BandPainter* painter_;
    // The picture's pixels, taken once on the calling thread: QImage::scanLine() is not
    // for threads sharing an image.
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    std::vector<std::shared_ptr<const CoverageMask>> clips_;
    std::vector<std::shared_ptr<CoverageMask>> building_;
    std::unique_ptr<Memory> ownMemory_; // when not given one
    Memory& memory_;
    std::vector<uint8_t> clipRow_;
    std::unique_ptr<Fill> current_; // the fill rasterizer() gave last
    std::deque<std::pair<uint64_t, std::unique_ptr<Fill>>> painting_; // by job number
    uint64_t unfinished_ = 0; // one past the number of the last job given, 0 when finished
};

class Canvas::Memory {
public:
    Memory();
    ~Memory();

private:
    friend class Canvas;
    std::vector<Lane> lanes; // one per painter thread, then the calling thread's own
    std::vector<std::unique_ptr<Fill>> spare;
};

} // namespace swf
