#pragma once

#include "HtmlText.h"
#include "Registry.h"

#include "swf/display/DisplayObject.h"
#include "swf/format/Text.h"

#include <QString>

#include <memory>
#include <optional>

#include <vector>

namespace swf {

struct FontFace;
struct Movie;

// An instance of a DefineEditText: a text field with its own text and formats, laid out
// into lines by its width, margins, indent, leading and alignment, drawn with the movie's
// embedded glyphs or with system fonts, with its border and background, clipped to its
// box. The script layer reads and changes it through the API below (the properties of
// the TextField class); typing and variable binding are the script layer's.
class EditTextInstance final : public DisplayObject {
public:
    enum class AutoSize : uint8_t { None, Left, Center, Right };

    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    EditTextInstance(Stage& stage, const Movie& movie, const Character& character, int depth);
    // A field a script makes (createTextField): no text, a box of `box` twips, the
    // original player's defaults for such fields (one line, no border, selectable, a
    // dynamic field drawn in the system's Times New Roman of 12 pixels).
    static std::unique_ptr<EditTextInstance> makeEmpty(Stage& stage, const Movie& movie, int depth, const QRectF& box);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

    // ---- Text ----------------------------------------------------------------------------
    // Paragraphs end at '\r'.
    QString text() const;
    void setText(const QString& text);
    // The text as HTML (the field's own text when it is not an HTML field).
    QString htmlText() const;
    void setHtmlText(const QString& html);
    const std::vector<TextSpan>& spans() const { return spans_; }
    void setSpans(std::vector<TextSpan> spans);
    int length() const;

    // The text the definition gives, as the field showed it when it was made.
    QString initialText() const;

    // ---- Formats -------------------------------------------------------------------------
    // The format new text takes.
    const TextFormat& defaultFormat() const { return defaultFormat_; }
    void setDefaultFormat(const TextFormat& format) { defaultFormat_ = format; }
    // The format at character `index` (the default past the end).
    TextFormat formatAt(int index) const;
    // Gives characters [begin, end) `format`.
    void setFormat(int begin, int end, const TextFormat& format);

    // ---- Properties ----------------------------------------------------------------------
    bool html() const { return html_; }
    void setHtml(bool on) { html_ = on; }
    bool border() const { return border_; }
    void setBorder(bool on) { border_ = on; }
    Rgba borderColor() const { return borderColor_; }
    void setBorderColor(Rgba c) { borderColor_ = c; }
    bool background() const { return background_; }
    void setBackground(bool on) { background_ = on; }
    Rgba backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Rgba c) { backgroundColor_ = c; }
    Rgba textColor() const { return defaultFormat_.color; }
    void setTextColor(Rgba c); // every run, and new text
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool multiline() const { return multiline_; }
    void setMultiline(bool on);
    AutoSize autoSize() const { return autoSize_; }
    void setAutoSize(AutoSize mode);
    bool selectable() const { return selectable_; }
    void setSelectable(bool on) { selectable_ = on; }
    bool password() const { return password_; }
    void setPassword(bool on);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }
    int maxChars() const { return maxChars_; } // 0: no limit
    void setMaxChars(int count) { maxChars_ = std::max(0, count); }
    bool embedFonts() const { return embedFonts_; }
    void setEmbedFonts(bool on);
    // The name of the variable the field shows (dot or slash path), empty for none.
    const QString& variable() const { return variable_; }
    void setVariable(const QString& name) { variable_ = name; }

    bool condenseWhite() const { return condenseWhite_; }
    void setCondenseWhite(bool on) { condenseWhite_ = on; }
    // The characters typing may enter (the TextField restrict syntax), unset for any.
    const std::optional<QString>& restrict() const { return restrict_; }
    void setRestrict(std::optional<QString> chars) { restrict_ = std::move(chars); }

    // The field's box in its own twips; scripts change it through _width and _height.
    QRectF box() const { return box_; }
    void setBox(const QRectF& box);

    // ---- Scrolling and measures ----------------------------------------------------------
    int scroll() const { return scroll_; } // the first line shown, from 1
    void setScroll(int line);
    int maxScroll() const;
    int bottomScroll() const; // the last line shown, from 1
    double hscroll() const { return hscroll_; } // twips
    void setHscroll(double twips);
    double maxHscroll() const;
    double textWidth() const; // twips, of the widest line
    double textHeight() const; // twips, of all lines
    // The ascent and descent of the first line, twips.
    std::pair<double, double> firstLineExtent() const;
    int lineCount() const;

private:
    struct Piece {
        double x = 0; // from the line's left
        QString text;
        TextFormat format;
        const FontFace* face = nullptr; // null: a system font
        double width = 0;
    };
    struct Line {
        double top = 0; // from the first line's top
        double ascent = 0;
        double descent = 0;
        double leading = 0;
        double width = 0;
        double left = 0; // from the box's left, alignment and margins applied
        std::vector<Piece> pieces;
    };
    struct Metrics {
        double ascent = 0;
        double descent = 0;
    };

    const std::vector<Line>& lines() const;
    void changed();
    const FontFace* faceFor(const TextFormat& format) const;
    double measure(const QString& text, const TextFormat& format, const FontFace* face) const;
    Metrics metrics(const TextFormat& format, const FontFace* face) const;
    QPainterPath outline(const Piece& piece, double baseline, double x) const;
    void layoutParagraph(const std::vector<TextSpan>& paragraph, std::vector<Line>& out, double& top) const;
    void fitBox();
    double innerWidth() const;

    const Movie& movie_;
    EditTextDefinition definition_;
    std::vector<TextSpan> spans_;
    TextFormat defaultFormat_;
    QRectF box_;
    bool html_ = false;
    bool border_ = false;
    Rgba borderColor_ { 0, 0, 0, 255 };
    bool background_ = false;
    Rgba backgroundColor_ { 255, 255, 255, 255 };
    bool wordWrap_ = false;
    bool multiline_ = false;
    AutoSize autoSize_ = AutoSize::None;
    bool built_ = false; // past the constructor: autosizing moves the field, not its box
    bool selectable_ = true;
    bool password_ = false;
    bool readOnly_ = false;
    int maxChars_ = 0;
    bool embedFonts_ = false;
    QString variable_;
    bool condenseWhite_ = false;
    std::optional<QString> restrict_;
    std::unique_ptr<Character> ownCharacter_; // the definition of a field a script made
    int scroll_ = 1;
    double hscroll_ = 0;

    mutable bool laidOut_ = false;
    mutable std::vector<Line> lines_;
};

} // namespace swf
