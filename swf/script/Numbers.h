#pragma once

#include <QString>

namespace swf::script {

// A number as scripts print it: integers in full, others with up to 15 significant
// digits, exponents from 1e15 and below 1e-5 ("1e+15", "5.4e-6"), "NaN", "Infinity".
QString numberToString(double value);
// A number in another base (Number.toString(radix)), integers only: the integer part.
QString numberToString(double value, int radix);

// The leading number of a string as parseFloat reads it; NaN when there is none.
double parseFloatPrefix(const QString& s);
// parseInt: radix 0 for none (any other outside 2..36 reads nothing); "0x" at the start
// means 16, a leading 0 at the start with only octal digits after it 8; NaN when no digit
// is read.
double parseIntPrefix(const QString& s, int radix);

// The whole string as a number, as ToNumber reads it: blanks around it allowed,
// "0x" hexadecimal, an empty string NaN; NaN when anything else is left over.
double stringToNumber(const QString& s, int swfVersion);

inline bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == 0x0B || u == 0x0C;
}

} // namespace swf::script
