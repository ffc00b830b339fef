#pragma once

#include "swf/format/Fonts.h"

#include <QFont>
#include <QPainterPath>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace swf {

class DecodedCache;
struct Movie;

// A font character of a movie, decoded once: its definition with what DefineFontInfo adds,
// its name as text, and each glyph's outline in the em square, y growing down.
struct FontFace {
    FontDefinition definition;
    QString name;
    std::vector<QPainterPath> glyphs;

    // The outline of glyph `index` scaled to a size of `height` twips, at the origin.
    QPainterPath glyphPath(std::size_t index, double height) const;
    // How far glyph `index` advances at `height` twips, from the font's layout.
    std::optional<double> advance(std::size_t index, double height) const;
    // Whether the font carries outlines to draw with (DefineFont2/3 may carry only names).
    bool hasOutlines() const;
};

// The font of `movie` with id `fontId`, or null when there is none.
const FontFace* fontFace(const Movie& movie, uint16_t fontId, DecodedCache& cache);
// A font of `movie` by name (as DefineEditText's HTML names one), or null.
const FontFace* fontFaceNamed(
    const Movie& movie, const QString& name, bool bold, bool italic, DecodedCache& cache);

// The system font that stands for a device font name: "_sans", "_serif" and
// "_typewriter" are the three generic ones, any other name is looked for as it is. Every
// one falls back on a Chinese font for the characters it lacks. `pixelSize` is in twips
// when outlines are drawn in twips. Needs a running QGuiApplication.
QFont deviceFont(const QString& name, bool bold, bool italic, int pixelSize);
bool deviceFontsAvailable();

// The advances of `text` in device font `name` at `size` (any unit), or nothing when the
// system's own font serves: where a movie asks for one of the standard faces (Times New
// Roman, Arial, Courier New or the generic names for them) in its plain style and the
// system has neither it nor a face of the same widths, the standard face's published
// widths stand in for the printable ASCII characters, so that text measures, breaks and
// scrolls as it does where the face is installed; `fallback` measures other characters.
// `installed` is the family the system gave for the name.
std::optional<std::vector<double>> standardAdvances(const QString& name, const QString& installed, bool bold,
    bool italic, double size, const QString& text, const std::function<double(QChar)>& fallback);

} // namespace swf
