// Date: a time in milliseconds since 1970 UTC, read and set in local time or UTC. Local
// time follows the player's wall clock's offset.

#include "Classes.h"
#include "Native.h"

#include "swf/script/ScriptEngine.h"

#include <limits>

namespace swf::script {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxTime = 8.64e15;

class DateObject final : public Object {
public:
    DateObject(Vm& vm, Object* proto, double time)
        : Object(vm, proto)
        , time(time)
    {
    }
    bool isDate() const override { return true; }
    double time;
};

// Days from 1970-01-01 of a civil date (month 1..12), and back.
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    int64_t year;
    int month; // 0..11
    int day; // 1..31
};

Civil civilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return { y + (m <= 2), m - 1, d };
}

// A time from its parts; months and days out of range carry over.
double makeTime(double year, double month, double day, double h, double mi, double s, double ms)
{
    for (double v : { year, month, day, h, mi, s, ms }) {
        if (!std::isfinite(v))
            return std::nan("");
    }
    const double ym = year + std::floor(month / 12);
    const double mn = std::fmod(month, 12) < 0 ? std::fmod(month, 12) + 12 : std::fmod(month, 12);
    if (std::fabs(ym) > 400000)
        return std::nan("");
    const double days = double(daysFromCivil(int64_t(ym), int64_t(mn) + 1, 1)) + std::trunc(day) - 1;
    const double t = days * kMsPerDay + std::trunc(h) * 3600000 + std::trunc(mi) * 60000 + std::trunc(s) * 1000
        + std::trunc(ms);
    return std::fabs(t) > kMaxTime ? std::nan("") : t;
}

struct Parts {
    double year, month, day, hours, minutes, seconds, ms, weekday;
};

Parts split(double t)
{
    const double days = std::floor(t / kMsPerDay);
    double within = t - days * kMsPerDay;
    const Civil c = civilFromDays(int64_t(days));
    Parts p;
    p.year = double(c.year);
    p.month = c.month;
    p.day = c.day;
    p.hours = std::floor(within / 3600000);
    within -= p.hours * 3600000;
    p.minutes = std::floor(within / 60000);
    within -= p.minutes * 60000;
    p.seconds = std::floor(within / 1000);
    p.ms = within - p.seconds * 1000;
    p.weekday = std::fmod(days + 4, 7);
    if (p.weekday < 0)
        p.weekday += 7;
    return p;
}

double offsetMs(Vm& vm, double utc)
{
    if (!vm.engine() || !std::isfinite(utc))
        return 0;
    return vm.engine()->services().clock.utcOffsetMinutes(int64_t(utc)) * 60000.0;
}

double now(Vm& vm)
{
    return vm.engine() ? double(vm.engine()->services().clock.msecsSinceEpoch()) : 0.0;
}

DateObject* thisDate(CallArgs& c)
{
    Object* o = c.thisObject();
    return o && o->isDate() ? static_cast<DateObject*>(o) : nullptr;
}

Value dateConstructor(Vm& vm, CallArgs& c)
{
    double t = now(vm);
    if (c.size() == 1) {
        t = vm.toNumber(c[0]);
    } else if (c.size() > 1) {
        double parts[7] = { 0, 0, 1, 0, 0, 0, 0 };
        for (size_t i = 0; i < 7 && i < c.size(); ++i)
            parts[i] = vm.toNumber(c[i]);
        if (parts[0] >= 0 && parts[0] <= 99)
            parts[0] += 1900;
        const double local = makeTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]);
        t = local - offsetMs(vm, local);
    }
    const double time = std::isfinite(t) ? std::trunc(t) : std::nan("");
    // super(...) of a class that extends Date sets the date `new` made.
    if (DateObject* existing = c.constructing ? nullptr : thisDate(c)) {
        existing->time = time;
        return Value();
    }
    Ref<Object> date(new DateObject(vm, vm.protos().date.get(), time));
    if (!c.constructing)
        return vm.toString(Value(date));
    return Value(date);
}

