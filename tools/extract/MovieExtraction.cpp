#include "MovieExtraction.h"

#include "ProjectorReader.h"
#include "Signature.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <vector>

namespace mdlExtractSWF {

namespace {

using Result = std::expected<bool, ExtractFailure>;

std::unexpected<ExtractFailure> failure(
    ExtractFailure::Kind kind, const QString& path, const QString& reason = {})
{
    return std::unexpected(ExtractFailure { kind, path, reason });
}

// Also true for two names of one file through a symbolic link or "..".
bool sameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

// The version byte of the accepted candidate that is the movie, if any.
std::optional<qint64> findMovie(ProjectorReader& reader, Variant variant)
{
    if (variant == Variant::Flash56) {
        if (FindSignature(reader, UncompressedMovie))
            return reader.position();
        return std::nullopt;
    }
    std::optional<qint64> last;
    while (FindSignature(reader, CompressedMovie))
        last = reader.position();
    return last;
}

// Writes the signature and the input from `from` to its end into `swfPath`.
Result copyMovie(QFile& input, qint64 from, const Signature& letters, const QString& swfPath)
{
    std::vector<char> block(ProjectorReader::DefaultBlockSize);
    if (!input.seek(from))
        return failure(ExtractFailure::Kind::CannotReadInput, input.fileName(), input.errorString());
    qint64 got = input.read(block.data(), qint64(block.size()));
    if (got < 0)
        return failure(ExtractFailure::Kind::CannotReadInput, input.fileName(), input.errorString());
    if (got == 0)
        return failure(ExtractFailure::Kind::NothingAfterSignature, input.fileName());

    QSaveFile output(swfPath);
    if (!output.open(QIODevice::WriteOnly))
        return failure(ExtractFailure::Kind::CannotWriteOutput, swfPath, output.errorString());
    const char signature[] = { char(letters.L1), char(letters.L2), char(letters.L3) };
    if (output.write(signature, 3) != 3)
        return failure(ExtractFailure::Kind::CannotWriteOutput, swfPath, output.errorString());
    while (got > 0) {
        if (output.write(block.data(), got) != got)
            return failure(ExtractFailure::Kind::CannotWriteOutput, swfPath, output.errorString());
        got = input.read(block.data(), qint64(block.size()));
    }
    if (got < 0)
        return failure(ExtractFailure::Kind::CannotReadInput, input.fileName(), input.errorString());
    if (!output.commit())
        return failure(ExtractFailure::Kind::CannotWriteOutput, swfPath, output.errorString());
    return true;
}

} // namespace

std::optional<Variant> variantFor(int FlashVersion)
{
    switch (FlashVersion) {
    case 5:
    case 6:
        return Variant::Flash56;
    case 7:
        return Variant::Flash7;
    default:
        return std::nullopt;
    }
}

Result extractMovie(const QString& exePath, const QString& swfPath, Variant variant)
{
    if (sameFile(exePath, swfPath))
        return failure(ExtractFailure::Kind::OutputIsInput, swfPath);
    QFile input(exePath);
    if (!input.exists())
        return false; // as an empty input: nothing to find
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(ExtractFailure::Kind::CannotOpenInput, exePath, input.errorString());

    ProjectorReader reader(input);
    const std::optional<qint64> movie = findMovie(reader, variant);
    if (!reader.error().isEmpty())
        return failure(ExtractFailure::Kind::CannotReadInput, exePath, reader.error());
    if (!movie)
        return false;
    return copyMovie(
        input, *movie, variant == Variant::Flash56 ? UncompressedMovie : CompressedMovie, swfPath);
}

} // namespace mdlExtractSWF
