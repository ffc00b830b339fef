#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// One option a command takes: "--frames N" has a value, "--realtime" is a flag.
struct OptionSpec {
    std::string_view name;
    bool takesValue;
};

// The words after the command: positional arguments and options. An option the command
// does not know, one given twice, or a value missing is an error, never ignored.
class Options {
public:
    // Reads argv[first..]; on a mistake returns nothing and sets `error`.
    static std::optional<Options> parse(
        int argc, char** argv, int first, const std::vector<OptionSpec>& known, std::string& error);

    const std::vector<std::string>& positional() const { return positional_; }
    bool has(std::string_view name) const { return values_.contains(std::string(name)); }
    std::optional<std::string> value(std::string_view name) const;
    // A whole number, or nothing when the option is absent; `ok` is false when it is
    // present but not a number.
    std::optional<long long> number(std::string_view name, bool& ok) const;
    std::optional<double> decimal(std::string_view name, bool& ok) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
};

} // namespace cli
