#include "VideoPlayback.h"

#include <algorithm>

namespace swf {

VideoPlayback::VideoPlayback(VideoDecoder::Options options)
    : options_(std::move(options))
{
}

void VideoPlayback::reset()
{
    shown_ = -1;
    picture_.reset();
    if (decoder_)
        decoder_->reset();
}

int VideoPlayback::startOf(int target, const PacketSource& packets) const
{
    // Forward from the frame shown: on from there unless a key frame comes first. Never
    // further back than the catch-up allows: a stream without key frames shows what
    // decodes from there.
    const int floor = std::max(target > shown_ && shown_ >= 0 ? shown_ + 1 : 0, target - kMaxCatchUp + 1);
    for (int f = target; f >= floor; --f) {
        if (const auto p = packets(f); p && p->key)
            return f;
    }
    return floor;
}

std::shared_ptr<const QImage> VideoPlayback::frame(int target, const PacketSource& packets)
{
    if (target < 0 || target == shown_ || failed_)
        return picture_;
    if (!decoder_) {
        decoder_ = VideoDecoder::open(options_);
        if (!decoder_) {
            failed_ = true;
            return nullptr;
        }
    }
    const int start = startOf(target, packets);
    if (start != shown_ + 1 || shown_ < 0)
        decoder_->reset();
    for (int f = start; f <= target; ++f) {
        if (const auto packet = packets(f)) {
            ++decoded_;
            decoder_->decode(packet->data);
        }
    }
    shown_ = target;
    picture_ = decoder_->picture();
    return picture_;
}

} // namespace swf
