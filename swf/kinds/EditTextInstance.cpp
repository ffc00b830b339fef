#include "EditTextInstance.h"

#include "FontFace.h"
#include "TextCodec.h"

#include "swf/display/Stage.h"
#include "swf/render/DrawContext.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace swf {
namespace {

// The space the original player leaves between a field's box and its text, on each side.
constexpr double kGutter = 40;

bool breaksAnywhere(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF)
        || (u >= 0x3000 && u <= 0x303F) || (u >= 0xAC00 && u <= 0xD7AF);
}

// Pieces a line may break after: a word with the spaces after it, one character of a
// script written without spaces, or a tab.
QStringList tokens(const QString& text)
{
    QStringList out;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (breaksAnywhere(c) || c == u'\t') {
            if (!current.isEmpty())
                out << current;
            current.clear();
            out << QString(c);
            continue;
        }
        if (!c.isSpace() && !current.isEmpty() && current.back().isSpace()) {
            out << current;
            current.clear();
        }
        current += c;
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

// The distance from `x` (twips, from the line's left) to the next tab stop: the
// paragraph's stops when it has any, a tab past the last of them taking no room; stops
// every 32 pixels otherwise.
double tabAdvance(double x, const TextFormat& paragraph)
{
    if (!paragraph.tabStops.empty()) {
        for (double stop : paragraph.tabStops) {
            if (stop * 20 > x)
                return stop * 20 - x;
        }
        return 0;
    }
    constexpr double kDefaultTab = 32 * 20;
    return (std::floor(x / kDefaultTab) + 1) * kDefaultTab - x;
}

QString trimmedEnd(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].isSpace())
        --n;
    return s.left(n);
}

// The advances of a device text where a standard face's widths stand in for the
// system's font, nothing where that font's own serve.
std::optional<std::vector<double>> standInAdvances(const QString& text, const TextFormat& format, const QFont& font)
{
    const QFontMetricsF metrics(font);
    return standardAdvances(format.font, QFontInfo(font).family(), format.bold, format.italic, format.size, text,
        [&](QChar c) { return metrics.horizontalAdvance(c); });
}

TextFormat::Align alignOf(uint8_t value)
{
    switch (value) {
    case 1:
        return TextFormat::Align::Right;
    case 2:
        return TextFormat::Align::Center;
    case 3:
        return TextFormat::Align::Justify;
    default:
        return TextFormat::Align::Left;
    }
}

} // namespace

std::unique_ptr<DisplayObject> EditTextInstance::make(const InstanceContext& c)
{
    return std::make_unique<EditTextInstance>(c.stage, c.movie, c.character, c.depth);
}

EditTextInstance::EditTextInstance(Stage& stage, const Movie& movie, const Character& character, int depth)
    : DisplayObject(stage, &character, depth)
    , movie_(movie)
{
    std::vector<std::string> warnings;
    definition_ = readEditText(character.body, warnings);
    const EditTextDefinition& d = definition_;
    box_ = QRectF(QPointF(d.bounds.xMin, d.bounds.yMin), QPointF(d.bounds.xMax, d.bounds.yMax)).normalized();
    html_ = d.html;
    border_ = background_ = d.border;
    wordWrap_ = d.wordWrap;
    multiline_ = d.multiline;
    password_ = d.password;
    readOnly_ = d.readOnly;
    selectable_ = !d.noSelect;
    maxChars_ = d.maxLength.value_or(0);
    embedFonts_ = d.useOutlines;
    autoSize_ = d.autoSize ? AutoSize::Left : AutoSize::None;
    variable_ = movieText(d.variableName, movie.header.version);

    if (d.fontId) {
        if (const FontFace* face = fontFace(movie, *d.fontId, stage.decoded())) {
            defaultFormat_.font = face->name;
            defaultFormat_.bold = face->definition.bold;
            defaultFormat_.italic = face->definition.italic;
        }
    } else if (d.fontClass) {
        defaultFormat_.font = movieText(*d.fontClass, movie.header.version);
    }
    defaultFormat_.size = d.fontHeight;
    if (d.color)
        defaultFormat_.color = Rgba { d.color->r, d.color->g, d.color->b, 255 };
    if (d.hasLayout) {
        defaultFormat_.align = alignOf(d.align);
        defaultFormat_.leftMargin = d.leftMargin;
        defaultFormat_.rightMargin = d.rightMargin;
        defaultFormat_.indent = d.indent;
        defaultFormat_.leading = d.leading;
    }
    if (d.initialText) {
        const QString initial = movieText(*d.initialText, movie.header.version);
        if (html_)
            setHtmlText(initial);
        else
            setText(initial);
    }
    fitBox();
    built_ = true;
}

