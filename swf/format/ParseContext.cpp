#include "ParseContext.h"

namespace swf {

void Warnings::add(std::string message)
{
    if (m_sink.size() < m_limit) {
        m_sink.push_back(std::move(message));
        return;
    }
    // The last slot says how many were left out; rewrite it as the count grows.
    ++m_dropped;
    std::string summary = "... and " + std::to_string(m_dropped) + " more warnings";
    if (m_dropped == 1)
        m_sink.push_back(std::move(summary));
    else
        m_sink.back() = std::move(summary);
}

bool Budget::spend(size_t bytes)
{
    if (m_exhausted || bytes > m_left) {
        m_exhausted = true;
        return false;
    }
    m_left -= bytes;
    return true;
}

} // namespace swf
