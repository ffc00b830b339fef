#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace swf {

// One step of a target path: the root of the level, the parent, or a name (an instance
// name, or one of _root, _parent, _levelN, which the walker of the path reads).
struct PathStep {
    enum class Kind : uint8_t { Root, Parent, Name };
    Kind kind = Kind::Name;
    std::string_view name;
};

// The steps of a target path ("/a/b", "../a", "a.b:c", "_root:a"). Slashes and colons part
// names everywhere, a dot only before the first slash ("a/b.c" names one "b.c"); ".." is the
// parent where a separator or the end follows it. One separator may end the path; "a//b" and
// "a::" are malformed and give nothing.
std::optional<std::vector<PathStep>> splitTargetPath(std::string_view path);

// "_level12" gives 12.
std::optional<int> levelNumber(std::string_view name, bool caseSensitive);

} // namespace swf
