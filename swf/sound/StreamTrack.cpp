#include "StreamTrack.h"

#include "swf/format/Tags.h"

namespace swf {

StreamTrack::StreamTrack(const Timeline& timeline)
    : timeline_(timeline)
{
    update();
}

void StreamTrack::update()
{
    for (size_t f = frames_.size(); f < timeline_.frames.size(); ++f) {
        FrameSound sound;
        sound.head = heads_.empty() ? -1 : static_cast<int>(heads_.size()) - 1;
        const auto& tags = timeline_.frames[f].tags;
        for (size_t t = 0; t < tags.size(); ++t) {
            const auto* record = std::get_if<TagRecord>(&tags[t]);
            if (!record)
                continue;
            if (record->code == toCode(TagCode::SoundStreamHead)
                || record->code == toCode(TagCode::SoundStreamHead2)) {
                if (auto head = readStreamHead(record->body)) {
                    heads_.push_back(*head);
                    sound.head = static_cast<int>(heads_.size()) - 1;
                }
            } else if (record->code == toCode(TagCode::SoundStreamBlock) && sound.blockTag < 0
                && !record->body.empty()) {
                sound.blockTag = static_cast<int>(t);
            }
        }
        if (sound.blockTag >= 0)
            lastBlock_ = static_cast<int>(f);
        frames_.push_back(sound);
    }
}

const StreamHead* StreamTrack::headAt(int frame) const
{
    if (frame < 0 || frame >= frames() || frames_[frame].head < 0)
        return nullptr;
    return &heads_[frames_[frame].head];
}

std::span<const uint8_t> StreamTrack::blockAt(int frame) const
{
    if (frame < 0 || frame >= frames() || frames_[frame].blockTag < 0)
        return {};
    return std::get<TagRecord>(timeline_.frames[frame].tags[frames_[frame].blockTag]).body;
}

bool StreamTrack::blockFrom(int frame) const
{
    return frame <= lastBlock_;
}

} // namespace swf
