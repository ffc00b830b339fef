// The built-in classes, each on a few scripts that show what movies rely on.

#include "ScriptFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace swf::test {
namespace {

using A = ActionCode;

QStringList lines(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

// variable = [items]
Asm& assignArray(Asm& a, const std::string& variable, const std::vector<Asm::Arg>& items)
{
    return a.push(variable).pushArgs(items).pushInt(int(items.size())).op(A::InitArray).op(A::SetVariable);
}

// trace(variable.member)
Asm& traceMember(Asm& a, const std::string& variable, const std::string& member)
{
    return a.get(variable).push(member).op(A::GetMember).op(A::Trace);
}

TEST(Classes, StringMethods)
{
    Asm a;
    a.push("s").push("Hello, World").op(A::SetVariable);
    a.traceCall("s", "toUpperCase");
    a.traceCall("s", "indexOf", { "o" });
    a.traceCall("s", "lastIndexOf", { "o" });
    a.traceCall("s", "substr", { 7.0, 5.0 });
    a.traceCall("s", "substring", { 5.0, 0.0 });
    a.traceCall("s", "slice", { -5.0 });
    a.traceCall("s", "split", { ", " });
    a.traceCall("s", "charCodeAt", { 0.0 });
    a.traceCall("String", "fromCharCode", { 72.0, 105.0 });
    traceMember(a, "s", "length");
    EXPECT_EQ(traceOf(a),
        lines({ "HELLO, WORLD", "4", "8", "World", "Hello", "World", "Hello,World", "72", "Hi", "12" }));
}

TEST(Classes, NumberParsingAndRadix)
{
    Asm a;
    a.assignNew("n", "Number", { 255.0 });
    a.traceCall("n", "toString", { 16.0 });
    a.traceCall("n", "toString", { 2.0 });
    a.traceFunction("parseInt", { "0x1F" });
    a.traceFunction("parseInt", { "12px" });
    a.traceFunction("parseInt", { "z" });
    a.traceFunction("parseInt", { "ff", 16.0 });
    a.traceFunction("parseFloat", { "3.5e2x" });
    a.traceFunction("isNaN", { "abc" });
    traceMember(a, "Number", "MAX_VALUE");
    EXPECT_EQ(traceOf(a),
        lines({ "ff", "11111111", "31", "12", "NaN", "255", "350", "true", "1.79769313486232e+308" }));
}

TEST(Classes, MathFunctions)
{
    Asm a;
    a.traceCall("Math", "max", { 3.0, 7.0 });
    a.traceCall("Math", "floor", { -1.5 });
    a.traceCall("Math", "round", { 2.5 });
    a.traceCall("Math", "round", { -2.5 });
    a.traceCall("Math", "pow", { 2.0, 10.0 });
    a.traceCall("Math", "sqrt", { 2.0 });
    a.traceCall("Math", "abs", { -3.0 });
    traceMember(a, "Math", "PI");
    a.traceCall("Math", "min");
    // max and min read two numbers: one alone gives NaN, a third is not looked at.
    a.traceCall("Math", "max", { 3.0 });
    a.traceCall("Math", "min", { 3.0, 1.0, -5.0 });
    EXPECT_EQ(traceOf(a),
        lines({ "7", "-2", "3", "-2", "1024", "1.4142135623731", "3", "3.14159265358979", "Infinity", "NaN",
            "1" }));
}

// Math.random and the entries of the player's Math table read two arguments as numbers,
// as the other Math functions do.
TEST(Classes, MathTableAndRandomReadTheirArguments)
{
    Asm a;
    // noisy(n) = {n: n, valueOf: function () { trace("valueOf " + this.n); return this.n; }}
    Asm valueOf;
    valueOf.push("valueOf ").get("this").push("n").op(A::GetMember).op(A::Add2).op(A::Trace);
    valueOf.get("this").push("n").op(A::GetMember).op(A::Return);
    for (const char* name : { "o1", "o2", "o3" }) {
        a.push(name).push("n").push(name).push("valueOf").function("", {}, valueOf).pushInt(2);
        a.op(A::InitObject).op(A::SetVariable);
    }
    a.get("o3").get("o2").get("o1").get("Math").callMethod("random", 3).op(A::Pop);
    // Entry 5 is atan2; 50 is past the end and answers NaN.
    a.pushArgs({ 1.0, 1.0 }).pushInt(2).pushArgs({ 200.0, 5.0 }).call("ASnative", 2);
    a.pushUndefined().op(A::CallMethod).op(A::Trace);
    a.get("o3").get("o2").get("o1").pushInt(3).pushArgs({ 200.0, 50.0 }).call("ASnative", 2);
    a.pushUndefined().op(A::CallMethod).op(A::Trace);
    a.pushArgs({ 1.0, 0.0 }).call("ASnative", 2).op(A::TypeOf).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines({ "valueOf o1", "valueOf o2", "0.785398163397448", "valueOf o1", "valueOf o2", "NaN",
            "undefined" }));
}

// Classes that exist as names: a script that tests for them finds them, from their version on.
TEST(Classes, NamedOnlyClassesExistFromTheirVersion)
{
    Asm a;
    for (const char* name : { "XMLSocket", "LocalConnection" })
        a.get(name).op(A::TypeOf).op(A::Trace);
    a.get("TextField").push("StyleSheet").op(A::GetMember).push("prototype").op(A::GetMember);
    a.op(A::TypeOf).op(A::Trace);
    a.get("flash")
        .push("text")
        .op(A::GetMember)
        .push("TextRenderer")
        .op(A::GetMember)
        .op(A::TypeOf)
        .op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "function", "function", "object", "function" }));
    EXPECT_EQ(traceOf(a, 5), lines({ "function", "undefined", "undefined", "undefined" }));
}

