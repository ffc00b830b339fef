#pragma once

#include "tools/extract/MovieExtraction.h"
#include "tools/extract/Signature.h"

#include <QString>

class QWidget;

namespace platform {
class MessageBoxes;
}

// Extraction of the movie a Flash projector carries inside its own bytes. The byte work
// lives in tools/extract (shared with the command-line tool); these routines add what the
// user sees of a failure.
namespace mdlExtractSWF {

// 5 or 6 extracts an uncompressed movie (ExtractFlash56), 7 a compressed one
// (ExtractFlash7); any other value returns false without opening a file.
bool ExtractSWF(platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath,
    const QString& SwfPath, int FlashVersion);

// True when a movie was written. A file error shows "错误：" and its description in a
// warning box titled "错误" before false is returned.
bool ExtractFlash56(
    platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath, const QString& SwfPath);
bool ExtractFlash7(
    platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath, const QString& SwfPath);

// The description of a failure that follows "错误：".
QString describe(const ExtractFailure& failure);

} // namespace mdlExtractSWF