std::unique_ptr<EditTextInstance> EditTextInstance::makeEmpty(
    Stage& stage, const Movie& movie, int depth, const QRectF& box)
{
    auto character = std::make_unique<Character>();
    character->tagCode = 37;
    EditTextDefinition d;
    d.bounds = Rect { 0, 0, 0, 0 };
    d.fontHeight = 240;
    d.readOnly = true;
    d.hasLayout = false;
    character->body = encodeEditText(d);
    const Character& ref = *character;
    auto field = std::make_unique<EditTextInstance>(stage, movie, ref, depth);
    field->ownCharacter_ = std::move(character);
    field->box_ = box.normalized();
    field->changed();
    return field;
}

QString EditTextInstance::initialText() const
{
    if (!definition_.initialText)
        return {};
    return movieText(*definition_.initialText, movie_.header.version);
}

// ---- Text and formats --------------------------------------------------------------------

QString EditTextInstance::text() const
{
    QString out;
    for (const TextSpan& s : spans_)
        out += s.text;
    return out;
}

int EditTextInstance::length() const
{
    return static_cast<int>(text().size());
}

void EditTextInstance::setText(const QString& text)
{
    // Any line end counts as the field's paragraph end.
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    t.replace(u'\n', u'\r');
    spans_.clear();
    if (!t.isEmpty())
        spans_.push_back({ t, spans_.empty() ? defaultFormat_ : spans_.front().format });
    changed();
}

QString EditTextInstance::htmlText() const
{
    // An HTML field without text has no paragraph to write either.
    if (!html_ || spans_.empty())
        return text();
    return toHtml(spans_, defaultFormat_);
}

void EditTextInstance::setHtmlText(const QString& html)
{
    if (!html_) {
        setText(html);
        return;
    }
    spans_ = parseHtml(html, defaultFormat_, { multiline_, condenseWhite_, movie_.header.version >= 8 });
    changed();
}

void EditTextInstance::setSpans(std::vector<TextSpan> spans)
{
    spans_ = std::move(spans);
    normalize(spans_);
    changed();
}

TextFormat EditTextInstance::formatAt(int index) const
{
    int at = 0;
    for (const TextSpan& s : spans_) {
        if (index < at + s.text.size())
            return s.format;
        at += static_cast<int>(s.text.size());
    }
    return defaultFormat_;
}

void EditTextInstance::setFormat(int begin, int end, const TextFormat& format)
{
    std::vector<TextSpan> out;
    int at = 0;
    for (const TextSpan& s : spans_) {
        const int from = at;
        const int to = at + static_cast<int>(s.text.size());
        at = to;
        const int a = std::clamp(begin, from, to);
        const int b = std::clamp(end, from, to);
        if (a >= b) {
            out.push_back(s);
            continue;
        }
        out.push_back({ s.text.mid(0, a - from), s.format });
        out.push_back({ s.text.mid(a - from, b - a), format });
        out.push_back({ s.text.mid(b - from), s.format });
    }
    setSpans(std::move(out));
}

void EditTextInstance::setTextColor(Rgba c)
{
    defaultFormat_.color = c;
    for (TextSpan& s : spans_)
        s.format.color = c;
    changed();
}

void EditTextInstance::setWordWrap(bool on)
{
    wordWrap_ = on;
    changed();
}

void EditTextInstance::setMultiline(bool on)
{
    multiline_ = on;
    changed();
}

void EditTextInstance::setAutoSize(AutoSize mode)
{
    autoSize_ = mode;
    changed();
}

void EditTextInstance::setPassword(bool on)
{
    password_ = on;
    changed();
}

void EditTextInstance::setEmbedFonts(bool on)
{
    embedFonts_ = on;
    changed();
}

void EditTextInstance::setBox(const QRectF& box)
{
    box_ = box.normalized();
    changed();
}

void EditTextInstance::changed()
{
    laidOut_ = false;
    fitBox();
    scroll_ = std::clamp(scroll_, 1, maxScroll());
}

// ---- Scrolling and measures -----------------------------------------------------------------

int EditTextInstance::lineCount() const
{
    return static_cast<int>(lines().size());
}

double EditTextInstance::textWidth() const
{
    double w = 0;
    for (const Line& line : lines())
        w = std::max(w, line.width);
    return w;
}

