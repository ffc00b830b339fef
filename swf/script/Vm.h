#pragma once

#include "Function.h"
#include "Object.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace swf::script {

class ArrayObject;
class ScriptEngine;

// `throw` in a script, or an error a built-in raises: unwinds to the nearest try.
struct ScriptThrow {
    Value value;
};

// A script that must stop (it ran too long, recursed too deep, grew too big): unwinds
// every frame of the script; the movie goes on.
struct ScriptAbort {
    QString message;
};

// The prototypes of the built-in classes, kept for making their objects.
struct Prototypes {
    Ref<Object> object, function, array, string, number, boolean, date, error, movieClip, button, textField,
        textFormat, sound, color, xmlNode, xml, loadVars, sharedObject, transform, point, rectangle, matrix,
        colorTransform, contextMenu, contextMenuItem, movieClipLoader, localConnection, textSnapshot,
        styleSheet, bitmapData, fileReference, xmlSocket, netConnection, netStream, camera, microphone, video,
        selection, filter;
};

// The ActionScript 1/2 virtual machine of one movie: its objects, the global object and
// the built-in classes, the rules of values that depend on the movie's version, property
// access with prototypes, accessors, watches and __resolve, calls, and the limits that
// keep a script from hanging or crashing the player.
class Vm {
public:
    static constexpr int kDefaultMaxDepth = 256;
    static constexpr int kDefaultTimeoutSeconds = 15;
    // No string grows past this many characters and no array past this many elements.
    static constexpr qsizetype kMaxStringLength = 1 << 26;
    static constexpr uint32_t kMaxArrayLength = 1 << 24;
    // Objects alive at once; a script that makes more is stopped.
    static constexpr size_t kMaxObjects = 4'000'000;

    Vm(int swfVersion, ScriptEngine* engine);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Heap& heap() { return heap_; }
    int version() const { return version_; }
    // Names compare exactly from SWF 7 on, without regard to case before.
    bool caseSensitive() const { return version_ >= 7; }
    // The key a name is stored and found by.
    QString key(const QString& name) const;
    bool sameName(const QString& a, const QString& b) const;
    ScriptEngine* engine() const { return engine_; }

    Object* global() const { return global_.get(); }
    Prototypes& protos() { return protos_; }

    // ---- Making objects -----------------------------------------------------------------
    Ref<Object> newObject();
    Ref<ArrayObject> newArray();
    Ref<ArrayObject> newArray(std::vector<Value> items);
    Ref<NativeFunction> newNative(NativeFn fn, bool makesOwnObject = false);
    // A built-in method on `target`, hidden from for..in.
    Ref<NativeFunction> method(Object* target, const QString& name, NativeFn fn, uint16_t flags = kBuiltin);
    // A class: the constructor with a fresh prototype (whose __proto__ is `parentProto`),
    // linked both ways, defined on the global object under `name` when given.
    Ref<NativeFunction> makeClass(const QString& name, NativeFn ctor, Object* prototype,
        bool makesOwnObject = false, uint16_t flags = kBuiltin);
    // What `new` makes for a class whose prototype chain reaches `proto`: the object of
    // the built-in kind behind it (an array, a date, an XML node), so that scripts can
    // extend the built-in classes.
    using InstanceFactory = Ref<Object> (*)(Vm& vm, Object* proto);
    void setInstanceFactory(Object* proto, InstanceFactory factory);
    Ref<Object> instantiate(Object* proto);
    // An accessor property with native getter and setter (the setter may be null).
    void accessor(
        Object* target, const QString& name, NativeFn getter, NativeFn setter, uint16_t flags = kBuiltin);

    // ---- Conversions, by the movie's version ---------------------------------------------
    enum class Hint : uint8_t { None, Number, String };
    Value toPrimitive(const Value& v, Hint hint = Hint::None);
    double toNumber(const Value& v);
    QString toString(const Value& v);
    bool toBoolean(const Value& v);
    double toInteger(const Value& v);
    int32_t toInt32(const Value& v);
    uint32_t toUint32(const Value& v) { return static_cast<uint32_t>(toInt32(v)); }
    // Primitives become their wrapper objects; undefined and null give null.
    Ref<Object> toObject(const Value& v);
    QString typeOf(const Value& v);
    double stringToNumber(const QString& s) const;

