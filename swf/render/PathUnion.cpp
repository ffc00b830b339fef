#include "PathUnion.h"

namespace swf {

void PathUnion::add(const QPainterPath& part)
{
    if (part.isEmpty())
        return;
    if (path_.isEmpty()) {
        path_ = part;
        return;
    }
    const double in = static_cast<double>(path_.elementCount()) + part.elementCount();
    const double product = static_cast<double>(path_.elementCount()) * part.elementCount();
    if (product > kMaxPairProduct || work_ >= kMaxWork) {
        path_.addPath(part);
        return;
    }
    path_ = path_.united(part);
    const double out = path_.elementCount();
    work_ += in + out + out * out / 400;
}

} // namespace swf
