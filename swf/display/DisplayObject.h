#pragma once

#include "Geometry.h"
#include "Placement.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace swf {

class DisplayObject;
class DrawContext;
class MovieClip;
class Stage;
struct Character;

// The objects of one display list, by depth, bottom first.
using DisplayList = std::map<int, std::unique_ptr<DisplayObject>>;

// Depths as the file gives them (1..65535) are the timeline's. Scripts count depths from
// -16384, so that their own objects (depth 0 and up) stand above everything the timeline
// places: a script depth is a display-list depth less this offset.
inline constexpr int kScriptDepthOffset = 16384;
inline constexpr int kMinScriptDepth = -16384;
inline constexpr int kMaxScriptDepth = 1048575;
// The highest script depth a duplicated clip may take.
inline constexpr int kMaxDuplicateDepth = 2130706428 - kScriptDepthOffset;
// Where an object the timeline removed waits for its unload scripts: below every depth
// in use, mirrored so that each depth has its own (scripts read -32769 less the old
// script depth). No other object ever stands at a negative depth.
inline constexpr int unloadDepth(int depth)
{
    return -1 - depth;
}

// A stable name for a display object that may be gone by the time it is used: input keeps
// the object under the pointer by it, scripts keep their references by it.
using ObjectId = uint64_t;

// What put an object on its display list. The timeline manages only its own objects: a
// frame step or a goto never touches what a script made, nor an object a script has taken
// over by moving it to another depth.
enum class Origin : uint8_t { Timeline, Script };

enum class PointerEventKind : uint8_t {
    RollOver,
    RollOut,
    Press,
    Release,
    ReleaseOutside,
    DragOver,
    DragOut
};

// One instance of a character on a display list. Each kind of character is one subclass
// (the sprite's is MovieClip): it is made from its definition by the factory registered for
// its tag, and says how it is drawn, measured and hit-tested. Everything that is the same
// for every kind lives here: the placement the timeline gives, what a script changes, the
// name, the place in the tree, and whether it takes the mouse.
class DisplayObject {
public:
    DisplayObject(Stage& stage, const Character* character, int depth);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    // ---- What each kind says about itself --------------------------------------------

    // Draws what this object itself shows (not its children), in its own coordinates.
    virtual void draw(DrawContext&) const { }
    // Its children, drawn above its own picture; null for kinds without any.
    virtual const DisplayList* children() const { return nullptr; }
    // Objects it made and keeps apart from its children, never drawn (a button's hit
    // area); like any object they count against the stage's limits.
    virtual const DisplayList* heldObjects() const { return nullptr; }
    // The area its own picture covers, in its own twips (children not included).
    virtual QRectF ownBounds() const { return {}; }
    // Whether its own picture covers `local` (its own twips): the exact shapes, not boxes.
    virtual bool hitsOwn(QPointF) const { return false; }
    // The area its own picture covers when it serves as a mask, in its own twips. Made on
    // first use: `work` gets what making it took (PathUnion units), 0 once it is kept.
    virtual QPainterPath ownOutline(double& work) const
    {
        work = 0;
        return {};
    }
    // The pointer entered, left, pressed or released this object (only mouse targets).
    virtual void pointerEvent(PointerEventKind) { }
    // Whether this object takes pointer events as one whole (buttons, clips with mouse
    // handlers); the objects inside it then take none of their own.
    virtual bool isMouseTarget() const { return handlesMouse_; }

    // A button that tracks as a menu: pressed elsewhere and dragged onto, it takes the press.
    virtual bool tracksAsMenu() const { return false; }
    // One tick of the frame clock for kinds that keep children of their own (buttons):
    // their clips advance. Clips advance themselves.
    virtual void tick() { }

    virtual MovieClip* asMovieClip() { return nullptr; }
    virtual const MovieClip* asMovieClip() const { return nullptr; }

    // ---- Measuring and hit testing, the same for every kind ---------------------------

    // The bounds of this object and everything in it, in its own twips.
    QRectF bounds() const;
    // The same with the scroll rectangles moving what they show but cutting nothing, as
    // in a mask: all that the tree draws.
    QRectF unclippedBounds() const;
    // Whether the object or anything in it (masks taken into account) covers `local`.
    // Scripts asking about a shape count hidden objects too (`evenHidden`).
    bool hitTest(QPointF local, bool evenHidden = false) const;
    // The transform from this object's twips to the stage's.
    QTransform stageTransform() const;

    // ---- Identity and place in the tree -----------------------------------------------

