#include "Services.h"

#include <QDateTime>
#include <QTimeZone>

namespace swf {

int64_t SystemWallClock::msecsSinceEpoch() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

int SystemWallClock::utcOffsetMinutes(int64_t msecsSinceEpoch) const
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).offsetFromUtc() / 60;
}

} // namespace swf
