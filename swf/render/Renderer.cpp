#include "Renderer.h"

#include "ShowAll.h"
#include "StylePaint.h"

#include "swf/display/Stage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {
namespace {

const Shape* shapeOf(const DisplayObject& object)
{
    if (object.kind() != DisplayObject::Kind::Shape || !object.character())
        return nullptr;
    return std::get_if<Shape>(&object.character()->data);
}

QColor opaque(const Rgba& c)
{
    return QColor(c.r, c.g, c.b);
}

// Uniting paths costs more than linearly in their size; past this many elements the
// children of a sprite mask are laid together instead, exact unless they overlap.
constexpr int kUniteLimit = 4000;

} // namespace

void Renderer::useMovie(const Stage& stage)
{
    if (movie_ != stage.sharedMovie()) {
        cache_.clear();
        movie_ = stage.sharedMovie();
    }
}

void Renderer::render(QPainter& painter, const Stage& stage, const QRectF& target)
{
    painter.fillRect(target, opaque(stage.background()));
    const QTransform view = showAllTransform(stage.movie().header.frameSize, target);
    if (view.m11() == 0)
        return;
    drawTree(painter, stage, view);
}

void Renderer::drawTree(QPainter& painter, const Stage& stage, const QTransform& view)
{
    useMovie(stage);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    base_ = painter.worldTransform();
    drawObject(painter, stage.root(), view * base_, ColorXform {});
    painter.restore();
}

void Renderer::drawObject(
    QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorXform& parentCx)
{
    const QTransform t = toQTransform(object.matrix()) * parent;
    const ColorXform cx = ColorXform::from(object.colorTransform()).then(parentCx);
    // Nothing shows through a transform that squashes the object flat, or that keeps it
    // fully transparent whatever its colours.
    if (!t.isInvertible() || std::max(cx.add[3], 255 * cx.mul[3] + cx.add[3]) <= 0)
        return;
    if (const Shape* shape = shapeOf(object))
        drawShape(painter, *shape, t, cx);
    else if (const MovieClip* clip = object.asMovieClip())
        drawList(painter, clip->displayList(), t, cx);
}

void Renderer::drawList(
    QPainter& painter, const MovieClip::DisplayList& list, const QTransform& t, const ColorXform& cx)
{
    // A mask clips the objects above it up to its clip depth. Masks may overlap without
    // nesting, so the clip is rebuilt from the live masks whenever that set changes.
    struct Mask {
        int clipDepth;
        QPainterPath devicePath;
    };
    std::vector<Mask> masks;
    bool clipChanged = false;
    bool clipSaved = false;

    for (const auto& [depth, object] : list) {
        const auto expired = std::erase_if(masks, [depth](const Mask& m) { return m.clipDepth < depth; });
        clipChanged = clipChanged || expired > 0;
        if (object->isMask()) {
            masks.push_back({ object->placement().clipDepth, outlineOf(*object, t) });
            clipChanged = true;
            continue;
        }
        if (clipChanged) {
            if (clipSaved)
                painter.restore();
            clipSaved = !masks.empty();
            if (clipSaved) {
                painter.save();
                painter.setWorldTransform(QTransform());
                for (const Mask& mask : masks)
                    painter.setClipPath(mask.devicePath, Qt::IntersectClip);
            }
            clipChanged = false;
        }
        drawObject(painter, *object, t, cx);
    }
    if (clipSaved)
        painter.restore();
}

void Renderer::drawShape(QPainter& painter, const Shape& shape, const QTransform& t, const ColorXform& cx)
{
    const ShapeDrawing& drawing = cache_.drawing(shape);
    if (drawing.layers().empty())
        return;
    painter.setWorldTransform(t);
    const double pixelsPerTwip = std::sqrt(std::abs(t.determinant()));
    for (const ShapeDrawing::Layer& layer : drawing.layers()) {
        if (const auto* fill = std::get_if<FillStyle>(&layer.style)) {
            const QBrush brush = fillBrush(*fill, cx);
            if (brush.style() != Qt::NoBrush)
                painter.fillPath(layer.path, brush);
        } else {
            const auto& line = std::get<LineStyle>(layer.style);
            painter.strokePath(layer.path, linePen(line, cx, pixelsPerTwip));
        }
    }
}

QPainterPath Renderer::outlineOf(const DisplayObject& object, const QTransform& parent)
{
    const QTransform t = toQTransform(object.matrix()) * parent;
    if (const Shape* shape = shapeOf(object))
        return t.map(cache_.outline(*shape));
    QPainterPath outline;
    if (const MovieClip* clip = object.asMovieClip()) {
        for (const auto& [depth, child] : clip->displayList()) {
            if (child->isMask())
                continue;
            const QPainterPath part = outlineOf(*child, t);
            if (outline.isEmpty())
                outline = part;
            else if (outline.elementCount() + part.elementCount() < kUniteLimit)
                outline = outline.united(part);
            else
                outline.addPath(part);
        }
    }
    return outline;
}

} // namespace swf
