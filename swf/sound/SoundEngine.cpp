#include "SoundEngine.h"

#include "ScriptSound.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace swf {
namespace {

// The slot of DefineButtonSound that a change of a button's state plays: 0 over to up,
// 1 up to over, 2 over to down, 3 down to over. A press dragged off and back counts as
// leaving and entering the down state.
std::optional<size_t> buttonSoundSlot(ButtonTransition transition)
{
    switch (transition) {
    case ButtonTransition::OverUpToIdle:
    case ButtonTransition::OutDownToIdle:
    case ButtonTransition::OverDownToIdle:
        return 0;
    case ButtonTransition::IdleToOverUp:
        return 1;
    case ButtonTransition::OverUpToOverDown:
    case ButtonTransition::OutDownToOverDown:
    case ButtonTransition::IdleToOverDown:
        return 2;
    case ButtonTransition::OverDownToOverUp:
        return 3;
    case ButtonTransition::OverDownToOutDown:
        break;
    }
    return std::nullopt;
}

const TagRecord* recordOf(const ControlTag& tag, TagCode code)
{
    const auto* record = std::get_if<TagRecord>(&tag);
    return record && record->code == toCode(code) ? record : nullptr;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// A feed's runs, each a stream voice of its own in the mixer.
class MixerFeed final : public SoundFeed {
public:
    MixerFeed(std::shared_ptr<Mixer> mixer, std::shared_ptr<VoiceId> ids, std::shared_ptr<const bool> held)
        : mixer_(std::move(mixer))
        , ids_(std::move(ids))
        , held_(std::move(held))
    {
    }
    ~MixerFeed() override { stop(); }

    void start(const SoundFormat& format) override
    {
        stop();
        voice_ = (*ids_)++;
        status_ = mixer_->start(voice_, std::make_unique<StreamVoice>(format, 0, 0), {});
    }
    void push(std::vector<uint8_t> unit) override
    {
        if (voice_ == 0)
            return;
        auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(unit));
        mixer_->push(voice_, { bytes, *bytes, 0 });
    }
    void finish() override
    {
        if (voice_ != 0)
            mixer_->finish(voice_);
    }
    void stop() override
    {
        if (voice_ != 0)
            mixer_->stop(voice_);
        voice_ = 0;
        status_.reset();
    }
    bool playing() const override { return status_ && !status_->ended; }
    bool held() const override { return *held_; }

private:
    std::shared_ptr<Mixer> mixer_;
    std::shared_ptr<VoiceId> ids_;
    std::shared_ptr<const bool> held_;
    VoiceId voice_ = 0;
    std::shared_ptr<VoiceStatus> status_;
};

} // namespace

std::optional<uint16_t> exportedCharacter(const Movie& movie, std::string_view name)
{
    std::optional<uint16_t> found;
    for (const Frame& frame : movie.timeline.frames) {
        for (const ControlTag& tag : frame.tags) {
            const TagRecord* record = recordOf(tag, TagCode::ExportAssets);
            if (!record)
                record = recordOf(tag, TagCode::SymbolClass);
            if (!record)
                continue;
            for (const NamedCharacter& named : readCharacterNames(record->body)) {
                if (named.name == name)
                    return named.id;
                if (!found && sameName(named.name, name))
                    found = named.id;
            }
        }
    }
    return found;
}

SoundEngine::SoundEngine(Stage& stage, const Services& services, double frameRate)
    : stage_(stage)
    , services_(services)
    , output_(services.sound)
    , frameRate_(frameRate > 0 ? frameRate : 12.0)
    , mixer_(std::make_shared<Mixer>())
{
    stage_.addObserver(this);
    if (output_.pulls())
        output_.start(mixer_);
}

SoundEngine::~SoundEngine()
{
    stage_.removeObserver(this);
    if (output_.pulls())
        output_.stop(*mixer_);
    for (ScriptSound* sound : scriptSounds_)
        sound->engine_ = nullptr;
}

// ---- The player's side ---------------------------------------------------------------------

void SoundEngine::frameShown()
{
    if (paused_ && stage_.root().isPlaying())
        resume();
    settleStreams();
    letGoEnded();
    if (output_.pulls())
        return;
    // The sound of tick n lasts from n / rate to (n + 1) / rate seconds.
    const auto at = [this](uint64_t tick) { return std::llround(double(tick) * kMixRate / frameRate_); };
    const size_t frames = static_cast<size_t>(at(periods_ + 1) - at(periods_));
    ++periods_;
    periodSamples_.resize(frames * 2);
    mixer_->render(periodSamples_);
    output_.write(periodSamples_);
}