// A ColorTransform's members show in for..in, newest first; Point's stay hidden.
TEST(Classes, ColorTransformMembersAreEnumerable)
{
    Asm a;
    for (const char* name : { "ColorTransform", "Point" }) {
        a.push("s").push("").op(A::SetVariable);
        a.get("flash").push("geom").op(A::GetMember).push(name).op(A::GetMember);
        a.push("prototype").op(A::GetMember).op(A::Enumerate2);
        const std::string next = std::string("next") + name;
        const std::string done = std::string("done") + name;
        a.label(next).storeRegister(0).pushNull().op(A::Equals2).ifTrue(done);
        a.push("s").get("s").pushRegister(0).op(A::Add2).push(",").op(A::Add2).op(A::SetVariable).jump(next);
        a.label(done).traceVar("s");
    }
    EXPECT_EQ(traceOf(a),
        lines({ "toString,concat,rgb,blueOffset,greenOffset,redOffset,alphaOffset,blueMultiplier,"
                "greenMultiplier,redMultiplier,alphaMultiplier,",
            "" }));
}

// A class made from ColorTransform gives a clip its colours as a ColorTransform does.
TEST(Classes, SubclassOfColorTransformColoursAClip)
{
    Asm a;
    // function My() { super(); }; My extends flash.geom.ColorTransform
    a.function("My", {}, Asm().pushInt(0).get("super").pushUndefined().op(A::CallMethod).op(A::Pop));
    a.get("My").get("flash").push("geom").op(A::GetMember).push("ColorTransform").op(A::GetMember);
    a.op(A::Extends);
    a.push("ct").pushInt(0).push("My").op(A::NewObject).op(A::SetVariable);
    a.get("ct").push("redOffset").pushInt(100).op(A::SetMember);
    a.pushArgs({ "mc", 1.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.get("mc").push("transform").op(A::GetMember).op(A::TypeOf).op(A::Trace);
    a.get("mc").push("transform").op(A::GetMember).push("colorTransform").get("ct").op(A::SetMember);
    a.get("mc").push("transform").op(A::GetMember).push("colorTransform").op(A::GetMember);
    a.push("redOffset").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "object", "100" }));
}

// An array's length is a signed 32-bit integer: a whole-number name wraps to one (its
// digits modulo 2^32), a write reaching the length moves it past that name, and the
// length wraps to negative past the largest, dropping the elements below the old one.
TEST(Classes, ArrayLengthWrapsAsASigned32BitInteger)
{
    Asm a;
    a.push("a").pushInt(0).op(A::InitArray).op(A::SetVariable);
    const auto setAndTrace = [&](const std::string& name) {
        a.get("a").push(name).push("x").op(A::SetMember);
        traceMember(a, "a", "length");
    };
    setAndTrace("3");
    setAndTrace("-5"); // below the length
    setAndTrace("2147483648"); // wraps to the least integer: below too
    setAndTrace("2147483647");
    traceMember(a, "a", "3"); // cut by the wrap
    traceMember(a, "a", "2147483648"); // a plain property all along
    setAndTrace("4294967295"); // -1
    setAndTrace("-4294967296"); // 0
    setAndTrace("302231454903659441160191"); // 2^31 - 1 by its digits
    a.traceCall("a", "join");
    EXPECT_EQ(traceOf(a),
        lines({ "4", "4", "4", "-2147483648", "undefined", "x", "0", "1", "-2147483648", "" }));
}

