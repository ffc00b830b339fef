#include "Fixtures.h"

#include "swf/format/Compress.h"
#include "swf/format/Decompress.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

using test::allWarnings;
using test::hasWarning;
using test::movieHeader;
using test::parsed;

// A movie of a few kilobytes that compresses well: one DoAction of repeated bytes.
std::vector<uint8_t> sampleMovie(Compression compression, size_t actionBytes = 4000)
{
    Writer w(movieHeader());
    w.doAction(std::vector<uint8_t>(actionBytes, 0x07));
    w.showFrame();
    return w.finish(compression);
}

void putLe32(std::vector<uint8_t>& file, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = uint8_t(v >> (8 * i));
}

TEST(Decompress, RejectsWhatIsNoMovie)
{
    for (std::vector<uint8_t> file : { std::vector<uint8_t> {}, std::vector<uint8_t> { 'F', 'W' },
             std::vector<uint8_t> { 'G', 'W', 'S', 8, 20, 0, 0, 0 },
             std::vector<uint8_t> { 'F', 'W', 'S', 8, 20 } }) {
        auto body = decompressBody(file);
        ASSERT_FALSE(body.has_value());
        EXPECT_NE(body.error().message.find("SWF"), std::string::npos);
    }
}

TEST(Decompress, AllThreeFormsGiveTheSameBody)
{
    auto plain = sampleMovie(Compression::None);
    auto reference = decompressBody(plain);
    ASSERT_TRUE(reference.has_value());
    EXPECT_EQ(reference->bytes().data(), plain.data() + 8); // a view, not a copy
    for (Compression c : { Compression::Zlib, Compression::Lzma }) {
        auto file = sampleMovie(c);
        EXPECT_LT(file.size(), plain.size() / 4);
        auto body = decompressBody(file);
        ASSERT_TRUE(body.has_value()) << body.error().message;
        EXPECT_TRUE(std::ranges::equal(body->bytes(), reference->bytes()));
        EXPECT_TRUE(body->warnings.empty());
    }
}

TEST(Decompress, TruncatedStreamsKeepWhatWasDecoded)
{
    for (Compression c : { Compression::Zlib, Compression::Lzma }) {
        auto file = sampleMovie(c, 200000);
        file.resize(file.size() * 2 / 3);
        auto body = decompressBody(file);
        ASSERT_TRUE(body.has_value()) << body.error().message;
        EXPECT_GT(body->bytes().size(), 1000u);
        EXPECT_LT(body->bytes().size(), 200000u);
        ASSERT_EQ(body->warnings.size(), 1u);
        EXPECT_NE(body->warnings[0].find("ends early"), std::string::npos) << body->warnings[0];
    }
}

TEST(Decompress, DamagedStreamIsAnErrorOnlyWhenNothingDecodes)
{
    auto file = sampleMovie(Compression::Zlib);
    auto header = file;
    header[8] ^= 0xFF; // the zlib header itself
    EXPECT_FALSE(decompressBody(header).has_value());

    auto zws = sampleMovie(Compression::Lzma);
    zws[12] = 0xFF; // LZMA properties beyond lc/lp/pb limits
    EXPECT_FALSE(decompressBody(zws).has_value());
}

TEST(Decompress, DeclaredLengthStopsTheBodyButIsNeverAllocated)
{
    // A lying length far beyond the data: the output follows the real data.
    for (Compression c : { Compression::None, Compression::Zlib, Compression::Lzma }) {
        auto file = sampleMovie(c);
        putLe32(file, 4, 0xFFFFFFF0u);
        auto body = decompressBody(file);
        ASSERT_TRUE(body.has_value());
        EXPECT_LT(body->bytes().size(), 5000u);
        EXPECT_FALSE(body->warnings.empty());
    }
    // A length shorter than the data cuts the body there, as Flash Player does.
    for (Compression c : { Compression::None, Compression::Zlib, Compression::Lzma }) {
        auto file = sampleMovie(c);
        putLe32(file, 4, 100);
        auto body = decompressBody(file);
        ASSERT_TRUE(body.has_value());
        EXPECT_EQ(body->bytes().size(), 92u);
    }
}

TEST(Decompress, OutputIsCappedAtTheSizeLimit)
{
    // A compression bomb: 4 MB of zeros in a few kilobytes, read with a 64 KiB cap.
    std::vector<uint8_t> zeros(4 << 20, 0);
    std::vector<uint8_t> file { 'C', 'W', 'S', 8, 0, 0, 0, 0 };
    putLe32(file, 4, uint32_t(zeros.size() + 8));
    auto packed = compressZlib(zeros);
    file.insert(file.end(), packed.begin(), packed.end());
    auto body = decompressBody(file, 64 * 1024);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(body->bytes().size(), 64u * 1024);
    ASSERT_FALSE(body->warnings.empty());
    EXPECT_NE(body->warnings[0].find("larger than"), std::string::npos);
}

TEST(Decompress, HugeLzmaDictionaryIsNotAllocated)
{
    auto file = sampleMovie(Compression::Lzma);
    putLe32(file, 13, 0xFFFFFFFFu); // the dictionary size of the LZMA properties
    auto body = decompressBody(file);
    ASSERT_TRUE(body.has_value()) << body.error().message;
    EXPECT_TRUE(body->warnings.empty());
}

TEST(ParseHeader, ReadsTheHeaderOfEveryForm)
{
    Header wanted = movieHeader(7);
    wanted.frameRate = 12.5;
    for (Compression c : { Compression::None, Compression::Zlib, Compression::Lzma }) {
        Writer w(wanted);
        w.showFrame();
        w.showFrame();
        auto file = w.finish(c);
        auto header = parseHeader(file);
        ASSERT_TRUE(header.has_value()) << header.error().message;
        EXPECT_EQ(header->compression, c);
        EXPECT_EQ(header->version, 7);
        EXPECT_EQ(header->frameSize, wanted.frameSize);
        EXPECT_DOUBLE_EQ(header->frameRate, 12.5);
        EXPECT_EQ(header->frameCount, 2);
        auto plain = w.finish(Compression::None);
        EXPECT_EQ(header->fileLength, plain.size());
    }
}

TEST(ParseHeader, FailsWhenTheHeaderIsCutOff)
{
    auto file = sampleMovie(Compression::None);
    file.resize(10);
    auto header = parseHeader(file);
    ASSERT_FALSE(header.has_value());
    EXPECT_NE(header.error().message.find("movie header"), std::string::npos);
}

} // namespace
} // namespace swf
