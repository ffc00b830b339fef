#include "RecordingSoundOutput.h"

namespace swf {

void RecordingSoundOutput::stop(const SoundSource& source)
{
    if (source_.get() == &source)
        source_.reset();
}

void RecordingSoundOutput::write(std::span<const int16_t> samples)
{
    samples_.insert(samples_.end(), samples.begin(), samples.end());
}

void RecordingSoundOutput::play(size_t frames)
{
    const size_t first = samples_.size();
    samples_.resize(first + frames * 2, 0);
    if (source_)
        source_->render(std::span<int16_t>(samples_).subspan(first));
}

} // namespace swf