// Array called on an ordinary object that inherits from it (super(...) of a script
// class whose `new` made a plain object) puts the elements and the length on that object;
// an object that does not inherit from Array is left alone.
TEST(Classes, ArrayCalledOnAnInheritingObjectFillsIt)
{
    const auto inheriting = [](Asm& a, const std::string& name) {
        a.push(name).pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
        a.get(name).push("__proto__").get("Array").push("prototype").op(A::GetMember).op(A::SetMember);
    };
    Asm a;
    inheriting(a, "o");
    a.push("bar").push("foo").get("o").pushInt(3).get("Array").push("call").op(A::CallMethod);
    a.get("o").op(A::StrictEquals).op(A::Trace);
    traceMember(a, "o", "length");
    a.traceCall("o", "shift");
    traceMember(a, "o", "length");
    inheriting(a, "n");
    a.push(3.0).get("n").pushInt(2).get("Array").push("call").op(A::CallMethod).op(A::Pop);
    traceMember(a, "n", "length");
    a.push("q").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.push("x").get("q").pushInt(2).get("Array").push("call").op(A::CallMethod).op(A::Trace);
    traceMember(a, "q", "length");
    EXPECT_EQ(traceOf(a), lines({ "true", "2", "foo", "1", "3", "x", "undefined" }));
}

TEST(Classes, ArraySortFlagsAndMethods)
{
    Asm a;
    const std::vector<Asm::Arg> items { 3.0, 1.0, 10.0, 2.0 };
    assignArray(a, "x", items).traceCall("x", "sort");
    assignArray(a, "x", items).push(16.0).get("x").callMethod("sort", 1).op(A::Trace); // NUMERIC
    assignArray(a, "x", items).push(18.0).get("x").callMethod("sort", 1).op(A::Trace); // NUMERIC | DESCENDING
    assignArray(a, "x", items).push(24.0).get("x").callMethod("sort", 1).op(A::Trace); // indices, numeric
    assignArray(a, "x", { "b", "C", "a" }).push(1.0).get("x").callMethod("sort", 1).op(A::Trace);
    assignArray(a, "x", { 1.0, 1.0 }).push(4.0).get("x").callMethod("sort", 1).op(A::Trace); // UNIQUESORT
                                                                                             // fails: 0
    assignArray(a, "x", { 1.0, 2.0, 3.0, 4.0 });
    a.traceCall("x", "splice", { 1.0, 2.0, "a" });
    a.traceVar("x");
    a.traceCall("x", "reverse");
    a.traceCall("x", "join", { "-" });
    a.traceCall("x", "push", { 9.0 });
    a.traceCall("x", "shift");
    a.traceCall("x", "unshift", { 0.0 });
    a.traceCall("x", "slice", { -2.0 });
    a.traceCall("x", "concat", { 5.0 });
    EXPECT_EQ(traceOf(a),
        lines({ "1,10,2,3", "1,2,3,10", "10,3,2,1", "1,3,0,2", "a,b,C", "0", "2,3", "1,a,4", "4,a,1", "4-a-1",
            "4", "4", "4", "1,9", "0,a,1,9,5" }));
}

TEST(Classes, ArrayUnshiftMakesTheElementsAnewButTheUndeletableOnes)
{
    // x = [1, 2, 3]; ASSetPropFlags(x, "0", 6): element 0 may not be deleted nor written
    Asm a;
    assignArray(a, "x", { 1.0, 2.0, 3.0 });
    a.push(6.0).push("0").get("x").pushInt(3).push("ASSetPropFlags").op(A::CallFunction).op(A::Pop);
    a.traceCall("x", "unshift", { 7.0, 8.0 });
    a.traceVar("x");
    // for..in: the new elements newest first, the kept element 0 oldest of all
    a.push("s").push("").op(A::SetVariable);
    a.get("x").op(A::Enumerate2);
    a.label("next").storeRegister(0).pushNull().op(A::Equals2).ifTrue("done");
    a.push("s").get("s").pushRegister(0).op(A::Add2).push(",").op(A::Add2).op(A::SetVariable).jump("next");
    a.label("done").traceVar("s");
    EXPECT_EQ(traceOf(a), lines({ "5", "1,8,1,2,3", "1,2,3,4,0," }));
}

