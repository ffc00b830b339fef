#include "Interpreter.h"

#include "Array.h"
#include "Builtins.h"
#include "ClipObject.h"
#include "Numbers.h"
#include "ScriptEngine.h"
#include "Vm.h"

#include "swf/display/Stage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf::script {
namespace {

// GetProperty's and SetProperty's index as a whole number; any other value (NaN, a huge
// number) names no property.
int propertyIndex(double index)
{
    return std::isfinite(index) && index >= 0 && index < 256 ? int(index) : -1;
}

// How a block of code ended: it ran off its end, returned, or jumped outside itself
// (a break out of a with or try block).
struct Completion {
    enum class Kind : uint8_t { Normal, Return, Jump };
    Kind kind = Kind::Normal;
    Value value;
    uint32_t target = 0;
};

constexpr size_t kMaxStack = 1 << 20;
constexpr uint32_t kCheckEvery = 4096;

class Runner {
public:
    explicit Runner(ExecContext& ctx)
        : c(ctx)
        , vm(ctx.vm)
        , engine(ctx.engine)
        , stack_(ctx.vm.stack())
        , startedGone_(removed())
    {
    }

    Completion run(uint32_t start, uint32_t end, uint32_t from);
    Completion run(uint32_t start, uint32_t end) { return run(start, end, start); }

private:
    // Where a Jump or If goes: a target outside the program ends it (and, for a frame's
    // block, is noted for the caller to carry on in the block that holds it).
    uint32_t branch(int64_t target)
    {
        const uint32_t size = c.program->size();
        if (target >= 0 && target <= int64_t(size))
            return uint32_t(target);
        if (c.mayLeaveBlock && c.program->inRun())
            c.leftFor = target;
        return size;
    }
    Value pop()
    {
        if (stack_.empty())
            return Value();
        Value v = std::move(stack_.back());
        stack_.pop_back();
        return v;
    }
    void push(Value v)
    {
        if (stack_.size() >= kMaxStack)
            throw ScriptAbort { QStringLiteral("脚本栈溢出，已停止。") };
        stack_.push_back(std::move(v));
    }
    double popNumber() { return vm.toNumber(pop()); }
    QString popString() { return vm.toString(pop()); }
    // Arguments as CallFunction and NewObject pop them: the count, then the first.
    std::vector<Value> popArgs()
    {
        const double n = popNumber();
        // A count past the stack (however large) takes what the stack holds.
        const size_t count = std::isfinite(n) && n > 0 ? size_t(std::min(n, double(stack_.size()))) : 0;
        std::vector<Value> args;
        args.reserve(count);
        for (size_t i = 0; i < count; ++i)
            args.push_back(pop());
        return args;
    }
    Value legacyBool(bool b) const
    {
        if (c.version < 5)
            return Value(b ? 1.0 : 0.0);
        return Value(b);
    }
    double legacyNumber(const Value& v) { return vm.toNumber(v); }
    // A binary operator: the right operand converts first (its valueOf runs before
    // the left one's), but for Less, which converts the left first.
    enum class Order { RightFirst, LeftFirst };
    template <class F> void legacyBinary(F f, Order order = Order::RightFirst)
    {
        const Value right = pop();
        const Value left = pop();
        if (order == Order::LeftFirst) {
            const double a = legacyNumber(left);
            push(f(a, legacyNumber(right)));
        } else {
            const double b = legacyNumber(right);
            push(f(legacyNumber(left), b));
        }
    }
    template <class F> void int32Binary(F f)
    {
        const int32_t b = vm.toInt32(pop());
        const int32_t a = vm.toInt32(pop());
        push(f(a, b));
    }

