#include "Options.h"

#include <charconv>
#include <cmath>

namespace cli {

std::optional<Options> Options::parse(
    int argc, char** argv, int first, const std::vector<OptionSpec>& known, std::string& error)
{
    Options options;
    for (int i = first; i < argc; ++i) {
        const std::string word = argv[i];
        if (!word.starts_with("--")) {
            options.positional_.push_back(word);
            continue;
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& candidate : known) {
            if (candidate.name == word)
                spec = &candidate;
        }
        if (!spec) {
            error = "unknown option " + word;
            return std::nullopt;
        }
        if (options.values_.contains(word)) {
            error = word + " is given twice";
            return std::nullopt;
        }
        if (!spec->takesValue) {
            options.values_[word] = "";
            continue;
        }
        if (i + 1 >= argc) {
            error = word + " needs a value";
            return std::nullopt;
        }
        options.values_[word] = argv[++i];
    }
    return options;
}

std::optional<std::string> Options::value(std::string_view name) const
{
    auto it = values_.find(std::string(name));
    return it == values_.end() ? std::nullopt : std::optional(it->second);
}

std::optional<long long> Options::number(std::string_view name, bool& ok) const
{
    ok = true;
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    long long result = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, result);
    ok = ec == std::errc() && ptr == end && !text->empty();
    return result;
}

std::optional<double> Options::decimal(std::string_view name, bool& ok) const
{
    ok = true;
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    double result = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, result);
    ok = ec == std::errc() && ptr == end && !text->empty() && std::isfinite(result);
    return result;
}

} // namespace cli
