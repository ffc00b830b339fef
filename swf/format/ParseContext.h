#pragma once

#include "Decompress.h"

#include <cstddef>
#include <string>
#include <vector>

namespace swf {

// Limits of one parse. The defaults suit the player; tests and the fuzz target lower them.
struct ParseLimits {
    size_t maxBodySize = kMaxBodySize; // uncompressed bytes after the file header
    size_t maxModelBytes = size_t(512) << 20; // the parsed model's estimated memory
    int maxSpriteDepth = 16; // DefineSprite inside DefineSprite ...
    size_t maxWarnings = 100;
};

// Collects the warnings of one parse into the movie's list, capped: a movie made of
// nothing but damaged tags must not grow the list without bound.
class Warnings {
public:
    Warnings(std::vector<std::string>& sink, size_t limit)
        : m_sink(sink)
        , m_limit(limit)
    {
    }
    void add(std::string message);

private:
    std::vector<std::string>& m_sink;
    size_t m_limit;
    size_t m_dropped = 0;
};

// Bounds the memory the parsed model may take. A few bytes of file can decode to a
// record of a hundred bytes in the model, so the body-size cap alone does not bound
// memory; every reader that adds to the model pays for it here first.
class Budget {
public:
    explicit Budget(size_t bytes)
        : m_left(bytes)
    {
    }
    // False, for this and every later call, once the budget is spent.
    bool spend(size_t bytes);
    bool exhausted() const { return m_exhausted; }

private:
    size_t m_left;
    bool m_exhausted = false;
};

struct ParseContext {
    Warnings warnings;
    Budget budget;
    ParseLimits limits;
};

} // namespace swf
