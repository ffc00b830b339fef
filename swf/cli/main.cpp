// zorvaplay-swf: the movie engine without a window.
//
// `run` prints each trace() line on stdout as it happens and nothing else there, so that
// a conformance runner can compare stdout with a reference log; everything else the
// tool has to say goes to stderr.

#include "ActionsCommand.h"
#include "BenchCommand.h"
#include "Commands.h"
#include "ExportCommand.h"
#include "ExtractCommand.h"
#include "Session.h"
#include "ThumbnailCommand.h"

#include <QGuiApplication>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const cli::Command kCommands[] = {
    { "info", "info   FILE.swf", {}, &cli::commandInfo },
    { "run",
        "run    FILE.swf|URL --frames N [--png OUT.png [--smooth]] [--wav OUT.wav]\n"
        "  zorvaplay-swf run    FILE.swf|URL --realtime --seconds S [--png OUT.png [--smooth]]",
        { { "--frames", true }, { "--png", true }, { "--wav", true }, { "--realtime", false },
            { "--seconds", true }, { "--smooth", false } },
        &cli::commandRun },
    { "frames", "frames FILE.swf --out DIR [--from A --to B] [--width W]",
        { { "--out", true }, { "--from", true }, { "--to", true }, { "--width", true } },
        &cli::commandFrames },
    { "extract", "extract PROJECTOR OUT.swf --flash 6|7", { { "--flash", true } }, &cli::commandExtract },
    { "export",
        "export FILE.swf OUT.mp4|OUT.webm|OUT.gif|OUT.png [--width W] [--height H] [--fps F]\n"
        "                [--frames N | --seconds S] [--quality 1-100] [--click X,Y@SECONDS[;X,Y@SECONDS...]]",
        { { "--width", true }, { "--height", true }, { "--fps", true }, { "--frames", true },
            { "--seconds", true }, { "--quality", true }, { "--click", true } },
        &cli::commandExport },
    { "thumbnail", "thumbnail FILE.swf OUT.png [--size S]", { { "--size", true } }, &cli::commandThumbnail },
    { "bench", "bench  FILE.swf [--frames N] [--width W --height H]",
        { { "--frames", true }, { "--width", true }, { "--height", true } }, &cli::commandBench },
    // Not in the usage text: a listing of a movie's scripts, for debugging them.
    { "actions", {}, {}, &cli::commandActions },
};

int usage()
{
    std::fputs("usage:\n", stderr);
    for (const cli::Command& command : kCommands)
        if (!command.usage.empty())
            std::fprintf(stderr, "  zorvaplay-swf %.*s\n", int(command.usage.size()), command.usage.data());
    return cli::kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const cli::Command* command = nullptr;
    for (const cli::Command& candidate : kCommands) {
        if (candidate.name == argv[1])
            command = &candidate;
    }
    if (!command)
        return usage();
    std::string error;
    const auto options = cli::Options::parse(argc, argv, 2, command->options, error);
    if (!options) {
        cli::printError(error);
        return usage();
    }
    // Text is drawn with fonts, which need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder for that platform and complains on stderr without
    // one; a tool run from a service or a test often has none.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string runtime = "/tmp/zorvaplay-swf-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }
    QGuiApplication app(argc, argv);
    return command->run(*options);
}