double EditTextInstance::textHeight() const
{
    const std::vector<Line>& all = lines();
    // A field with no text has no height, though its caret has a line to stand on.
    if (all.empty() || text().isEmpty())
        return 0;
    // Leading goes between lines; a lone line keeps its own below it.
    const double lone = all.size() == 1 ? all.front().leading : 0;
    return all.back().top + all.back().ascent + all.back().descent + lone;
}

std::pair<double, double> EditTextInstance::firstLineExtent() const
{
    const std::vector<Line>& all = lines();
    if (all.empty())
        return { 0, 0 };
    return { all.front().ascent, all.front().descent };
}

int EditTextInstance::maxScroll() const
{
    const std::vector<Line>& all = lines();
    const double visible = box_.height() - 2 * kGutter;
    // The first line from which all the rest fit.
    for (std::size_t first = 0; first < all.size(); ++first) {
        const double bottom = all.back().top + all.back().ascent + all.back().descent;
        if (bottom - all[first].top <= visible + 0.5)
            return static_cast<int>(first) + 1;
    }
    return std::max<int>(1, static_cast<int>(all.size()));
}

int EditTextInstance::bottomScroll() const
{
    const std::vector<Line>& all = lines();
    if (all.empty())
        return 1;
    const std::size_t first
        = static_cast<std::size_t>(std::clamp(scroll_ - 1, 0, static_cast<int>(all.size()) - 1));
    const double visible = box_.height() - 2 * kGutter;
    std::size_t last = first;
    for (std::size_t i = first; i < all.size(); ++i) {
        if (all[i].top + all[i].ascent + all[i].descent - all[first].top > visible + 0.5)
            break;
        last = i;
    }
    return static_cast<int>(last) + 1;
}

void EditTextInstance::setScroll(int line)
{
    scroll_ = std::clamp(line, 1, maxScroll());
}

double EditTextInstance::maxHscroll() const
{
    return std::max(0.0, textWidth() - innerWidth());
}

void EditTextInstance::setHscroll(double twips)
{
    hscroll_ = std::clamp(twips, 0.0, maxHscroll());
}

double EditTextInstance::innerWidth() const
{
    return std::max(0.0, box_.width() - 2 * kGutter);
}

void EditTextInstance::fitBox()
{
    if (autoSize_ == AutoSize::None)
        return;
    laidOut_ = false;
    const double height = textHeight() + 2 * kGutter;
    double width = box_.width();
    if (!wordWrap_) {
        width = textWidth() + 2 * kGutter;
        // A field that grows to the left or both ways moves: its position changes, not
        // the box's place in it.
        const double grow = width - box_.width();
        double shift = 0;
        if (autoSize_ == AutoSize::Center)
            shift = -grow / 2;
        else if (autoSize_ == AutoSize::Right)
            shift = -grow;
        if (shift != 0 && !built_) {
            // The text of the character itself: the placement is not known yet.
            box_.moveLeft(box_.left() + shift);
        } else if (shift != 0) {
            Matrix m = matrix();
            const auto moved = [](int32_t at, double by) {
                return int32_t(std::clamp(std::round(at + by), -2147483648.0, 2147483647.0));
            };
            m.tx = moved(m.tx, m.a * shift);
            m.ty = moved(m.ty, m.b * shift);
            setMatrix(m);
        }
    }
    box_.setWidth(width);
    box_.setHeight(height);
    laidOut_ = false;
}

// ---- Layout ---------------------------------------------------------------------------------

const FontFace* EditTextInstance::faceFor(const TextFormat& format) const
{
    if (!embedFonts_)
        return nullptr;
    if (definition_.fontId) {
        const FontFace* own = fontFace(movie_, *definition_.fontId, stage_.decoded());
        if (own && own->name.compare(format.font, Qt::CaseInsensitive) == 0 && own->hasOutlines())
            return own;
    }
    const FontFace* named = fontFaceNamed(movie_, format.font, format.bold, format.italic, stage_.decoded());
    return named && named->hasOutlines() ? named : nullptr;
}

double EditTextInstance::measure(const QString& text, const TextFormat& format, const FontFace* face) const
{
    if (embedFonts_) {
        if (!face)
            return 0;
        // Each advance is a whole number of twips, the fraction dropped.
        double width = 0;
        for (QChar c : text) {
            if (auto index = face->definition.glyphOf(c.unicode()))
                width += std::floor(face->advance(*index, format.size)
                                        .value_or(face->glyphPath(*index, format.size).boundingRect().right())
                    + 1e-6);
        }
        return width;
    }
    if (!deviceFontsAvailable())
        return 0;
    const QFont font
        = deviceFont(format.font, format.bold, format.italic, static_cast<int>(std::lround(format.size)));
    if (const auto advances = standInAdvances(text, format, font))
        return std::accumulate(advances->begin(), advances->end(), 0.0);
    return QFontMetricsF(font).horizontalAdvance(text);
}

