#include "Array.h"

#include "Vm.h"

#include <cmath>

namespace swf::script {

std::optional<uint32_t> ArrayObject::index(const QString& name)
{
    const qsizetype n = name.size();
    if (n == 0 || n > 10)
        return std::nullopt;
    if (n > 1 && name[0] == QLatin1Char('0'))
        return std::nullopt;
    uint64_t value = 0;
    for (QChar c : name) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value >= 0xFFFFFFFFull)
        return std::nullopt;
    return uint32_t(value);
}

std::optional<int32_t> ArrayObject::wrappedIndex(const QString& name)
{
    const bool negative = name.startsWith(QLatin1Char('-'));
    const qsizetype start = negative ? 1 : 0;
    const qsizetype n = name.size() - start;
    if (n <= 0 || (n > 1 && name[start] == QLatin1Char('0')))
        return std::nullopt;
    // The digits taken modulo 2^32 as they come, the sign after.
    uint32_t value = 0;
    for (qsizetype i = start; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10u + uint32_t(c.unicode() - '0');
    }
    return int32_t(negative ? 0u - value : value);
}

uint32_t ArrayObject::length() const
{
    return int32_t(length_) > 0 ? std::min(length_, Vm::kMaxArrayLength) : 0;
}

void ArrayObject::setLength(uint32_t length)
{
    length = std::min(length, Vm::kMaxArrayLength);
    if (length < length_) {
        std::vector<QString> cut;
        properties().forEach([&](const QString& key, const Property&) {
            if (auto i = index(key); i && *i >= length)
                cut.push_back(key);
        });
        for (const QString& key : cut)
            properties().erase(key);
    }
    length_ = length;
}

void ArrayObject::removeElements(bool keepUndeletable)
{
    std::vector<QString> cut;
    properties().forEach([&](const QString& key, const Property& p) {
        if (index(key) && !(keepUndeletable && (p.flags & DontDelete)))
            cut.push_back(key);
    });
    for (const QString& key : cut)
        properties().erase(key);
    length_ = 0;
}

Value ArrayObject::at(uint32_t i)
{
    const QString name = QString::number(i);
    if (Property* p = properties().find(name); p && !p->accessor)
        return p->value;
    return vm().get(this, name);
}

void ArrayObject::put(uint32_t i, const Value& v)
{
    if (i >= Vm::kMaxArrayLength)
        return;
    const QString name = QString::number(i);
    if (Property* p = properties().find(name)) {
        // An element keeps its attributes; a read-only one its value.
        if (!p->accessor && !(p->flags & ReadOnly))
            p->value = v;
    } else {
        properties().add(name, name).value = v;
    }
    if (int64_t(i) >= int64_t(int32_t(length_)))
        length_ = i + 1;
}

void ArrayObject::assign(std::vector<Value> items)
{
    setLength(0);
    for (size_t i = 0; i < items.size() && i < Vm::kMaxArrayLength; ++i)
        properties().add(QString::number(i), QString::number(i)).value = items[i];
    length_ = uint32_t(std::min<size_t>(items.size(), Vm::kMaxArrayLength));
}

std::vector<Value> ArrayObject::items()
{
    std::vector<Value> out;
    const uint32_t n = length();
    out.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
        out.push_back(at(i));
    return out;
}

bool ArrayObject::getHost(const QString& name, Value& out)
{
    if (name == QLatin1String("length")) {
        out = double(int32_t(length_));
        return true;
    }
    return false;
}

bool ArrayObject::setHost(const QString& name, const Value& value)
{
    if (name == QLatin1String("length")) {
        const double n = vm().toNumber(value);
        setLength(n > 0 && std::isfinite(n) ? uint32_t(std::min<double>(n, Vm::kMaxArrayLength)) : 0);
        return true;
    }
    // A whole-number name at or past the length, taken as a 32-bit integer, moves the
    // length past it; the length wraps to negative past the largest one, and the
    // elements below the old length go with that.
    if (auto i = wrappedIndex(name); i && *i >= int32_t(length_)) {
        const int32_t old = int32_t(length_);
        const int32_t next = int32_t(uint32_t(*i) + 1u);
        if (next < old && old > 0) {
            std::vector<QString> cut;
            properties().forEach([&](const QString& key, const Property&) {
                if (auto k = index(key); k && *k < uint32_t(old))
                    cut.push_back(key);
            });
            for (const QString& key : cut)
                properties().erase(key);
        }
        length_ = uint32_t(next);
    }
    return false;
}

bool ArrayObject::hasHost(const QString& name)
{
    return name == QLatin1String("length");
}

} // namespace swf::script
