// Array.

#include "Classes.h"
#include "Native.h"

#include <algorithm>
#include <functional>

namespace swf::script {
namespace {

enum SortFlag : int {
    CaseInsensitive = 1,
    Descending = 2,
    UniqueSort = 4,
    ReturnIndexedArray = 8,
    Numeric = 16,
};

ArrayObject* thisArray(CallArgs& c)
{
    Object* o = c.thisObject();
    return o ? o->asArray() : nullptr;
}

Value arrayConstructor(Vm& vm, CallArgs& c)
{
    // super(...) of a class that extends Array fills the array `new` made.
    ArrayObject* existing = c.constructing ? nullptr : thisArray(c);
    // A plain object that inherits from Array (super(...) of a script class whose `new`
    // made an ordinary object) gets the elements and the length as its own properties.
    if (Object* self = c.thisObject(); !c.constructing && !existing && self && vm.instanceOf(c.thisValue, c.callee)) {
        if (c.size() == 1 && c[0].isNumber() && c[0].number() == std::floor(c[0].number())) {
            vm.set(self, QStringLiteral("length"), std::clamp(c[0].number(), 0.0, double(Vm::kMaxArrayLength)));
            return c.thisValue;
        }
        for (size_t i = 0; i < c.size(); ++i)
            vm.set(self, QString::number(i), c[i]);
        vm.set(self, QStringLiteral("length"), double(c.size()));
        return c.thisValue;
    }
    Ref<ArrayObject> array = existing ? Ref<ArrayObject>(existing) : vm.newArray();
    if (c.size() == 1 && c[0].isNumber()) {
        const double n = c[0].number();
        if (n == std::floor(n))
            array->setLength(uint32_t(std::clamp(n, 0.0, double(Vm::kMaxArrayLength))));
        else
            array->push(c[0]);
        return Value(array);
    }
    array->assign(std::vector<Value>(c.args.begin(), c.args.end()));
    return Value(array);
}

QString joined(Vm& vm, ArrayObject& array, const QString& separator)
{
    QString out;
    const uint32_t n = array.length();
    for (uint32_t i = 0; i < n; ++i) {
        if (i)
            out += separator;
        out += vm.toString(array.at(i));
        if (out.size() > Vm::kMaxStringLength)
            throw ScriptAbort { QStringLiteral("字符串过长") };
    }
    return out;
}

// join and toString borrowed by an object that is not an array: its "length"
// counts its own elements, and what it inherits is not among them.
QString joinedLike(Vm& vm, Object& o, const QString& separator)
{
    const double n = vm.toNumber(vm.get(&o, QStringLiteral("length")));
    const uint32_t count = n > 0 && std::isfinite(n) ? uint32_t(std::min<double>(n, Vm::kMaxArrayLength)) : 0;
    QString out;
    for (uint32_t i = 0; i < count; ++i) {
        if (i)
            out += separator;
        const Property* p = o.findOwn(QString::number(i));
        out += vm.toString(p && !p->accessor ? p->value : Value());
        if (out.size() > Vm::kMaxStringLength)
            throw ScriptAbort { QStringLiteral("字符串过长") };
    }
    return out;
}

Value joinWith(Vm& vm, CallArgs& c, const QString& separator)
{
    if (ArrayObject* a = thisArray(c))
        return joined(vm, *a, separator);
    if (Object* o = c.thisObject())
        return joinedLike(vm, *o, separator);
    return Value();
}

Value arrayToString(Vm& vm, CallArgs& c)
{
    return joinWith(vm, c, QStringLiteral(","));
}

Value arrayJoin(Vm& vm, CallArgs& c)
{
    return joinWith(vm, c, c.size() > 0 && !c[0].isUndefined() ? vm.toString(c[0]) : QStringLiteral(","));
}

Value arrayPush(Vm&, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    for (const Value& v : c.args)
        a->push(v);
    return double(a->length());
}

Value arrayPop(Vm&, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a || a->length() == 0)
        return Value();
    const uint32_t last = a->length() - 1;
    Value v = a->at(last);
    a->setLength(last);
    return v;
}

// shift borrowed by an object that is not an array: its elements move down a place by
// name, the last one goes, and "length" drops by one.
Value shiftLike(Vm& vm, Object& o)
{
    const double n = vm.toNumber(vm.get(&o, QStringLiteral("length")));
    const uint32_t count = n > 0 && std::isfinite(n) ? uint32_t(std::min<double>(n, Vm::kMaxArrayLength)) : 0;
    if (count == 0)
        return Value();
    const Value first = vm.get(&o, QStringLiteral("0"));
    for (uint32_t i = 1; i < count; ++i) {
        if (i % 4096 == 0)
            vm.checkLimits();
        vm.set(&o, QString::number(i - 1), vm.get(&o, QString::number(i)));
    }
    vm.remove(&o, QString::number(count - 1));
    vm.set(&o, QStringLiteral("length"), double(count - 1));
    return first;
}

Value arrayShift(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a && c.thisObject())
        return shiftLike(vm, *c.thisObject());
    if (!a || a->length() == 0)
        return Value();
    std::vector<Value> items = a->items();
    Value first = items.front();
    items.erase(items.begin());
    a->assign(std::move(items));
    return first;
}

