// Writes the heavy vector animation of the benchmarks to a file, for timing the player
// with `zorvaplay-swf bench`:  zorva-make-heavy-movie OUT.swf [SHAPES [FRAMES]]

#include "HeavyMovie.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fputs("usage: zorva-make-heavy-movie OUT.swf [SHAPES [FRAMES]]\n", stderr);
        return 1;
    }
    const int shapes = argc > 2 ? std::atoi(argv[2]) : 600;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 120;
    if (shapes < 1 || frames < 1 || frames > 16000) {
        std::fputs("SHAPES and FRAMES must be positive counts\n", stderr);
        return 1;
    }
    const auto bytes = bench::heavyVectorMovie(shapes, frames);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
