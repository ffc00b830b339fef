#pragma once

#include "swf/format/Parser.h"
#include "swf/format/Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace swf::test {

inline Header movieHeader(uint8_t version = 8)
{
    Header header;
    header.version = version;
    header.frameSize = Rect { 0, 11000, 0, 8000 };
    header.frameRate = 24.0;
    return header;
}

// Names the compression cases of parameterised tests by their signature.
inline std::string signatureName(const testing::TestParamInfo<Compression>& info)
{
    switch (info.param) {
    case Compression::None:
        return "FWS";
    case Compression::Zlib:
        return "CWS";
    case Compression::Lzma:
        return "ZWS";
    }
    return "unknown";
}

inline Movie parsed(const std::vector<uint8_t>& file, const ParseLimits& limits = {})
{
    auto movie = parseMovie(file, limits);
    EXPECT_TRUE(movie.has_value()) << (movie ? "" : movie.error().message);
    return movie ? std::move(*movie) : Movie {};
}

inline bool hasWarning(const Movie& movie, const std::string& part)
{
    return std::any_of(movie.warnings.begin(), movie.warnings.end(),
        [&](const std::string& w) { return w.find(part) != std::string::npos; });
}

inline std::string allWarnings(const Movie& movie)
{
    std::string text;
    for (const auto& w : movie.warnings)
        text += w + "\n";
    return text;
}

template <class T> const T* characterAs(const Movie& movie, uint16_t id)
{
    const Character* c = movie.character(id);
    return c ? std::get_if<T>(&c->data) : nullptr;
}

// The little-endian u16 tag header of a short tag.
inline std::vector<uint8_t> shortTagHeader(uint16_t code, size_t length)
{
    uint16_t v = uint16_t(code << 6 | length);
    return { uint8_t(v), uint8_t(v >> 8) };
}

} // namespace swf::test
