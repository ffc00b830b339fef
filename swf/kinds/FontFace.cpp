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

namespace {

// Widths of the characters 0x20 to 0x7E in thousandths of the size.
constexpr uint16_t kSerifWidths[95] = { 250, 333, 408, 500, 500, 833, 778, 180, 333, 333, 500, 564, 250, 333,
    250, 278, 500, 500, 500, 500, 500, 500, 500, 500, 500, 500, 278, 278, 564, 564, 564, 444, 921, 722, 667,
    667, 722, 611, 556, 722, 722, 333, 389, 722, 611, 889, 722, 722, 556, 722, 667, 556, 611, 722, 722, 944,
    722, 722, 611, 333, 278, 333, 469, 500, 333, 444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500, 278,
    778, 500, 500, 500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444, 480, 200, 480, 541 };
constexpr uint16_t kSansWidths[95] = { 278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,
    278, 278, 556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667,
    722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944,
    667, 667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222,
    833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584 };

const uint16_t* standardWidths(const QString& name)
{
    static constexpr uint16_t kMono[95] = { 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600,
        600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600,
        600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600,
        600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600,
        600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600 };
    const QString n = name.trimmed().toLower();
    if (n == u"_serif" || n == u"times new roman" || n == u"times")
        return kSerifWidths;
    if (n == u"_sans" || n == u"arial" || n == u"helvetica")
        return kSansWidths;
    if (n == u"_typewriter" || n == u"courier new" || n == u"courier")
        return kMono;
    return nullptr;
}

// Faces made with the standard faces' widths.
bool sameWidthsAsStandard(const QString& family)
{
    const QString f = family.toLower();
    return f == u"times new roman" || f == u"arial" || f == u"courier new" || f.startsWith(u"liberation ")
        || f == u"tinos" || f == u"arimo" || f == u"cousine";
}

} // namespace

std::optional<std::vector<double>> standardAdvances(const QString& name, const QString& installed, bool bold,
    bool italic, double size, const QString& text, const std::function<double(QChar)>& fallback)
{
    const uint16_t* widths = bold || italic ? nullptr : standardWidths(name);
    if (!widths || sameWidthsAsStandard(installed))
        return std::nullopt;
    std::vector<double> out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const ushort u = c.unicode();
        out.push_back(u >= 0x20 && u <= 0x7E ? widths[u - 0x20] * size / 1000 : fallback(c));
    }
    return out;
}

} // namespace swf
