// zorvaplay-swf: the movie engine without a window.
//
//   zorvaplay-swf info   FILE.swf
//   zorvaplay-swf run    FILE.swf --frames N [--png OUT.png]
//   zorvaplay-swf frames FILE.swf --out DIR [--from A --to B] [--width W]
//
// `run` prints each trace() line on stdout as it happens and nothing else there, so that
// a conformance runner can compare stdout with a reference log; everything else the
// tool has to say goes to stderr.

#include "ExtractCommand.h"
#include "swf/display/Stage.h"
#include "swf/format/Decompress.h"
#include "swf/format/Parser.h"
#include "swf/format/TagStream.h"
#include "swf/format/Tags.h"
#include "swf/render/Renderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum ExitCode : int { kOk = 0, kUsage = 1, kUnreadable = 2, kCannotWrite = 3 };

// No picture is made larger than this on a side: a hostile header can declare a stage of
// hundreds of thousands of pixels.
constexpr int kMaxImageSide = 4096;
constexpr qint64 kMaxFileSize = qint64(swf::kMaxBodySize) + 8;

void printError(const std::string& message)
{
    std::fprintf(stderr, "zorvaplay-swf: %s\n", message.c_str());
}

int usage()
{
    std::fputs("usage:\n"
               "  zorvaplay-swf info   FILE.swf\n"
               "  zorvaplay-swf run    FILE.swf --frames N [--png OUT.png]\n"
               "  zorvaplay-swf frames FILE.swf --out DIR [--from A --to B] [--width W]\n"
               "  zorvaplay-swf extract PROJECTOR OUT.swf --flash 6|7\n",
        stderr);
    return kUsage;
}

// ---- Arguments ---------------------------------------------------------------------------

struct Arguments {
    std::string command;
    std::string file;
    std::map<std::string, std::string> options; // "--name" -> value

    std::optional<std::string> option(const std::string& name) const
    {
        auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional(it->second);
    }
};

std::optional<Arguments> parseArguments(int argc, char** argv)
{
    if (argc < 3)
        return std::nullopt;
    Arguments args { argv[1], argv[2], {} };
    for (int i = 3; i < argc; ++i) {
        std::string name = argv[i];
        if (!name.starts_with("--") || i + 1 >= argc)
            return std::nullopt;
        args.options[name] = argv[++i];
    }
    return args;
}

std::optional<int> parseCount(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    int value = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// ---- Loading -----------------------------------------------------------------------------

struct LoadedFile {
    QByteArray bytes;
    std::shared_ptr<const swf::Movie> movie;
};

std::span<const uint8_t> asBytes(const QByteArray& bytes)
{
    return { reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()) };
}

std::optional<LoadedFile> loadMovie(const std::string& path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        printError("cannot open " + path + ": " + file.errorString().toStdString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileSize) {
        printError("cannot read " + path + ": the file is too large to be a movie");
        return std::nullopt;
    }
    LoadedFile loaded;
    loaded.bytes = file.read(kMaxFileSize);
    swf::Result<swf::Movie> movie = swf::parseMovie(asBytes(loaded.bytes));
    if (!movie) {
        printError("cannot read " + path + ": " + movie.error().message);
        return std::nullopt;
    }
    loaded.movie = std::make_shared<const swf::Movie>(std::move(*movie));
    return loaded;
}

// ---- Pictures ----------------------------------------------------------------------------

// The stage at one pixel per 20 twips, or scaled to `width` with the aspect kept; never
// past kMaxImageSide on a side and never empty.
QSize imageSize(const swf::Rect& stage, std::optional<int> width)
{
    double w = std::max(1.0, stage.width() / 20.0);
    double h = std::max(1.0, stage.height() / 20.0);
    if (width) {
        h = h * *width / w;
        w = *width;
    }
    const double shrink = std::min(1.0, kMaxImageSide / std::max(w, h));
    return QSize(std::clamp(static_cast<int>(std::lround(w * shrink)), 1, kMaxImageSide),
        std::clamp(static_cast<int>(std::lround(h * shrink)), 1, kMaxImageSide));
}

bool writePicture(swf::Renderer& renderer, const swf::Stage& stage, QSize size, const QString& path)
{
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        renderer.render(painter, stage, QRectF(image.rect()));
    }
    if (!image.save(path, "PNG")) {
        printError("cannot write " + path.toStdString());
        return false;
    }
    return true;
}

// ---- Commands ----------------------------------------------------------------------------

const char* compressionName(swf::Compression compression)
{
    switch (compression) {
    case swf::Compression::Zlib:
        return "CWS (zlib)";
    case swf::Compression::Lzma:
        return "ZWS (LZMA)";
    case swf::Compression::None:
        break;
    }
    return "FWS (uncompressed)";
}

