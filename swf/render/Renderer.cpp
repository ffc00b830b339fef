#include "Renderer.h"

#include "DrawContext.h"
#include "PathUnion.h"
#include "ShowAll.h"

#include "swf/display/Stage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {
namespace {

QColor opaque(const Rgba& c)
{
    return QColor(c.r, c.g, c.b);
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

} // namespace

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
    const QPaintDevice* device = painter.device();
    budget_.start(device ? QSize(device->width(), device->height()) : QSize());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    base_ = painter.worldTransform();
    for (const auto& [number, level] : stage.levels())
        drawObject(painter, *level, view * base_, ColorXform {});
    painter.restore();
}

void Renderer::drawObject(
    QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorXform& parentCx)
{
    if (budget_.spent() || !object.visible())
        return;
    const QTransform t = toQTransform(object.matrix()) * parent;
    const ColorXform cx = ColorXform::from(object.colorTransform()).then(parentCx);
    // Nothing shows through a transform that squashes the object flat or blows it up past
    // any screen, or that keeps it fully transparent whatever its colours.
    if (!t.isInvertible() || blownUp(t) || std::max(cx.add[3], 255 * cx.mul[3] + cx.add[3]) <= 0)
        return;
    DrawContext context(painter, budget_, t, cx);
    object.draw(context);
    if (const DisplayList* children = object.children())
        drawList(painter, *children, t, cx);
}

void Renderer::drawList(QPainter& painter, const DisplayList& list, const QTransform& t, const ColorXform& cx)
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
    const double outerClipLoad = budget_.clipLoad();

    for (const auto& [depth, object] : list) {
        if (budget_.spent())
            break;
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
            budget_.setClipLoad(outerClipLoad);
            clipSaved = !masks.empty();
            if (clipSaved) {
                painter.save();
                painter.setWorldTransform(QTransform());
                // A clip left out for want of budget leaves the budget spent, so that
                // nothing is drawn unclipped after it.
                for (const Mask& mask : masks) {
                    if (!budget_.clip(mask.devicePath))
                        break;
                    painter.setClipPath(mask.devicePath, Qt::IntersectClip);
                }
            }
            clipChanged = false;
        }
        drawObject(painter, *object, t, cx);
    }
    if (clipSaved)
        painter.restore();
    budget_.setClipLoad(outerClipLoad);
}

QPainterPath Renderer::outlineOf(const DisplayObject& object, const QTransform& parent)
{
    const QTransform t = toQTransform(object.matrix()) * parent;
    if (budget_.spent() || blownUp(t))
        return {};
    double made = 0;
    const QPainterPath own = object.ownOutline(made);
    budget_.chargeUnion(made);
    const DisplayList* children = object.children();
    if (!children) {
        budget_.charge(own.elementCount());
        return t.map(own);
    }
    PathUnion outline;
    if (!own.isEmpty())
        outline.add(t.map(own));
    for (const auto& [depth, child] : *children) {
        if (!child->isMask())
            outline.add(outlineOf(*child, t));
    }
    budget_.chargeUnion(outline.work());
    return outline.take();
}

} // namespace swf
