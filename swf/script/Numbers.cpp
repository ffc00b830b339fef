#include "Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace swf::script {

QString numberToString(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0)
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<long long>(value));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string s = buffer;
    // C writes "1e-05" and "1e+15"; scripts write "1e-5" and "1e+15".
    const size_t e = s.find('e');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        const char sign = s[e + 1];
        std::string digits = s.substr(e + 2);
        while (digits.size() > 1 && digits.front() == '0')
            digits.erase(digits.begin());
        s = mantissa + "e" + sign + digits;
    }
    return QString::fromLatin1(s.c_str());
}

QString numberToString(double value, int radix)
{
    if (radix < 2 || radix > 36 || radix == 10)
        return numberToString(value);
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    // The integer part, as a 32-bit integer.
    double whole = std::trunc(value);
    const bool negative = whole < 0;
    long long n = static_cast<long long>(std::fmod(std::fabs(whole), 4294967296.0));
    if (n == 0)
        return QStringLiteral("0");
    QString out;
    while (n > 0) {
        const int digit = int(n % radix);
        out.prepend(QChar(digit < 10 ? '0' + digit : 'a' + digit - 10));
        n /= radix;
    }
    if (negative)
        out.prepend(QLatin1Char('-'));
    return out;
}

namespace {

// The longest decimal number at the start of `s` from `i`: sign, digits, point, exponent.
// Sets `end` past it; NaN when no digit is read.
double decimalPrefix(const QString& s, qsizetype i, qsizetype& end)
{
    std::string text;
    const qsizetype n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        text += char(s[i++].unicode());
    qsizetype digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        text += char(s[i++].unicode());
        ++digits;
    }
    if (i < n && s[i] == '.') {
        text += '.';
        ++i;
        while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9') {
            text += char(s[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0) {
        end = i;
        return std::nan("");
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (s[j] == '+' || s[j] == '-'))
            exponent += char(s[j++].unicode());
        qsizetype expDigits = 0;
        while (j < n && s[j].unicode() >= '0' && s[j].unicode() <= '9') {
            exponent += char(s[j++].unicode());
            ++expDigits;
        }
        if (expDigits > 0) {
            text += exponent;
            i = j;
        }
    }
    end = i;
    return std::strtod(text.c_str(), nullptr);
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'z')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'Z')
        return u - 'A' + 10;
    return 99;
}

} // namespace

double parseFloatPrefix(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    // "Infinity" is no number to parseFloat in these players.
    qsizetype end = 0;
    return decimalPrefix(s, i, end);
}

double parseIntPrefix(const QString& s, int radix)
{
    const bool given = radix != 0;
    if (given && (radix < 2 || radix > 36))
        return std::nan("");
    const qsizetype n = s.size();
    qsizetype i = 0;
    bool negative = false;
    const auto isX = [&](qsizetype at) { return at < n && (s[at] == 'x' || s[at] == 'X'); };
    const auto isSign = [&](qsizetype at) { return at < n && (s[at] == '+' || s[at] == '-'); };
    const auto digits = [&](qsizetype from, int base) {
        double value = 0;
        qsizetype count = 0;
        for (qsizetype k = from; k < n; ++k) {
            const int d = digitValue(s[k]);
            if (d >= base)
                break;
            value = value * base + d;
            ++count;
        }
        if (count == 0)
            return std::nan("");
        return negative ? -value : value;
    };
    // The forms read only at the very start: "0x..." and a sign before "0x".
    if (n >= 2 && s[0] == '0' && isX(1)) {
        i = 2;
        if (given)
            return digits(i, radix);
        while (i < n && isBlank(s[i]))
            ++i;
        if (isSign(i))
            negative = s[i++] == '-';
        return digits(i, 16);
    }
    if (isSign(0) && n >= 3 && s[1] == '0' && isX(2)) {
        // Without a radix this is nothing; with one, the sign and the zero are passed over.
        if (!given)
            return std::nan("");
        return digits(2, radix);
    }
    while (i < n && isBlank(s[i]))
        ++i;
    const bool atStart = i == 0;
    if (isSign(i))
        negative = s[i++] == '-';
    if (!given) {
        radix = 10;
        // A leading zero at the very start reads octal when every character is an octal digit.
        if (atStart && i < n && s[i] == '0') {
            bool octal = true;
            for (qsizetype k = i; k < n && octal; ++k)
                octal = s[k] >= '0' && s[k] <= '7';
            if (octal)
                radix = 8;
        }
    }
    return digits(i, radix);
}

double stringToNumber(const QString& s, int swfVersion)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && isBlank(s[i]))
        ++i;
    // SWF 4 reads the number the string starts with, and 0 when there is none.
    if (swfVersion < 5) {
        qsizetype end = 0;
        const double value = decimalPrefix(s, i, end);
        return std::isnan(value) ? 0.0 : value;
    }
    if (i == n)
        return std::nan("");
    // Hexadecimal "0x1F" and octal "017" from SWF 6 on, when nothing comes before them;
    // both are read as 32-bit integers.
    if (swfVersion >= 6 && i == 0) {
        qsizetype j = i;
        bool negative = false;
        if (j < n && (s[j] == '-' || s[j] == '+')) {
            negative = s[j] == '-';
            ++j;
        }
        const auto wrapped = [&negative](uint64_t bits) {
            const double v = double(int32_t(uint32_t(bits)));
            return negative ? -v : v;
        };
        if (j + 1 < n && s[j] == '0' && (s[j + 1] == 'x' || s[j + 1] == 'X')) {
            j += 2;
            // "0x-10" is -16: the sign may also follow the prefix.
            if (j == 2 && j < n && (s[j] == '-' || s[j] == '+'))
                negative = s[j++] == '-';
            uint64_t value = 0;
            qsizetype digits = 0;
            while (j < n && digitValue(s[j]) < 16) {
                value = (value << 4 | uint64_t(digitValue(s[j]))) & 0xFFFFFFFFull;
                ++j;
                ++digits;
            }
            if (digits == 0 || j != n)
                return std::nan("");
            return wrapped(value);
        }
        if (j + 1 < n && s[j] == '0') {
            qsizetype k = j + 1;
            bool octal = true;
            for (; k < n && octal; ++k)
                octal = s[k] >= '0' && s[k] <= '7';
            if (octal) {
                uint64_t value = 0;
                for (k = j + 1; k < n; ++k)
                    value = (value * 8 + uint64_t(s[k].unicode() - '0')) & 0xFFFFFFFFull;
                return wrapped(value);
            }
        }
    }
    qsizetype end = 0;
    const double value = decimalPrefix(s, i, end);
    if (std::isnan(value))
        return value;
    return end == n ? value : std::nan("");
}

} // namespace swf::script
