#include "FakeProgressBar.h"

#include <algorithm>

namespace platform {

void FakeProgressBar::setPosition(int position)
{
    position_ = std::clamp(position, 0, MaxPosition);
}

void FakeProgressBar::userPicks(int position)
{
    setPosition(position);
    emit Seek();
}

} // namespace platform
