#include "StaticTextInstance.h"

#include "FontFace.h"

#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"
#include "swf/render/DrawContext.h"

#include <algorithm>

namespace swf {

// The glyph outlines of one colour in the text's own space (the text matrix applied).
struct StaticTextInstance::Layout {
    struct Run {
        Rgba color;
        QPainterPath outline;
    };
    QRectF bounds;
    // Drawn with advanced anti-aliasing (CSMTextSettings): the glyphs are not kept as
    // outlines, so the text is hit anywhere in its box as the stage sees it.
    bool advanced = false;
    std::vector<Run> runs;
    QString text;
    std::vector<Glyph> glyphs;
};

std::unique_ptr<DisplayObject> StaticTextInstance::make(const InstanceContext& c)
{
    return std::make_unique<StaticTextInstance>(c.stage, c.movie, c.character, c.depth);
}

StaticTextInstance::StaticTextInstance(
    Stage& stage, const Movie& movie, const Character& character, int depth)
    : DisplayObject(stage, &character, depth)
    , movie_(movie)
{
}

const StaticTextInstance::Layout& StaticTextInstance::layout() const
{
    return stage_.decoded().get<Layout>(*character(), [this] {
        std::vector<std::string> warnings;
        const uint8_t version = character()->tagCode == toCode(TagCode::DefineText2) ? 2 : 1;
        const StaticText text = readStaticText(character()->body, version, warnings);
        Layout made;
        made.bounds
            = QRectF(QPointF(text.bounds.xMin, text.bounds.yMin), QPointF(text.bounds.xMax, text.bounds.yMax))
                  .normalized();
        if (auto it = movie_.characterTags.find(character()->id); it != movie_.characterTags.end()) {
            for (const TagRecord& tag : it->second) {
                // TextID, then UseFlashType in the top two bits: 1 is advanced.
                if (tag.code == toCode(TagCode::CSMTextSettings) && tag.body.size() > 2)
                    made.advanced = (tag.body[2] >> 6) == 1;
            }
        }
        const QTransform matrix = toQTransform(text.matrix);
        const FontFace* font = nullptr;
        Rgba color;
        double height = 0;
        double x = 0;
        double y = 0;
        bool newLine = true;
        for (const TextRecord& record : text.records) {
            if (record.fontId)
                font = fontFace(movie_, *record.fontId, stage_.decoded());
            if (record.height)
                height = *record.height;
            if (record.color)
                color = *record.color;
            if (record.xOffset)
                x = *record.xOffset;
            if (record.yOffset && *record.yOffset != y) {
                newLine = true;
                y = *record.yOffset;
            }
            if (made.runs.empty() || !(made.runs.back().color == color)) {
                made.runs.push_back({ color, {} });
                made.runs.back().outline.setFillRule(Qt::WindingFill);
            }
            QPainterPath& outline = made.runs.back().outline;
            for (const TextGlyph& glyph : record.glyphs) {
                if (font && glyph.index < font->glyphs.size()) {
                    outline.addPath(
                        (QTransform::fromTranslate(x, y) * matrix).map(font->glyphPath(glyph.index, height)));
                    const uint16_t code = font->definition.glyphs[glyph.index].code;
                    if (code) {
                        made.text.append(QChar(code));
                        const double ascent = font->definition.hasLayout
                            ? font->definition.ascent * height / font->definition.emSize()
                            : height;
                        made.glyphs.push_back({ QChar(code),
                            matrix.mapRect(QRectF(x, y - ascent, glyph.advance, height)), newLine, color,
                            height, font->name, QTransform::fromTranslate(x, y) * matrix });
                        newLine = false;
                    }
                }
                x += glyph.advance;
            }
        }
        return made;
    });
}

void StaticTextInstance::draw(DrawContext& context) const
{
    if (!selected_.empty() && !context.makingMask()) {
        QPainterPath highlight;
        const std::vector<Glyph>& all = glyphs();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (glyphSelected(i))
                highlight.addRect(all[i].box);
        }
        if (!highlight.isEmpty())
            context.fill(highlight, SolidPaint(context.colorTransform().applyRgba(selectColor_)));
    }
    for (const Layout::Run& run : layout().runs) {
        if (run.outline.isEmpty())
            continue;
        const SolidPaint paint(context.colorTransform().applyRgba(run.color));
        if (!context.fill(run.outline, paint, FillRule::NonZero))
            return;
    }
}

QRectF StaticTextInstance::ownBounds() const
{
    return layout().bounds;
}

bool StaticTextInstance::hitsOwn(QPointF local) const
{
    const Layout& made = layout();
    if (made.advanced) {
        const QTransform toStage = stageTransform();
        return toStage.mapRect(made.bounds).contains(toStage.map(local));
    }
    if (!made.bounds.contains(local))
        return false;
    // The glyphs' own outlines, filled as they are drawn: the gaps between letters and
    // the holes inside them miss.
    return std::any_of(made.runs.begin(), made.runs.end(),
        [local](const Layout::Run& run) { return run.outline.contains(local); });
}

QPainterPath StaticTextInstance::ownOutline(double& work) const
{
    work = 0;
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    for (const Layout::Run& run : layout().runs)
        all.addPath(run.outline);
    return all;
}

QString StaticTextInstance::text() const
{
    return layout().text;
}

const std::vector<StaticTextInstance::Glyph>& StaticTextInstance::glyphs() const
{
    return layout().glyphs;
}

void StaticTextInstance::setGlyphSelected(std::size_t index, bool on)
{
    if (index >= glyphs().size())
        return;
    selected_.resize(glyphs().size());
    selected_[index] = on;
}

} // namespace swf
