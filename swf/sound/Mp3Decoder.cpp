#include "Decoders.h"

#include <mpg123.h>

namespace swf {
namespace {

// MP3 through libmpg123, fed as the data comes. Its output is always stereo floats, at
// the rate the MP3 frames give (which need not be the one the tag claims).
class Mp3Decoder final : public SoundDecoder {
public:
    explicit Mp3Decoder(const SoundFormat& format)
        : rate_(format.sampleRate())
    {
        handle_ = mpg123_new(nullptr, nullptr);
        if (!handle_)
            return;
        mpg123_param(handle_, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT | MPG123_QUIET, 0);
        // The stream is raw frames: no tags or gapless information to look for beyond
        // what the frames carry, and no resampling of mpg123's own.
        if (mpg123_open_feed(handle_) != MPG123_OK) {
            mpg123_delete(handle_);
            handle_ = nullptr;
        }
    }
    ~Mp3Decoder() override
    {
        if (handle_)
            mpg123_delete(handle_);
    }

    void push(std::span<const uint8_t> unit) override
    {
        if (handle_ && !unit.empty())
            needsInput_ = mpg123_feed(handle_, unit.data(), unit.size()) != MPG123_OK;
    }

    size_t decode(std::vector<float>& out, size_t frames) override
    {
        if (!handle_) {
            needsInput_ = true;
            return 0;
        }
        if (pendingRate_) {
            rate_ = pendingRate_;
            pendingRate_ = 0;
        }
        size_t added = 0;
        // Format changes and damaged frames each end one read; the loop is bounded so
        // that junk that mpg123 keeps resyncing on cannot hold the caller.
        for (int reads = 0; added < frames && reads < 64; ++reads) {
            const size_t want = (frames - added) * 2;
            const size_t first = out.size();
            out.resize(first + want);
            size_t bytes = 0;
            const int status = mpg123_read(handle_, out.data() + first, want * sizeof(float), &bytes);
            out.resize(first + bytes / sizeof(float) / 2 * 2);
            added += bytes / sizeof(float) / 2;
            if (status == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0;
                int encoding = 0;
                if (mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK && rate > 0) {
                    // Frames at a new rate wait for the next call, after those at the old.
                    if (added > 0 && double(rate) != rate_) {
                        pendingRate_ = double(rate);
                        break;
                    }
                    rate_ = double(rate);
                }
                continue;
            }
            if (status == MPG123_NEED_MORE || status == MPG123_DONE) {
                needsInput_ = true;
                break;
            }
            if (status == MPG123_OK || bytes > 0) {
                errors_ = 0;
            } else if (++errors_ > 8) {
                // Data mpg123 cannot make sense of: what was given is dropped.
                needsInput_ = true;
                break;
            }
        }
        return added;
    }

    bool needsInput() const override { return needsInput_ && !pendingRate_; }
    double rate() const override { return rate_; }
    int channels() const override { return 2; }

private:
    mpg123_handle* handle_ = nullptr;
    double rate_;
    double pendingRate_ = 0;
    bool needsInput_ = true;
    int errors_ = 0;
};

} // namespace

std::unique_ptr<SoundDecoder> makeMp3Decoder(const SoundFormat& format)
{
    return std::make_unique<Mp3Decoder>(format);
}

} // namespace swf
