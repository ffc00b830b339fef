#include "Amf0.h"

#include <bit>
#include <cstring>

namespace swf {
namespace {

constexpr int kMaxDepth = 32;
constexpr size_t kMaxEntries = 1 << 16;

class AmfReader {
public:
    AmfReader(std::span<const uint8_t> data, size_t position)
        : data_(data)
        , pos_(position)
    {
    }

    bool value(AmfValue& out, int depth);
    size_t position() const { return pos_; }

private:
    bool need(size_t n) const { return pos_ <= data_.size() && data_.size() - pos_ >= n; }
    uint32_t big(size_t n)
    {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v = v << 8 | data_[pos_++];
        return v;
    }
    bool u8(uint32_t& v) { return need(1) && (v = big(1), true); }
    bool u16(uint32_t& v) { return need(2) && (v = big(2), true); }
    bool u32(uint32_t& v) { return need(4) && (v = big(4), true); }
    bool f64(double& v)
    {
        if (!need(8))
            return false;
        uint64_t bits = uint64_t(big(4)) << 32;
        bits |= big(4);
        v = std::bit_cast<double>(bits);
        return true;
    }
    bool text(size_t length, std::string& out)
    {
        if (!need(length))
            return false;
        out.assign(reinterpret_cast<const char*>(data_.data() + pos_), length);
        pos_ += length;
        return true;
    }
    bool properties(AmfValue& out, int depth);

    std::span<const uint8_t> data_;
    size_t pos_;
};

bool AmfReader::properties(AmfValue& out, int depth)
{
    for (size_t i = 0; i <= kMaxEntries; ++i) {
        uint32_t length = 0;
        std::string name;
        if (!u16(length) || !text(length, name))
            return false;
        if (length == 0 && need(1) && data_[pos_] == 9) {
            ++pos_;
            return true;
        }
        AmfValue v;
        if (!value(v, depth + 1))
            return false;
        out.properties.push_back({ std::move(name), std::move(v) });
    }
    return false;
}

bool AmfReader::value(AmfValue& out, int depth)
{
    uint32_t marker = 0;
    if (depth > kMaxDepth || !u8(marker))
        return false;
    uint32_t n = 0;
    switch (marker) {
    case 0:
        out.type = AmfValue::Type::Number;
        return f64(out.number);
    case 1:
        out.type = AmfValue::Type::Boolean;
        if (!u8(n))
            return false;
        out.number = n ? 1 : 0;
        return true;
    case 2:
        out.type = AmfValue::Type::String;
        return u16(n) && text(n, out.string);
    case 12:
        out.type = AmfValue::Type::String;
        return u32(n) && text(n, out.string);
    case 3:
        out.type = AmfValue::Type::Object;
        return properties(out, depth);
    case 8:
        out.type = AmfValue::Type::Object;
        return u32(n) && properties(out, depth); // the count is a hint only
    case 5:
        out.type = AmfValue::Type::Null;
        return true;
    case 6:
        out.type = AmfValue::Type::Undefined;
        return true;
    case 10:
        out.type = AmfValue::Type::Array;
        if (!u32(n) || n > kMaxEntries)
            return false;
        for (uint32_t i = 0; i < n; ++i) {
            AmfValue item;
            if (!value(item, depth + 1))
                return false;
            out.items.push_back(std::move(item));
        }
        return true;
    case 11:
        out.type = AmfValue::Type::Date;
        return f64(out.number) && u16(n); // the time zone, unused
    default:
        return false; // references, XML, typed objects: not in FLV metadata
    }
}

void putBig(std::vector<uint8_t>& out, uint64_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void putName(std::vector<uint8_t>& out, const std::string& s)
{
    putBig(out, s.size(), 2);
    out.insert(out.end(), s.begin(), s.end());
}

} // namespace

const AmfValue* AmfValue::property(std::string_view name) const
{
    for (const auto& [key, value] : properties) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

std::optional<AmfValue> readAmf0(std::span<const uint8_t> data, size_t& position)
{
    AmfReader reader(data, position);
    AmfValue value;
    if (!reader.value(value, 0))
        return std::nullopt;
    position = reader.position();
    return value;
}

std::optional<AmfCall> readAmfCall(std::span<const uint8_t> data)
{
    size_t position = 0;
    auto name = readAmf0(data, position);
    if (!name || name->type != AmfValue::Type::String)
        return std::nullopt;
    AmfCall call { std::move(name->string), {} };
    if (auto argument = readAmf0(data, position))
        call.argument = std::move(*argument);
    return call;
}

void writeAmf0(std::vector<uint8_t>& out, const AmfValue& v)
{
    switch (v.type) {
    case AmfValue::Type::Number:
    case AmfValue::Type::Date:
        out.push_back(0);
        putBig(out, std::bit_cast<uint64_t>(v.number), 8);
        break;
    case AmfValue::Type::Boolean:
        out.push_back(1);
        out.push_back(v.number != 0);
        break;
    case AmfValue::Type::String:
        out.push_back(2);
        putName(out, v.string);
        break;
    case AmfValue::Type::Object:
        out.push_back(8);
        putBig(out, v.properties.size(), 4);
        for (const auto& [name, value] : v.properties) {
            putName(out, name);
            writeAmf0(out, value);
        }
        out.insert(out.end(), { 0, 0, 9 });
        break;
    case AmfValue::Type::Null:
        out.push_back(5);
        break;
    case AmfValue::Type::Undefined:
        out.push_back(6);
        break;
    case AmfValue::Type::Array:
        out.push_back(10);
        putBig(out, v.items.size(), 4);
        for (const AmfValue& item : v.items)
            writeAmf0(out, item);
        break;
    }
}

} // namespace swf
