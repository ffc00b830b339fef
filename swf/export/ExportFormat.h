#pragma once

#include <QString>

#include <optional>

namespace swf::exporting {

// What an export writes, chosen by the output's extension.
enum class Container {
    Mp4, // H.264 picture, AAC sound
    WebM, // VP9 picture, Opus sound
    Gif, // a looping animated GIF, no sound
    PngSequence, // numbered PNG files, the sound beside them as a WAV file
};

// The container for `path` by its extension (any case); nothing for one we do not write.
std::optional<Container> containerFor(const QString& path);
// How a person names it: "MP4", "WebM", "GIF", "PNG 序列".
QString containerName(Container container);
// Whether the container takes sound.
bool carriesSound(Container container);

} // namespace swf::exporting
