#include "ScriptSound.h"

#include "Mp3Probe.h"
#include "SoundEngine.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/player/MovieLoader.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// A loaded MP3's format as the sound tags would give it: only the coding counts, the
// decoder learns the rest from the frames.
SoundFormat mp3Format()
{
    return SoundFormat { static_cast<uint8_t>(SoundCodec::Mp3), 3, true, true };
}

} // namespace

std::unique_ptr<ScriptSound> SoundEngine::createSound(DisplayObject* target)
{
    std::unique_ptr<ScriptSound> sound(new ScriptSound(*this, target));
    scriptSounds_.push_back(sound.get());
    return sound;
}

ScriptSound::ScriptSound(SoundEngine& engine, DisplayObject* target)
    : engine_(&engine)
    , target_(target ? target->id() : 0)
{
}

ScriptSound::~ScriptSound()
{
    if (engine_)
        engine_->forget(this);
}

const Movie* ScriptSound::movie() const
{
    if (!engine_)
        return nullptr;
    DisplayObject* target = target_ ? engine_->stage_.find(target_) : nullptr;
    for (; target; target = target->parent()) {
        if (const MovieClip* clip = target->asMovieClip())
            return &clip->movie();
    }
    return &engine_->stage_.movie();
}

bool ScriptSound::attachSound(std::string_view exportName)
{
    const Movie* from = movie();
    const auto id = from ? exportedCharacter(*from, exportName) : std::nullopt;
    return id && attachCharacter(*id);
}

bool ScriptSound::attachCharacter(uint16_t characterId)
{
    const Movie* from = movie();
    if (!from)
        return false;
    auto it = from->dictionary.find(characterId);
    if (it == from->dictionary.end() || it->second->tagCode != toCode(TagCode::DefineSound))
        return false;
    auto definition = readSoundDefinition(it->second->body);
    if (!definition)
        return false;
    attached_ = SoundData { it->second, definition->format, definition->sampleCount, definition->seekSamples,
        definition->data };
    attachedKey_ = it->second.get();
    return true;
}

void ScriptSound::start(double secondOffset, int loops)
{
    if (!engine_ || !attached_)
        return;
    SoundInfo info;
    if (secondOffset > 0 && std::isfinite(secondOffset))
        info.inPoint = static_cast<uint32_t>(std::min(secondOffset * kMixRate, double(UINT32_MAX / 2)));
    info.loopCount = static_cast<uint16_t>(std::clamp(loops, 1, 65535));
    DisplayObject* target = target_ ? engine_->stage_.find(target_) : nullptr;
    const VoiceId id = engine_->play(attachedKey_, *attached_, info, engine_->groupsOf(target), this);
    if (id == 0)
        return;
    last_ = id;
    for (const auto& playing : engine_->playing_) {
        if (playing.id == id)
            lastStatus_ = playing.status;
    }
}

void ScriptSound::stop()
{
    if (engine_)
        engine_->stopSounds(target_);
}

void ScriptSound::stop(std::string_view exportName)
{
    const Movie* from = movie();
    const auto id = from ? exportedCharacter(*from, exportName) : std::nullopt;
    if (!id)
        return;
    auto it = from->dictionary.find(*id);
    if (it != from->dictionary.end())
        engine_->stopSounds(target_, it->second.get());
}

double ScriptSound::volume() const
{
    return transform().volume;
}

void ScriptSound::setVolume(double percent)
{
    SoundTransform t = transform();
    t.volume = std::isfinite(percent) ? percent : 0;
    setTransform(t);
}

double ScriptSound::pan() const
{
    return transform().pan();
}

void ScriptSound::setPan(double pan)
{
    SoundTransform t = transform();
    t.setPan(std::isfinite(pan) ? pan : 0);
    setTransform(t);
}

SoundTransform ScriptSound::transform() const
{
    return engine_ ? engine_->soundTransform(target_) : SoundTransform {};
}

void ScriptSound::setTransform(const SoundTransform& transform)
{
    if (engine_)
        engine_->setSoundTransform(target_, transform);
}

double ScriptSound::positionMs() const
{
    return lastStatus_ ? double(lastStatus_->position.load(std::memory_order_relaxed)) * 1000.0 / kMixRate
                       : 0.0;
}

double ScriptSound::durationMs() const
{
    return attached_ ? double(attached_->frames44()) * 1000.0 / kMixRate : 0.0;
}

void ScriptSound::voiceEnded(VoiceId id)
{
    if (id == streamVoice_)
        streamVoice_ = 0;
    if (id == last_ && listener_)
        listener_->soundCompleted();
}

// ---- Loading ---------------------------------------------------------------------------------

void ScriptSound::loadSound(const QString& url, bool streaming)
{
    if (!engine_)
        return;
    job_.reset();
    if (streamVoice_)
        engine_->mixer_->stop(streamVoice_);
    streamVoice_ = 0;
    file_ = std::make_shared<std::vector<uint8_t>>();
    streaming_ = streaming;
    bytesLoaded_ = 0;
    bytesTotal_ = -1;
    id3_.clear();
    job_ = engine_->services_.loader.open(MovieLocation::resolve(url));
    LoadJob* job = job_.get();
    QObject::connect(job, &LoadJob::received, job,
        [this](const QByteArray& bytes, qint64 total) { received(bytes, total); });
    QObject::connect(job, &LoadJob::finished, job, [this] { loadEnded(true); });
    QObject::connect(job, &LoadJob::failed, job, [this](const QString&) { loadEnded(false); });
}

void ScriptSound::received(const QByteArray& bytes, qint64 total)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    file_->insert(file_->end(), data, data + bytes.size());
    bytesLoaded_ += bytes.size();
    bytesTotal_ = total;
    if (!streaming_ || !engine_ || engine_->paused_)
        return;
    if (!streamVoice_) {
        DisplayObject* target = target_ ? engine_->stage_.find(target_) : nullptr;
        streamVoice_ = (*engine_->nextVoice_)++;
        auto status = engine_->mixer_->start(
            streamVoice_, std::make_unique<StreamVoice>(mp3Format(), 0, 0), engine_->groupsOf(target));
        engine_->playing_.push_back({ streamVoice_, file_.get(), status, engine_->groupsOf(target), this });
        last_ = streamVoice_;
        lastStatus_ = std::move(status);
    }
    auto piece = std::make_shared<const std::vector<uint8_t>>(data, data + bytes.size());
    engine_->mixer_->push(streamVoice_, { piece, *piece, 0 });
}

void ScriptSound::loadEnded(bool success)
{
    job_.release()->deleteLater();
    if (!engine_)
        return;
    if (streamVoice_)
        engine_->mixer_->finish(streamVoice_);
    const Mp3Facts facts = success ? probeMp3(*file_) : Mp3Facts {};
    success = success && facts.valid;
    if (success) {
        SoundFormat format = mp3Format();
        format.stereo = facts.channels == 2;
        const auto frames = static_cast<uint32_t>(std::min<uint64_t>(facts.frames, UINT32_MAX));
        attached_ = SoundData { file_, format, frames, 0, *file_, double(facts.rate) };
        attachedKey_ = file_.get();
        id3_ = facts.id3;
    }
    if (!listener_)
        return;
    if (!id3_.empty())
        listener_->id3Loaded();
    listener_->soundLoaded(success);
}

} // namespace swf