TEST(Classes, ArraySortOnFields)
{
    // [{n:"b", v:2}, {n:"a", v:10}].sortOn("v") sorts by string, then NUMERIC by number.
    Asm a;
    a.push("x");
    a.push("n").push("a").push("v").push(10.0).pushInt(2).op(A::InitObject);
    a.push("n").push("b").push("v").push(2.0).pushInt(2).op(A::InitObject);
    a.pushInt(2).op(A::InitArray).op(A::SetVariable);
    Asm names;
    a.push("v").get("x").callMethod("sortOn", 1).op(A::Pop);
    a.get("x").push("0").op(A::GetMember).push("n").op(A::GetMember).op(A::Trace);
    a.push(16.0).push("v").get("x").callMethod("sortOn", 2).op(A::Pop);
    a.get("x").push("0").op(A::GetMember).push("n").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "a", "b" }));
}

// Sorting is not stable: equal elements come out in the order a first-element-pivot
// quicksort leaves them. Long sorted input (which nests that quicksort deepest) still
// comes out sorted.
TEST(Classes, ArraySortLeavesEqualElementsInQuicksortOrder)
{
    Asm a;
    assignArray(a, "x", { "Bb", "aa", "AA", "bb" });
    a.push(1.0).get("x").callMethod("sort", 1).op(A::Pop); // CASEINSENSITIVE
    a.traceVar("x");
    // y = []; for (i = 0; i < 3000; i++) y.push(Math.floor(i / 2)); y.sort(NUMERIC | DESCENDING)
    a.assignNew("y", "Array");
    a.push("i").push(0.0).op(A::SetVariable);
    a.label("loop").get("i").push(3000.0).op(A::Less2).op(A::Not).ifTrue("done");
    a.get("i").push(2.0).op(A::Divide).get("Math").callMethod("floor", 1);
    a.get("y").callMethod("push", 1).op(A::Pop);
    a.push("i").get("i").op(A::Increment).op(A::SetVariable).jump("loop");
    a.label("done");
    a.push(18.0).get("y").callMethod("sort", 1).op(A::Pop);
    a.traceCall("y", "join", { "," });
    std::string expected;
    for (int i = 2999; i >= 0; --i)
        expected += std::to_string(i / 2) + (i ? "," : "");
    EXPECT_EQ(traceOf(a), lines({ "AA,aa,Bb,bb", expected.c_str() }));
}

// sortOn reads only a field stored on the object itself: one that comes from a prototype
// or through a getter is undefined, and the getter is not called.
TEST(Classes, ArraySortOnSkipsInheritedFieldsAndGetters)
{
    Asm getter; // trace("get"); return 1
    getter.trace("get").push(1.0).op(A::Return);
    Asm a;
    // p = {v: 1}; x = [{n: "b", __proto__: p}, {n: "a", v: 2}]
    a.push("p").push("v").push(1.0).pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.push("x");
    a.push("n").push("a").push("v").push(2.0).pushInt(2).op(A::InitObject);
    a.push("n").push("b").push("__proto__").get("p").pushInt(2).op(A::InitObject);
    a.pushInt(2).op(A::InitArray).op(A::SetVariable);
    // The inherited v is undefined, after 2 as a string.
    a.push(0.0).push("v").get("x").callMethod("sortOn", 2).op(A::Pop);
    a.get("x").push("0").op(A::GetMember).push("n").op(A::GetMember).op(A::Trace);
    // x[0].addProperty("w", getter, null); x[1].w = 5: the getter's 1 would go first.
    a.pushNull().function("", {}, getter).push("w").pushInt(3);
    a.get("x").push("0").op(A::GetMember).push("addProperty").op(A::CallMethod).op(A::Pop);
    a.get("x").push("1").op(A::GetMember).push("w").push(5.0).op(A::SetMember);
    a.push(16.0).push("w").get("x").callMethod("sortOn", 2).op(A::Pop);
    a.get("x").push("0").op(A::GetMember).push("n").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "a", "b" }));
}

// A watcher that sets what it watches is called again, to a bound of nesting; past it
// the value is stored as set. A watch on a getter/setter property runs before the
// setter, which takes what the watcher returns.
TEST(Classes, WatchersNestToABoundAndPrecedeSetters)
{
    Asm watcher; // calls++; o.p = "again"; return "w"
    watcher.push("calls").get("calls").push(1.0).op(A::Add2).op(A::SetVariable);
    watcher.get("o").push("p").push("again").op(A::SetMember);
    watcher.push("w").op(A::Return);
    Asm a;
    a.push("calls").push(0.0).op(A::SetVariable);
    a.assignNew("o", "Object");
    a.function("", { "prop", "old", "nv" }, watcher).push("p").get("o").callMethod("watch", 2).op(A::Pop);
    a.get("o").push("p").push(1.0).op(A::SetMember);
    a.traceVar("calls");
    a.get("o").push("p").op(A::GetMember).op(A::Trace);

    Asm setter;
    setter.push("set ").get("v").op(A::Add2).op(A::Trace);
    Asm doubler;
    doubler.get("nv").push(2.0).op(A::Multiply).op(A::Return);
    a.assignNew("q", "Object");
    a.function("", { "v" }, setter).function("", {}, Asm().push(0.0).op(A::Return)).push("x").get("q");
    a.callMethod("addProperty", 3).op(A::Pop);
    a.function("", { "prop", "old", "nv" }, doubler).push("x").get("q").callMethod("watch", 2).op(A::Pop);
    a.get("q").push("x").push(4.0).op(A::SetMember);
    EXPECT_EQ(traceOf(a, 7), lines({ "65", "w", "set 8" }));
}

