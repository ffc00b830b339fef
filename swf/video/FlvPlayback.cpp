#include "FlvPlayback.h"

#include <algorithm>

namespace swf {
namespace {

// More than this is no FLV a movie plays: the bytes stop being kept.
constexpr size_t kMaxFileBytes = size_t(512) << 20;

} // namespace

FlvPlayback::FlvPlayback() = default;

void FlvPlayback::append(std::span<const uint8_t> bytes, std::optional<size_t> total)
{
    if (state_ == State::Failed || complete_)
        return;
    if (total)
        total_ = total;
    const size_t room = kMaxFileBytes - std::min(kMaxFileBytes, bytes_.size());
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + long(std::min(room, bytes.size())));
    readTags();
}

void FlvPlayback::finish()
{
    if (state_ == State::Failed)
        return;
    complete_ = true;
    total_ = bytes_.size();
    if (!reader_) {
        notFound();
        return;
    }
    readTags();
}

void FlvPlayback::notFound()
{
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    status("NetStream.Play.StreamNotFound", "error");
}

void FlvPlayback::readTags()
{
    if (!reader_) {
        const auto header = readFlvHeader(bytes_);
        if (!header) {
            if (bytes_.size() >= 9
                || (bytes_.size() >= 3 && (bytes_[0] != 'F' || bytes_[1] != 'L' || bytes_[2] != 'V')))
                notFound();
            return;
        }
        reader_.emplace(*header);
        state_ = State::Buffering;
        status("NetStream.Play.Start");
    }
    while (const auto tag = reader_->next(bytes_)) {
        const size_t offset = size_t(tag->data.data() - bytes_.data());
        if (tag->type == uint8_t(FlvTagType::Video)) {
            const auto video = readFlvVideo(tag->data);
            if (!video || !isKnownVideoCodec(video->codec) || video->frameType == 5)
                continue;
            if (!videoOptions_) {
                VideoDecoder::Options options;
                options.codec = VideoCodec(video->codec);
                if (video->vp6Adjustment) {
                    options.cropRight = *video->vp6Adjustment >> 4;
                    options.cropBottom = *video->vp6Adjustment & 0x0F;
                }
                videoOptions_ = options;
                video_ = std::make_unique<VideoPlayback>(options);
            }
            if (uint8_t(videoOptions_->codec) != video->codec)
                continue;
            const size_t packetOffset = size_t(video->packet.data() - bytes_.data());
            videos_.push_back({ tag->timeMs, packetOffset, video->packet.size(), video->key() });
        } else if (tag->type == uint8_t(FlvTagType::Script)) {
            data_.push_back({ tag->timeMs, offset, tag->data.size() });
        }
    }
}

void FlvPlayback::status(const char* code, const char* level)
{
    events_.push_back({ Event::Kind::Status, code, level, {} });
}

uint32_t FlvPlayback::lastTimeMs() const
{
    uint32_t last = 0;
    if (!videos_.empty())
        last = videos_.back().timeMs;
    if (!data_.empty())
        last = std::max(last, data_.back().timeMs);
    return last;
}

double FlvPlayback::bufferLength() const
{
    if (state_ == State::Failed || state_ == State::Waiting)
        return 0;
    return std::max(0.0, (double(lastTimeMs()) - timeMs_) / 1000.0);
}

void FlvPlayback::dispatchData(double toMs)
{
    while (dataSent_ < data_.size() && data_[dataSent_].timeMs <= toMs) {
        const DataEntry& d = data_[dataSent_++];
        if (auto call = readAmfCall(std::span(bytes_).subspan(d.offset, d.size)))
            events_.push_back({ Event::Kind::Data, std::move(call->name), {}, std::move(call->argument) });
    }
}

void FlvPlayback::advance(double ms)
{
    if (state_ == State::Waiting || state_ == State::Failed || state_ == State::Ended)
        return;
    if (state_ == State::Buffering) {
        if (!complete_ && bufferLength() < bufferTime_)
            return;
        state_ = State::Playing;
        status("NetStream.Buffer.Full");
        if (!started_) {
            started_ = true;
            dispatchData(timeMs_);
        }
        return;
    }
    if (paused_)
        return;
    const double from = timeMs_;
    timeMs_ += std::max(0.0, ms);
    if (timeMs_ >= lastTimeMs()) {
        if (complete_) {
            timeMs_ = std::max(from, double(lastTimeMs()));
            dispatchData(timeMs_);
            state_ = State::Ended;
            status("NetStream.Play.Stop");
            status("NetStream.Buffer.Empty");
            return;
        }
        // Played all that arrived: wait for more.
        timeMs_ = std::max(from, double(lastTimeMs()));
        dispatchData(timeMs_);
        state_ = State::Buffering;
        status("NetStream.Buffer.Empty");
        return;
    }
    dispatchData(timeMs_);
}

void FlvPlayback::seek(double seconds)
{
    if (state_ == State::Failed || state_ == State::Waiting)
        return;
    const double target = std::clamp(seconds * 1000, 0.0, double(lastTimeMs()));
    // To the key frame at or before the target.
    double landing = 0;
    for (const VideoEntry& v : videos_) {
        if (v.timeMs > target)
            break;
        if (v.key)
            landing = v.timeMs;
    }
    if (videos_.empty())
        landing = target;
    timeMs_ = landing;
    // The script data after the new time is told again when reached.
    dataSent_ = size_t(std::ranges::count_if(data_, [&](const DataEntry& d) { return d.timeMs < landing; }));
    if (state_ == State::Ended)
        state_ = State::Playing;
    status("NetStream.Seek.Notify");
}

int FlvPlayback::frameAt(double ms) const
{
    // The last video packet at or before the time.
    const auto it = std::upper_bound(videos_.begin(), videos_.end(), ms,
        [](double t, const VideoEntry& v) { return t < double(v.timeMs); });
    return int(it - videos_.begin()) - 1;
}

std::shared_ptr<const QImage> FlvPlayback::picture()
{
    if (!video_ || state_ == State::Failed)
        return nullptr;
    const int frame = frameAt(timeMs_);
    return video_->frame(frame, [this](int n) -> std::optional<VideoPacket> {
        if (n < 0 || size_t(n) >= videos_.size())
            return std::nullopt;
        const VideoEntry& v = videos_[size_t(n)];
        return VideoPacket { std::span(bytes_).subspan(v.offset, v.size), v.key };
    });
}

std::vector<FlvPlayback::Event> FlvPlayback::takeEvents()
{
    return std::exchange(events_, {});
}

} // namespace swf
