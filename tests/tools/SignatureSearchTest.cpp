#include "tools/extract/ProjectorReader.h"
#include "tools/extract/Signature.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace mdlExtractSWF;

// The search reads its input in blocks and jumps to the next first letter with memchr. These
// tests hold it against the rules read one byte at a time, written out plainly here.
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// ---- The rules, one byte at a time ------------------------------------------------------

struct PlainReader {
    const Bytes& input;
    std::int64_t position = 0;
    bool endFlag = false;

    std::uint8_t readByte()
    {
        std::uint8_t byte = 0;
        if (position < std::int64_t(input.size()))
            byte = input[std::size_t(position)];
        else
            endFlag = true;
        ++position;
        return byte;
    }
    void setPosition(std::int64_t to)
    {
        position = to;
        endFlag = false;
    }
};

bool plainMatch(PlainReader& reader, const Signature& letters)
{
    std::uint8_t byte = reader.readByte();
    if (reader.endFlag || byte != letters.L1)
        return false;
    byte = reader.readByte();
    if (reader.endFlag || byte != letters.L2)
        return false;
    byte = reader.readByte();
    return !reader.endFlag && byte == letters.L3;
}

bool plainFind(PlainReader& reader, const Signature& letters)
{
    for (;;) {
        std::int64_t start = -1;
        while (!reader.endFlag) {
            const std::int64_t at = reader.position;
            if (plainMatch(reader, letters)) {
                start = at;
                break;
            }
        }
        if (start < 0)
            return false;
        reader.readByte();
        if (!plainMatch(reader, letters)) {
            reader.setPosition(start + 3);
            return true;
        }
        do
            reader.readByte();
        while (plainMatch(reader, letters));
    }
}

// Every accepted candidate in order, each search going on from where the last one left
// it: the version byte of each.
std::vector<std::int64_t> plainCandidates(const Bytes& input, const Signature& letters)
{
    PlainReader reader { input };
    std::vector<std::int64_t> found;
    while (plainFind(reader, letters))
        found.push_back(reader.position);
    return found;
}

// ---- The same through the block reader ---------------------------------------------------

std::vector<std::int64_t> candidates(const Bytes& input, const Signature& letters, std::size_t blockSize)
{
    QByteArray data(reinterpret_cast<const char*>(input.data()), qsizetype(input.size()));
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    ProjectorReader reader(device, blockSize);
    std::vector<std::int64_t> found;
    while (FindSignature(reader, letters))
        found.push_back(reader.position());
    EXPECT_TRUE(reader.error().isEmpty());
    return found;
}

std::vector<std::int64_t> candidates(const std::string& text, const Signature& letters = UncompressedMovie)
{
    return candidates(bytesOf(text), letters, 4096);
}

constexpr std::size_t BlockSizes[] = { 1, 2, 3, 4, 5, 7, 8, 13, 64, 4096 };

// Inputs of the letters that matter, so that every rule is met often.
Bytes randomInput(std::mt19937& random, std::size_t length)
{
    static const std::uint8_t alphabet[] = { 'F', 'W', 'S', 'C', 'F', 'W', 'S', 0x00, 0x46 + 0x80, 'x' };
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
    Bytes bytes(length);
    for (auto& byte : bytes)
        byte = alphabet[pick(random)];
    return bytes;
}

} // namespace

TEST(SignatureSearch, AttemptTakesBytesUpToTheFirstMismatchAndNeverStepsBack)
{
    const Bytes input = bytesOf("FFWSxFWxFWS");
    QByteArray data(reinterpret_cast<const char*>(input.data()), qsizetype(input.size()));
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    ProjectorReader reader(device, 3);

    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie)); // F F
    EXPECT_EQ(reader.position(), 2);
    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie)); // W
    EXPECT_EQ(reader.position(), 3);
    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie)); // S
    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie)); // x
    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie)); // F W x
    EXPECT_EQ(reader.position(), 8);
    EXPECT_TRUE(MatchSignature(reader, UncompressedMovie));
    EXPECT_EQ(reader.position(), 11);
    EXPECT_FALSE(reader.endFlag());
    EXPECT_FALSE(MatchSignature(reader, UncompressedMovie));
    EXPECT_TRUE(reader.endFlag());
    EXPECT_EQ(reader.position(), 12) << "the read past the end moves the position too";
    reader.setPosition(1);
    EXPECT_FALSE(reader.endFlag());
    EXPECT_TRUE(MatchSignature(reader, UncompressedMovie)) << "F W S from offset 1";
}

