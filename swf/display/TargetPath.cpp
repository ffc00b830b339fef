#include "TargetPath.h"

#include "Names.h"

#include <charconv>

namespace swf {

std::optional<std::vector<PathStep>> splitTargetPath(std::string_view path)
{
    // One separator may end the path ("a/", "a:"), not two ("a//", "a::", "//").
    if (path.size() >= 2 && (path.ends_with('/') || path.ends_with(':')) && path[path.size() - 2] != '/'
        && path[path.size() - 2] != ':')
        path.remove_suffix(1);
    std::vector<PathStep> steps;
    bool slashSeen = false;
    if (path.starts_with('/')) {
        steps.push_back({ PathStep::Kind::Root, {} });
        path.remove_prefix(1);
        slashSeen = true;
    }
    const auto isSeparator = [&](char c) { return c == '/' || c == ':' || (c == '.' && !slashSeen); };
    while (!path.empty()) {
        size_t end = 0;
        if (path.starts_with("..") && (path.size() == 2 || path[2] == '/' || path[2] == ':')) {
            end = 2;
        } else if (path.starts_with("..")) {
            // "...a" is one name, which no clip has.
            while (end < path.size() && path[end] != '/' && path[end] != ':')
                ++end;
        } else {
            while (end < path.size() && !isSeparator(path[end]))
                ++end;
        }
        const std::string_view part = path.substr(0, end);
        const bool last = end >= path.size();
        const char separator = last ? '\0' : path[end];
        path = last ? std::string_view {} : path.substr(end + 1);
        if (part.empty()) {
            // Empty names before colons and dots are passed over, not between slashes.
            if (separator == '/' && slashSeen)
                return std::nullopt;
        } else if (part == "..") {
            steps.push_back({ PathStep::Kind::Parent, {} });
        } else if (part != ".") {
            steps.push_back({ PathStep::Kind::Name, part });
        }
        if (separator == '/')
            slashSeen = true;
        if (!last && path.empty())
            return std::nullopt;
    }
    return steps;
}

std::optional<int> levelNumber(std::string_view name, bool caseSensitive)
{
    constexpr std::string_view prefix = "_level";
    if (name.size() <= prefix.size() || !sameName(name.substr(0, prefix.size()), prefix, caseSensitive))
        return std::nullopt;
    int number = 0;
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(name.data() + prefix.size(), end, number);
    if (ec != std::errc() || ptr != end || number < 0)
        return std::nullopt;
    return number;
}

} // namespace swf