// The ActionScript generation: 3 when the FileAttributes tag (always the first tag when
// present) sets its ActionScript3 flag or a DoABC tag appears, else 1/2.
std::string actionScriptVersion(const QByteArray& file)
{
    auto body = swf::decompressBody(asBytes(file));
    if (!body || body->bytes().empty())
        return "unknown";
    std::span<const uint8_t> bytes = body->bytes();
    const std::size_t rectBits = 5 + 4 * std::size_t(bytes[0] >> 3);
    const std::size_t firstTag = (rectBits + 7) / 8 + 4;
    if (firstTag > bytes.size())
        return "unknown";
    swf::TagStream stream(bytes.subspan(firstTag));
    bool attributes = false;
    while (auto tag = stream.next()) {
        if (tag->code == swf::toCode(swf::TagCode::FileAttributes) && !tag->body.empty()) {
            attributes = true;
            if (tag->body[0] & 0x08)
                return "3 (FileAttributes)";
        }
        if (tag->code == swf::toCode(swf::TagCode::DoABC))
            return "3 (DoABC)";
        if (tag->code == swf::toCode(swf::TagCode::End))
            break;
    }
    return attributes ? "1/2 (FileAttributes)" : "1/2";
}

int commandInfo(const Arguments& args)
{
    auto loaded = loadMovie(args.file);
    if (!loaded)
        return kUnreadable;
    const swf::Movie& movie = *loaded->movie;
    const swf::Header& h = movie.header;
    std::printf("file:          %s\n", args.file.c_str());
    std::printf("signature:     %s\n", compressionName(h.compression));
    std::printf("version:       %d\n", int(h.version));
    std::printf("file length:   %u bytes declared, %lld on disk\n", h.fileLength,
        static_cast<long long>(loaded->bytes.size()));
    std::printf("stage:         %.2f x %.2f px (twips %d,%d to %d,%d)\n", h.frameSize.width() / 20.0,
        h.frameSize.height() / 20.0, h.frameSize.xMin, h.frameSize.yMin, h.frameSize.xMax, h.frameSize.yMax);
    std::printf("frame rate:    %.2f fps\n", h.frameRate);
    std::printf(
        "frames:        %u declared, %zu read\n", unsigned(h.frameCount), movie.timeline.frames.size());
    std::printf("actionscript:  %s\n", actionScriptVersion(loaded->bytes).c_str());
    std::printf("background:    #%02x%02x%02x\n", movie.background.r, movie.background.g, movie.background.b);
    std::printf("characters:    %zu\n", movie.dictionary.size());
    std::printf("complete:      %s\n", movie.truncated ? "no (the file ends before its End tag)" : "yes");
    std::printf("warnings:      %zu\n", movie.warnings.size());
    for (const std::string& warning : movie.warnings)
        std::printf("  %s\n", warning.c_str());
    return kOk;
}

int commandRun(const Arguments& args)
{
    const auto frames = parseCount(args.option("--frames").value_or("1"));
    if (!frames || *frames < 1) {
        printError("--frames needs a count of at least 1");
        return kUsage;
    }
    auto loaded = loadMovie(args.file);
    if (!loaded)
        return kUnreadable;

    swf::Stage stage(loaded->movie);
    stage.start();
    for (int frame = 1; frame < *frames; ++frame)
        stage.advance();

    if (auto png = args.option("--png")) {
        swf::Renderer renderer;
        const QSize size = imageSize(loaded->movie->header.frameSize, std::nullopt);
        if (!writePicture(renderer, stage, size, QString::fromLocal8Bit(*png)))
            return kCannotWrite;
    }
    std::fflush(stdout);
    return kOk;
}

int commandFrames(const Arguments& args)
{
    const auto out = args.option("--out");
    if (!out)
        return usage();
    auto loaded = loadMovie(args.file);
    if (!loaded)
        return kUnreadable;
    const int total = std::max<int>(1, static_cast<int>(loaded->movie->timeline.frames.size()));
    const auto from = parseCount(args.option("--from").value_or("1"));
    const auto to = parseCount(args.option("--to").value_or(std::to_string(total)));
    std::optional<int> width;
    if (auto text = args.option("--width")) {
        width = parseCount(text);
        if (!width || *width < 1) {
            printError("--width needs a number of pixels");
            return kUsage;
        }
    }
    if (!from || !to || *from < 1 || *to < *from) {
        printError("--from and --to need frame numbers, 1 <= from <= to");
        return kUsage;
    }
    QDir dir(QString::fromLocal8Bit(*out));
    if (!dir.mkpath(QStringLiteral("."))) {
        printError("cannot make the folder " + *out);
        return kCannotWrite;
    }

    swf::Stage stage(loaded->movie);
    swf::Renderer renderer;
    const QSize size = imageSize(loaded->movie->header.frameSize, width);
    stage.start();
    for (int frame = 1; frame <= *to; ++frame) {
        if (frame > 1)
            stage.advance();
        if (frame < *from)
            continue;
        const QString name = QStringLiteral("frame_%1.png").arg(frame, 4, 10, QLatin1Char('0'));
        if (!writePicture(renderer, stage, size, dir.filePath(name)))
            return kCannotWrite;
    }
    return kOk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "extract")
        return commandExtract(argc, argv);
    const auto args = parseArguments(argc, argv);
    if (!args)
        return usage();
    if (args->command == "info")
        return commandInfo(*args);
    if (args->command == "run")
        return commandRun(*args);
    if (args->command == "frames")
        return commandFrames(*args);
    return usage();
}
