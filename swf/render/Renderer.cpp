#include "Renderer.h"

#include "DrawContext.h"
#include "FilterEffects.h"
#include "ScalingGrid.h"
#include "ShowAll.h"

#include "swf/display/Stage.h"
#include "swf/format/ScalingGridRecord.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {
namespace {

QRgb opaque(const Rgba& c)
{
    return qRgb(c.r, c.g, c.b);
}

// Past this many device pixels to a twip nothing of an object fits any screen, and Qt's
// stroker, which flattens joins and caps finely enough for the transform's scale, spends
// a fifth of a second on one short line. Sprites that nest scaled-up copies of themselves
// reach such transforms within a few dozen levels.
constexpr double kMaxPixelsPerTwip = 65536;

bool blownUp(const QTransform& t)
{
    const double scale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
    return !(scale <= kMaxPixelsPerTwip);
}

QTransform snappedToPixels(const QTransform& t)
{
    const auto snap = [](double v) { return std::isfinite(v) ? std::floor(v + 0.5) : v; };
    return QTransform(t.m11(), t.m12(), t.m21(), t.m22(), snap(t.dx()), snap(t.dy()));
}

// The nine-slice grid of a sprite or button drawn by `t`, whose character comes from
// `movie`; `viewScale` is the device pixels per twip of the stage, so that the corners
// keep their size on the stage whatever the window's zoom.
std::optional<ScalingGrid> scalingGridFor(
    const DisplayObject& object, const QTransform& t, double viewScale, const Movie& movie)
{
    const Character* character = object.character();
    if (!character || !object.children())
        return std::nullopt;
    const std::optional<Rect> grid = scalingGridOf(movie, character->id);
    if (!grid || !(viewScale > 0))
        return std::nullopt;
    const QRectF area(QPointF(grid->xMin, grid->yMin), QPointF(grid->xMax, grid->yMax));
    return ScalingGrid::make(object.bounds(), area, std::hypot(t.m11(), t.m12()) / viewScale,
        std::hypot(t.m21(), t.m22()) / viewScale);
}

bool isShape(const DisplayObject& object)
{
    return object.character() && std::holds_alternative<Shape>(object.character()->data)
        && !object.children();
}

// The pixels of `area` on the painter's own image, when the frame can be drawn straight
// into them: a raster image of the canvas's layout, placed by whole pixels, with nothing
// of the painter's (clip, opacity, mode) to apply on the way. That spares a picture of
// the frame's size being cleared and laid on the target, which on a big window takes a
// fair share of the frame; and the painter's threads keep their rows in their own cache.
QImage directPixels(QPainter& painter, const QRect& area)
{
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image)
        return {};
    auto* image = static_cast<QImage*>(device);
    // An RGB32 image is the same layout with opaque pixels, and a frame starts opaque and
    // only has colours laid over it.
    if ((image->format() != QImage::Format_ARGB32_Premultiplied && image->format() != QImage::Format_RGB32)
        || image->devicePixelRatio() != 1 || !image->isDetached())
        return {};
    if (painter.hasClipping() || painter.opacity() != 1
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || painter.worldTransform().type() > QTransform::TxTranslate
        || painter.deviceTransform() != painter.worldTransform())
        return {};
    if (!image->rect().contains(area))
        return {};
    uchar* first = image->bits() + static_cast<qsizetype>(area.top()) * image->bytesPerLine()
        + static_cast<qsizetype>(area.left()) * 4;
    return QImage(first, area.width(), area.height(), image->bytesPerLine(), QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void Renderer::render(QPainter& painter, const Stage& stage, const QRectF& target)
{
    const QPaintDevice* device = painter.device();
    const QTransform world = painter.worldTransform();
    QRect area = world.mapRect(target).toAlignedRect();
    if (device)
        area = area.intersected(QRect(0, 0, device->width(), device->height()));
    if (area.isEmpty())
        return;
    const QTransform view = showAllTransform(stage.movie().header.frameSize, target) * world
        * QTransform::fromTranslate(-area.left(), -area.top());
    const QRgb background = opaque(stage.background());
    QImage direct = directPixels(painter, area);
    if (!direct.isNull()) {
        drawTree(direct, stage, view, background);
        return;
    }
    if (frame_.size() != area.size() || frame_.format() != QImage::Format_ARGB32_Premultiplied)
        frame_ = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (frame_.isNull())
        return;
    drawTree(frame_, stage, view, background);
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(area.topLeft(), frame_);
    painter.restore();
}

void Renderer::drawTree(QImage& image, const Stage& stage, const QTransform& view, std::optional<QRgb> background)
{
    budget_.start(image.size());
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    Canvas canvas(image, antialias_, helper_ ? painter_.get() : nullptr, memory_.get());
    if (background)
        canvas.clear(*background);
    // A transform that squashes the stage flat shows its colour only.
    if (view.m11() == 0)
        return;
    Pass pass { canvas, stage, std::sqrt(std::abs(view.determinant())), nullptr, view };
    for (const auto& [number, level] : stage.levels())
        drawObject(pass, *level, view, ColorXform {}, level->movie());
    canvas.finish();
}

void Renderer::drawObjectInto(QImage& image, const Stage& stage, const DisplayObject& object,
    const QTransform& view, const ColorXform& cx, const QRect* clip)
{
    budget_.start(image.size());
    if (image.format() != QImage::Format_ARGB32_Premultiplied || !view.isInvertible() || blownUp(view))
        return;
    Canvas canvas(image, antialias_, helper_ ? painter_.get() : nullptr, memory_.get());
    if (clip) {
        const QRect area = clip->intersected(image.rect());
        if (area.isEmpty())
            return;
        auto mask = std::make_shared<CoverageMask>(area);
        std::fill(mask->alpha.begin(), mask->alpha.end(), uint8_t(255));
        canvas.pushClip(std::move(mask));
    }
    Pass pass { canvas, stage, std::sqrt(std::abs(view.determinant())) };
    const MovieClip* own = object.asMovieClip();
    const Movie& movie = own ? own->movie() : object.parent() ? object.parent()->movie() : stage.movie();
    drawContent(pass, object, view, cx, movie);
    canvas.finish();
}

void Renderer::drawObject(Pass& pass, const DisplayObject& object, const QTransform& parent,
    const ColorXform& parentCx, const Movie& movie)
{
    const bool mask = pass.canvas.makingMask();
    if (budget_.spent() || (!object.visible() && !mask))
        return;
    const bool filtered = !mask && !object.placement().filters.empty();
    QTransform t = toQTransform(object.matrix()) * parent;
    // A cached bitmap lies on whole pixels: its place rounds to the nearest one, halves
    // down and right. (Filtered objects keep their place: their shadows fall where the
    // object's own edges do.)
    if (!mask && object.placement().cacheAsBitmap)
        t = snappedToPixels(t);
    const ColorXform cx = ColorXform::from(object.colorTransform()).then(parentCx);
    // Nothing shows through a transform that squashes the object flat or blows it up past
    // any screen, or that keeps it fully transparent whatever its colours. A mask counts
    // the area its shapes cover, whatever their colours.
    if (!t.isInvertible() || blownUp(t) || (!mask && cx.hidesEverything()))
        return;
    // A mask a script set shows nothing of its own while what it masks lives.
    if (!mask && object.masksObject() && pass.stage.find(object.masksObject()))
        return;
    const DisplayObject* scriptMask = mask || !pass.view ? nullptr : pass.stage.find(object.scriptMask());
    if (scriptMask) {
        const MovieClip* maskParent = scriptMask->parent();
        const QTransform maskParentT
            = (maskParent ? maskParent->stageTransform() : QTransform()) * *pass.view;
        pass.canvas.pushClip(
            makeMask(pass, *scriptMask, maskParentT, maskParent ? maskParent->movie() : pass.stage.movie()));
    }
    const BlendMode mode = mask ? BlendMode::Normal : blendModeOf(object.blendMode());
    if (mode == BlendMode::Normal && !filtered)
        drawContent(pass, object, t, cx, movie);
    else
        drawLayered(pass, object, t, cx, movie, mode);
    if (scriptMask)
        pass.canvas.popClip();
}

void Renderer::drawContent(
    Pass& pass, const DisplayObject& object, const QTransform& t, const ColorXform& cx, const Movie& movie)
{
    // A scroll rectangle shows its part of the object at the object's origin, cut to its
    // size. In a mask it moves what it shows but cuts nothing.
    const std::optional<QRectF>& scroll = object.scrollRect();
    const bool cut = scroll && !pass.canvas.makingMask();
    DrawContext outer(pass.canvas, budget_, t, cx, pass.viewScale, &movie, &pass.stage.decoded());
    QTransform inner = t;
    if (scroll)
        inner = QTransform::fromTranslate(-scroll->x(), -scroll->y()) * t;
    if (cut) {
        QPainterPath area;
        area.addRect(QRectF(QPointF(0, 0), scroll->size()));
        outer.pushClip(area);
    }
    DrawContext context(pass.canvas, budget_, inner, cx, pass.viewScale, &movie, &pass.stage.decoded());
    object.draw(context);
    if (const DisplayList* children = object.children()) {
        const MovieClip* clip = object.asMovieClip();
        const Movie& own = clip ? clip->movie() : movie;
        const std::optional<ScalingGrid> grid = scalingGridFor(object, t, pass.viewScale, movie);
        drawList(pass, *children, inner, cx, own, grid ? &*grid : nullptr);
    }
    if (cut)
        outer.popClip();
}

void Renderer::drawLayered(Pass& pass, const DisplayObject& object, const QTransform& t, const ColorXform& cx,
    const Movie& movie, BlendMode mode)
{
    // Alpha and Erase cut into their parent's layer; with no such layer under them they
    // have nothing to act on and show nothing.
    if ((mode == BlendMode::Alpha || mode == BlendMode::Erase)
        && (!pass.layerOwner || pass.layerOwner != object.parent()))
        return;
    const QRectF bounds = object.bounds();
    if (bounds.isNull())
        return;
    // Filters spread the picture past the object, and bring in what lies just off the
    // picture; past a screen's width nothing of that could show.
    const FilterChain filters(readFilters(object.placement().filters), pass.viewScale * 20);
    const QMargins spread = filters.margins();
    const int reach = std::max(pass.canvas.size().width(), pass.canvas.size().height());
    const QMargins grow(std::min(spread.left(), reach), std::min(spread.top(), reach),
        std::min(spread.right(), reach), std::min(spread.bottom(), reach));
    const QRect area = QRect(QPoint(0, 0), pass.canvas.size()).marginsAdded(grow);
    // The layer covers the object's pixels within the picture; the clip applies when the
    // layer is laid down, not while it is drawn. Alpha and Erase, like every mode, act
    // only where the object draws: elsewhere their parent's layer stays as it is.
    const QRect rect = pixelsWithin(t.mapRect(bounds), area).marginsAdded(grow).intersected(area);
    // Clearing, drawing into and laying down the layer each touch its pixels, and each
    // filter pass does again.
    const double pixels = double(rect.width()) * rect.height();
    if (rect.isEmpty() || !budget_.pixels(3 * pixels + filters.work(pixels)))
        return;
    QImage layer(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        return;
    layer.fill(0);
    Canvas canvas(layer, pass.canvas.antialias(), pass.canvas.painter(), memory_.get());
    const QTransform toLayer = QTransform::fromTranslate(-rect.left(), -rect.top());
    Pass inner { canvas, pass.stage, pass.viewScale, &object,
        pass.view ? std::optional<QTransform>(*pass.view * toLayer) : std::nullopt };
    drawContent(inner, object, t * toLayer, cx, movie);
    canvas.finish();
    filters.apply(layer);
    pass.canvas.compose(layer, rect.topLeft(), mode);
}

std::shared_ptr<const CoverageMask> Renderer::makeMask(
    Pass& pass, const DisplayObject& mask, const QTransform& parent, const Movie& movie)
{
    const QTransform t = toQTransform(mask.matrix()) * parent;
    if (budget_.spent() || !t.isInvertible() || blownUp(t))
        return std::make_shared<CoverageMask>();
    const QRectF bounds = mask.unclippedBounds();
    const QRect rect = bounds.isNull() ? QRect() : pixelsWithin(t.mapRect(bounds), pass.canvas.paintBox());
    if (rect.isEmpty() || !budget_.pixels(double(rect.width()) * rect.height()))
        return std::make_shared<CoverageMask>();
    pass.canvas.beginMask(rect);
    drawObject(pass, mask, parent, ColorXform {}, movie);
    return pass.canvas.endMask();
}

void Renderer::drawThroughGrid(Pass& pass, const DisplayObject& shape, const QTransform& clipT,
    const ColorXform& parentCx, const Movie& movie, const ScalingGrid& grid)
{
    if (budget_.spent() || !shape.visible())
        return;
    const QTransform toClip = toQTransform(shape.matrix());
    const ColorXform cx = ColorXform::from(shape.colorTransform()).then(parentCx);
    if (!clipT.isInvertible() || blownUp(clipT) || cx.hidesEverything())
        return;
    DrawContext context(
        pass.canvas, budget_, toClip * clipT, cx, pass.viewScale, &movie, &pass.stage.decoded());
    context.drawThroughGrid(grid, toClip, clipT);
    shape.draw(context);
}

void Renderer::drawList(Pass& pass, const DisplayList& list, const QTransform& t, const ColorXform& cx,
    const Movie& movie, const ScalingGrid* grid)
{
    // A mask clips the objects above it up to its clip depth. Masks may overlap without
    // nesting: the clip is the part every live mask lets through, made anew whenever
    // that set changes.
    struct Live {
        int clipDepth;
        std::shared_ptr<const CoverageMask> mask;
    };
    std::vector<Live> masks;
    bool changed = false;
    bool pushed = false;
    const auto unclip = [&] {
        if (pushed)
            pass.canvas.popClip();
        pushed = false;
    };

    for (const auto& [depth, object] : list) {
        if (budget_.spent())
            break;
        const auto expired = std::erase_if(masks, [depth](const Live& m) { return m.clipDepth < depth; });
        changed = changed || expired > 0;
        if (object->isMask()) {
            // Made under the clip this list started with, so that the masks' parts meet
            // each other only in the intersection below.
            unclip();
            masks.push_back({ object->clipDepth(), makeMask(pass, *object, t, movie) });
            changed = true;
            continue;
        }
        if (changed) {
            unclip();
            if (!masks.empty()) {
                std::shared_ptr<const CoverageMask> combined = masks.front().mask;
                for (std::size_t i = 1; i < masks.size(); ++i) {
                    if (!budget_.pixels(double(combined->alpha.size())))
                        break;
                    combined = std::make_shared<const CoverageMask>(
                        CoverageMask::intersect(*combined, *masks[i].mask));
                }
                pass.canvas.pushClip(std::move(combined));
                pushed = true;
            }
            changed = false;
        }
        // Only the clip's own shapes follow its grid, and only while nothing else (a
        // filter, a blend mode, a mask that script set) asks for a picture of their own.
        if (grid && isShape(*object) && !pass.canvas.makingMask() && object->placement().filters.empty()
            && blendModeOf(object->blendMode()) == BlendMode::Normal && !object->scriptMask()
            && !object->masksObject())
            drawThroughGrid(pass, *object, t, cx, movie, *grid);
        else
            drawObject(pass, *object, t, cx, movie);
    }
    unclip();
}

} // namespace swf
