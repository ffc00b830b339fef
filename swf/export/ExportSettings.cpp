#include "ExportSettings.h"

extern "C" {
#include <libavutil/rational.h>
}

namespace swf::exporting {

FrameRate frameRateOf(double framesPerSecond)
{
    const AVRational exact = av_d2q(framesPerSecond, 1 << 16);
    if (exact.num <= 0 || exact.den <= 0)
        return {};
    return { exact.num, exact.den };
}

} // namespace swf::exporting
