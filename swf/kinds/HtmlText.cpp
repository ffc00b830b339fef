#include "HtmlText.h"

#include <algorithm>
#include <cmath>

#include <QRegularExpression>

namespace swf {
namespace {

QString decodeEntity(const QString& name)
{
    if (name == u"lt")
        return QStringLiteral("<");
    if (name == u"gt")
        return QStringLiteral(">");
    if (name == u"amp")
        return QStringLiteral("&");
    if (name == u"quot")
        return QStringLiteral("\"");
    if (name == u"apos")
        return QStringLiteral("'");
    if (name == u"nbsp")
        return QString(QChar(0xA0));
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
            ? name.mid(2).toUInt(&ok, 16)
            : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF)
            return QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    }
    return {};
}

// The attributes of a tag: name="value", name='value' or name=value.
QList<std::pair<QString, QString>> attributes(const QString& body)
{
    QList<std::pair<QString, QString>> out;
    qsizetype i = 0;
    const qsizetype n = body.size();
    while (i < n) {
        while (i < n && body[i].isSpace())
            ++i;
        const qsizetype nameStart = i;
        while (i < n && !body[i].isSpace() && body[i] != u'=')
            ++i;
        const QString name = body.mid(nameStart, i - nameStart).toLower();
        while (i < n && body[i].isSpace())
            ++i;
        QString value;
        if (i < n && body[i] == u'=') {
            ++i;
            while (i < n && body[i].isSpace())
                ++i;
            if (i < n && (body[i] == u'"' || body[i] == u'\'')) {
                const QChar quote = body[i++];
                const qsizetype start = i;
                while (i < n && body[i] != quote)
                    ++i;
                value = body.mid(start, i - start);
                ++i;
            } else {
                const qsizetype start = i;
                while (i < n && !body[i].isSpace())
                    ++i;
                value = body.mid(start, i - start);
            }
        }
        if (!name.isEmpty())
            out.append({ name, value });
    }
    return out;
}

// A colour attribute: '#' then hexadecimal digits, spaces after the '#' skipped, read up
// to the first other character; the last six digits count. Anything else leaves the colour.
Rgba parseColor(const QString& text, Rgba fallback)
{
    if (!text.startsWith(u'#'))
        return fallback;
    qsizetype i = 1;
    while (i < text.size() && text[i].isSpace())
        ++i;
    uint32_t value = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const int digit = c >= u'0' && c <= u'9' ? c - u'0'
            : c >= u'a' && c <= u'f'             ? c - u'a' + 10
            : c >= u'A' && c <= u'F'             ? c - u'A' + 10
                                                 : -1;
        if (digit < 0)
            break;
        value = (value << 4) | uint32_t(digit);
        any = true;
    }
    if (!any)
        return fallback;
    return { static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value),
        255 };
}

TextFormat::Align parseAlign(const QString& s, TextFormat::Align fallback)
{
    const QString a = s.toLower();
    if (a == u"left")
        return TextFormat::Align::Left;
    if (a == u"right")
        return TextFormat::Align::Right;
    if (a == u"center")
        return TextFormat::Align::Center;
    if (a == u"justify")
        return TextFormat::Align::Justify;
    return fallback;
}

QString alignName(TextFormat::Align a)
{
    switch (a) {
    case TextFormat::Align::Right:
        return QStringLiteral("RIGHT");
    case TextFormat::Align::Center:
        return QStringLiteral("CENTER");
    case TextFormat::Align::Justify:
        return QStringLiteral("JUSTIFY");
    case TextFormat::Align::Left:
        break;
    }
    return QStringLiteral("LEFT");
}

QString escaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'"')
            out += QStringLiteral("&quot;");
        else
            out += c;
    }
    return out;
}

// Twips from a size given in whole points: "12", or relative "+2" / "-2". Digits after
// the sign are read up to the first other character ("1.9" is 1); the size stays within
// 1 to 127 points.
double parseSize(const QString& s, double current)
{
    const QString t = s.trimmed();
    qsizetype i = 0;
    const bool relative = !t.isEmpty() && (t[0] == u'+' || t[0] == u'-');
    const bool negative = relative && t[0] == u'-';
    if (relative)
        ++i;
    double points = 0;
    bool any = false;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
        points = std::min(points * 10 + (t[i].unicode() - u'0'), 1e6);
        any = true;
    }
    if (!any)
        return current;
    if (relative)
        points = std::round(current / 20) + (negative ? -points : points);
    return std::clamp(points, 1.0, 127.0) * 20;
}

} // namespace

