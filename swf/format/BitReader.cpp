#include "BitReader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace swf {

void BitReader::setOverrun()
{
    m_overrun = true;
    m_pos = m_data.size();
    m_bit = 0;
}

void BitReader::align()
{
    if (m_bit != 0) {
        m_bit = 0;
        ++m_pos;
    }
}

// Aligns, then checks that `count` whole bytes are there.
bool BitReader::take(size_t count)
{
    align();
    if (count > remaining()) {
        setOverrun();
        return false;
    }
    return true;
}

uint8_t BitReader::u8()
{
    if (!take(1))
        return 0;
    return m_data[m_pos++];
}

uint16_t BitReader::u16()
{
    if (!take(2))
        return 0;
    uint16_t v = uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

uint32_t BitReader::u32()
{
    if (!take(4))
        return 0;
    const uint8_t* p = m_data.data() + m_pos;
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    m_pos += 4;
    return v;
}

double BitReader::fixed8()
{
    return s16() / 256.0;
}

double BitReader::ufixed8()
{
    return u16() / 256.0;
}

double BitReader::fixed16()
{
    return s32() / 65536.0;
}

float BitReader::f16()
{
    uint16_t h = u16();
    int sign = (h & 0x8000) ? -1 : 1;
    int exponent = (h >> 10) & 0x1f;
    int mantissa = h & 0x3ff;
    if (exponent == 0)
        return float(sign * std::ldexp(double(mantissa), -24));
    if (exponent == 31)
        return mantissa ? NAN : sign * INFINITY;
    return float(sign * std::ldexp(double(mantissa | 0x400), exponent - 25));
}

float BitReader::f32()
{
    return std::bit_cast<float>(u32());
}

double BitReader::f64()
{
    uint64_t high = u32();
    uint64_t low = u32();
    return std::bit_cast<double>(high << 32 | low);
}

uint32_t BitReader::ub(unsigned bits)
{
    if (bits == 0)
        return 0;
    if (bits > 32 || bits > remainingBits()) {
        setOverrun();
        return 0;
    }
    if (remaining() >= 8) {
        // Fast path: the field lies within the next eight bytes (at most 7 + 32 bits).
        uint64_t word;
        std::memcpy(&word, m_data.data() + m_pos, sizeof word);
        if constexpr (std::endian::native == std::endian::little)
            word = std::byteswap(word);
        uint64_t value = (word << m_bit) >> (64 - bits);
        m_bit += bits;
        m_pos += m_bit / 8;
        m_bit %= 8;
        return uint32_t(value);
    }
    uint64_t value = 0;
    while (bits > 0) {
        unsigned available = 8 - m_bit;
        unsigned n = bits < available ? bits : available;
        unsigned shift = available - n;
        value = (value << n) | ((m_data[m_pos] >> shift) & ((1u << n) - 1));
        bits -= n;
        m_bit += n;
        if (m_bit == 8) {
            m_bit = 0;
            ++m_pos;
        }
    }
    return uint32_t(value);
}

int32_t BitReader::sb(unsigned bits)
{
    uint32_t raw = ub(bits);
    if (bits == 0 || bits >= 32)
        return static_cast<int32_t>(raw);
    uint32_t sign = 1u << (bits - 1);
    // Sign-extend by hand: shifting a negative value would be implementation-defined
    // territory that UBSan rightly flags.
    return static_cast<int32_t>((raw ^ sign) - sign);
}

double BitReader::fb(unsigned bits)
{
    return sb(bits) / 65536.0;
}

std::string BitReader::string()
{
    align();
    auto rest = m_data.subspan(m_pos);
    // memchr must not be given the null pointer of an empty span, even for no bytes.
    const void* nul = rest.empty() ? nullptr : std::memchr(rest.data(), 0, rest.size());
    if (nul == nullptr) {
        setOverrun();
        return {};
    }
    size_t length = static_cast<const uint8_t*>(nul) - rest.data();
    std::string s(reinterpret_cast<const char*>(rest.data()), length);
    m_pos += length + 1;
    return s;
}

uint32_t BitReader::encodedU32()
{
    uint32_t value = 0;
    for (unsigned i = 0; i < 5; ++i) {
        uint8_t byte = u8();
        value |= uint32_t(byte & 0x7f) << (7 * i);
        if ((byte & 0x80) == 0)
            break;
    }
    return value;
}

std::span<const uint8_t> BitReader::bytes(size_t count)
{
    if (!take(count))
        return {};
    auto view = m_data.subspan(m_pos, count);
    m_pos += count;
    return view;
}

std::span<const uint8_t> BitReader::rest()
{
    align();
    auto view = m_data.subspan(std::min(m_pos, m_data.size()));
    m_pos = m_data.size();
    return view;
}

} // namespace swf