    // ---- Properties ---------------------------------------------------------------------
    // `home` gets the object of the prototype chain the value was found on.
    // Without `resolve`, a missing property is undefined even where __resolve is defined.
    Value get(Object* o, const QString& name, Object** home = nullptr, bool resolve = true);
    Value getMember(const Value& target, const QString& name, Object** home = nullptr);
    void set(Object* o, const QString& name, const Value& value);
    void setMember(const Value& target, const QString& name, const Value& value);
    // Whether the object or its prototypes have the property (stored or host).
    bool has(Object* o, const QString& name);
    bool hasOwn(Object* o, const QString& name);
    // delete: false for a property that is not there or may not be deleted.
    bool remove(Object* o, const QString& name);
    // The names for..in lists, newest first, prototypes' after the object's own.
    std::vector<QString> enumerate(Object* o);
    // Follows the prototype chain for a stored property, the object first.
    Property* findProperty(Object* o, const QString& key, Object** owner = nullptr);
    bool visible(const Property& p) const;

    // ---- Operators ----------------------------------------------------------------------
    Value add(const Value& a, const Value& b); // Add2
    bool equals(const Value& a, const Value& b); // Equals2
    bool strictEquals(const Value& a, const Value& b);
    // a < b: true, false, or undefined when either is NaN.
    Value less(const Value& a, const Value& b);
    bool instanceOf(const Value& v, Object* constructor);

    // ---- Calls --------------------------------------------------------------------------
    Value call(
        const Value& function, const Value& thisValue, std::span<const Value> args, Object* home = nullptr);
    Value callMethod(const Value& target, const QString& name, std::span<const Value> args);
    Value construct(const Value& constructor, std::span<const Value> args);
    // Counts a call against the depth limit; fails the call past it.
    class DepthGuard {
    public:
        explicit DepthGuard(Vm& vm);
        ~DepthGuard() { --vm_.depth_; }

    private:
        Vm& vm_;
    };
    int depth() const { return depth_; }
    // The operand stack every script and function works on.
    std::vector<Value>& stack() { return stack_; }
    // The constant pool a block of actions declared last: the next block starts with it
    // (functions keep the one they were defined with).
    const std::shared_ptr<const ConstantPool>& lastConstants() const { return lastConstants_; }
    void setLastConstants(std::shared_ptr<const ConstantPool> pool) { lastConstants_ = std::move(pool); }

    // ---- Limits -------------------------------------------------------------------------
    void setLimits(int maxDepth, int timeoutSeconds);
    // The same time in milliseconds, for hosts that cannot wait seconds (the fuzz target).
    void setTimeoutMillis(int ms) { timeoutMs_ = std::max(ms, 1); }
    int64_t timeoutMillis() const { return timeoutMs_; }
    // What the user is told when scripts ran past that time.
    QString timeoutMessage() const;
    // A script starts: its time starts counting (nested scripts count with the outer one).
    void beginScript();
    void endScript();
    bool inScript() const { return scripts_ > 0; }
    // Called by the interpreter as it runs: stops the script past its time or memory.
    void checkLimits();
    // Raises a script error (caught by try/catch, else ends the script).
    [[noreturn]] void throwError(const QString& className, const QString& message);

private:
    Value resolveHandler(Object* o);
    Value equalityPrimitive(const Value& v);
    void installBuiltins();
    // Runs the watch on property `k` of `o`, if any: `value` becomes what it returns.
    bool watched(Object* o, const QString& k, const QString& name, const Value& old, Value& value);
    // How many watchers of property `k` of `o` are running.
    int watchNesting(const Object* o, const QString& k) const;
    // valueOf / toString by the hint; nothing when the object has neither.
    Value convert(Object* o, const Value& v, Hint hint);

    Heap heap_; // first: outlives every object
    int version_;
    ScriptEngine* engine_;
    Ref<Object> global_;
    Prototypes protos_;
    std::unordered_map<Object*, InstanceFactory> factories_;
    std::vector<Value> stack_;
    std::shared_ptr<const ConstantPool> lastConstants_;
    int depth_ = 0;
    int maxDepth_ = kDefaultMaxDepth;
    // The watchers running inside one another: object and property key of each.
    std::vector<std::pair<const Object*, QString>> runningWatches_;
    // A property's watcher runs inside itself up to this; past it a write is stored as
    // it is, and the property's accessors are passed over.
    static constexpr int kMaxWatchNesting = 64;
    // The getters and setters running inside one another: the object holding the
    // property and its key. A property's accessors nest up to kMaxWatchNesting deep; past
    // that the property reads and writes the value kept in it.
    std::vector<std::pair<const Object*, QString>> runningAccessors_;
    int accessorNesting(const Object* owner, const QString& k) const;
    Value callAccessor(const Object* owner, const QString& k, Object* fn, Object* self, std::span<const Value> args);
    int64_t timeoutMs_ = kDefaultTimeoutSeconds * 1000LL;
    int scripts_ = 0;
    QElapsedTimer clock_;
};

} // namespace swf::script
