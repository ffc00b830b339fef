// Speed of the extraction's scan over a projector of 200 MB held in the page cache:
//   cmake -DZORVA_BENCHMARKS=ON ... && build/benchmarks/extract_bench
// The scan must keep up with reading the file (at least 1 GB/s); bytes_per_second is the
// figure to read.

#include "tools/extract/MovieExtraction.h"
#include "tools/extract/ProjectorReader.h"
#include "tools/extract/Signature.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

constexpr qint64 InputSize = 200 * 1000 * 1000;

// Bytes like those a projector holds before its movie: machine code, taken from this
// program's own file.
QByteArray machineCode()
{
    QFile self(QStringLiteral("/proc/self/exe"));
    if (!self.open(QIODevice::ReadOnly))
        return QByteArray(4096, '\x90');
    return self.readAll();
}

// Arbitrary bytes, as a compressed movie's are.
QByteArray randomBytes(qint64 size, unsigned seed)
{
    std::mt19937_64 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t word = random();
        std::memcpy(bytes.data() + i, &word, 8);
    }
    return bytes;
}

// The test files, written once per run; reading them back right away finds them in the
// page cache.
class Inputs {
public:
    static Inputs& get()
    {
        static Inputs inputs;
        return inputs;
    }

    // Machine code, then a compressed movie to the end of the file.
    QString projector() const { return folder_.filePath(QStringLiteral("projector.exe")); }
    // Machine code alone, over the whole size.
    QString codeOnly() const { return folder_.filePath(QStringLiteral("code.exe")); }
    QString output() const { return folder_.filePath(QStringLiteral("movie.swf")); }

private:
    Inputs()
    {
        const QByteArray code = machineCode();
        QFile projector(this->projector());
        projector.open(QIODevice::WriteOnly);
        QByteArray head = code.left(4 * 1024 * 1024);
        head += QByteArray("CWS\x07", 4);
        projector.write(head);
        for (qint64 written = head.size(); written < InputSize;) {
            const QByteArray block
                = randomBytes(std::min<qint64>(16 << 20, InputSize - written), unsigned(written));
            projector.write(block);
            written += block.size();
        }
        QFile codeOnly(this->codeOnly());
        codeOnly.open(QIODevice::WriteOnly);
        for (qint64 written = 0; written < InputSize;) {
            const QByteArray block = code.left(InputSize - written);
            codeOnly.write(block);
            written += block.size();
        }
    }

    QTemporaryDir folder_;
};

void scan(benchmark::State& state, const QString& path, const mdlExtractSWF::Signature& letters)
{
    qint64 candidates = 0;
    for (auto _ : state) {
        QFile input(path);
        input.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        mdlExtractSWF::ProjectorReader reader(input);
        while (mdlExtractSWF::FindSignature(reader, letters))
            ++candidates;
        benchmark::DoNotOptimize(candidates);
    }
    state.SetBytesProcessed(state.iterations() * InputSize);
    state.counters["candidates"] = double(candidates) / double(state.iterations());
}

// The whole file, every candidate: the Flash 7 search never stops early.
void BM_ScanProjector(benchmark::State& state)
{
    scan(state, Inputs::get().projector(), mdlExtractSWF::CompressedMovie);
}
BENCHMARK(BM_ScanProjector)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanMachineCodeForFWS(benchmark::State& state)
{
    scan(state, Inputs::get().codeOnly(), mdlExtractSWF::UncompressedMovie);
}
BENCHMARK(BM_ScanMachineCodeForFWS)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanMachineCodeForCWS(benchmark::State& state)
{
    scan(state, Inputs::get().codeOnly(), mdlExtractSWF::CompressedMovie);
}
BENCHMARK(BM_ScanMachineCodeForCWS)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading the file alone, in the same blocks: the pace the scan is held against.
void BM_ReadOnly(benchmark::State& state)
{
    std::vector<char> block(mdlExtractSWF::ProjectorReader::DefaultBlockSize);
    for (auto _ : state) {
        QFile input(Inputs::get().projector());
        input.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        while (input.read(block.data(), qint64(block.size())) > 0)
            benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(state.iterations() * InputSize);
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// Scan and copy: the movie starts after 4 MB and runs to the end of the file.
void BM_ExtractFlash7(benchmark::State& state)
{
    for (auto _ : state) {
        const auto written = mdlExtractSWF::extractMovie(
            Inputs::get().projector(), Inputs::get().output(), mdlExtractSWF::Variant::Flash7);
        if (!written || !*written)
            state.SkipWithError("the extraction failed");
    }
    state.SetBytesProcessed(state.iterations() * InputSize);
}
BENCHMARK(BM_ExtractFlash7)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
