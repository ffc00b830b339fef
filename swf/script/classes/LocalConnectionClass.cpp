// LocalConnection: objects of the movies in one player that call each other's methods by
// the name of a connection. A receiver connects under a name; send() asks for a method of
// whoever holds a name when the frame ends, so a name taken over in between changes who
// gets it, but the name must be held both when send() is called and then. The sender hears of each message through
// onStatus, {level: "status"} when it was delivered and {level: "error"} when no one held
// the name, before the receiver's method runs.
//
// Names are qualified with the movie's domain ("localhost" for files) unless they begin
// with an underscore, and compared without regard to case; a sender may give the domain
// itself ("localhost:name"), a receiver may not.

#include "Classes.h"
#include "Native.h"

#include "swf/script/ScriptEngine.h"

#include <map>

namespace swf::script {
namespace {

const QString kDomain = QStringLiteral("localhost");

// The prototype keeps the connections of the movie and the messages of the frame.
class LocalConnectionPrototype final : public Object {
public:
    using Object::Object;

    struct Message {
        Ref<Object> sender;
        QString name; // qualified, folded
        QString method;
        std::vector<Value> args;
        bool heldWhenSent = false;
    };
    std::map<QString, Ref<Object>> receivers; // qualified, folded name -> connection
    std::vector<Message> messages;
    bool deliveryDue = false;

    QString nameOf(Object* connection) const
    {
        for (const auto& [name, receiver] : receivers) {
            if (receiver.get() == connection)
                return name;
        }
        return QString();
    }

    void trace(Tracer& tracer) override
    {
        Object::trace(tracer);
        for (const auto& [name, receiver] : receivers)
            tracer.visit(receiver.get());
        for (const Message& m : messages) {
            tracer.visit(m.sender.get());
            for (const Value& v : m.args)
                traceValue(tracer, v);
        }
    }
    void clearReferences() override
    {
        Object::clearReferences();
        receivers.clear();
        messages.clear();
    }
};

LocalConnectionPrototype* state(Vm& vm)
{
    return dynamic_cast<LocalConnectionPrototype*>(vm.protos().localConnection.get());
}

// A name as a string, not empty; anything else names no connection.
bool validName(const Value& v)
{
    return v.isString() && !v.string().isEmpty();
}

QString qualified(const QString& name, bool mayHaveDomain)
{
    if (name.startsWith(QLatin1Char('_')) || (mayHaveDomain && name.contains(QLatin1Char(':'))))
        return name.toLower();
    return (kDomain + QLatin1Char(':') + name).toLower();
}

// Calls a method of a connection; what it throws stops it and goes no further.
void callQuietly(Vm& vm, Object* target, const QString& method, std::span<const Value> args)
{
    const Value fn = vm.get(target, method);
    if (!fn.object() || !fn.object()->asFunction())
        return;
    const bool outermost = !vm.inScript();
    vm.beginScript();
    try {
        vm.call(fn, Value(target), args);
    } catch (ScriptThrow&) {
    } catch (ScriptAbort& abort) {
        vm.endScript();
        if (!outermost)
            throw;
        if (ScriptEngine* engine = vm.engine())
            engine->scriptStopped(abort.message);
        return;
    }
    vm.endScript();
}

void deliver(Vm& vm)
{
    LocalConnectionPrototype* s = state(vm);
    if (!s)
        return;
    s->deliveryDue = false;
    std::vector<LocalConnectionPrototype::Message> messages = std::move(s->messages);
    s->messages.clear();
    for (LocalConnectionPrototype::Message& m : messages) {
        auto it = s->receivers.find(m.name);
        const Ref<Object> receiver = m.heldWhenSent && it != s->receivers.end() ? it->second : Ref<Object>();
        Ref<Object> status = vm.newObject();
        status->define(QStringLiteral("level"), receiver ? QStringLiteral("status") : QStringLiteral("error"));
        const Value statusArgs[] = { Value(status.get()) };
        callQuietly(vm, m.sender.get(), QStringLiteral("onStatus"), statusArgs);
        if (receiver)
            callQuietly(vm, receiver.get(), m.method, m.args);
    }
}

Value connect(Vm& vm, CallArgs& c)
{
    LocalConnectionPrototype* s = state(vm);
    Object* self = c.thisObject();
    if (!s || !self || !validName(c[0]) || c[0].string().contains(QLatin1Char(':')))
        return false;
    const QString name = qualified(c[0].string(), false);
    if (!s->nameOf(self).isEmpty() || s->receivers.count(name))
        return false;
    s->receivers.emplace(name, Ref<Object>(self));
    return true;
}

Value close(Vm& vm, CallArgs& c)
{
    LocalConnectionPrototype* s = state(vm);
    if (s && c.thisObject()) {
        const QString name = s->nameOf(c.thisObject());
        if (!name.isEmpty())
            s->receivers.erase(name);
    }
    return Value();
}

// The methods of the class itself cannot be asked for.
bool protectedMethod(const QString& method)
{
    for (const char* name : { "send", "connect", "close", "allowDomain", "allowInsecureDomain", "domain" }) {
        if (method == QLatin1String(name))
            return true;
    }
    return false;
}

Value send(Vm& vm, CallArgs& c)
{
    LocalConnectionPrototype* s = state(vm);
    ScriptEngine* engine = vm.engine();
    Object* self = c.thisObject();
    if (!s || !engine || !self || !validName(c[0]) || !validName(c[1]) || protectedMethod(c[1].string()))
        return false;
    LocalConnectionPrototype::Message m;
    m.sender = Ref<Object>(self);
    m.name = qualified(c[0].string(), true);
    m.method = c[1].string();
    m.heldWhenSent = s->receivers.count(m.name) > 0;
    if (c.size() > 2)
        m.args.assign(c.args.begin() + 2, c.args.end());
    if (s->messages.size() >= 10000)
        return false;
    s->messages.push_back(std::move(m));
    if (!s->deliveryDue) {
        s->deliveryDue = true;
        engine->atFrameEnd([&vm]() { deliver(vm); });
    }
    return true;
}

Value domain(Vm&, CallArgs&)
{
    return kDomain;
}

Value construct(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

void installLocalConnection(Vm& vm)
{
    vm.protos().localConnection = Ref<Object>(new LocalConnectionPrototype(vm, vm.protos().object.get()));
    Object* proto = vm.protos().localConnection.get();
    vm.makeClass(QStringLiteral("LocalConnection"), construct, proto, false, kBuiltin | OnlySwf6);
    defineMethods(vm, proto, { { "connect", connect }, { "close", close }, { "send", send }, { "domain", domain } });
}

} // namespace swf::script
