#pragma once

namespace platform {

// The player keeps every window measure in twips, at a fixed 15 twips to a pixel; the
// display's real density is never asked for. These two functions are the only place
// where the units meet, at the boundary to the windowing system.
inline constexpr int TwipsPerPixel = 15;

// Integer division rounded to the nearest integer, a half going to the even neighbour.
// Written out because std::lrint depends on the process-wide rounding mode.
constexpr int divideRoundHalfEven(int numerator, int denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    int quotient = numerator / denominator; // truncates toward zero
    const int twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0))
        ++quotient;
    else if (twiceRest < -denominator || (twiceRest == -denominator && quotient % 2 != 0))
        --quotient;
    return quotient;
}

constexpr int twipsToPixels(int twips)
{
    return divideRoundHalfEven(twips, TwipsPerPixel);
}
constexpr int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace platform
