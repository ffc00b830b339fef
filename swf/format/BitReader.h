#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace swf {

// Reads the byte and bit fields of SWF records from a span it does not own.
//
// Every read is bounds-checked. A read past the end returns zero (an empty string, an
// empty span), moves the reader to the end and sets a sticky overrun flag, so that a
// record reader can read all its fields straight through and check once at the end,
// the way damaged movies need: what came before the damage stays usable.
//
// Byte-sized reads start on the next byte boundary, as the format requires after a run
// of bit fields; bit fields are read most significant bit first.
class BitReader {
public:
    BitReader() = default;
    explicit BitReader(std::span<const uint8_t> data)
        : m_data(data)
    {
    }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }

    double fixed8(); // signed 8.8 in 16 bits
    double ufixed8(); // unsigned 8.8, as the header's frame rate and miter limits use
    double fixed16(); // signed 16.16 in 32 bits
    float f16(); // IEEE half precision
    float f32();
    double f64(); // two little-endian 32-bit words, high word first (the ActionScript layout)

    uint32_t ub(unsigned bits); // unsigned bit field, 0..32 bits
    int32_t sb(unsigned bits); // signed bit field, 0..32 bits
    double fb(unsigned bits); // signed 16.16 bit field, 0..32 bits

    // A NUL-terminated string. A string the data ends inside of is an overrun.
    std::string string();
    uint32_t encodedU32();

    // `count` bytes as a view into the data.
    std::span<const uint8_t> bytes(size_t count);
    // Everything from the next byte boundary to the end.
    std::span<const uint8_t> rest();
    void skip(size_t count) { (void)bytes(count); }

    void align();
    size_t position() const { return m_pos; } // in whole bytes, rounded down
    size_t remaining() const { return m_data.size() - m_pos; }
    uint64_t remainingBits() const { return uint64_t(remaining()) * 8 - m_bit; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    bool overrun() const { return m_overrun; }
    std::span<const uint8_t> data() const { return m_data; }

private:
    bool take(size_t count);
    void setOverrun();

    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    unsigned m_bit = 0; // bits of m_data[m_pos] already consumed, 0..7
    bool m_overrun = false;
};

} // namespace swf
