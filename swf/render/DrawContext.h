#pragma once

#include "ColorXform.h"
#include "DrawBudget.h"
#include "PaintSource.h"
#include "Rasterizer.h"

#include <QPainterPath>
#include <QTransform>

#include <memory>
#include <span>

class QImage;

namespace swf {

class Canvas;
class DecodedCache;
class ScalingGrid;
struct LineStyle;
struct Movie;

// What a kind of character paints its own picture with: the canvas, the transform from
// the object's twips to the device, the colour transform down to it, the movie its
// character comes from (for the bitmaps it refers to) and the frame's budget. Every
// paint goes through fill() and stroke(), which estimate the work first and refuse it
// once the frame's budget is spent, so that no kind need know the cost model.
class DrawContext {
public:
    DrawContext(Canvas& canvas, DrawBudget& budget, const QTransform& transform, const ColorXform& cx,
        double viewScale = 1.0 / 20, const Movie* movie = nullptr, DecodedCache* cache = nullptr);

    Canvas& canvas() { return canvas_; }
    // The object's twips to device pixels.
    const QTransform& transform() const { return transform_; }
    const ColorXform& colorTransform() const { return cx_; }
    // How many device pixels one twip of the object takes, on average over both axes.
    double pixelsPerTwip() const;
    // Device pixels per twip of the stage, whatever the object's own transform.
    double viewScale() const { return viewScale_; }
    // True while the object is drawn into a mask: only the area it covers counts.
    bool makingMask() const;

    // One style of a compound fill: a path in object twips and its paint.
    struct Layer {
        const QPainterPath* path = nullptr;
        const PaintSource* paint = nullptr;
        FillRule rule = FillRule::EvenOdd;
    };
    // Fills the layers in one pass: where two share an edge, they share its pixels
    // exactly, with no seam. False, with nothing painted, once the budget is spent: the
    // caller stops drawing.
    bool fill(std::span<const Layer> layers);
    bool fill(const QPainterPath& path, const PaintSource& paint, FillRule rule = FillRule::NonZero);
    // Strokes `path` (object twips) with a line style; the line's own fill or colour is
    // `paint`.
    bool stroke(const QPainterPath& path, const LineStyle& style, const PaintSource& paint);

    // Fills and strokes from here on go through a clip's nine-slice grid: their paths are
    // in the twips of a shape placed in the clip by `toClip`, the clip's twips go to the
    // device by `clipToDevice`. Gradients and bitmaps stay placed by transform().
    void drawThroughGrid(const ScalingGrid& grid, const QTransform& toClip, const QTransform& clipToDevice);

    // Clips what is painted after it to `path` (object twips) until popClip().
    void pushClip(const QPainterPath& path);
    void popClip();

    // The paint of a fill style in this context: colours through the colour transform,
    // gradients and bitmaps placed on the device. Bitmaps come from the object's movie.
    // A gradient's colours worked out beforehand for no colour transform may be given in
    // `plainTable`; they are used when the context has none.
    std::unique_ptr<PaintSource> paintOf(
        const FillStyle& style, const std::shared_ptr<const GradientPaint::Table>& plainTable = nullptr) const;
    // A bitmap of the object's movie by character id, decoded once; null when there is none.
    std::shared_ptr<const QImage> bitmap(uint16_t id) const;

private:
    bool fillMapped(std::span<const Layer> layers, const QTransform& transform);
    QPainterPath onDevice(const QPainterPath& path) const;

    Canvas& canvas_;
    DrawBudget& budget_;
    QTransform transform_;
    ColorXform cx_;
    double viewScale_;
    const Movie* movie_;
    DecodedCache* cache_;
    const ScalingGrid* grid_ = nullptr;
    QTransform gridToClip_;
    QTransform clipToDevice_;
};

} // namespace swf
