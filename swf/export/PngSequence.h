#pragma once

#include "ExportSettings.h"
#include "FrameSink.h"
#include "SoundPacer.h"

#include "swf/sound/WavFileOutput.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace swf::exporting {

// Numbered PNG files: "shot.png" becomes shot_0001.png, shot_0002.png ..., each written
// whole under a temporary name and then renamed, and the sound beside them as shot.wav.
class PngSequence final : public FrameSink {
public:
    // `path` names the sequence; `soundPath` the WAV file to write the sound into while
    // the sequence runs (it is renamed into place by the caller), empty for none.
    PngSequence(const QString& path, const QString& soundPath, FrameRate rate);

    bool addFrame(const QImage& picture, std::span<const int16_t> sound) override;
    bool finish() override;
    QString error() const override { return error_; }

    // The name of frame `number` (1-based).
    QString framePath(int64_t number) const;
    // The files written so far, to be removed when the export does not finish.
    const QStringList& written() const { return written_; }

private:
    QDir folder_;
    QString stem_;
    QString soundPath_;
    swf::WavFileOutput sound_;
    SoundPacer pacer_;
    int64_t frames_ = 0;
    QStringList written_;
    QString error_;
};

// The WAV file that goes with a PNG sequence named `path`.
QString soundPathOf(const QString& path);

} // namespace swf::exporting