// Moves every element up by the new ones, from the top down, then sets the new ones
// first to last: the order for..in then lists them in.
Value arrayUnshift(Vm&, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    const std::vector<Value> old = a->items();
    const uint32_t shift = uint32_t(std::min<size_t>(c.args.size(), Vm::kMaxArrayLength));
    // The elements are deleted and made anew at their new places, the moved ones from the
    // top down, then the new ones; an element that may not be deleted keeps its place
    // among the names, and a read-only one its value.
    a->removeElements(true);
    for (size_t i = old.size(); i-- > 0;)
        a->put(uint32_t(i) + shift, old[i]);
    for (uint32_t i = 0; i < shift; ++i)
        a->put(i, c.args[i]);
    return double(a->length());
}

// Swaps the elements pairwise from the outside in; each pair is made anew (holes become
// undefined), the middle one stays.
Value arrayReverse(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    const uint32_t n = a->length();
    for (uint32_t lo = 0; lo < n / 2; ++lo) {
        const uint32_t hi = n - 1 - lo;
        const Value low = a->at(lo);
        const Value high = a->at(hi);
        vm.remove(a, QString::number(lo));
        vm.remove(a, QString::number(hi));
        a->put(lo, high);
        a->put(hi, low);
    }
    return c.thisValue;
}

// A relative index (negative from the end), clamped to 0..length.
uint32_t relativeIndex(Vm& vm, const Value& v, uint32_t length)
{
    const double n = vm.toInteger(v);
    if (n < 0)
        return uint32_t(std::max(0.0, double(length) + n));
    return uint32_t(std::min(n, double(length)));
}

Value arraySlice(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    const uint32_t n = a->length();
    const uint32_t start = c.size() > 0 ? relativeIndex(vm, c[0], n) : 0;
    const uint32_t end = c.size() > 1 && !c[1].isUndefined() ? relativeIndex(vm, c[1], n) : n;
    std::vector<Value> out;
    for (uint32_t i = start; i < end; ++i)
        out.push_back(a->at(i));
    return Value(vm.newArray(std::move(out)));
}

Value arraySplice(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a || c.size() == 0 || c[0].isUndefined() || (c.size() > 1 && c[1].isUndefined()))
        return Value();
    std::vector<Value> items = a->items();
    const uint32_t n = uint32_t(items.size());
    const uint32_t start = relativeIndex(vm, c[0], n);
    uint32_t count = n - start;
    if (c.size() > 1) {
        const double d = vm.toInteger(c[1]);
        if (d < 0)
            return Value();
        count = uint32_t(std::min(d, double(n - start)));
    }
    std::vector<Value> removed(items.begin() + start, items.begin() + start + count);
    items.erase(items.begin() + start, items.begin() + start + count);
    if (c.size() > 2)
        items.insert(items.begin() + start, c.args.begin() + 2, c.args.end());
    a->assign(std::move(items));
    return Value(vm.newArray(std::move(removed)));
}

Value arrayConcat(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    std::vector<Value> out = a->items();
    for (const Value& v : c.args) {
        if (Object* o = v.object(); o && o->asArray()) {
            for (const Value& item : o->asArray()->items())
                out.push_back(item);
        } else {
            out.push_back(v);
        }
        if (out.size() > Vm::kMaxArrayLength)
            throw ScriptAbort { QStringLiteral("数组过大") };
    }
    return Value(vm.newArray(std::move(out)));
}