std::optional<StreamLead> SoundEngine::lead()
{
    if (!output_.pulls() || paused_)
        return std::nullopt;
    settleStreams();
    // The oldest stream leads; one that has played to its end still does until the
    // timeline has caught up with its last frame.
    const Stream* leader = nullptr;
    for (const Stream& stream : streams_) {
        if (!leader || stream.startTick < leader->startTick)
            leader = &stream;
    }
    if (!leader)
        return std::nullopt;
    const int64_t played = static_cast<int64_t>(leader->status->played.load(std::memory_order_relaxed));
    const int64_t heard = std::max<int64_t>(0, played - output_.latencyFrames());
    const double ticks = double(heard) * frameRate_ / kMixRate;
    const double whole = std::floor(ticks);
    return StreamLead { leader->startTick + static_cast<uint64_t>(whole),
        std::chrono::nanoseconds(std::llround((ticks - whole) / frameRate_ * 1e9)) };
}

void SoundEngine::pause()
{
    if (paused_)
        return;
    paused_ = true;
    *feedsHeld_ = true;
    mixer_->setPaused(true);
    while (!streams_.empty())
        stopStream(streams_.begin());
}

void SoundEngine::resume()
{
    if (!paused_)
        return;
    paused_ = false;
    *feedsHeld_ = false;
    mixer_->setPaused(false);
}

void SoundEngine::stopAll()
{
    mixer_->stopAll();
    for (Playing& playing : playing_)
        playing.stopping = true;
    while (!streams_.empty())
        stopStream(streams_.begin());
}

// ---- What the stage says ---------------------------------------------------------------------

void SoundEngine::frameEntered(MovieClip& clip, const Frame& frame)
{
    entered_.emplace_back(clip.id(), clip.currentFrame());
    for (const ControlTag& tag : frame.tags) {
        if (const TagRecord* record = recordOf(tag, TagCode::StartSound)) {
            // A damaged record is skipped; the frame goes on.
            if (auto start = readStartSound(record->body))
                startEvent(clip.movie(), *start, groupsOf(&clip));
        } else if (const TagRecord* record = recordOf(tag, TagCode::StartSound2)) {
            if (auto start = readStartSound2(record->body)) {
                if (auto id = exportedCharacter(clip.movie(), start->className))
                    startEvent(clip.movie(), { *id, start->info }, groupsOf(&clip));
            }
        }
    }
}

void SoundEngine::objectRemoved(DisplayObject& object)
{
    const ObjectId id = object.id();
    auto it = std::find_if(streams_.begin(), streams_.end(), [id](const Stream& s) { return s.clip == id; });
    if (it != streams_.end())
        stopStream(it);
    if (transforms_.erase(id))
        mixer_->clearGains(id);
}

void SoundEngine::buttonTransition(DisplayObject& button, ButtonTransition transition)
{
    const MovieClip* parent = button.parent();
    const auto slot = buttonSoundSlot(transition);
    if (!parent || !slot)
        return;
    auto tags = parent->movie().characterTags.find(button.characterId());
    if (tags == parent->movie().characterTags.end())
        return;
    for (const TagRecord& record : tags->second) {
        // The record is the whole tag: the button's id, then its sounds.
        if (record.code != toCode(TagCode::DefineButtonSound) || record.body.size() < 2)
            continue;
        const ButtonSounds sounds = readButtonSounds(std::span(record.body).subspan(2));
        if (const auto& start = sounds.byChange[*slot])
            startEvent(parent->movie(), *start, groupsOf(&button));
    }
}

// ---- Event sounds --------------------------------------------------------------------------

VoiceId SoundEngine::startEvent(
    const Movie& movie, const StartSoundRecord& start, std::vector<SoundGroup> groups)
{
    auto it = movie.dictionary.find(start.soundId);
    if (it == movie.dictionary.end() || it->second->tagCode != toCode(TagCode::DefineSound))
        return 0;
    const std::shared_ptr<const Character>& character = it->second;
    auto definition = readSoundDefinition(character->body);
    if (!definition)
        return 0;
    const SoundData data { character, definition->format, definition->sampleCount, definition->seekSamples,
        definition->data };
    return play(character.get(), data, start.info, std::move(groups), nullptr);
}

