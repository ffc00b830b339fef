#include "FontFace.h"

#include "TextCodec.h"

#include "swf/display/DecodedCache.h"
#include "swf/format/Movie.h"
#include "swf/format/Tags.h"
#include "swf/render/ShapeDrawing.h"

#include <QGuiApplication>

namespace swf {
namespace {

// The outline of a glyph's records: the area of the fill they draw, whichever side.
QPainterPath outlineOf(const std::vector<ShapeRecord>& records)
{
    if (records.empty())
        return {};
    Shape shape;
    shape.version = 1;
    shape.styles.fills.push_back(FillStyle {});
    shape.records = records;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const ShapeDrawing drawing = ShapeDrawing::decode(shape);
    for (const ShapeDrawing::Layer& layer : drawing.layers()) {
        if (std::holds_alternative<FillStyle>(layer.style))
            path.addPath(layer.path);
    }
    return path;
}

bool isFontTag(uint16_t code)
{
    return code == toCode(TagCode::DefineFont) || code == toCode(TagCode::DefineFont2)
        || code == toCode(TagCode::DefineFont3);
}

} // namespace

QPainterPath FontFace::glyphPath(std::size_t index, double height) const
{
    if (index >= glyphs.size())
        return {};
    const double scale = height / definition.emSize();
    return QTransform::fromScale(scale, scale).map(glyphs[index]);
}

std::optional<double> FontFace::advance(std::size_t index, double height) const
{
    if (!definition.hasLayout || index >= definition.glyphs.size())
        return std::nullopt;
    return definition.glyphs[index].advance * height / definition.emSize();
}

bool FontFace::hasOutlines() const
{
    for (const QPainterPath& p : glyphs) {
        if (!p.isEmpty())
            return true;
    }
    return false;
}

const FontFace* fontFace(const Movie& movie, uint16_t fontId, DecodedCache& cache)
{
    const Character* character = movie.character(fontId);
    if (!character || !isFontTag(character->tagCode))
        return nullptr;
    return &cache.get<FontFace>(*character, [&] {
        FontFace face;
        std::vector<std::string> warnings;
        face.definition = readFont(character->tagCode, character->body, warnings);
        if (auto it = movie.characterTags.find(fontId); it != movie.characterTags.end()) {
            for (const TagRecord& tag : it->second) {
                if (tag.code == toCode(TagCode::DefineFontInfo)
                    || tag.code == toCode(TagCode::DefineFontInfo2))
                    applyFontInfo(face.definition, tag.code, tag.body);
            }
        }
        face.name = movieText(face.definition.name, movie.header.version);
        for (const FontGlyph& glyph : face.definition.glyphs)
            face.glyphs.push_back(outlineOf(glyph.records));
        return face;
    });
}

const FontFace* fontFaceNamed(
    const Movie& movie, const QString& name, bool bold, bool italic, DecodedCache& cache)
{
    const FontFace* any = nullptr;
    for (const auto& [id, character] : movie.dictionary) {
        if (!isFontTag(character->tagCode))
            continue;
        const FontFace* face = fontFace(movie, id, cache);
        if (!face || face->name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (face->definition.bold == bold && face->definition.italic == italic)
            return face;
        if (!any)
            any = face;
    }
    return any;
}

bool deviceFontsAvailable()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont deviceFont(const QString& name, bool bold, bool italic, int pixelSize)
{
    QStringList families;
    if (name == u"_sans")
        families
            = { QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") };
    else if (name == u"_serif")
        families = { QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
            QStringLiteral("DejaVu Serif") };
    else if (name == u"_typewriter")
        families = { QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
            QStringLiteral("DejaVu Sans Mono") };
    else if (!name.isEmpty())
        families = { name };
    families << QStringLiteral("DejaVu Sans") << QStringLiteral("WenQuanYi Micro Hei");
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    font.setItalic(italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace swf
