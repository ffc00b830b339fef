#pragma once

#include <algorithm>
#include <string_view>

namespace swf {

// Instance names, labels and path parts compare as movies before SWF 7 expect: without
// regard to the case of ASCII letters, unless asked.
inline bool sameName(std::string_view a, std::string_view b, bool caseSensitive)
{
    if (caseSensitive)
        return a == b;
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace swf