EditTextInstance::Metrics EditTextInstance::metrics(const TextFormat& format, const FontFace* face) const
{
    if (face && face->definition.hasLayout) {
        const double em = face->definition.emSize();
        return { face->definition.ascent * format.size / em, face->definition.descent * format.size / em };
    }
    if (!embedFonts_ && deviceFontsAvailable()) {
        const QFont font
            = deviceFont(format.font, format.bold, format.italic, static_cast<int>(std::lround(format.size)));
        const QFontMetricsF m(font);
        return { m.ascent(), m.descent() };
    }
    return { format.size * 0.9, format.size * 0.2 };
}

void EditTextInstance::layoutParagraph(
    const std::vector<TextSpan>& paragraph, std::vector<Line>& out, double& top) const
{
    const TextFormat first = paragraph.empty() ? (spans_.empty() ? defaultFormat_ : formatAt(length()))
                                               : paragraph.front().format;
    bool firstLine = true;
    Line line;
    const auto available = [&] {
        return innerWidth() - first.leftMargin - first.rightMargin - (firstLine ? first.indent : 0);
    };
    const auto finish = [&] {
        double ascent = 0;
        double descent = 0;
        double width = 0;
        for (const Piece& p : line.pieces) {
            const Metrics m = metrics(p.format, p.face);
            ascent = std::max(ascent, m.ascent);
            descent = std::max(descent, m.descent);
        }
        if (line.pieces.empty()) {
            const Metrics m = metrics(first, faceFor(first));
            ascent = m.ascent;
            descent = m.descent;
        }
        if (!line.pieces.empty()) {
            // Spaces that end a line count in its width, except (from version 8) on a line
            // set to the right or centred, whose text ends at the last visible character.
            Piece& last = line.pieces.back();
            const bool trims = movie_.header.version >= 8
                && (first.align == TextFormat::Align::Right || first.align == TextFormat::Align::Center);
            width = last.x + (trims ? measure(trimmedEnd(last.text), last.format, last.face) : last.width);
        }
        line.ascent = ascent;
        line.descent = descent;
        line.leading = first.leading;
        line.width = width;
        line.top = top;
        double left = kGutter + first.leftMargin + (firstLine ? first.indent : 0);
        const double slack = available() - width;
        if (first.align == TextFormat::Align::Right)
            left += std::max(0.0, slack);
        else if (first.align == TextFormat::Align::Center)
            left += std::max(0.0, slack / 2);
        line.left = left;
        top += ascent + descent + first.leading;
        out.push_back(std::move(line));
        line = Line {};
        firstLine = false;
    };
    double x = 0;
    for (const TextSpan& span : paragraph) {
        const FontFace* face = faceFor(span.format);
        const QString shown = password_ ? QString(span.text.size(), u'*') : span.text;
        for (const QString& token : tokens(shown)) {
            if (token == u"\t") {
                // A tab is a piece of its own, as wide as the way to the next stop.
                const double w = tabAdvance(x, first);
                line.pieces.push_back({ x, token, span.format, face, w });
                x += w;
                continue;
            }
            double w = measure(token, span.format, face);
            if (wordWrap_ && x > 0 && x + measure(trimmedEnd(token), span.format, face) > available()) {
                finish();
                x = 0;
            }
            QString rest = token;
            // A word wider than the whole line is cut where it no longer fits.
            while (wordWrap_ && x == 0 && rest.size() > 1
                && measure(trimmedEnd(rest), span.format, face) > available()) {
                qsizetype fit = 1;
                while (fit < rest.size() && measure(rest.left(fit + 1), span.format, face) <= available())
                    ++fit;
                line.pieces.push_back(
                    { 0, rest.left(fit), span.format, face, measure(rest.left(fit), span.format, face) });
                rest = rest.mid(fit);
                finish();
            }
            w = measure(rest, span.format, face);
            if (!line.pieces.empty() && line.pieces.back().format == span.format
                && line.pieces.back().text != u"\t") {
                line.pieces.back().text += rest;
                line.pieces.back().width += w;
            } else {
                line.pieces.push_back({ x, rest, span.format, face, w });
            }
            x += w;
        }
    }
    finish();
}

