#pragma once

#include "Options.h"

#include <vector>

namespace cli {

// A command of the tool: its name, what it takes, and what runs it.
struct Command {
    std::string_view name;
    std::string_view usage; // the line of the usage text after the tool's name
    std::vector<OptionSpec> options;
    int (*run)(const Options& options);
};

int commandInfo(const Options& options);
int commandRun(const Options& options);
int commandFrames(const Options& options);

} // namespace cli