template <bool Utc> Parts partsOf(Vm& vm, DateObject& d)
{
    return split(Utc ? d.time : d.time + offsetMs(vm, d.time));
}

enum class Field { Year, FullYear, Month, Date, Day, Hours, Minutes, Seconds, Milliseconds };

template <Field F, bool Utc> Value getField(Vm& vm, CallArgs& c)
{
    DateObject* d = thisDate(c);
    if (!d)
        return Value();
    if (!std::isfinite(d->time))
        return std::nan("");
    const Parts p = partsOf<Utc>(vm, *d);
    switch (F) {
    case Field::Year:
        return p.year - 1900;
    case Field::FullYear:
        return p.year;
    case Field::Month:
        return p.month;
    case Field::Date:
        return p.day;
    case Field::Day:
        return p.weekday;
    case Field::Hours:
        return p.hours;
    case Field::Minutes:
        return p.minutes;
    case Field::Seconds:
        return p.seconds;
    case Field::Milliseconds:
        return p.ms;
    }
    return Value();
}

// Sets fields starting at F from the arguments (setHours(h, m, s, ms) ...).
template <Field F, bool Utc> Value setField(Vm& vm, CallArgs& c)
{
    DateObject* d = thisDate(c);
    if (!d)
        return Value();
    const double base = std::isfinite(d->time) ? d->time : 0;
    const double offset = Utc ? 0 : offsetMs(vm, base);
    Parts p = split(base + offset);
    double* fields[] = { &p.year, &p.month, &p.day, &p.hours, &p.minutes, &p.seconds, &p.ms };
    int first = 0;
    switch (F) {
    case Field::Year:
    case Field::FullYear:
        first = 0;
        break;
    case Field::Month:
        first = 1;
        break;
    case Field::Date:
    case Field::Day:
        first = 2;
        break;
    case Field::Hours:
        first = 3;
        break;
    case Field::Minutes:
        first = 4;
        break;
    case Field::Seconds:
        first = 5;
        break;
    case Field::Milliseconds:
        first = 6;
        break;
    }
    const int last = F == Field::Year || F == Field::FullYear ? 2 : F == Field::Month ? 2 : F == Field::Hours ? 6
        : F == Field::Minutes                                                           ? 6
        : F == Field::Seconds                                                           ? 6
                                                                                        : first;
    for (int i = first; i <= last && size_t(i - first) < c.size(); ++i)
        *fields[i] = vm.toNumber(c[size_t(i - first)]);
    if (c.size() == 0)
        *fields[first] = std::nan("");
    if (F == Field::Year && p.year >= 0 && p.year <= 99)
        p.year += 1900;
    const double local = makeTime(p.year, p.month, p.day, p.hours, p.minutes, p.seconds, p.ms);
    d->time = local - (Utc ? 0 : offsetMs(vm, local));
    return d->time;
}

Value getTime(Vm&, CallArgs& c)
{
    DateObject* d = thisDate(c);
    return d ? Value(d->time) : Value();
}

Value setTime(Vm& vm, CallArgs& c)
{
    DateObject* d = thisDate(c);
    if (!d)
        return Value();
    const double t = vm.toNumber(c[0]);
    d->time = std::isfinite(t) && std::fabs(t) <= kMaxTime ? std::trunc(t) : std::nan("");
    return d->time;
}

Value getTimezoneOffset(Vm& vm, CallArgs& c)
{
    DateObject* d = thisDate(c);
    if (!d)
        return Value();
    return -offsetMs(vm, d->time) / 60000;
}