VoiceId SoundEngine::play(
    const void* sound, SoundData data, const SoundInfo& info, std::vector<SoundGroup> groups, ScriptSound* by)
{
    if (info.syncStop) {
        stopSounds(0, sound);
        return 0;
    }
    letGoEnded();
    const bool playing = std::any_of(playing_.begin(), playing_.end(),
        [sound](const Playing& p) { return p.sound == sound && !p.stopping && !p.status->ended; });
    if (paused_ || (info.syncNoMultiple && playing))
        return 0;
    const VoiceId id = (*nextVoice_)++;
    auto status = mixer_->start(id, std::make_unique<EventVoice>(std::move(data), info), groups);
    playing_.push_back({ id, sound, std::move(status), std::move(groups), by });
    return id;
}

void SoundEngine::stopSounds(SoundGroup group, const void* sound)
{
    for (Playing& playing : playing_) {
        const bool inGroup = group == 0
            || std::find(playing.groups.begin(), playing.groups.end(), group) != playing.groups.end();
        if (inGroup && (!sound || playing.sound == sound) && !playing.stopping) {
            playing.stopping = true;
            mixer_->stop(playing.id);
        }
    }
    if (sound)
        return;
    std::vector<VoiceId> stops;
    for (const Stream& stream : streams_) {
        const std::vector<SoundGroup> groups = groupsOf(stage_.find(stream.clip));
        if (group == 0 || std::find(groups.begin(), groups.end(), group) != groups.end())
            stops.push_back(stream.voice);
    }
    for (VoiceId voice : stops)
        stopStream(std::find_if(
            streams_.begin(), streams_.end(), [voice](const Stream& s) { return s.voice == voice; }));
}

void SoundEngine::letGoEnded()
{
    std::vector<std::pair<ScriptSound*, VoiceId>> completed;
    std::erase_if(playing_, [&](const Playing& p) {
        if (!p.status->ended)
            return false;
        if (p.by && !p.stopping)
            completed.emplace_back(p.by, p.id);
        return true;
    });
    for (auto [sound, id] : completed) {
        // A handler may drop Sound objects: only those still known are told.
        if (std::find(scriptSounds_.begin(), scriptSounds_.end(), sound) != scriptSounds_.end())
            sound->voiceEnded(id);
    }
}

std::vector<SoundGroup> SoundEngine::groupsOf(const DisplayObject* object) const
{
    std::vector<SoundGroup> groups;
    for (; object; object = object->parent())
        groups.push_back(object->id());
    return groups;
}

size_t SoundEngine::playingCount() const
{
    size_t count = 0;
    for (const Playing& playing : playing_)
        count += playing.status->ended ? 0 : 1;
    for (const Stream& stream : streams_)
        count += stream.status->ended ? 0 : 1;
    return count;
}

// ---- Stream sound ----------------------------------------------------------------------------

StreamTrack& SoundEngine::trackOf(const Timeline& timeline)
{
    auto& track = tracks_[&timeline];
    if (!track)
        track = std::make_unique<StreamTrack>(timeline);
    track->update();
    return *track;
}

// Streams follow their clips: a clip that goes on to its next frame keeps its stream; a
// jump starts it again where the clip now stands; a clip that stops or goes stops it.
void SoundEngine::settleStreams()
{
    std::vector<std::pair<ObjectId, int>> entered;
    entered.swap(entered_);
    for (auto [id, frame] : entered) {
        DisplayObject* object = stage_.find(id);
        MovieClip* clip = object ? object->asMovieClip() : nullptr;
        if (!clip)
            continue;
        auto it
            = std::find_if(streams_.begin(), streams_.end(), [id](const Stream& s) { return s.clip == id; });
        if (it != streams_.end()) {
            if (frame == it->nextFrame) {
                it->nextFrame = frame + 1;
                continue;
            }
            stopStream(it);
        }
        startStream(*clip, frame);
    }
    for (auto it = streams_.begin(); it != streams_.end();) {
        DisplayObject* object = stage_.find(it->clip);
        MovieClip* clip = object ? object->asMovieClip() : nullptr;
        const uint64_t played = it->status->played.load(std::memory_order_relaxed);
        const bool over = it->status->ended
            && stage_.tick() >= it->startTick + static_cast<uint64_t>(double(played) * frameRate_ / kMixRate);
        if (!clip || !clip->isPlaying() || over) {
            stopStream(it);
            it = streams_.begin();
            continue;
        }
        queueAhead(*it, *clip);
        ++it;
    }
}

