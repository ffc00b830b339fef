#include "MorphShapeInstance.h"

#include "swf/display/Stage.h"
#include "swf/format/MorphShape.h"
#include "swf/format/Tags.h"
#include "swf/render/DrawContext.h"
#include "swf/render/ShapeDrawing.h"

#include <map>

namespace swf {
namespace {

// The drawings of one morph by ratio. A tween shows each ratio for a frame or a few; they
// are all let go once there are many, and the ratios in use are made again.
struct MorphDrawings {
    static constexpr std::size_t kMaxKept = 128;
    mutable std::map<uint16_t, std::shared_ptr<const ShapeDrawing>> byRatio;
};

double fraction(uint16_t ratio)
{
    return ratio / 65535.0;
}

} // namespace

std::unique_ptr<DisplayObject> MorphShapeInstance::make(const InstanceContext& c)
{
    return std::make_unique<MorphShapeInstance>(c.stage, c.character, c.depth);
}

MorphShapeInstance::MorphShapeInstance(Stage& stage, const Character& character, int depth)
    : DisplayObject(stage, &character, depth)
{
}

const MorphShape& MorphShapeInstance::morph() const
{
    return stage_.decoded().get<MorphShape>(*character(), [this] {
        std::vector<std::string> warnings;
        const uint8_t version = character()->tagCode == toCode(TagCode::DefineMorphShape2) ? 2 : 1;
        return readMorphShape(character()->body, version, warnings);
    });
}

std::shared_ptr<const ShapeDrawing> MorphShapeInstance::drawing() const
{
    const MorphDrawings& kept
        = stage_.decoded().get<MorphDrawings>(*character(), [] { return MorphDrawings {}; });
    auto& byRatio = kept.byRatio;
    if (auto it = byRatio.find(ratio()); it != byRatio.end())
        return it->second;
    if (byRatio.size() >= MorphDrawings::kMaxKept)
        byRatio.clear();
    auto made
        = std::make_shared<const ShapeDrawing>(ShapeDrawing::decode(morphAt(morph(), fraction(ratio()))));
    byRatio.emplace(ratio(), made);
    return made;
}

void MorphShapeInstance::draw(DrawContext& context) const
{
    drawing()->paint(context);
}

QRectF MorphShapeInstance::ownBounds() const
{
    const MorphShape& m = morph();
    const double t = fraction(ratio());
    const auto mix = [t](int32_t a, int32_t b) { return a + (b - a) * t; };
    return QRectF(
        QPointF(mix(m.startBounds.xMin, m.endBounds.xMin), mix(m.startBounds.yMin, m.endBounds.yMin)),
        QPointF(mix(m.startBounds.xMax, m.endBounds.xMax), mix(m.startBounds.yMax, m.endBounds.yMax)))
        .normalized();
}

bool MorphShapeInstance::hitsOwn(QPointF local) const
{
    if (!ownBounds().adjusted(-1, -1, 1, 1).contains(local))
        return false;
    const std::shared_ptr<const ShapeDrawing> shown = drawing();
    for (const ShapeDrawing::Layer& layer : shown->layers()) {
        if (std::holds_alternative<FillStyle>(layer.style) && layer.path.contains(local))
            return true;
    }
    return false;
}

} // namespace swf