void normalize(std::vector<TextSpan>& spans)
{
    std::vector<TextSpan> out;
    for (TextSpan& s : spans) {
        if (s.text.isEmpty())
            continue;
        if (!out.empty() && out.back().format == s.format)
            out.back().text += s.text;
        else
            out.push_back(std::move(s));
    }
    spans = std::move(out);
}

namespace {

// The layout of `from`, its paragraph fields, given to `to`.
void takeParagraphFormat(TextFormat& to, const TextFormat& from)
{
    to.align = from.align;
    to.leftMargin = from.leftMargin;
    to.rightMargin = from.rightMargin;
    to.indent = from.indent;
    to.leading = from.leading;
    to.blockIndent = from.blockIndent;
    to.bullet = from.bullet;
    to.tabStops = from.tabStops;
}

// The white space of HTML text: spaces, tabs and line ends only.
bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The text between two tags as the field takes it: a text of nothing but white space is
// left out; white space is condensed to one space when asked, or else line ends are
// paragraph ends; entities are decoded.
QString textNode(const QString& raw, const HtmlOptions& options)
{
    if (std::all_of(raw.begin(), raw.end(), isHtmlSpace))
        return {};
    QString text;
    for (qsizetype k = 0; k < raw.size(); ++k) {
        const QChar c = raw[k];
        if (options.condenseWhite && isHtmlSpace(c)) {
            if (text.isEmpty() || text.back() != u' ')
                text += u' ';
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && k + 1 < raw.size() && raw[k + 1] == u'\n')
                ++k;
            text += u'\r';
        } else {
            text += c;
        }
    }
    QString out;
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == u'&') {
            const qsizetype end = text.indexOf(u';', k);
            if (end > k && end - k <= 10) {
                const QString decoded = decodeEntity(text.mid(k + 1, end - k - 1));
                if (!decoded.isEmpty()) {
                    out += decoded;
                    k = end;
                    continue;
                }
            }
        }
        out += text[k];
    }
    return out;
}

} // namespace