void SoundEngine::startStream(MovieClip& clip, int frame)
{
    if (paused_ || !clip.isPlaying())
        return;
    StreamTrack& track = trackOf(clip.timeline());
    const StreamHead* head = track.headAt(frame);
    if (!head || !track.hasBlock(frame))
        return;
    uint32_t skip = 0;
    if (head->stream.coding() == SoundCodec::Mp3) {
        if (auto block = readMp3StreamBlock(track.blockAt(frame)))
            skip = static_cast<uint32_t>(std::max<int>(0, block->seekSamples));
    }
    const VoiceId id = (*nextVoice_)++;
    auto status = mixer_->start(
        id, std::make_unique<StreamVoice>(head->stream, head->sampleCount, skip), groupsOf(&clip));
    Stream stream { clip.id(), &track, id, std::move(status), frame + 1, frame, frame, stage_.tick(),
        head->stream.sampleRate() / frameRate_ };
    streams_.push_back(std::move(stream));
    queueAhead(streams_.back(), clip);
}

void SoundEngine::queueAhead(Stream& stream, const MovieClip& clip)
{
    const StreamTrack& track = *stream.track;
    const int ahead = std::max(2, static_cast<int>(std::ceil(frameRate_ * kLookAheadSeconds)));
    const int until
        = std::min(track.frames(), std::max(clip.currentFrame(), stream.nextFrame - 1) + ahead + 1);
    // The whole timeline is known once its movie is complete (a sprite always is).
    const bool whole = &clip.timeline() != &clip.movie().timeline || clip.movie().complete;
    const bool mp3 = track.headAt(stream.firstFrame)->stream.coding() == SoundCodec::Mp3;
    while (!stream.finished && stream.queuedTo < until) {
        const int frame = stream.queuedTo;
        std::span<const uint8_t> block = track.blockAt(frame);
        if (!block.empty()) {
            if (mp3) {
                auto parsed = readMp3StreamBlock(block);
                block = parsed ? parsed->frames : std::span<const uint8_t> {};
            }
            auto bytes = std::make_shared<const std::vector<uint8_t>>(block.begin(), block.end());
            mixer_->push(stream.voice, { bytes, *bytes, 0 });
        } else if (track.blockFrom(frame)) {
            // A frame without a block inside the stream: its time passes in silence.
            const auto at
                = [&](int f) { return std::llround((f - stream.firstFrame) * stream.sourceFramesPerFrame); };
            const auto frames = static_cast<uint32_t>(std::max<long long>(0, at(frame + 1) - at(frame)));
            if (frames > 0)
                mixer_->push(stream.voice, { nullptr, {}, frames });
        } else {
            break; // past the last block: the end, or frames still to come
        }
        ++stream.queuedTo;
    }
    if (!stream.finished && whole && !track.blockFrom(stream.queuedTo)) {
        mixer_->finish(stream.voice);
        stream.finished = true;
    }
}

void SoundEngine::stopStream(std::vector<Stream>::iterator it)
{
    mixer_->stop(it->voice);
    streams_.erase(it);
}

// ---- Scripts -----------------------------------------------------------------------------------

SoundTransform SoundEngine::soundTransform(SoundGroup group) const
{
    auto it = transforms_.find(group);
    return it == transforms_.end() ? SoundTransform {} : it->second;
}

void SoundEngine::setSoundTransform(SoundGroup group, const SoundTransform& transform)
{
    transforms_[group] = transform;
    mixer_->setGains(group, transform.gains());
}

std::unique_ptr<SoundFeed> SoundEngine::openFeed()
{
    return std::make_unique<MixerFeed>(mixer_, nextVoice_, feedsHeld_);
}

void SoundEngine::forget(ScriptSound* sound)
{
    std::erase(scriptSounds_, sound);
    for (Playing& playing : playing_) {
        if (playing.by == sound)
            playing.by = nullptr;
    }
}

} // namespace swf
