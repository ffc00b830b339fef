#include "WavFileOutput.h"

#include <algorithm>
#include <array>

namespace swf {
namespace {

constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    put16(p, uint16_t(v));
    put16(p + 2, uint16_t(v >> 16));
}

// The RIFF header of 16-bit stereo PCM with `dataBytes` of samples.
std::array<uint8_t, 44> header(uint32_t rate, uint32_t dataBytes)
{
    std::array<uint8_t, 44> h {};
    std::copy_n("RIFF", 4, h.begin());
    put32(&h[4], 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h.begin() + 8);
    put32(&h[16], 16);
    put16(&h[20], 1); // PCM
    put16(&h[22], 2); // channels
    put32(&h[24], rate);
    put32(&h[28], rate * 4); // bytes per second
    put16(&h[32], 4); // bytes per frame
    put16(&h[34], 16); // bits per sample
    std::copy_n("data", 4, h.begin() + 36);
    put32(&h[40], dataBytes);
    return h;
}

} // namespace

WavFileOutput::~WavFileOutput()
{
    close();
}

bool WavFileOutput::open(const std::string& path)
{
    close();
    failed_ = false;
    dataBytes_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        return false;
    const auto h = header(uint32_t(sampleRate()), 0);
    failed_ = std::fwrite(h.data(), 1, h.size(), file_) != h.size();
    return !failed_;
}

void WavFileOutput::write(std::span<const int16_t> samples)
{
    if (!file_ || failed_)
        return;
    const uint64_t room = (kMaxDataBytes - dataBytes_) / 4 * 2;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(samples.size() / 2 * 2, room));
    if (count == 0)
        return; // nothing to write, and no buffer to hand to fwrite
    std::vector<uint8_t> bytes(count * 2);
    for (size_t i = 0; i < count; ++i)
        put16(&bytes[i * 2], uint16_t(samples[i]));
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    dataBytes_ += bytes.size();
}

bool WavFileOutput::close()
{
    if (!file_)
        return !failed_;
    const auto h = header(uint32_t(sampleRate()), uint32_t(dataBytes_));
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h.data(), 1, h.size(), file_) != h.size())
        failed_ = true;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
    return !failed_;
}

} // namespace swf
