#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"

namespace swf {

struct Movie;

// An instance of a DefineText or DefineText2: glyphs of embedded fonts laid out by the
// file, record by record, each record's colour, offsets and height carried on to the
// next. Laid out once per character into one outline per colour.
class StaticTextInstance final : public DisplayObject {
public:
    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    StaticTextInstance(Stage& stage, const Movie& movie, const Character& character, int depth);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

    // The text the glyphs spell, where the fonts say which characters they draw.
    QString text() const;

private:
    struct Layout;
    const Layout& layout() const;

    const Movie& movie_;
};

} // namespace swf