// The bound of nesting is each property's own: two watchers that set each other's
// property both reach it. Inside the innermost watcher the property's accessors are
// passed over: it reads and keeps a plain value there.
TEST(Classes, WatchNestingIsBoundPerPropertyAndTheInnermostBypassesAccessors)
{
    Asm a;
    a.push("calls").push(0.0).op(A::SetVariable);
    a.assignNew("o", "Object");
    for (const auto& [mine, other] : { std::pair { "a", "b" }, std::pair { "b", "a" } }) {
        Asm watcher; // calls++; o[other] = 1; return 1
        watcher.push("calls").get("calls").push(1.0).op(A::Add2).op(A::SetVariable);
        watcher.get("o").push(other).push(1.0).op(A::SetMember);
        watcher.push(1.0).op(A::Return);
        a.function("", { "prop", "old", "nv" }, watcher).push(mine).get("o").callMethod("watch", 2).op(A::Pop);
    }
    a.get("o").push("a").push(0.0).op(A::SetMember);
    a.traceVar("calls");

    // q.x: getter "got", setter counting; the watcher reads q.x, then sets it again.
    a.push("sets").push(0.0).op(A::SetVariable);
    a.assignNew("q", "Object");
    Asm setter;
    setter.push("sets").get("sets").push(1.0).op(A::Add2).op(A::SetVariable);
    a.function("", { "v" }, setter).function("", {}, Asm().push("got").op(A::Return)).push("x").get("q");
    a.callMethod("addProperty", 3).op(A::Pop);
    Asm reader; // seen = q.x; q.x = nv; return nv
    reader.push("seen").get("q").push("x").op(A::GetMember).op(A::SetVariable);
    reader.get("q").push("x").get("nv").op(A::SetMember);
    reader.get("nv").op(A::Return);
    a.function("", { "prop", "old", "nv" }, reader).push("x").get("q").callMethod("watch", 2).op(A::Pop);
    a.get("q").push("x").push(5.0).op(A::SetMember);
    a.traceVar("seen"); // what the innermost watcher read
    a.traceVar("sets");
    a.get("q").push("x").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a, 7), lines({ "130", "undefined", "65", "got" }));
}

// A getter or setter that reaches its own property again runs inside itself 65 deep; past
// that the property reads and writes the value it keeps, which is what the outermost
// write gave once every setter is done.
TEST(Classes, AccessorNestingIsBoundPerPropertyAndKeepsTheOutermostWrite)
{
    Asm a;
    a.push("sets").push(0.0).op(A::SetVariable);
    a.push("gets").push(0.0).op(A::SetVariable);
    a.assignNew("o", "Object");
    Asm setter; // sets++; o.p = "inner"
    setter.push("sets").get("sets").op(A::Increment).op(A::SetVariable);
    setter.get("o").push("p").push("inner").op(A::SetMember);
    Asm getter; // gets++; return o.p
    getter.push("gets").get("gets").op(A::Increment).op(A::SetVariable);
    getter.get("o").push("p").op(A::GetMember).op(A::Return);
    a.function("", { "v" }, setter).function("", {}, getter).push("p").get("o");
    a.callMethod("addProperty", 3).op(A::Pop);
    a.get("o").push("p").push("outer").op(A::SetMember);
    a.traceVar("sets");
    a.get("o").push("p").op(A::GetMember).op(A::Trace);
    a.traceVar("gets");
    // Through a prototype the bound is the holder's: a child's write runs the same chain.
    a.push("sets").push(0.0).op(A::SetVariable);
    a.push("c").push("__proto__").get("o").pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.get("c").push("p").push("child").op(A::SetMember);
    a.traceVar("sets");
    EXPECT_EQ(traceOf(a, 7), lines({ "65", "outer", "65", "65" }));
}

