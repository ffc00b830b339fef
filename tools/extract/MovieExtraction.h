#pragma once

#include <QString>

#include <expected>
#include <optional>

namespace mdlExtractSWF {

// The two projector generations the tool knows.
enum class Variant {
    Flash56, // Flash 5 and 6: the first accepted "FWS" is the movie
    Flash7, // Flash 7: the last accepted "CWS" is the movie
};

// 5 and 6 select the Flash 5/6 variant, 7 the Flash 7 variant; nothing else selects one.
std::optional<Variant> variantFor(int FlashVersion);

// Why an extraction stopped before writing its movie.
struct ExtractFailure {
    enum class Kind {
        OutputIsInput, // the movie would replace the projector it is taken from
        CannotOpenInput,
        CannotReadInput,
        NothingAfterSignature, // the accepted letters are the last bytes of the input
        CannotWriteOutput,
    };
    Kind kind;
    QString path; // the file concerned
    QString reason; // the system's words, where it gave some
};

// True when the movie was written; false when the input holds no accepted candidate (an
// input that does not exist counts as an empty one). The movie is the signature followed
// by the input from the candidate's version byte to the input's last byte. It is written
// to a new file that takes the output's name only once complete, so a failure leaves any
// file of that name as it was; the projector is only ever read. The work runs in
// blocks, in memory of a few blocks whatever the size of the input.
std::expected<bool, ExtractFailure> extractMovie(
    const QString& exePath, const QString& swfPath, Variant variant);

} // namespace mdlExtractSWF