std::vector<TextSpan> parseHtml(const QString& html, const TextFormat& base, const HtmlOptions& options)
{
    std::vector<TextSpan> spans;
    std::vector<std::pair<QString, TextFormat>> stack; // open tags and the format before each
    TextFormat format = base;
    QString pending;
    const auto flush = [&] {
        if (!pending.isEmpty())
            spans.push_back({ pending, format });
        pending.clear();
    };
    // Paragraph ends of <br>, </p> and </li> are kept by multiline fields only.
    const auto breakLine = [&] {
        if (options.multiline)
            pending += u'\r';
    };
    // A paragraph end of its own format, after the text before it.
    const auto endParagraph = [&](const TextFormat& end) {
        if (!options.multiline)
            return;
        flush();
        spans.push_back({ QStringLiteral("\r"), end });
    };
    // A <p> ends one paragraph at the first </p> after it: a <p> within an open one
    // does not start another, and a </p> with no <p> since the last such end ends none.
    bool paragraphOpen = false;
    // The end of a </p> takes the paragraph's layout but the character format of the
    // last <font> closed (the field's own format before any), not that of the text.
    TextFormat lastFont = base;
    // A list item that opens within a line starts a new one.
    const auto startLine = [&] {
        const bool midLine = !pending.isEmpty() ? !pending.endsWith(u'\r')
                                                : !spans.empty() && !spans.back().text.endsWith(u'\r');
        if (midLine)
            breakLine();
    };
    qsizetype i = 0;
    const qsizetype n = html.size();
    while (i < n) {
        if (html[i] != u'<') {
            qsizetype next = html.indexOf(u'<', i);
            if (next < 0)
                next = n;
            pending += textNode(html.mid(i, next - i), options);
            i = next;
            continue;
        }
        const qsizetype end = html.indexOf(u'>', i);
        if (end < 0) {
            pending += textNode(html.mid(i), options);
            break;
        }
        QString tag = html.mid(i + 1, end - i - 1).trimmed();
        i = end + 1;
        const bool closing = tag.startsWith(u'/');
        if (closing)
            tag = tag.mid(1).trimmed();
        bool selfClosing = tag.endsWith(u'/');
        if (selfClosing)
            tag.chop(1);
        const qsizetype space = tag.indexOf(QRegularExpression(QStringLiteral("\\s")));
        const QString name = (space < 0 ? tag : tag.left(space)).toLower();
        const QString rest = space < 0 ? QString() : tag.mid(space + 1);

        if (closing) {
            // A closing tag closes the innermost open tag only when the names match;
            // any other is ignored. A list item ends with the format of its text.
            if (stack.empty() || stack.back().first != name)
                continue;
            const TextFormat before = stack.back().second;
            stack.pop_back();
            if (name == u"p" && paragraphOpen) {
                TextFormat end = lastFont;
                takeParagraphFormat(end, format);
                endParagraph(end);
                paragraphOpen = false;
            } else if (name == u"li") {
                endParagraph(format);
            } else if (name == u"font") {
                lastFont = format;
            }
            flush();
            format = before;
            continue;
        }
        if (name == u"br" || name == u"sbr") {
            breakLine();
            continue;
        }
        if (selfClosing)
            continue;
        if (name == u"li")
            startLine();
        flush();
        stack.push_back({ name, format });
        const auto attrs = attributes(rest);
        if (name == u"p") {
            paragraphOpen = true;
            for (const auto& [key, value] : attrs) {
                if (key == u"align")
                    format.align = parseAlign(value, format.align);
            }
        } else if (name == u"b") {
            format.bold = true;
        } else if (name == u"i") {
            format.italic = true;
        } else if (name == u"u") {
            format.underline = true;
        } else if (name == u"font") {
            for (const auto& [key, value] : attrs) {
                if (key == u"face")
                    format.font = value;
                else if (key == u"size")
                    format.size = parseSize(value, format.size);
                else if (key == u"color")
                    format.color = parseColor(value, format.color);
                else if (key == u"letterspacing")
                    format.letterSpacing = value.toDouble();
                else if (key == u"kerning" && options.kerning)
                    format.kerning = value.toInt() != 0;
            }
        } else if (name == u"a") {
            for (const auto& [key, value] : attrs) {
                if (key == u"href")
                    format.url = value;
                else if (key == u"target")
                    format.target = value;
            }
        } else if (name == u"li") {
            format.bullet = true;
        } else if (name == u"textformat") {
            for (const auto& [key, value] : attrs) {
                if (key == u"tabstops") {
                    format.tabStops.clear();
                    for (const QString& stop : value.split(u',', Qt::SkipEmptyParts))
                        format.tabStops.push_back(stop.trimmed().toDouble());
                    continue;
                }
                bool ok = false;
                const double v = value.toDouble(&ok) * 20;
                if (!ok)
                    continue;
                if (key == u"leftmargin")
                    format.leftMargin = v;
                else if (key == u"rightmargin")
                    format.rightMargin = v;
                else if (key == u"indent")
                    format.indent = v;
                else if (key == u"leading")
                    format.leading = v;
                else if (key == u"blockindent")
                    format.blockIndent = v;
            }
        }
    }
    flush();
    normalize(spans);
    return spans;
}

namespace {

bool sameFont(const TextFormat& a, const TextFormat& b)
{
    return a.font == b.font && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing
        && a.kerning == b.kerning;
}

// The attributes of a <FONT> for `f`: all of them, or those that differ from `outer`.
QString fontAttributes(const TextFormat& f, const TextFormat* outer)
{
    QString out;
    if (!outer || outer->font != f.font)
        out += QStringLiteral(" FACE=\"%1\"").arg(escaped(f.font));
    if (!outer || outer->size != f.size)
        out += QStringLiteral(" SIZE=\"%1\"").arg(std::lround(f.size / 20));
    if (!outer || outer->color != f.color)
        out += QStringLiteral(" COLOR=\"#%1\"")
                   .arg(QString::asprintf("%02X%02X%02X", f.color.r, f.color.g, f.color.b));
    if (!outer || outer->letterSpacing != f.letterSpacing)
        out += QStringLiteral(" LETTERSPACING=\"%1\"").arg(QString::number(f.letterSpacing));
    if (!outer || outer->kerning != f.kerning)
        out += QStringLiteral(" KERNING=\"%1\"").arg(f.kerning ? 1 : 0);
    return out;
}

// The paragraph attributes of a <TEXTFORMAT>, those that are not zero.
QString paragraphAttributes(const TextFormat& f)
{
    QString out;
    const auto add = [&](const char* name, double twips) {
        if (std::lround(twips / 20) != 0)
            out += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name)).arg(std::lround(twips / 20));
    };
    add("LEFTMARGIN", f.leftMargin);
    add("RIGHTMARGIN", f.rightMargin);
    add("INDENT", f.indent);
    add("BLOCKINDENT", f.blockIndent);
    add("LEADING", f.leading);
    if (!f.tabStops.empty()) {
        QStringList stops;
        for (double s : f.tabStops)
            stops << QString::number(s);
        out += QStringLiteral(" TABSTOPS=\"%1\"").arg(stops.join(u','));
    }
    return out;
}

