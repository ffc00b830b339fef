#pragma once

#include <cstdint>

namespace mdlExtractSWF {

class ProjectorReader;

// The three letters that open a movie, compared with the input's bytes by their codes.
struct Signature {
    std::uint8_t L1, L2, L3;
};

inline constexpr Signature UncompressedMovie { 'F', 'W', 'S' }; // the movies of Flash 5 and 6 projectors
inline constexpr Signature CompressedMovie { 'C', 'W', 'S' }; // the movies of Flash 7 projectors

// One attempt to read the three letters at the reader's position. It stops at the first
// byte that does not match (or at the end of the input) and never steps back, so after
// "F", "F", "W", "S" the attempt that began at the first "F" has taken both "F"s.
bool MatchSignature(ProjectorReader& reader, const Signature& letters);

// The next accepted candidate from the reader's position on: attempts follow each other
// until one succeeds; after the version byte a second attempt is made, and if the letters
// stand there again, the candidate is rejected together with the run of such repetitions
// that follows it. On true the position stands on the accepted candidate's version byte;
// false once the end of the input is reached.
bool FindSignature(ProjectorReader& reader, const Signature& letters);

} // namespace mdlExtractSWF