    void step(const Instruction& ins, uint32_t& pc, Completion& done, bool& finished);
    // Code stops at its next call once its own clip has been removed.
    bool removed() const
    {
        ClipObject* clip = c.baseClip ? c.baseClip->asClip() : nullptr;
        return clip && clip->removed();
    }
    // (An unload handler runs on a clip already gone, and runs to its end.)
    bool clipGone() const { return !startedGone_ && removed(); }
    void halt(Completion& done, bool& finished)
    {
        done.kind = Completion::Kind::Return;
        done.value = Value();
        finished = true;
    }
    Completion runTry(const Instruction& ins, uint32_t& pc);
    Completion runWith(const Instruction& ins, uint32_t& pc);
    void defineFunction(const Instruction& ins);

    ExecContext& c;
    Vm& vm;
    ScriptEngine& engine;
    std::vector<Value>& stack_;
    bool startedGone_;
};

Completion Runner::run(uint32_t start, uint32_t end, uint32_t from)
{
    uint32_t pc = from;
    uint32_t steps = 0;
    Completion done;
    while (pc < end) {
        const Instruction* ins = c.program->at(pc);
        if (!ins)
            return done;
        if (++steps >= kCheckEvery) {
            steps = 0;
            vm.checkLimits();
        }
        const uint32_t here = pc;
        pc = ins->next;
        bool finished = false;
        step(*ins, pc, done, finished);
        if (finished)
            return done;
        if (pc < start || pc > end) {
            if (pc == end)
                break;
            done.kind = Completion::Kind::Jump;
            done.target = pc;
            return done;
        }
        (void)here;
    }
    return done;
}

Completion Runner::runWith(const Instruction& ins, uint32_t& pc)
{
    const Value scope = pop();
    const uint32_t start = ins.next;
    const uint32_t end = std::min<uint32_t>(start + ins.a, c.program->size());
    pc = end;
    Ref<Object> object = vm.toObject(scope);
    if (!object)
        return Runner(c).run(start, end);
    c.scopes.push_back(object);
    const size_t depth = c.scopes.size();
    Completion result;
    try {
        result = Runner(c).run(start, end);
    } catch (...) {
        c.scopes.resize(depth - 1);
        throw;
    }
    c.scopes.resize(depth - 1);
    return result;
}

Completion Runner::runTry(const Instruction& ins, uint32_t& pc)
{
    const TryCode& t = *ins.tryCode;
    const uint32_t size = c.program->size();
    const uint32_t tryStart = ins.next;
    const uint32_t catchStart = std::min<uint32_t>(tryStart + t.header.trySize, size);
    const uint32_t finallyStart = std::min<uint32_t>(catchStart + t.header.catchSize, size);
    const uint32_t end = std::min<uint32_t>(finallyStart + t.header.finallySize, size);
    pc = end;
    const size_t stackDepth = stack_.size();
    const size_t scopeDepth = c.scopes.size();

    // Compilers end the try and catch blocks with a jump to the finally block (or past
    // it): that is the block ending normally, not a jump out of the statement.
    auto settle = [&](Completion done) {
        if (done.kind == Completion::Kind::Jump && done.target >= catchStart && done.target <= end
            && (done.target <= finallyStart || done.target == end))
            done.kind = Completion::Kind::Normal;
        return done;
    };
    Completion result;
    std::optional<ScriptThrow> pending;
    try {
        result = settle(Runner(c).run(tryStart, catchStart));
    } catch (ScriptThrow& thrown) {
        stack_.resize(std::min(stack_.size(), stackDepth));
        c.scopes.resize(scopeDepth);
        if (t.header.hasCatch) {
            if (t.header.catchInRegister) {
                if (t.header.catchRegister < c.registers.size())
                    c.registers[t.header.catchRegister] = thrown.value;
            } else if (c.activation) {
                c.activation->define(t.catchName, thrown.value);
            } else if (Object* target = c.target.get()) {
                vm.set(target, t.catchName, thrown.value);
            }
            try {
                result = settle(Runner(c).run(catchStart, finallyStart));
            } catch (ScriptThrow& again) {
                pending = again;
            }
        } else {
            pending = thrown;
        }
    }
    if (t.header.hasFinally && finallyStart < end) {
        Completion after = Runner(c).run(finallyStart, end);
        // A return or jump in the finally block wins over what the try block did.
        if (after.kind != Completion::Kind::Normal)
            return after;
    }
    if (pending)
        throw *pending;
    return result;
}

void Runner::defineFunction(const Instruction& ins)
{
    const auto& code = ins.function;
    Ref<ScriptFunction> fn(new ScriptFunction(vm, vm.protos().function.get(), c.program, code));
    fn->scopes = c.scopes;
    fn->baseClip = c.target;
    fn->constants = c.constants;
    Ref<Object> prototype = vm.newObject();
    prototype->define(QStringLiteral("constructor"), Value(fn), DontEnum);
    fn->define(
        QStringLiteral("prototype"), Value(prototype), kBuiltin); // not deletable, like a built-in class's
    if (code->name.isEmpty()) {
        push(Value(fn));
        return;
    }
    if (c.activation)
        c.activation->define(code->name, Value(fn));
    else if (c.target)
        vm.set(c.target.get(), code->name, Value(fn));
}

void Runner::step(const Instruction& ins, uint32_t& pc, Completion& done, bool& finished)
{
    using A = ActionCode;
    switch (static_cast<A>(ins.code)) {
    case A::End:
        finished = true;
        done.kind = Completion::Kind::Return;
        return;

    // ---- SWF 3: the timeline ----------------------------------------------------------
    case A::NextFrame:
        engine.timelineAction(c, ScriptEngine::TimelineStep::Next);
        return;
    case A::PreviousFrame:
        engine.timelineAction(c, ScriptEngine::TimelineStep::Previous);
        return;
    case A::Play:
        engine.timelineAction(c, ScriptEngine::TimelineStep::Play);
        return;
    case A::Stop:
        engine.timelineAction(c, ScriptEngine::TimelineStep::Stop);
        return;
    case A::ToggleQuality:
        return;
    case A::StopSounds:
        engine.stopSounds();
        return;
    case A::GotoFrame:
        engine.gotoFrame(c, Value(double(ins.a) + 1), false, false, 0);
        return;
    case A::GotoLabel:
        engine.gotoLabel(c, ins.text);
        return;
    case A::GetURL:
        engine.getUrl(c, ins.text, ins.text2, 0, false, false);
        return;
    case A::WaitForFrame: {
        if (!engine.frameLoaded(c, Value(double(ins.a) + 1))) {
            for (uint32_t i = 0; i < ins.b; ++i) {
                const Instruction* skip = c.program->at(pc);
                if (!skip)
                    break;
                pc = skip->next;
            }
        }
        return;
    }
    case A::SetTarget:
        engine.setTarget(c, Value(ins.text));
        return;

    // ---- SWF 4: the stack machine --------------------------------------------------------
    case A::Push:
        for (const PushOperand& op : ins.push) {
            switch (op.kind) {
            case PushOperand::Kind::Value:
                push(op.value);
                break;
            case PushOperand::Kind::Register:
                push(op.index < c.registers.size() ? c.registers[op.index] : Value());
                break;
            case PushOperand::Kind::Constant:
                push(c.constants && op.index < c.constants->size() ? (*c.constants)[op.index] : Value());
                break;
            }
        }
        return;
    case A::Pop:
        pop();
        return;
    case A::Add:
        return legacyBinary([](double a, double b) { return Value(a + b); });
    case A::Subtract:
        return legacyBinary([](double a, double b) { return Value(a - b); });
    case A::Multiply:
        return legacyBinary([](double a, double b) { return Value(a * b); });
    case A::Divide:
        return legacyBinary([&](double a, double b) {
            return b == 0 && c.version < 5 ? Value(QStringLiteral("#ERROR#")) : Value(a / b);
        });
    case A::Equals:
        return legacyBinary([&](double a, double b) { return legacyBool(a == b); });
    case A::Less:
        return legacyBinary([&](double a, double b) { return legacyBool(a < b); }, Order::LeftFirst);
    case A::And: {
        const bool b = vm.toBoolean(pop());
        const bool a = vm.toBoolean(pop());
        push(legacyBool(a && b));
        return;
    }
    case A::Or: {
        const bool b = vm.toBoolean(pop());
        const bool a = vm.toBoolean(pop());
        push(legacyBool(a || b));
        return;
    }
    case A::Not:
        push(legacyBool(!vm.toBoolean(pop())));
        return;
    case A::StringEquals: {
        const QString b = popString();
        const QString a = popString();
        push(legacyBool(a == b));
        return;
    }
    case A::StringLess: {
        const QString b = popString();
        const QString a = popString();
        push(legacyBool(a < b));
        return;
    }
    case A::StringGreater: {
        const QString b = popString();
        const QString a = popString();
        push(legacyBool(a > b));
        return;
    }
    case A::StringLength:
    case A::MBStringLength:
        push(double(popString().size()));
        return;
    case A::StringAdd: {
        const QString b = popString();
        QString a = popString();
        if (a.size() + b.size() > Vm::kMaxStringLength)
            throw ScriptAbort { QStringLiteral("字符串过长") };
        push(a + b);
        return;
    }
    case A::StringExtract:
    case A::MBStringExtract: {
        const double count = vm.toInt32(pop());
        const double index = vm.toInt32(pop());
        const QString s = popString();
        qsizetype from = qsizetype(std::max(0.0, index - 1));
        if (from > s.size())
            from = s.size();
        qsizetype n
            = count < 0 ? s.size() - from : qsizetype(std::min<double>(count, double(s.size() - from)));
        push(s.mid(from, n));
        return;
    }
    case A::ToInteger:
        push(vm.toInteger(pop()));
        return;
    case A::CharToAscii:
    case A::MBCharToAscii: {
        // A character beyond the first plane has no code of 16 bits: it reads as U+FFFD.
        const QString s = popString();
        const char16_t first = s.isEmpty() ? 0 : s.at(0).unicode();
        push(double(QChar::isSurrogate(first) ? char16_t(QChar::ReplacementCharacter) : first));
        return;
    }
    case A::AsciiToChar:
    case A::MBAsciiToChar: {
        const char16_t code = char16_t(vm.toUint32(pop()) & 0xFFFF);
        if (code == 0)
            push(QString());
        else if (QChar::isSurrogate(code))
            push(QString(QChar(QChar::ReplacementCharacter)));
        else
            push(QString(QChar(code)));
        return;
    }
    case A::GetVariable: {
        const QString name = popString();
        push(engine.getVariable(c, name));
        return;
    }
    case A::SetVariable: {
        Value value = pop();
        const QString name = popString();
        engine.setVariable(c, name, value);
        return;
    }
    case A::SetTarget2:
        engine.setTarget(c, pop());
        return;
    case A::GetProperty: {
        const int index = propertyIndex(popNumber());
        const Value target = pop();
        push(engine.getProperty(c, target, index));
        return;
    }
    case A::SetProperty: {
        const Value value = pop();
        const int index = propertyIndex(popNumber());
        const Value target = pop();
        engine.setProperty(c, target, index, value);
        return;
    }
    case A::CloneSprite: {
        const double depth = popNumber();
        const QString name = popString();
        const Value source = pop();
        engine.cloneSprite(c, source, name, depth);
        return;
    }
    case A::RemoveSprite:
        engine.removeSprite(c, pop());
        return;
    case A::Trace: {
        const Value v = pop();
        QString text = QStringLiteral("undefined");
        try {
            if (!v.isUndefined())
                text = vm.toString(v);
        } catch (const ScriptThrow&) {
            // An object whose toString throws is still traced, by its kind, before the
            // error goes on to the nearest catch.
            const Object* o = v.object();
            engine.trace(o && o->typeOf() == QLatin1String("function") ? QStringLiteral("[type Function]")
                                                                       : QStringLiteral("[type Object]"));
            throw;
        }
        engine.trace(text);
        return;
    }
    case A::StartDrag: {
        const Value target = pop();
        const bool lock = vm.toBoolean(pop());
        const bool constrain = vm.toBoolean(pop());
        std::optional<QRectF> area;
        if (constrain) {
            const double y2 = popNumber();
            const double x2 = popNumber();
            const double y1 = popNumber();
            const double x1 = popNumber();
            area = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        }
        engine.startDrag(c, target, lock, area);
        return;
    }
    case A::EndDrag:
        engine.stopDrag();
        return;
    case A::RandomNumber: {
        const double max = vm.toInteger(pop());
        push(max <= 0 ? 0.0 : std::floor(engine.random() * max));
        return;
    }
    case A::GetTime:
        push(double(engine.timer()));
        return;
    case A::Jump:
        pc = branch(ins.target);
        return;
    case A::If:
        if (vm.toBoolean(pop()))
            pc = branch(ins.target);
        return;
    case A::Call:
        engine.callFrame(c, pop());
        return;
    case A::GetURL2: {
        const QString target = popString();
        const QString url = popString();
        engine.getUrl(c, url, target, ins.a >> 6, (ins.a & 0x02) != 0, (ins.a & 0x01) != 0);
        return;
    }
    case A::GotoFrame2:
        engine.gotoFrame(c, pop(), true, ins.a != 0, int(ins.b));
        return;
    case A::WaitForFrame2: {
        const Value frame = pop();
        if (!engine.frameLoaded(c, frame)) {
            for (uint32_t i = 0; i < ins.a; ++i) {
                const Instruction* skip = c.program->at(pc);
                if (!skip)
                    break;
                pc = skip->next;
            }
        }
        return;
    }

    // ---- SWF 5: objects and functions ----------------------------------------------------
    case A::Delete: {
        const QString name = popString();
        const Value object = pop();
        Object* o = object.object();
        push(o ? vm.remove(o, name) : false);
        return;
    }
    case A::Delete2: {
        const QString name = popString();
        push(engine.deleteVariable(c, name));
        return;
    }
    case A::DefineLocal: {
        Value value = pop();
        const QString name = popString();
        if (c.activation)
            c.activation->define(name, value);
        else if (c.target)
            vm.set(engine.variableScope(c), name, value);
        return;
    }
    case A::DefineLocal2: {
        const QString name = popString();
        if (c.activation) {
            if (!c.activation->findOwn(name))
                c.activation->define(name, Value());
        } else if (Object* scope = engine.variableScope(c); scope && !vm.hasOwn(scope, name)) {
            vm.set(scope, name, Value());
        }
        return;
    }
    case A::CallFunction: {
        const QString name = popString();
        std::vector<Value> args = popArgs();
        if (clipGone())
            return halt(done, finished);
        push(engine.callFunction(c, name, args));
        if (clipGone())
            return halt(done, finished);
        return;
    }
    case A::Return:
        done.kind = Completion::Kind::Return;
        done.value = pop();
        finished = true;
        return;
    case A::Modulo: {
        const double b = popNumber();
        const double a = popNumber();
        push(std::fmod(a, b));
        return;
    }
    case A::NewObject: {
        const QString name = popString();
        std::vector<Value> args = popArgs();
        if (clipGone())
            return halt(done, finished);
        const Value ctor = engine.getVariable(c, name);
        push(vm.construct(ctor, args));
        if (clipGone())
            return halt(done, finished);
        return;
    }
    case A::InitArray: {
        std::vector<Value> items = popArgs();
        push(Value(vm.newArray(std::move(items))));
        return;
    }
    case A::InitObject: {
        const double n = popNumber();
        size_t count = std::isfinite(n) && n > 0 ? size_t(std::min(n, 1e9)) : 0;
        // More pairs than the stack holds: nothing is made.
        if (count > stack_.size() / 2) {
            push(Value());
            return;
        }
        Ref<Object> object = vm.newObject();
        for (size_t i = 0; i < count; ++i) {
            Value value = pop();
            const QString name = popString();
            vm.set(object.get(), name, value);
        }
        push(Value(object));
        return;
    }
    case A::TypeOf:
        push(vm.typeOf(pop()));
        return;
    case A::TargetPath: {
        const Value v = pop();
        ClipObject* clip = v.object() ? v.object()->asClip() : nullptr;
        push(clip ? Value(clipPath(*clip)) : Value());
        return;
    }
    case A::Enumerate:
    case A::Enumerate2: {
        Value subject = pop();
        if (ins.code == uint8_t(A::Enumerate))
            subject = engine.getVariable(c, vm.toString(subject));
        push(Value::null());
        if (Object* o = subject.object()) {
            const std::vector<QString> names = vm.enumerate(o);
            for (auto it = names.rbegin(); it != names.rend(); ++it)
                push(*it);
        }
        return;
    }
    case A::Add2: {
        const Value b = pop();
        const Value a = pop();
        push(vm.add(a, b));
        return;
    }
    case A::Less2: {
        const Value b = pop();
        const Value a = pop();
        push(vm.less(a, b));
        return;
    }
    case A::Greater: {
        const Value b = pop();
        const Value a = pop();
        push(vm.less(b, a));
        return;
    }
    case A::Equals2: {
        const Value b = pop();
        const Value a = pop();
        push(vm.equals(a, b));
        return;
    }
    case A::StrictEquals: {
        const Value b = pop();
        const Value a = pop();
        push(vm.strictEquals(a, b));
        return;
    }
    case A::ToNumber:
        push(vm.toNumber(pop()));
        return;
    case A::ToString:
        push(vm.toString(pop()));
        return;
    case A::PushDuplicate: {
        Value top = stack_.empty() ? Value() : stack_.back();
        push(std::move(top));
        return;
    }
    case A::StackSwap: {
        Value a = pop();
        Value b = pop();
        push(std::move(a));
        push(std::move(b));
        return;
    }
    case A::GetMember: {
        const Value name = pop();
        const Value object = pop();
        push(vm.getMember(object, vm.toString(name)));
        return;
    }
    case A::SetMember: {
        Value value = pop();
        const Value name = pop();
        const Value object = pop();
        vm.setMember(object, vm.toString(name), value);
        return;
    }
    case A::Increment:
        push(popNumber() + 1);
        return;
    case A::Decrement:
        push(popNumber() - 1);
        return;
    case A::CallMethod: {
        const Value name = pop();
        const Value object = pop();
        std::vector<Value> args = popArgs();
        if (!object.isUndefined() && clipGone())
            return halt(done, finished);
        push(engine.callMethod(c, object, name, args));
        if (!object.isUndefined() && clipGone())
            return halt(done, finished);
        return;
    }
    case A::NewMethod: {
        const Value name = pop();
        const Value object = pop();
        std::vector<Value> args = popArgs();
        if (!object.isUndefined() && clipGone())
            return halt(done, finished);
        const QString method = name.isUndefined() ? QString() : vm.toString(name);
        const Value ctor = method.isEmpty() ? object : vm.getMember(object, method);
        push(vm.construct(ctor, args));
        return;
    }
    case A::BitAnd:
        return int32Binary([](int32_t a, int32_t b) { return double(a & b); });
    case A::BitOr:
        return int32Binary([](int32_t a, int32_t b) { return double(a | b); });
    case A::BitXor:
        return int32Binary([](int32_t a, int32_t b) { return double(a ^ b); });
    case A::BitLShift:
        return int32Binary([](int32_t a, int32_t b) { return double(int32_t(uint32_t(a) << (b & 31))); });
    case A::BitRShift:
        return int32Binary([](int32_t a, int32_t b) { return double(a >> (b & 31)); });
    case A::BitURShift:
        return int32Binary([](int32_t a, int32_t b) { return double(uint32_t(a) >> (b & 31)); });
    case A::StoreRegister:
        if (ins.a < c.registers.size())
            c.registers[ins.a] = stack_.empty() ? Value() : stack_.back();
        return;
    case A::ConstantPool:
        c.constants = ins.pool;
        return;
    case A::With: {
        Completion inner = runWith(ins, pc);
        if (inner.kind == Completion::Kind::Return) {
            done = inner;
            finished = true;
        } else if (inner.kind == Completion::Kind::Jump) {
            pc = inner.target;
        }
        return;
    }
    case A::DefineFunction:
    case A::DefineFunction2:
        defineFunction(ins);
        return;

    // ---- SWF 6 and 7 -------------------------------------------------------------------
    case A::InstanceOf: {
        const Value ctor = pop();
        const Value object = pop();
        push(vm.instanceOf(object, ctor.object()));
        return;
    }
    case A::Extends: {
        const Value superclass = pop();
        const Value subclass = pop();
        Object* sub = subclass.object();
        Object* super = superclass.object();
        if (!sub || !super)
            return;
        const Value superProto = vm.get(super, QStringLiteral("prototype"));
        Ref<Object> proto(new Object(vm, superProto.object()));
        proto->define(QStringLiteral("__constructor__"), superclass, kHidden);
        vm.set(sub, QStringLiteral("prototype"), Value(proto));
        return;
    }
    case A::CastOp: {
        const Value object = pop();
        const Value ctor = pop();
        push(vm.instanceOf(object, ctor.object()) ? object : Value::null());
        return;
    }
    case A::ImplementsOp: {
        const Value ctor = pop();
        std::vector<Value> interfaces = popArgs();
        if (Object* f = ctor.object()) {
            if (Object* proto = vm.get(f, QStringLiteral("prototype")).object()) {
                for (const Value& i : interfaces) {
                    if (Object* io = i.object())
                        proto->interfaces().push_back(Ref<Object>(io));
                }
            }
        }
        return;
    }
    case A::Throw:
        throw ScriptThrow { pop() };
    case A::Try: {
        Completion inner = runTry(ins, pc);
        if (inner.kind == Completion::Kind::Return) {
            done = inner;
            finished = true;
        } else if (inner.kind == Completion::Kind::Jump) {
            pc = inner.target;
        }
        return;
    }
    case A::StrictMode:
    default:
        return;
    }
}

} // namespace

