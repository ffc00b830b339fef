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
    if (i >= length_)
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
    out.reserve(length_);
    for (uint32_t i = 0; i < length_; ++i)
        out.push_back(at(i));
    return out;
}

bool ArrayObject::getHost(const QString& name, Value& out)
{
    if (name == QLatin1String("length")) {
        out = double(length_);
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
    // An index past the bound on lengths is kept as a plain property: it is the
    // script's data, only the length does not count it.
    if (auto i = index(name); i && *i < Vm::kMaxArrayLength && *i >= length_)
        length_ = *i + 1;
    return false;
}

bool ArrayObject::hasHost(const QString& name)
{
    return name == QLatin1String("length");
}

} // namespace swf::script
