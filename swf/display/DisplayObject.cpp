#include "DisplayObject.h"

#include "MovieClip.h"
#include "Names.h"
#include "Stage.h"

#include "swf/format/Tags.h"

#include <vector>

namespace swf {

DisplayObject::DisplayObject(Stage& stage, const Character* character, int depth)
    : stage_(stage)
    , id_(stage.registerObject(this))
    , character_(character)
    , depth_(depth)
    , bornTick_(stage.tick())
{
    if (character)
        placement_.characterId = character->id;
}

DisplayObject::~DisplayObject()
{
    stage_.unregisterObject(id_);
}

void DisplayObject::attach(MovieClip* parent, int depth, Origin origin)
{
    parent_ = parent;
    depth_ = depth;
    origin_ = origin;
}

void DisplayObject::applyTimelinePlacement(const Placement& placement)
{
    const Matrix matrix = placement_.matrix;
    const ColorTransform cx = placement_.colorTransform;
    const std::string name = placement_.name;
    placement_ = placement;
    // Once a script has set either transform, the timeline moves neither.
    if (scriptMoved_ || scriptRecoloured_) {
        placement_.matrix = matrix;
        placement_.colorTransform = cx;
    }
    // A name given by the timeline replaces the one the object had; no name keeps it.
    if (!placement.name.empty())
        name_ = placement.name;
    else
        placement_.name = name;
}

void DisplayObject::setMatrix(const Matrix& matrix)
{
    placement_.matrix = matrix;
    scriptMoved_ = true;
}

void DisplayObject::setColorTransform(const ColorTransform& cx)
{
    placement_.colorTransform = cx;
    scriptRecoloured_ = true;
}

QTransform DisplayObject::stageTransform() const
{
    QTransform t = toQTransform(matrix());
    for (const DisplayObject* p = container(); p; p = p->container())
        t = t * toQTransform(p->matrix());
    return t;
}

DisplayObject* DisplayObject::container() const
{
    return parent_ ? parent_ : holder_;
}

bool DisplayObject::takesInstanceName() const
{
    if (asMovieClip())
        return true;
    const auto tag = static_cast<TagCode>(character_ ? character_->tagCode : 0);
    return tag == TagCode::DefineButton || tag == TagCode::DefineButton2 || tag == TagCode::DefineEditText;
}

DisplayObject* DisplayObject::namedChild(std::string_view name, bool caseSensitive) const
{
    if (const MovieClip* clip = asMovieClip())
        return clip->childByName(name, caseSensitive);
    const DisplayList* list = children();
    if (!list)
        return nullptr;
    for (const auto& [depth, object] : *list) {
        if (sameName(object->name(), name, caseSensitive))
            return object.get();
    }
    return nullptr;
}

QRectF DisplayObject::bounds() const
{
    return boundsOf(true);
}

QRectF DisplayObject::unclippedBounds() const
{
    return boundsOf(false);
}

QRectF DisplayObject::boundsOf(bool scrolled) const
{
    if (scrolled && scrollRect_)
        return QRectF(QPointF(0, 0), scrollRect_->size());
    QRectF box = ownBounds();
    if (const DisplayList* list = children()) {
        for (const auto& [depth, child] : *list) {
            const QRectF inner = child->boundsOf(scrolled);
            if (inner.isNull())
                continue;
            const QRectF mapped = toQTransform(child->matrix()).mapRect(inner);
            box = box.isNull() ? mapped : box.united(mapped);
        }
    }
    // Unclipped, the scroll rectangle still moves what it shows.
    if (scrollRect_ && !box.isNull())
        box.translate(-scrollRect_->topLeft());
    return box;
}

namespace {

// The work of hitTest. Masks are taken as drawn, without the masks scripts gave what they
// are made of: the renderer draws them so, and objects that mask each other through
// scripts cannot send the test round in a loop.
bool hits(const DisplayObject& object, QPointF local, bool evenHidden, bool scriptMasks)
{
    if (!object.visible() && !evenHidden)
        return false;
    // A mask a script gave the object leaves it only where that mask covers. The mask
    // may stand anywhere in the tree, so the point goes there by way of the stage.
    if (scriptMasks && object.scriptMask()) {
        if (const DisplayObject* mask = object.stage().find(object.scriptMask())) {
            const QTransform maskT = mask->stageTransform();
            if (!maskT.isInvertible())
                return false;
            const QPointF inMask = maskT.inverted().map(object.stageTransform().map(local));
            if (!hits(*mask, inMask, true, false))
                return false;
        }
    }
    if (object.hitsOwn(local))
        return true;
    const DisplayList* list = object.children();
    if (!list)
        return false;
    // A child under a mask layer counts only where that mask covers the point too.
    struct Mask {
        const DisplayObject* object;
        int clipDepth;
    };
    std::vector<Mask> masks;
    for (const auto& [depth, child] : *list) {
        std::erase_if(masks, [depth](const Mask& m) { return m.clipDepth < depth; });
        const QTransform toChild = toQTransform(child->matrix()).inverted();
        if (child->isMask()) {
            masks.push_back({ child.get(), child->clipDepth() });
            continue;
        }
        bool inside = hits(*child, toChild.map(local), evenHidden, scriptMasks);
        for (const Mask& mask : masks) {
            if (!inside)
                break;
            inside = hits(
                *mask.object, toQTransform(mask.object->matrix()).inverted().map(local), evenHidden, false);
        }
        if (inside)
            return true;
    }
    return false;
}

} // namespace

bool DisplayObject::hitTest(QPointF local, bool evenHidden) const
{
    return hits(*this, local, evenHidden, true);
}

void linkScriptMask(DisplayObject& object, DisplayObject* mask)
{
    Stage& stage = object.stage();
    if (DisplayObject* old = stage.find(object.scriptMask_); old && old->masksObject_ == object.id())
        old->masksObject_ = 0;
    object.scriptMask_ = 0;
    // The timeline's masks keep their own work: a script cannot mask one, nor mask with one.
    if (!mask || mask == &object || object.isMask() || mask->isMask())
        return;
    if (DisplayObject* before = stage.find(mask->masksObject_); before && before->scriptMask_ == mask->id())
        before->scriptMask_ = 0;
    mask->masksObject_ = object.id();
    object.scriptMask_ = mask->id();
}

} // namespace swf
