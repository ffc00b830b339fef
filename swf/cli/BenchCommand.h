#pragma once

namespace cli {

class Options;

// bench FILE [--frames N] [--width W --height H]: plays and draws N frames as fast as it
// can, writing nothing, and prints `frames=N ms=T fps=F realtime=R`.
int commandBench(const Options& options);

} // namespace cli
