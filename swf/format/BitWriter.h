#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace swf {

// Appends byte and bit fields in SWF order: bit fields most significant bit first,
// byte fields little-endian and byte-aligned (a byte write first pads the bits).
// The counterpart of BitReader.
class BitWriter {
public:
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void fixed8(double v); // signed 8.8
    void ufixed8(double v); // unsigned 8.8
    void fixed16(double v); // signed 16.16
    void f32(float v);

    void ub(uint32_t value, unsigned bits);
    void sb(int32_t value, unsigned bits);
    void string(std::string_view s); // followed by NUL
    void bytes(std::span<const uint8_t> data);
    void align();

    // Bit widths that hold a value: for UB fields, and for SB/FB fields (the sign bit
    // included). Zero needs no bits at all.
    static unsigned unsignedBits(uint32_t value);
    static unsigned signedBits(int32_t value);

    size_t size() const { return m_out.size(); }
    const std::vector<uint8_t>& data() const { return m_out; }
    std::vector<uint8_t> take();

private:
    std::vector<uint8_t> m_out;
    unsigned m_bit = 0; // bits used in the last byte, 0 when aligned
};

// The largest magnitude an SB field with a 5-bit width can carry (31 bits signed).
inline constexpr int32_t kMaxSb31 = (1 << 30) - 1;

// A 16.16 value as its fixed-point integer, rounded and clamped to what a 31-bit field holds.
int32_t toFixed16(double value);
int32_t clampSb31(int64_t value);

} // namespace swf
