#include "BitWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace swf {

void BitWriter::align()
{
    m_bit = 0;
}

void BitWriter::u8(uint8_t v)
{
    align();
    m_out.push_back(v);
}

void BitWriter::u16(uint16_t v)
{
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
}

void BitWriter::u32(uint32_t v)
{
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
}

void BitWriter::fixed8(double v)
{
    long raw = std::clamp(std::lround(v * 256.0), -32768L, 32767L);
    u16(uint16_t(int16_t(raw)));
}

void BitWriter::ufixed8(double v)
{
    u16(uint16_t(std::clamp(std::lround(v * 256.0), 0L, 65535L)));
}

void BitWriter::fixed16(double v)
{
    double raw = std::clamp(std::round(v * 65536.0), -2147483648.0, 2147483647.0);
    u32(uint32_t(int32_t(raw)));
}

void BitWriter::f32(float v)
{
    u32(std::bit_cast<uint32_t>(v));
}

void BitWriter::ub(uint32_t value, unsigned bits)
{
    for (unsigned i = bits; i-- > 0;) {
        if (m_bit == 0)
            m_out.push_back(0);
        if ((uint64_t(value) >> i) & 1)
            m_out.back() |= uint8_t(0x80 >> m_bit);
        m_bit = (m_bit + 1) & 7;
    }
}

void BitWriter::sb(int32_t value, unsigned bits)
{
    ub(static_cast<uint32_t>(value), bits);
}

void BitWriter::string(std::string_view s)
{
    align();
    m_out.insert(m_out.end(), s.begin(), s.end());
    m_out.push_back(0);
}

void BitWriter::bytes(std::span<const uint8_t> data)
{
    align();
    m_out.insert(m_out.end(), data.begin(), data.end());
}

unsigned BitWriter::unsignedBits(uint32_t value)
{
    return unsigned(std::bit_width(value));
}

unsigned BitWriter::signedBits(int32_t value)
{
    if (value == 0)
        return 0;
    uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    return unsigned(std::bit_width(magnitude)) + 1;
}

std::vector<uint8_t> BitWriter::take()
{
    align();
    return std::move(m_out);
}

int32_t clampSb31(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, -kMaxSb31 - 1, kMaxSb31));
}

int32_t toFixed16(double value)
{
    double raw = std::round(value * 65536.0);
    if (!(raw == raw)) // NaN
        return 0;
    return clampSb31(int64_t(std::clamp(raw, -4e9, 4e9)));
}

} // namespace swf