Value execute(ExecContext& ctx, uint32_t start, uint32_t end, uint32_t from)
{
    struct Running {
        ScriptEngine& engine;
        ExecContext* outer;
        ~Running() { engine.setRunningCode(outer); }
    } running { ctx.engine, ctx.engine.runningCode() };
    ctx.engine.setRunningCode(&ctx);
    Runner runner(ctx);
    const Completion done = runner.run(start, end, from <= end ? from : start);
    return done.kind == Completion::Kind::Return ? done.value : Value();
}

void runActions(ScriptEngine& engine, std::shared_ptr<Program> program, Object* clip)
{
    Vm& vm = engine.vm();
    ExecContext ctx { vm, engine, program, vm.lastConstants(), {}, nullptr, Value(clip), Ref<Object>(clip),
        Ref<Object>(clip), std::vector<Value>(4), nullptr, nullptr, program->version() };
    ctx.scopes.push_back(Ref<Object>(clip));
    ctx.mayLeaveBlock = true;
    const bool outermost = !vm.inScript();
    vm.beginScript();
    try {
        execute(ctx, 0, program->size());
        // A branch out of the block goes on in the frame's block that holds its target
        // (the same block again for a branch round the tag header back into it); one
        // that lands nowhere ends the script.
        while (ctx.leftFor) {
            const auto landing = ctx.program->landing(*ctx.leftFor);
            ctx.leftFor.reset();
            if (!landing)
                break;
            vm.checkLimits();
            ctx.program = landing->program;
            execute(ctx, 0, ctx.program->size(), landing->offset);
        }
        vm.setLastConstants(ctx.constants);
    } catch (ScriptThrow& thrown) {
        vm.setLastConstants(ctx.constants);
        engine.uncaught(thrown.value);
    } catch (ScriptAbort& abort) {
        vm.endScript();
        if (!outermost)
            throw;
        vm.stack().clear();
        engine.scriptStopped(abort.message);
        return;
    }
    vm.endScript();
}

} // namespace swf::script