const std::vector<EditTextInstance::Line>& EditTextInstance::lines() const
{
    if (laidOut_)
        return lines_;
    laidOut_ = true;
    lines_.clear();
    // Split into paragraphs at '\r'.
    std::vector<std::vector<TextSpan>> paragraphs(1);
    for (const TextSpan& span : spans_) {
        const QStringList parts = span.text.split(u'\r');
        for (qsizetype k = 0; k < parts.size(); ++k) {
            if (k > 0)
                paragraphs.emplace_back();
            if (!parts[k].isEmpty())
                paragraphs.back().push_back({ parts[k], span.format });
        }
    }
    double top = 0;
    // A field of one line shows its paragraphs on that line.
    if (!multiline_ && paragraphs.size() > 1) {
        std::vector<TextSpan> joined;
        for (const auto& p : paragraphs)
            joined.insert(joined.end(), p.begin(), p.end());
        paragraphs.assign(1, joined);
    }
    for (const auto& paragraph : paragraphs)
        layoutParagraph(paragraph, lines_, top);
    return lines_;
}

QPainterPath EditTextInstance::outline(const Piece& piece, double baseline, double x) const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (piece.face) {
        for (QChar c : piece.text) {
            const auto index = piece.face->definition.glyphOf(c.unicode());
            if (!index)
                continue;
            path.addPath(
                QTransform::fromTranslate(x, baseline).map(piece.face->glyphPath(*index, piece.format.size)));
            x += piece.face->advance(*index, piece.format.size)
                     .value_or(piece.face->glyphPath(*index, piece.format.size).boundingRect().right());
        }
    } else if (!embedFonts_ && deviceFontsAvailable()) {
        const QFont font = deviceFont(piece.format.font, piece.format.bold, piece.format.italic,
            static_cast<int>(std::lround(piece.format.size)));
        if (const auto advances = standInAdvances(piece.text, piece.format, font)) {
            // Each character where the standard face's widths put it.
            for (qsizetype k = 0; k < piece.text.size(); ++k) {
                path.addText(QPointF(x, baseline), font, QString(piece.text[k]));
                x += (*advances)[static_cast<std::size_t>(k)];
            }
        } else {
            path.addText(QPointF(x, baseline), font, piece.text);
            x += piece.width;
        }
    }
    if (piece.format.underline && !piece.text.trimmed().isEmpty()) {
        const double thickness = std::max(20.0, piece.format.size / 16);
        path.addRect(
            QRectF(piece.x + (x - piece.x - piece.width), baseline + thickness, piece.width, thickness));
    }
    return path;
}

// ---- Drawing --------------------------------------------------------------------------------

void EditTextInstance::draw(DrawContext& context) const
{
    QPainterPath frame;
    frame.addRect(box_);
    if (background_ && !context.makingMask()) {
        if (!context.fill(frame, SolidPaint(context.colorTransform().applyRgba(backgroundColor_))))
            return;
    }
    const std::vector<Line>& all = lines();
    if (!all.empty()) {
        context.pushClip(frame);
        const std::size_t first
            = static_cast<std::size_t>(std::clamp(scroll_ - 1, 0, static_cast<int>(all.size()) - 1));
        const double shift = all[first].top;
        for (std::size_t i = first; i < all.size(); ++i) {
            const Line& line = all[i];
            const double top = box_.top() + kGutter + line.top - shift;
            if (top > box_.bottom())
                break;
            const double baseline = top + line.ascent;
            for (const Piece& piece : line.pieces) {
                const double x = box_.left() + line.left + piece.x - hscroll_;
                const QPainterPath glyphs = outline(piece, baseline, x);
                if (glyphs.isEmpty())
                    continue;
                if (!context.fill(glyphs, SolidPaint(context.colorTransform().applyRgba(piece.format.color))))
                    break;
            }
        }
        context.popClip();
    }
    if (border_ && !context.makingMask()) {
        // A crisp line of one pixel along the box, on the pixels inside its edges.
        LineStyle hairline;
        hairline.width = 0;
        hairline.pixelHinting = true;
        hairline.join = LineStyle::Join::Miter;
        hairline.startCap = hairline.endCap = LineStyle::Cap::Square;
        context.stroke(frame, hairline, SolidPaint(context.colorTransform().applyRgba(borderColor_)));
    }
}

QRectF EditTextInstance::ownBounds() const
{
    return box_;
}

bool EditTextInstance::hitsOwn(QPointF local) const
{
    return box_.contains(local);
}

QPainterPath EditTextInstance::ownOutline(double& work) const
{
    work = 0;
    QPainterPath path;
    path.addRect(box_);
    return path;
}

} // namespace swf