// ASSetNativeAccessor and ASSetNative lay numbered functions of the player's tables onto
// an object, by a list of names that may lead with the version they need.
TEST(Classes, SetNativeAccessorNamesTakeVersionPrefixes)
{
    Asm a;
    a.assignNew("o", "Object");
    // Entries 0, 1, 2, 3 of the Math table: abs, min, max, sin.
    a.pushArgs({ "1a,2b,,8h,6f", 0.0 }).pushInt(200).get("o").pushInt(4).push("ASSetNativeAccessor");
    a.op(A::CallFunction).op(A::Pop);
    for (const char* name : { "a", "2b", "h", "f" })
        traceMember(a, "o", name);
    // Hidden from this version, h still shows in for..in.
    a.get("o").op(A::Enumerate2);
    a.label("next").storeRegister(0).pushNull().op(A::Equals2).ifTrue("done");
    a.pushRegister(0).op(A::Trace).jump("next");
    a.label("done");
    a.pushInt(0).push("ASSetNativeAccessor").op(A::CallFunction).op(A::TypeOf).op(A::Trace);
    // ASSetNative(m, 200, "abs,min,7big", 0): methods, the same numbering.
    a.assignNew("m", "Object");
    a.pushArgs({ "abs,min,7big", 0.0 }).pushInt(200).get("m").pushInt(4).push("ASSetNative");
    a.op(A::CallFunction).op(A::Pop);
    a.traceCall("m", "abs", { -3.0 });
    a.traceCall("m", "big", { 3.0, 8.0 });
    EXPECT_EQ(traceOf(a, 7),
        lines({ "NaN", "Infinity", "undefined", "NaN", "f", "h", "2b", "a", "function", "3", "8" }));
}

TEST(Classes, ObjectPropertiesWatchAndFlags)
{
    Asm getter;
    getter.push(42.0).op(A::Return);
    Asm setter;
    setter.push("set ").get("v").op(A::Add2).op(A::Trace);
    Asm watcher; // function (prop, old, new) { return new * 2 }
    watcher.get("nv").push(2.0).op(A::Multiply).op(A::Return);
    Asm a;
    a.assignNew("o", "Object");
    // o.addProperty("p", getter, setter)
    a.function("", { "v" }, setter).function("", {}, getter).push("p").get("o").callMethod("addProperty", 3);
    a.op(A::Trace);
    traceMember(a, "o", "p");
    a.get("o").push("p").push(1.0).op(A::SetMember);
    a.traceCall("o", "hasOwnProperty", { "p" });
    a.traceCall("o", "hasOwnProperty", { "toString" });
    // o.watch("w", watcher); o.w = 5
    a.function("", { "prop", "old", "nv" }, watcher).push("w").get("o").callMethod("watch", 2).op(A::Pop);
    a.get("o").push("w").push(5.0).op(A::SetMember);
    traceMember(a, "o", "w");
    a.push("w").get("o").callMethod("unwatch", 1).op(A::Pop);
    a.get("o").push("w").push(5.0).op(A::SetMember);
    traceMember(a, "o", "w");
    // ASSetPropFlags(o, "w", 1): no longer enumerable
    a.traceCall("o", "isPropertyEnumerable", { "w" });
    a.push(1.0).push("w").get("o").pushInt(3).push("ASSetPropFlags").op(A::CallFunction).op(A::Pop);
    a.traceCall("o", "isPropertyEnumerable", { "w" });
    EXPECT_EQ(traceOf(a), lines({ "true", "42", "set 1", "true", "false", "10", "5", "true", "false" }));
}

TEST(Classes, ResolveAnswersMissingMembers)
{
    Asm resolver;
    resolver.push("no ").get("name").op(A::Add2).op(A::Return);
    Asm a;
    a.assignNew("o", "Object");
    a.get("o").push("__resolve").function("", { "name" }, resolver).op(A::SetMember);
    traceMember(a, "o", "thing");
    // The nearest __resolve holding a primitive is passed over for the prototype's;
    // one holding a plain object answers nothing.
    a.assignNew("child", "Object");
    a.get("child").push("__proto__").get("o").op(A::SetMember);
    a.get("child").push("__resolve").push(42.0).op(A::SetMember);
    traceMember(a, "child", "other");
    a.get("child").push("__resolve").push(0.0).op(A::InitObject).op(A::SetMember);
    traceMember(a, "child", "other");
    EXPECT_EQ(traceOf(a), lines({ "no thing", "no other", "undefined" }));
}

TEST(Classes, RegisterClassTakesOnlyFunctions)
{
    Asm a;
    a.traceCall("Object", "registerClass", { "symbol" });
    a.traceCall("Object", "registerClass", { "symbol", 12.0 });
    a.traceCall("Object", "registerClass", { "symbol", "Object" });
    a.get("Object").push("symbol").get("Object").callMethod("registerClass", 2).op(A::Trace);
    a.pushNull().push("symbol").get("Object").callMethod("registerClass", 2).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "false", "false", "false", "true", "true" }));
}