Value dateToString(Vm& vm, CallArgs& c)
{
    DateObject* d = thisDate(c);
    if (!d)
        return Value();
    if (!std::isfinite(d->time))
        return QStringLiteral("Invalid Date");
    const double offset = offsetMs(vm, d->time);
    const Parts p = split(d->time + offset);
    static const char* days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static const char* months[] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov",
        "Dec" };
    const int minutes = int(offset / 60000);
    const int absMinutes = std::abs(minutes);
    return QStringLiteral("%1 %2 %3 %4:%5:%6 GMT%7%8%9 %10")
        .arg(QLatin1String(days[int(p.weekday)]), QLatin1String(months[int(p.month)]))
        .arg(int(p.day))
        .arg(int(p.hours), 2, 10, QLatin1Char('0'))
        .arg(int(p.minutes), 2, 10, QLatin1Char('0'))
        .arg(int(p.seconds), 2, 10, QLatin1Char('0'))
        .arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(absMinutes / 60, 2, 10, QLatin1Char('0'))
        .arg(absMinutes % 60, 2, 10, QLatin1Char('0'))
        .arg(qint64(p.year));
}

Value dateUtc(Vm& vm, CallArgs& c)
{
    double parts[7] = { 0, 0, 1, 0, 0, 0, 0 };
    for (size_t i = 0; i < 7 && i < c.size(); ++i)
        parts[i] = vm.toNumber(c[i]);
    if (parts[0] >= 0 && parts[0] <= 99)
        parts[0] += 1900;
    return makeTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]);
}

} // namespace

Ref<Object> newDateInstance(Vm& vm, Object* proto)
{
    return Ref<Object>(new DateObject(vm, proto, now(vm)));
}

void installDate(Vm& vm)
{
    vm.protos().date = Ref<Object>(new DateObject(vm, vm.protos().object.get(), std::nan("")));
    Object* proto = vm.protos().date.get();
    Ref<NativeFunction> ctor = vm.makeClass(QStringLiteral("Date"), dateConstructor, proto, true);
    vm.setInstanceFactory(proto, newDateInstance);
    defineMethods(vm, proto,
        { { "getTime", getTime }, { "valueOf", getTime }, { "setTime", setTime }, { "toString", dateToString },
            { "getTimezoneOffset", getTimezoneOffset }, { "getYear", getField<Field::Year, false> },
            { "getFullYear", getField<Field::FullYear, false> }, { "getMonth", getField<Field::Month, false> },
            { "getDate", getField<Field::Date, false> }, { "getDay", getField<Field::Day, false> },
            { "getHours", getField<Field::Hours, false> }, { "getMinutes", getField<Field::Minutes, false> },
            { "getSeconds", getField<Field::Seconds, false> },
            { "getMilliseconds", getField<Field::Milliseconds, false> },
            { "getUTCFullYear", getField<Field::FullYear, true> }, { "getUTCYear", getField<Field::Year, true> },
            { "getUTCMonth", getField<Field::Month, true> }, { "getUTCDate", getField<Field::Date, true> },
            { "getUTCDay", getField<Field::Day, true> }, { "getUTCHours", getField<Field::Hours, true> },
            { "getUTCMinutes", getField<Field::Minutes, true> }, { "getUTCSeconds", getField<Field::Seconds, true> },
            { "getUTCMilliseconds", getField<Field::Milliseconds, true> },
            { "setYear", setField<Field::Year, false> }, { "setFullYear", setField<Field::FullYear, false> },
            { "setMonth", setField<Field::Month, false> }, { "setDate", setField<Field::Date, false> },
            { "setHours", setField<Field::Hours, false> }, { "setMinutes", setField<Field::Minutes, false> },
            { "setSeconds", setField<Field::Seconds, false> },
            { "setMilliseconds", setField<Field::Milliseconds, false> },
            { "setUTCFullYear", setField<Field::FullYear, true> }, { "setUTCMonth", setField<Field::Month, true> },
            { "setUTCDate", setField<Field::Date, true> }, { "setUTCHours", setField<Field::Hours, true> },
            { "setUTCMinutes", setField<Field::Minutes, true> }, { "setUTCSeconds", setField<Field::Seconds, true> },
            { "setUTCMilliseconds", setField<Field::Milliseconds, true> } });
    vm.method(ctor.get(), QStringLiteral("UTC"), dateUtc);
}

} // namespace swf::script
