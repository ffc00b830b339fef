#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf {

struct AmfProperty;

// A value of Action Message Format 0, as FLV script data tags carry it (onMetaData,
// onCuePoint): numbers, booleans, strings, objects and arrays, dates, null, undefined.
struct AmfValue {
    enum class Type : uint8_t { Number, Boolean, String, Object, Null, Undefined, Array, Date };
    Type type = Type::Undefined;
    double number = 0; // numbers, booleans (0/1), dates (ms since 1970)
    std::string string; // UTF-8
    std::vector<AmfProperty> properties; // objects and ECMA arrays
    std::vector<AmfValue> items; // strict arrays

    const AmfValue* property(std::string_view name) const;
};

struct AmfProperty {
    std::string name;
    AmfValue value;
};

// Reads one value; null when the data is damaged or nests deeper than sense allows.
// `position` moves past what was read.
std::optional<AmfValue> readAmf0(std::span<const uint8_t> data, size_t& position);

// The two values of an FLV script data tag: the handler's name and its argument.
struct AmfCall {
    std::string name;
    AmfValue argument;
};
std::optional<AmfCall> readAmfCall(std::span<const uint8_t> data);

// Writes a value (for test streams): objects as ECMA arrays, dates as numbers.
void writeAmf0(std::vector<uint8_t>& out, const AmfValue& value);

} // namespace swf