TEST(Classes, FunctionCallAndApply)
{
    Asm body; // return this.k + a + b
    body.push("this").op(A::GetVariable).push("k").op(A::GetMember).get("a").op(A::Add2).get("b").op(A::Add2);
    body.op(A::Return);
    Asm a;
    a.push("f").function("", { "a", "b" }, body).op(A::SetVariable);
    a.push("o").push("k").push(1.0).pushInt(1).op(A::InitObject).op(A::SetVariable);
    a.push(3.0).push(2.0).get("o").get("f").callMethod("call", 3).op(A::Trace);
    assignArray(a, "args", { 2.0, 3.0 });
    a.get("args").get("o").get("f").callMethod("apply", 2).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "6", "6" }));
}

TEST(Classes, DateInUtc)
{
    Asm a;
    a.push(5.0).push(4.0).push(3.0).push(2.0).push(0.0).push(2005.0).get("Date").callMethod("UTC", 6);
    a.storeRegister(1).op(A::Trace);
    a.push("d").pushRegister(1).pushInt(1).push("Date").op(A::NewObject).op(A::SetVariable);
    a.traceCall("d", "getUTCFullYear");
    a.traceCall("d", "getUTCDay");
    a.traceCall("d", "getUTCHours");
    a.traceCall("d", "setUTCMonth", { 1.0 });
    a.traceCall("d", "getUTCDate");
    EXPECT_EQ(traceOf(a), lines({ "1104635045000", "2005", "0", "3", "1107313445000", "2" }));
}

TEST(Classes, EscapeAndUnescape)
{
    Asm a;
    a.traceFunction("escape", { "a b&c" });
    a.traceFunction("unescape", { "%E4%B8%AD+x" });
    EXPECT_EQ(traceOf(a), lines({ "a%20b%26c", "中+x" }));
}

TEST(Classes, XmlParsesAndPrints)
{
    Asm a;
    a.assignNew("x", "XML", { "<a b='1'><c>t&amp;</c></a>" });
    a.get("x")
        .push("firstChild")
        .op(A::GetMember)
        .push("attributes")
        .op(A::GetMember)
        .push("b")
        .op(A::GetMember);
    a.op(A::Trace);
    a.get("x").push("firstChild").op(A::GetMember).push("firstChild").op(A::GetMember);
    a.push("firstChild").op(A::GetMember).push("nodeValue").op(A::GetMember).op(A::Trace);
    a.traceVar("x");
    a.get("x").push("firstChild").op(A::GetMember).push("nodeName").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "1", "t&", "<a b=\"1\"><c>t&amp;</c></a>", "a" }));
}

TEST(Classes, BroadcasterCallsItsListeners)
{
    Asm ping;
    ping.push("ping ").get("v").op(A::Add2).op(A::Trace);
    Asm a;
    a.assignNew("o", "Object").assignNew("l", "Object");
    a.get("o").get("AsBroadcaster").callMethod("initialize", 1).op(A::Pop);
    a.get("l").push("onPing").function("", { "v" }, ping).op(A::SetMember);
    a.get("l").get("o").callMethod("addListener", 1).op(A::Pop);
    a.push(5.0).push("onPing").get("o").callMethod("broadcastMessage", 2).op(A::Pop);
    a.get("l").get("o").callMethod("removeListener", 1).op(A::Trace);
    a.push(6.0).push("onPing").get("o").callMethod("broadcastMessage", 2).op(A::Pop);
    // A blank message calls a listener that is itself a function.
    a.push("f").function("", {}, Asm().trace("called itself")).op(A::SetVariable);
    a.get("f").get("o").callMethod("addListener", 1).op(A::Pop);
    a.push("").get("o").callMethod("broadcastMessage", 1).op(A::Pop);
    EXPECT_EQ(traceOf(a), lines({ "ping 5", "true", "called itself" }));
}

// Elements at indices too large to count in the length stay the script's data; join
// lent to a plain object reads its own elements up to its "length".
TEST(Classes, ArrayElementsPastTheLengthBoundAndBorrowedJoin)
{
    Asm a;
    a.push("x").pushInt(0).op(A::InitArray).op(A::SetVariable);
    a.get("x").push(2147483648.0).push("far").op(A::SetMember);
    a.get("x").push(2147483648.0).op(A::GetMember).op(A::Trace);
    a.get("x").push("length").op(A::GetMember).op(A::Trace);
    a.assignNew("o", "Object");
    a.get("o").push("length").push(2.0).op(A::SetMember);
    a.get("o").push("1").push("b").op(A::SetMember);
    a.get("o")
        .push("join")
        .get("Array")
        .push("prototype")
        .op(A::GetMember)
        .push("join")
        .op(A::GetMember)
        .op(A::SetMember);
    a.traceCall("o", "join", { "-" });
    EXPECT_EQ(traceOf(a, 7), lines({ "far", "0", "undefined-b" }));
}