    ObjectId id() const { return id_; }
    Stage& stage() const { return stage_; }
    const Character* character() const { return character_; } // null for the root and empty clips
    uint16_t characterId() const { return placement_.characterId; }
    int depth() const { return depth_; }
    int scriptDepth() const { return depth_ - kScriptDepthOffset; }
    // Removed by the timeline and waiting below every depth for its unload scripts.
    bool unloading() const { return depth_ < 0; }
    MovieClip* parent() const { return parent_; }
    // What holds this object in the tree: its clip, or the button whose state shows it.
    // Paths, _parent and _root go through it; only clips' children have a parent().
    DisplayObject* container() const;
    void setHolder(DisplayObject* holder) { holder_ = holder; }
    // Whether scripts reach the object by name, so that it gets "instanceN" when it has
    // none: clips, buttons and text fields.
    bool takesInstanceName() const;
    // The child (of children()) with this instance name, or null.
    DisplayObject* namedChild(std::string_view name, bool caseSensitive) const;
    Origin origin() const { return origin_; }

    // The instance name: the one the timeline or a script gave it, or "instanceN".
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // ---- Properties: the timeline's placement and what scripts change -----------------

    const Placement& placement() const { return placement_; }
    const Matrix& matrix() const { return placement_.matrix; }
    const ColorTransform& colorTransform() const { return placement_.colorTransform; }
    uint16_t ratio() const { return placement_.ratio; }
    bool isMask() const { return placement_.clipDepth != 0; }
    uint16_t clipDepth() const { return placement_.clipDepth; }
    uint8_t blendMode() const { return placement_.blendMode; }
    void setBlendMode(uint8_t mode) { placement_.blendMode = mode; }
    bool cacheAsBitmap() const { return placement_.cacheAsBitmap; }
    void setCacheAsBitmap(bool on) { placement_.cacheAsBitmap = on; }
    bool visible() const { return visible_; }

    // The timeline's word on this object. Once a script has moved or recoloured it, the
    // timeline's moves leave that property alone until the timeline places it anew.
    void applyTimelinePlacement(const Placement& placement);
    void setMatrix(const Matrix& matrix);
    void setColorTransform(const ColorTransform& cx);
    void setVisible(bool visible) { visible_ = visible; }
    // A FILTERLIST (as PlaceObject3 carries it) a script gives the object.
    void setFilters(std::vector<uint8_t> list) { placement_.filters = std::move(list); }
    // The mask a script gave it (setMask): it shows only where that object covers. 0 for
    // none. The mask knows what it masks, and is not drawn itself while that object lives.
    ObjectId scriptMask() const { return scriptMask_; }
    ObjectId masksObject() const { return masksObject_; }
    // A scroll rectangle (twips of its own space): only that part shows, moved to the
    // object's origin, and it is the object's size.
    const std::optional<QRectF>& scrollRect() const { return scrollRect_; }
    void setScrollRect(std::optional<QRectF> rect) { scrollRect_ = rect; }
    bool scriptMoved() const { return scriptMoved_; }
    bool scriptRecoloured() const { return scriptRecoloured_; }

    // Mouse handling, set by buttons' and scripts' layers.
    void setHandlesMouse(bool on) { handlesMouse_ = on; }
    bool useHandCursor() const { return useHandCursor_; }
    void setUseHandCursor(bool on) { useHandCursor_ = on; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // The tick of the stage in which this object was created: a clip does not advance in
    // the tick that made it, since making it already ran its first frame.
    uint64_t bornTick() const { return bornTick_; }
    // The frame of its parent's timeline whose tag placed it (-1 when a script made it).
    int placedFrame() const { return placedFrame_; }
    void setPlacedFrame(int frame) { placedFrame_ = frame; }

protected:
    Stage& stage_;

private:
    friend class MovieClip;
    friend void linkScriptMask(DisplayObject& object, DisplayObject* mask);
    void attach(MovieClip* parent, int depth, Origin origin);
    QRectF boundsOf(bool scrolled) const;

    ObjectId id_;
    const Character* character_;
    int depth_;
    MovieClip* parent_ = nullptr;
    DisplayObject* holder_ = nullptr;
    Origin origin_ = Origin::Timeline;
    uint64_t bornTick_;
    int placedFrame_ = -1;
    std::string name_;
    Placement placement_;
    bool visible_ = true;
    ObjectId scriptMask_ = 0;
    std::optional<QRectF> scrollRect_;
    ObjectId masksObject_ = 0;
    bool scriptMoved_ = false;
    bool scriptRecoloured_ = false;
    bool handlesMouse_ = false;
    bool useHandCursor_ = true;
    bool enabled_ = true;
};

// Masks `object` with `mask` (none: unmasks it). A mask masks one object at a time, so
// whatever it masked before shows whole again.
void linkScriptMask(DisplayObject& object, DisplayObject* mask);

} // namespace swf
