#include "ExtractCommand.h"

#include "Options.h"

#include "tools/extract/MovieExtraction.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

enum ExitCode : int { kOk = 0, kUsage = 1, kUnreadable = 2, kCannotWrite = 3, kNoMovie = 4 };

using cli::Options;

void printError(const QString& message)
{
    std::fprintf(stderr, "zorvaplay-swf extract: %s\n", message.toLocal8Bit().constData());
}

int usage()
{
    std::fputs("usage: zorvaplay-swf extract PROJECTOR OUT.swf --flash 6|7\n"
               "  --flash 6  a Flash 5 or 6 projector (uncompressed movie, FWS)\n"
               "  --flash 7  a Flash 7 projector (compressed movie, CWS)\n",
        stderr);
    return kUsage;
}

QString describe(const mdlExtractSWF::ExtractFailure& failure)
{
    using Kind = mdlExtractSWF::ExtractFailure::Kind;
    const QString path = QDir::toNativeSeparators(failure.path);
    const QString reason = failure.reason.isEmpty() ? QString() : QStringLiteral(": ") + failure.reason;
    switch (failure.kind) {
    case Kind::OutputIsInput:
        return QStringLiteral("the output %1 is the projector itself; choose another name").arg(path);
    case Kind::CannotOpenInput:
        return QStringLiteral("cannot open %1%2").arg(path, reason);
    case Kind::CannotReadInput:
        return QStringLiteral("cannot read %1%2").arg(path, reason);
    case Kind::NothingAfterSignature:
        return QStringLiteral("%1 ends right after the movie's signature: nothing to extract").arg(path);
    case Kind::CannotWriteOutput:
        return QStringLiteral("cannot write %1%2").arg(path, reason);
    }
    return {};
}

int exitCodeOf(mdlExtractSWF::ExtractFailure::Kind kind)
{
    using Kind = mdlExtractSWF::ExtractFailure::Kind;
    return kind == Kind::CannotWriteOutput || kind == Kind::OutputIsInput ? kCannotWrite : kUnreadable;
}

} // namespace

int cli::commandExtract(const Options& options)
{
    const auto flash = options.value("--flash");
    if (options.positional().size() != 2 || !flash)
        return usage();
    const std::string_view version = *flash;
    const std::optional<mdlExtractSWF::Variant> variant
        = version.size() == 1 ? mdlExtractSWF::variantFor(version[0] - '0') : std::nullopt;
    if (!variant) {
        printError(QStringLiteral("--flash takes 6 (Flash 5 and 6 projectors) or 7 (Flash 7 projectors)"));
        return kUsage;
    }

    const QString projector = QString::fromLocal8Bit(options.positional()[0].c_str());
    const QString output = QString::fromLocal8Bit(options.positional()[1].c_str());
    const auto written = mdlExtractSWF::extractMovie(projector, output, *variant);
    if (!written) {
        printError(describe(written.error()));
        return exitCodeOf(written.error().kind);
    }
    if (!*written) {
        const bool exists = QFileInfo::exists(projector);
        printError(exists
                ? QStringLiteral("no %1 movie found in %2")
                      .arg(*variant == mdlExtractSWF::Variant::Flash7 ? QStringLiteral("Flash 7 (CWS)")
                                                                      : QStringLiteral("Flash 5/6 (FWS)"),
                          QDir::toNativeSeparators(projector))
                : QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(projector)));
        return kNoMovie;
    }
    return kOk;
}
