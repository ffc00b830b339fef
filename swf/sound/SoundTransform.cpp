#include "SoundTransform.h"

#include <algorithm>

namespace swf {

double SoundTransform::pan() const
{
    return rr - ll;
}

void SoundTransform::setPan(double pan)
{
    pan = std::clamp(pan, -100.0, 100.0);
    lr = 0;
    rl = 0;
    ll = pan > 0 ? 100 - pan : 100;
    rr = pan < 0 ? 100 + pan : 100;
}

ChannelGains SoundTransform::gains() const
{
    const auto part = [this](double percent) { return static_cast<float>(volume / 100 * percent / 100); };
    return { part(ll), part(lr), part(rl), part(rr) };
}

} // namespace swf
