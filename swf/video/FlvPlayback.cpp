#include "FlvPlayback.h"

#include <algorithm>

namespace swf {
namespace {

// More than this is no FLV a movie plays: the bytes stop being kept.
constexpr size_t kMaxFileBytes = size_t(512) << 20;

// The one coding of audio tags whose format byte says its rate (MP3 at 8 kHz).
constexpr uint8_t kMp3At8k = 14;

// The codings the sound decoders play: PCM, ADPCM, MP3, Nellymoser and AAC.
bool playableSound(uint8_t codec)
{
    return codec <= uint8_t(SoundCodec::Nellymoser) || codec == uint8_t(SoundCodec::Aac);
}

} // namespace

FlvPlayback::FlvPlayback() = default;
FlvPlayback::~FlvPlayback() = default;

void FlvPlayback::setSoundFeed(std::unique_ptr<SoundFeed> feed)
{
    stopSound();
    sound_ = std::move(feed);
}

void FlvPlayback::setPaused(bool paused)
{
    if (paused)
        stopSound();
    paused_ = paused;
}

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
    stopSound();
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
                video_ = VideoPump::start(VideoDecoder::open(options), kFramesAhead);
            }
            if (uint8_t(videoOptions_->codec) != video->codec)
                continue;
            const size_t packetOffset = size_t(video->packet.data() - bytes_.data());
            videos_.push_back({ tag->timeMs, packetOffset, video->packet.size(), video->key() });
        } else if (tag->type == uint8_t(FlvTagType::Script)) {
            data_.push_back({ tag->timeMs, offset, tag->data.size() });
        } else if (tag->type == uint8_t(FlvTagType::Audio)) {
            readAudio(tag->timeMs, tag->data);
        }
    }
}

void FlvPlayback::readAudio(uint32_t timeMs, std::span<const uint8_t> data)
{
    const auto audio = readFlvAudio(data);
    if (!audio || audio->payload.empty())
        return;
    const SoundFormat format { audio->format == kMp3At8k ? uint8_t(SoundCodec::Mp3) : audio->format,
        audio->rateIndex, audio->sixteenBit, audio->stereo };
    if (!audioFormat_ && playableSound(format.codec))
        audioFormat_ = format;
    // One run plays one format: tags of another are skipped.
    if (!audioFormat_ || format != *audioFormat_)
        return;
    if (audio->aacConfig) {
        if (aacConfig_.empty())
            aacConfig_.assign(audio->payload.begin(), audio->payload.end());
        return;
    }
    audio_.push_back({ timeMs, size_t(audio->payload.data() - bytes_.data()), audio->payload.size() });
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
    if (!audio_.empty())
        last = std::max(last, audio_.back().timeMs);
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
    advanceTime(ms);
    feedSound();
    if (video_)
        video_->sendAhead(*this);
}

void FlvPlayback::advanceTime(double ms)
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
    stopSound();
    if (video_)
        video_->restart(frameAt(landing), *this);
    // The script data after the new time is told again when reached.
    dataSent_ = size_t(std::ranges::count_if(data_, [&](const DataEntry& d) { return d.timeMs < landing; }));
    if (state_ == State::Ended)
        state_ = State::Playing;
    status("NetStream.Seek.Notify");
}

void FlvPlayback::feedSound()
{
    const bool moving = started_ && !paused_
        && (state_ == State::Playing || state_ == State::Buffering || (state_ == State::Ended && soundOn_));
    if (!sound_ || !audioFormat_ || !moving)
        return;
    if (sound_->held()) {
        stopSound();
        return;
    }
    const bool aac = audioFormat_->coding() == SoundCodec::Aac;
    // A run the movie stopped (stopAllSounds) starts again from the play time.
    if (soundOn_ && !soundFinished_ && !sound_->playing())
        soundOn_ = false;
    if (!soundOn_) {
        audioSent_ = size_t(std::ranges::lower_bound(audio_, timeMs_, {}, [](const AudioEntry& a) {
            return double(a.timeMs);
        }) - audio_.begin());
        if ((aac && aacConfig_.empty()) || (complete_ && audioSent_ == audio_.size()))
            return;
        sound_->start(*audioFormat_);
        if (aac)
            sound_->push(aacConfig_);
        soundOn_ = true;
        soundFinished_ = false;
    }
    for (; audioSent_ < audio_.size() && audio_[audioSent_].timeMs < timeMs_ + kSoundAheadMs; ++audioSent_) {
        const auto unit = std::span(bytes_).subspan(audio_[audioSent_].offset, audio_[audioSent_].size);
        sound_->push({ unit.begin(), unit.end() });
    }
    if (complete_ && audioSent_ == audio_.size() && !soundFinished_) {
        sound_->finish();
        soundFinished_ = true;
    }
}

void FlvPlayback::stopSound()
{
    if (sound_ && soundOn_)
        sound_->stop();
    soundOn_ = false;
    soundFinished_ = false;
}

int FlvPlayback::frameAt(double ms) const
{
    // The last video packet at or before the time.
    const auto it = std::upper_bound(videos_.begin(), videos_.end(), ms,
        [](double t, const VideoEntry& v) { return t < double(v.timeMs); });
    return int(it - videos_.begin()) - 1;
}

std::optional<VideoPacket> FlvPlayback::packet(int frame) const
{
    if (frame < 0 || size_t(frame) >= videos_.size())
        return std::nullopt;
    const VideoEntry& v = videos_[size_t(frame)];
    return VideoPacket { std::span(bytes_).subspan(v.offset, v.size), v.key };
}

std::shared_ptr<const QImage> FlvPlayback::picture()
{
    if (!video_ || state_ == State::Failed)
        return nullptr;
    return video_->picture(frameAt(timeMs_), *this, waitForPictures_);
}

std::vector<FlvPlayback::Event> FlvPlayback::takeEvents()
{
    return std::exchange(events_, {});
}

} // namespace swf
