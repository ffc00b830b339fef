#pragma once

#include "swf/format/Types.h"

#include <QString>

#include <vector>

namespace swf {

// How a run of an edit text looks. Sizes and margins are in twips. The paragraph fields
// (alignment, margins, indent, leading) are those of the paragraph's first run.
struct TextFormat {
    enum class Align : uint8_t { Left, Right, Center, Justify };

    QString font = QStringLiteral("Times New Roman");
    double size = 240;
    Rgba color { 0, 0, 0, 255 };
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString url;
    QString target;
    Align align = Align::Left;
    double leftMargin = 0;
    double rightMargin = 0;
    double indent = 0;
    double leading = 0;
    double blockIndent = 0;
    bool bullet = false;
    std::vector<double> tabStops; // pixels
    bool kerning = false;
    double letterSpacing = 0; // pixels
    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// A piece of text in one format. Paragraphs end at '\r'.
struct TextSpan {
    QString text;
    TextFormat format;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// Reads the HTML the text fields of the era take: <p align>, <br>, <b>, <i>, <u>,
// <font face size color>, <a href target>, <textformat leftmargin rightmargin indent
// leading>, <li> and the usual entities. Unknown tags are left out, their text kept; a
// text of nothing but white space between two tags is left out too, and line ends in the
// text end paragraphs. `base` is the format of text outside any tag.
struct HtmlOptions {
    bool multiline = true; // <br>, </p> and </li> end paragraphs
    bool condenseWhite = false; // runs of white space show as one space
    bool kerning = true; // <font kerning> is read (movies of SWF 8 and later)
};
std::vector<TextSpan> parseHtml(const QString& html, const TextFormat& base, const HtmlOptions& options = {});

// The spans as the original player writes a field's htmlText: each paragraph a <P> (an
// <LI> when bulleted) inside a <TEXTFORMAT> with its margins, indents, leading and tab
// stops when any is set; a <FONT> with every attribute of the paragraph's first run,
// further <FONT>s with what changes, and the link and style tags around each run. An
// empty paragraph is written with the format of its end; the empty paragraph after a
// last paragraph end is not written. `base` is the format of an empty text.
QString toHtml(const std::vector<TextSpan>& spans, const TextFormat& base = {});

// Joins neighbouring spans of the same format and drops empty ones.
void normalize(std::vector<TextSpan>& spans);

} // namespace swf
