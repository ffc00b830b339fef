#pragma once

#include "BandPainter.h"
#include "Canvas.h"
#include "ColorXform.h"
#include "DrawBudget.h"

#include "swf/display/DisplayObject.h"

#include <QImage>
#include <QRectF>
#include <QTransform>

#include <memory>
#include <optional>

class QPainter;

namespace swf {

class ScalingGrid;

class Stage;
struct Movie;

// Draws a display tree: each object's own picture (its kind draws it), then its children,
// with masks, colour transforms and visibility handled here, once, for every kind. The
// picture is made by the engine's own rasteriser in an image of the target's size and
// laid on the painter at the end. A frame that would take too long to draw is cut short
// where its DrawBudget runs out.
class Renderer {
public:
    // Anti-aliasing, on unless the player's quality is "Low".
    void setAntialiased(bool on) { antialias_ = on; }
    bool antialiased() const { return antialias_; }
    // Fills are painted by two threads of the renderer's own while this one walks the
    // display list (on unless turned off); the pixels are the same either way.
    void setHelperThread(bool on) { helper_ = on; }

    // Fills `target` with the stage colour and draws the stage into it, scaled "ShowAll".
    // Content outside the stage shows in the letterbox, as in the original control.
    void render(QPainter& painter, const Stage& stage, const QRectF& target);
    // Draws the tree only into `image` (premultiplied ARGB), `view` mapping stage twips
    // into its pixels; with `background`, the whole image takes that colour first.
    void drawTree(QImage& image, const Stage& stage, const QTransform& view,
        std::optional<QRgb> background = std::nullopt);

    // Draws one object's content and children (not its own transform, colours or effects)
    // over `image`, `view` mapping the object's twips into its pixels; only `clip` (pixels)
    // changes when given.
    void drawObjectInto(QImage& image, const Stage& stage, const DisplayObject& object,
        const QTransform& view, const ColorXform& cx, const QRect* clip = nullptr);
    // The painting work the last frame took (DrawBudget units), and whether it ran out of
    // its budget and left objects undrawn.
    double lastFrameWork() const { return budget_.used(); }
    bool lastFrameCut() const { return budget_.spent(); }

private:
    struct Pass {
        Canvas& canvas;
        const Stage& stage;
        double viewScale;
        const DisplayObject* layerOwner = nullptr; // the object whose layer canvas is
        // The stage's transform to the picture, when the whole stage is drawn: where the
        // masks scripts set lie.
        std::optional<QTransform> view = std::nullopt;
    };
    void drawObject(Pass& pass, const DisplayObject& object, const QTransform& parent,
        const ColorXform& parentCx, const Movie& movie);
    void drawContent(Pass& pass, const DisplayObject& object, const QTransform& t, const ColorXform& cx,
        const Movie& movie);
    // Draws the object into a layer of its own and lays the layer on the canvas in `mode`.
    void drawLayered(Pass& pass, const DisplayObject& object, const QTransform& t, const ColorXform& cx,
        const Movie& movie, BlendMode mode);
    // `grid`, when given, is the nine-slice grid of the clip whose list this is: its
    // shapes are drawn through it.
    void drawList(Pass& pass, const DisplayList& list, const QTransform& t, const ColorXform& cx,
        const Movie& movie, const ScalingGrid* grid = nullptr);
    void drawThroughGrid(Pass& pass, const DisplayObject& shape, const QTransform& clipT,
        const ColorXform& parentCx, const Movie& movie, const ScalingGrid& grid);
    std::shared_ptr<const CoverageMask> makeMask(
        Pass& pass, const DisplayObject& mask, const QTransform& parent, const Movie& movie);

    DrawBudget budget_;
    QImage frame_;
    bool antialias_ = true;
    bool helper_ = true;
    std::unique_ptr<BandPainter> painter_ = std::make_unique<BandPainter>();
    std::unique_ptr<Canvas::Memory> memory_ = std::make_unique<Canvas::Memory>();
};

} // namespace swf
