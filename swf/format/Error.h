#pragma once

#include <expected>
#include <string>

namespace swf {

// Every fallible read in the engine returns a Result. The message names the format
// and what was wrong, so that it can be shown to a person as it stands.
struct Error {
    std::string message;
};

template <class T> using Result = std::expected<T, Error>;

inline std::unexpected<Error> fail(std::string message)
{
    return std::unexpected<Error>(Error { std::move(message) });
}

} // namespace swf
