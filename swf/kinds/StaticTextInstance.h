#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"

#include <QTransform>

#include <vector>

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

    // One character of the text as the file lays it out, in the text's own twips.
    struct Glyph {
        QChar code;
        QRectF box; // the advance by the font's height, from the baseline up
        bool startsLine = false; // the first of a record that moves down
        Rgba color;
        double height = 0; // twips
        QString font;
        QTransform matrix; // the text's matrix with the glyph's place
    };
    const std::vector<Glyph>& glyphs() const;

    // The characters a script selected (TextSnapshot), and the colour it shows them in.
    bool glyphSelected(std::size_t index) const { return index < selected_.size() && selected_[index]; }
    void setGlyphSelected(std::size_t index, bool on);
    void setSelectColor(Rgba color) { selectColor_ = color; }

private:
    struct Layout;
    const Layout& layout() const;

    const Movie& movie_;
    std::vector<bool> selected_;
    Rgba selectColor_ { 255, 255, 0, 255 };
};

} // namespace swf