// Joins neighbouring runs of the same format; a paragraph that has only runs of nothing
// keeps one.
void normalizeKeepingEmpty(std::vector<TextSpan>& runs)
{
    std::vector<TextSpan> out;
    for (TextSpan& run : runs) {
        if (!out.empty() && out.back().format == run.format)
            out.back().text += run.text;
        else
            out.push_back(std::move(run));
    }
    runs = std::move(out);
}

QString runHtml(const TextSpan& run)
{
    QString inner = escaped(run.text);
    if (run.format.underline)
        inner = QStringLiteral("<U>") + inner + QStringLiteral("</U>");
    if (run.format.italic)
        inner = QStringLiteral("<I>") + inner + QStringLiteral("</I>");
    if (run.format.bold)
        inner = QStringLiteral("<B>") + inner + QStringLiteral("</B>");
    if (!run.format.url.isEmpty())
        inner = QStringLiteral("<A HREF=\"%1\" TARGET=\"%2\">")
                    .arg(escaped(run.format.url), escaped(run.format.target))
            + inner + QStringLiteral("</A>");
    return inner;
}

} // namespace

QString toHtml(const std::vector<TextSpan>& spans, const TextFormat& base)
{
    // Split into paragraphs, each a list of runs; one that has no text is a run of
    // nothing in the format of its end.
    std::vector<std::vector<TextSpan>> paragraphs(1);
    for (const TextSpan& span : spans) {
        const QStringList parts = span.text.split(u'\r');
        for (qsizetype k = 0; k < parts.size(); ++k) {
            if (k > 0) {
                // The paragraph's end: written as a run of nothing where its format
                // is not the text's before it.
                std::vector<TextSpan>& ended = paragraphs.back();
                if (ended.empty() || !(ended.back().format == span.format))
                    ended.push_back({ QString(), span.format });
                paragraphs.emplace_back();
            }
            if (!parts[k].isEmpty())
                paragraphs.back().push_back({ parts[k], span.format });
        }
    }
    if (paragraphs.size() > 1 && paragraphs.back().empty())
        paragraphs.pop_back();
    // A paragraph has the layout of its first run throughout.
    for (std::vector<TextSpan>& paragraph : paragraphs) {
        for (TextSpan& run : paragraph)
            takeParagraphFormat(run.format, paragraph.front().format);
        normalizeKeepingEmpty(paragraph);
    }
    TextFormat last = spans.empty() ? base : spans.front().format;
    QString out;
    for (const auto& paragraph : paragraphs) {
        const TextFormat first = paragraph.empty() ? last : paragraph.front().format;
        const QString attributes = paragraphAttributes(first);
        if (!attributes.isEmpty())
            out += QStringLiteral("<TEXTFORMAT") + attributes + u'>';
        out += first.bullet ? QStringLiteral("<LI>")
                            : QStringLiteral("<P ALIGN=\"%1\">").arg(alignName(first.align));
        // Each run's font is written as what changes from an open <FONT>; a run that
        // matches one of them closes those opened after it.
        std::vector<TextFormat> open { first };
        out += QStringLiteral("<FONT") + fontAttributes(first, nullptr) + u'>';
        for (const TextSpan& run : paragraph) {
            auto match = std::find_if(
                open.begin(), open.end(), [&](const TextFormat& f) { return sameFont(f, run.format); });
            if (match != open.end()) {
                for (auto n = std::distance(match, open.end()) - 1; n > 0; --n)
                    out += QStringLiteral("</FONT>");
                open.erase(match + 1, open.end());
            } else {
                out += QStringLiteral("<FONT") + fontAttributes(run.format, &open.back()) + u'>';
                open.push_back(run.format);
            }
            out += runHtml(run);
            last = run.format;
        }
        for (std::size_t n = open.size(); n > 0; --n)
            out += QStringLiteral("</FONT>");
        out += first.bullet ? QStringLiteral("</LI>") : QStringLiteral("</P>");
        if (!attributes.isEmpty())
            out += QStringLiteral("</TEXTFORMAT>");
    }
    return out;
}

} // namespace swf