// ---- Sorting -------------------------------------------------------------------------------

// Sorts a range of an order with a heap, for ranges the quicksort below went too deep in.
void heapSort(std::vector<size_t>& order, size_t lo, size_t hi,
    const std::function<int(size_t, size_t)>& compare)
{
    const size_t n = hi - lo;
    const auto sift = [&](size_t root, size_t end) {
        for (size_t child = 2 * root + 1; child < end; child = 2 * root + 1) {
            if (child + 1 < end && compare(order[lo + child], order[lo + child + 1]) < 0)
                ++child;
            if (compare(order[lo + root], order[lo + child]) >= 0)
                return;
            std::swap(order[lo + root], order[lo + child]);
            root = child;
        }
    };
    for (size_t i = n / 2; i-- > 0;)
        sift(i, n);
    for (size_t end = n; end-- > 1;) {
        std::swap(order[lo], order[lo + end]);
        sift(0, end);
    }
}

// A quicksort that takes the first element of each range as its pivot and moves what is
// smaller past it in turn. It is not stable, and scripts see the order it leaves equal
// elements in: ["b1", "a1", "a2", "b2"] by letter gives a2, a1, b1, b2. A range nested
// deeper than a few times the logarithm of the length (sorted input) is heap sorted
// instead, so no input makes it quadratic. It never leaves its range, whatever the
// comparison says.
void sortOrder(std::vector<size_t>& order, const std::function<int(size_t, size_t)>& compare)
{
    if (order.size() < 2)
        return;
    size_t depthLimit = 8;
    for (size_t n = order.size(); n > 1; n /= 2)
        depthLimit += 2;
    struct Range {
        size_t lo, hi, depth; // [lo, hi)
    };
    std::vector<Range> ranges { { 0, order.size(), 0 } };
    while (!ranges.empty()) {
        const Range r = ranges.back();
        ranges.pop_back();
        if (r.hi - r.lo < 2)
            continue;
        if (r.depth > depthLimit) {
            heapSort(order, r.lo, r.hi, compare);
            continue;
        }
        size_t last = r.lo;
        for (size_t i = r.lo + 1; i < r.hi; ++i) {
            if (compare(order[i], order[r.lo]) < 0)
                std::swap(order[++last], order[i]);
        }
        std::swap(order[r.lo], order[last]);
        ranges.push_back({ r.lo, last, r.depth + 1 });
        ranges.push_back({ last + 1, r.hi, r.depth + 1 });
    }
}