TEST(SignatureSearch, CandidatesFollowTheRules)
{
    // The position returned is the version byte of each accepted candidate.
    EXPECT_EQ(candidates("xxFWS8yy"), (std::vector<std::int64_t> { 5 }));
    EXPECT_EQ(candidates("FWS8"), (std::vector<std::int64_t> { 3 }));
    EXPECT_EQ(candidates(""), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FW"), (std::vector<std::int64_t> {}));

    // No stepping back after a partial match.
    EXPECT_EQ(candidates("FFWS8yy"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FWFWS8yy"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("xFFWS8yy"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FFFWS8yy"), (std::vector<std::int64_t> { 5 })) << "the third F starts an attempt";

    // The letters again right after the version byte: rejected with the run that follows.
    EXPECT_EQ(candidates("FWS8FWS8yy"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FWS8FWS8FWS8FWS8yFWS9z"), (std::vector<std::int64_t> { 20 }))
        << "the run ends at y; the search goes on after it";
    EXPECT_EQ(candidates("FWS8FWSFWS9z"), (std::vector<std::int64_t> {}))
        << "the byte read after a check match is skipped even when it begins the letters";
    EXPECT_EQ(candidates("FWS8FWS8FWS9z"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FWS8FW9FWS7z"), (std::vector<std::int64_t> { 3, 10 }))
        << "a partial check is no repetition: the candidate stands, and the search goes on from its version "
           "byte";

    // The other variant's letters are no candidate.
    EXPECT_EQ(candidates("CWS8yy"), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("FWS8yy", CompressedMovie), (std::vector<std::int64_t> {}));
    EXPECT_EQ(candidates("CWS8yyCWS9", CompressedMovie), (std::vector<std::int64_t> { 3, 9 }));

    // At the end of the input: the signature as the last three bytes is still accepted
    // (the check attempt fails on the end), with its position past the last byte.
    EXPECT_EQ(candidates("xxFWS"), (std::vector<std::int64_t> { 5 }));
    EXPECT_EQ(candidates("xxFWS8FWS"), (std::vector<std::int64_t> {}))
        << "the check attempt reads the whole signature before the end";
    EXPECT_EQ(candidates("xxFWS8FW"), (std::vector<std::int64_t> { 5 }));
}

TEST(SignatureSearch, BlockReaderAgreesWithTheRulesOnCraftedInputs)
{
    const char* crafted[]
        = { "", "F", "FW", "FWS", "FWS8", "FFWS8", "FWFWS8", "FWS8FWS", "FWS8FWS8", "FWS8FWS8FWS8xFWS8",
              "FWS8FWS8FWSx", "FWS8FWS8FW", "FWS8FWS8F", "SWFFWS8FWSFWS8", "CWSFWSCWS8CWS8CWS" };
    for (const char* text : crafted)
        for (const Signature& letters : { UncompressedMovie, CompressedMovie })
            for (std::size_t block : BlockSizes) {
                const Bytes input = bytesOf(text);
                EXPECT_EQ(candidates(input, letters, block), plainCandidates(input, letters))
                    << "input " << text << ", block " << block;
            }
}

TEST(SignatureSearch, BlockReaderAgreesWithTheRulesOnRandomInputs)
{
    std::mt19937 random(20240614);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    int withCandidates = 0;
    for (int round = 0; round < 3000; ++round) {
        const Bytes input = randomInput(random, length(random));
        for (const Signature& letters : { UncompressedMovie, CompressedMovie }) {
            const auto expected = plainCandidates(input, letters);
            withCandidates += !expected.empty();
            for (std::size_t block : BlockSizes)
                ASSERT_EQ(candidates(input, letters, block), expected)
                    << "round " << round << ", block " << block;
        }
    }
    EXPECT_GT(withCandidates, 1000) << "the inputs must meet the rules often to prove anything";

    // Long inputs of arbitrary bytes, with signatures and runs sown in.
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        Bytes input(200000);
        for (auto& b : input)
            b = std::uint8_t(byte(random));
        for (int i = 0; i < 300; ++i) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, input.size() - 12)(random);
            const Bytes piece = bytesOf(i % 3 == 0 ? "FWS8FWS" : i % 3 == 1 ? "CWS" : "FWS");
            std::copy(piece.begin(), piece.end(), input.begin() + std::ptrdiff_t(at));
        }
        for (const Signature& letters : { UncompressedMovie, CompressedMovie }) {
            const auto expected = plainCandidates(input, letters);
            ASSERT_FALSE(expected.empty());
            for (std::size_t block :
                { std::size_t(61), std::size_t(4096), ProjectorReader::DefaultBlockSize })
                ASSERT_EQ(candidates(input, letters, block), expected)
                    << "round " << round << ", block " << block;
        }
    }
}

namespace {

// A device that gives `good` bytes and then fails.
class FailingDevice final : public QIODevice {
public:
    explicit FailingDevice(qint64 good)
        : good_(good)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 left = good_ - pos();
        if (left <= 0) {
            setErrorString(QStringLiteral("the disk went away"));
            return -1;
        }
        const qint64 count = std::min(left, maxSize);
        std::fill_n(data, count, 'x');
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 good_;
};

} // namespace

TEST(SignatureSearch, AFailingReadEndsTheSearchWithItsReason)
{
    FailingDevice device(100);
    ProjectorReader reader(device, 16);
    EXPECT_FALSE(FindSignature(reader, UncompressedMovie));
    EXPECT_EQ(reader.error(), QStringLiteral("the disk went away"));
}
