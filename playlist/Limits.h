#pragma once

namespace playlist {

// The play list's counts and indices are 16-bit signed integers: it holds at most this
// many entries.
inline constexpr int MaxEntries = 32767;

} // namespace playlist
