#pragma once

// zorvaplay-swf extract PROJECTOR OUT.swf --flash 6|7
//
// Writes the movie that a Flash projector carries into OUT.swf: with --flash 6 (or 5) the
// first uncompressed movie of a Flash 5/6 projector, with --flash 7 the last compressed
// movie of a Flash 7 projector. Exit codes: 0 the movie was written, 1 wrong arguments,
// 2 the projector cannot be read, 3 the movie cannot be written, 4 the projector holds no
// movie of that kind.
namespace cli {
class Options;
int commandExtract(const Options& options);
} // namespace cli
