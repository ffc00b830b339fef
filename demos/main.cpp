// Writes the movies the player ships into the folder given on the command line.

#include "Movies.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    const bool ok = writeFile(dir / u8"阴天.swf", demos::makeRainyDay())
        && writeFile(dir / "I Want A Fat Baby.swf", demos::makeFatBaby());
    if (!ok) {
        std::fprintf(stderr, "cannot write the demo movies into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