int compareValues(Vm& vm, const Value& a, const Value& b, int flags)
{
    int result = 0;
    // NUMERIC compares numbers as numbers; anything else still by its text.
    if ((flags & Numeric) && a.isNumber() && b.isNumber()) {
        const double x = vm.toNumber(a);
        const double y = vm.toNumber(b);
        if (std::isnan(x) || std::isnan(y))
            result = std::isnan(x) ? (std::isnan(y) ? 0 : 1) : -1;
        else
            result = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        const QString x = vm.toString(a);
        const QString y = vm.toString(b);
        result = QString::compare(x, y, (flags & CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive);
        result = result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    return (flags & Descending) ? -result : result;
}

Value finishSort(Vm& vm, ArrayObject& a, const std::vector<Value>& items, std::vector<size_t>& order,
    int flags, const std::function<int(size_t, size_t)>& compare, const Value& self)
{
    if (flags & UniqueSort) {
        for (size_t i = 1; i < order.size(); ++i) {
            if (compare(order[i - 1], order[i]) == 0)
                return 0.0;
        }
    }
    if (flags & ReturnIndexedArray) {
        std::vector<Value> indices;
        for (size_t i : order)
            indices.push_back(double(i));
        return Value(vm.newArray(std::move(indices)));
    }
    std::vector<Value> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(items[i]);
    a.assign(std::move(sorted));
    return self;
}

Value arraySort(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a)
        return Value();
    const std::vector<Value> items = a->items();
    Object* function = c[0].object() && c[0].object()->asFunction() ? c[0].object() : nullptr;
    // sort(), sort(compare[, flags]) or sort(flags): anything else sorts nothing.
    int flags = 0;
    if (c.size() > 0 && !function && !c[0].isNumber() && !c[0].isObject())
        return Value();
    if (c.size() > 1 && c[1].isNumber())
        flags = vm.toInt32(c[1]);
    else if (!function && c.size() > 0)
        flags = vm.toInt32(c[0]);
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::function<int(size_t, size_t)> compare;
    if (function) {
        compare = [&](size_t x, size_t y) {
            const Value args[] = { items[x], items[y] };
            const double r = vm.toNumber(vm.call(Value(function), Value(), args));
            const int result = r < 0 ? -1 : (r > 0 ? 1 : 0);
            return (flags & Descending) ? -result : result;
        };
    } else {
        compare = [&](size_t x, size_t y) { return compareValues(vm, items[x], items[y], flags); };
    }
    sortOrder(order, compare);
    return finishSort(vm, *a, items, order, flags, compare, c.thisValue);
}

Value arraySortOn(Vm& vm, CallArgs& c)
{
    ArrayObject* a = thisArray(c);
    if (!a || c.size() == 0)
        return Value();
    if (c[0].isUndefined())
        return c.thisValue;
    const std::vector<Value> items = a->items();
    std::vector<QString> fields;
    std::vector<int> fieldFlags;
    if (Object* list = c[0].object(); list && list->asArray()) {
        for (const Value& f : list->asArray()->items())
            fields.push_back(vm.toString(f));
    } else {
        fields.push_back(vm.toString(c[0]));
    }
    int flags = 0;
    if (Object* list = c[1].object(); list && list->asArray()) {
        for (const Value& f : list->asArray()->items())
            fieldFlags.push_back(vm.toInt32(f));
        if (fieldFlags.size() != fields.size())
            fieldFlags.assign(fields.size(), 0);
        // The first field's flags say whether to keep duplicates and what to return.
        flags = fieldFlags.empty() ? 0 : fieldFlags.front() & (UniqueSort | ReturnIndexedArray);
    } else {
        flags = c.size() > 1 ? vm.toInt32(c[1]) : 0;
        fieldFlags.assign(fields.size(), flags);
    }
    std::vector<std::vector<Value>> keys(items.size());
    // An object's own stored field: neither its prototypes nor its getters are asked
    // (a getter is never called), so such a field is undefined. What is no object is its
    // own key.
    for (size_t i = 0; i < items.size(); ++i) {
        for (const QString& field : fields) {
            Object* o = items[i].object();
            if (!o) {
                keys[i].push_back(items[i]);
            } else {
                const Property* p = o->findOwn(field);
                keys[i].push_back(p && !p->accessor ? p->value : Value());
            }
        }
    }
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto compare = [&](size_t x, size_t y) {
        for (size_t f = 0; f < fields.size(); ++f) {
            const int r = compareValues(vm, keys[x][f], keys[y][f], fieldFlags[f]);
            if (r != 0)
                return r;
        }
        return 0;
    };
    if (fields.empty())
        return c.thisValue;
    sortOrder(order, compare);
    return finishSort(vm, *a, items, order, flags, compare, c.thisValue);
}

} // namespace

Ref<Object> newArrayInstance(Vm& vm, Object* proto)
{
    return Ref<Object>(new ArrayObject(vm, proto));
}

void installArray(Vm& vm)
{
    vm.protos().array = Ref<Object>(new ArrayObject(vm, vm.protos().object.get()));
    Object* proto = vm.protos().array.get();
    Ref<NativeFunction> ctor = vm.makeClass(QStringLiteral("Array"), arrayConstructor, proto, true);
    vm.setInstanceFactory(proto, newArrayInstance);
    defineMethods(vm, proto,
        { { "toString", arrayToString }, { "join", arrayJoin }, { "push", arrayPush }, { "pop", arrayPop },
            { "shift", arrayShift }, { "unshift", arrayUnshift }, { "reverse", arrayReverse },
            { "slice", arraySlice }, { "splice", arraySplice }, { "concat", arrayConcat },
            { "sort", arraySort }, { "sortOn", arraySortOn } });
    const std::pair<const char*, int> constants[] = { { "CASEINSENSITIVE", CaseInsensitive },
        { "DESCENDING", Descending }, { "UNIQUESORT", UniqueSort },
        { "RETURNINDEXEDARRAY", ReturnIndexedArray }, { "NUMERIC", Numeric } };
    for (const auto& [name, value] : constants)
        ctor->define(QString::fromLatin1(name), double(value), kHidden);
}

} // namespace swf::script
