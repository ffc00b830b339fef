#pragma once

#include "swf/player/Services.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace swf {

// Writes the sound it is given into a WAV file (16-bit stereo PCM at the output's rate)
// as it comes, so that a long run holds no sound in memory. The sizes in the header are
// put right by close(); a file that would pass the format's 4 GiB takes no more.
class WavFileOutput final : public SoundOutput {
public:
    WavFileOutput() = default;
    ~WavFileOutput() override;
    WavFileOutput(const WavFileOutput&) = delete;
    WavFileOutput& operator=(const WavFileOutput&) = delete;

    // Creates (or empties) the file. False when it cannot be written.
    bool open(const std::string& path);
    void write(std::span<const int16_t> samples) override;
    // Finishes the header and closes the file. False when writing failed anywhere.
    bool close();
    uint64_t framesWritten() const { return dataBytes_ / 4; }

private:
    std::FILE* file_ = nullptr;
    uint64_t dataBytes_ = 0;
    bool failed_ = false;
};

} // namespace swf