TEST(Classes, SoundVolumeIsSharedByTheSoundsOfAClip)
{
    Asm a;
    a.assignNew("s", "Sound").assignNew("t", "Sound");
    a.traceCall("s", "getVolume");
    a.push(40.0).get("s").callMethod("setVolume", 1).op(A::Pop);
    a.traceCall("t", "getVolume");
    a.push(-30.0).get("t").callMethod("setPan", 1).op(A::Pop);
    a.traceCall("s", "getPan");
    a.traceCall("s", "getTransform");
    a.get("s").push("getTransform").op(A::GetMember).op(A::TypeOf).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "100", "40", "-30", "[object Object]", "function" }));
}

TEST(Classes, MovieClipsMadeByScript)
{
    Asm a;
    a.push(5.0).push("m").get("_root").callMethod("createEmptyMovieClip", 2).op(A::Trace);
    a.get("m").push("_x").push(10.0).op(A::SetMember);
    traceMember(a, "m", "_x");
    a.traceCall("m", "getDepth");
    a.traceCall("_root", "getNextHighestDepth");
    traceMember(a, "m", "_name");
    a.push(0.0).push("n").get("m").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.get("m").push("n").op(A::GetMember).op(A::TargetPath).op(A::Trace);
    a.traceCall("m", "removeMovieClip");
    a.get("m").op(A::TypeOf).op(A::Trace);
    EXPECT_EQ(
        traceOf(a), lines({ "_level0.m", "10", "5", "6", "m", "_level0.m.n", "undefined", "undefined" }));
}

TEST(Classes, KeyMouseStageAndSystemExist)
{
    Asm a;
    traceMember(a, "Key", "SPACE");
    a.get("Mouse").push("hide").op(A::GetMember).op(A::TypeOf).op(A::Trace);
    a.get("Stage").push("scaleMode").op(A::GetMember).op(A::Trace);
    traceMember(a, "Stage", "width");
    a.get("System").push("capabilities").op(A::GetMember).push("hasAudio").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a), lines({ "32", "function", "showAll", "100", "true" }));
}

// Rectangle's tests answer undefined where a coordinate is NaN, unless a test before it
// already failed; min and max carry NaN through; only a Rectangle equals a Rectangle.
TEST(Classes, RectangleTestsWithNaNAndEquality)
{
    const double nan = std::nan("");
    Asm a;
    const auto rectangle = [&](const std::string& variable, const std::vector<Asm::Arg>& args) {
        a.push(variable).pushArgs(args).pushInt(int(args.size()));
        a.get("flash").push("geom").op(A::GetMember).push("Rectangle").op(A::NewMethod).op(A::SetVariable);
    };
    rectangle("r", { 1.0, 3.0, 5.0, 7.0 });
    a.traceCall("r", "contains", { 1.0, 3.0 });
    a.traceCall("r", "contains", { 1.0, 2.0 });
    a.traceCall("r", "contains", { 4.0, nan });
    a.traceCall("r", "contains", { 0.0, nan }); // x already outside
    a.traceCall("r", "contains", { 1.0 });
    a.traceCall("r", "containsRectangle");
    rectangle("tall", { 2.0, 4.0, 1.0, nan });
    a.get("tall").pushInt(1).get("r").push("union").op(A::CallMethod).push("bottom").op(A::GetMember).op(A::Trace);
    a.get("tall").pushInt(1).get("r").push("intersects").op(A::CallMethod).op(A::Trace);
    // r.equals({x: 1, y: 3, width: 5, height: 7}), then r.equals(r.clone())
    a.push("x").push(1.0).push("y").push(3.0).push("width").push(5.0).push("height").push(7.0);
    a.pushInt(4).op(A::InitObject);
    a.pushInt(1).get("r").push("equals").op(A::CallMethod).op(A::Trace);
    a.pushInt(0).get("r").push("clone").op(A::CallMethod);
    a.pushInt(1).get("r").push("equals").op(A::CallMethod).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines({ "true", "false", "undefined", "false", "undefined", "undefined", "NaN", "false", "false",
            "true" }));
}

} // namespace
} // namespace swf::test
