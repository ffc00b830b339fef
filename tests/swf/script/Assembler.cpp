#include "Assembler.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace swf::test {
namespace {

void u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}

void str(std::vector<uint8_t>& out, const std::string& s)
{
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}

} // namespace

Asm& Asm::op(ActionCode code)
{
    code_.push_back(uint8_t(code));
    return *this;
}

Asm& Asm::raw(ActionCode code, const std::vector<uint8_t>& payload)
{
    code_.push_back(uint8_t(code));
    u16(code_, uint32_t(payload.size()));
    code_.insert(code_.end(), payload.begin(), payload.end());
    return *this;
}

Asm& Asm::push(const std::string& text)
{
    std::vector<uint8_t> p { 0 };
    str(p, text);
    return raw(ActionCode::Push, p);
}

Asm& Asm::push(double number)
{
    // The format keeps a double as two little-endian 32-bit halves, the high half first.
    const uint64_t bits = std::bit_cast<uint64_t>(number);
    std::vector<uint8_t> p { 6 };
    for (int half : { 1, 0 }) {
        const uint32_t w = uint32_t(bits >> (32 * half));
        for (int i = 0; i < 4; ++i)
            p.push_back(uint8_t(w >> (8 * i)));
    }
    return raw(ActionCode::Push, p);
}

Asm& Asm::pushInt(int32_t number)
{
    std::vector<uint8_t> p { 7 };
    for (int i = 0; i < 4; ++i)
        p.push_back(uint8_t(uint32_t(number) >> (8 * i)));
    return raw(ActionCode::Push, p);
}

Asm& Asm::pushBool(bool value)
{
    return raw(ActionCode::Push, { 5, uint8_t(value) });
}
Asm& Asm::pushNull()
{
    return raw(ActionCode::Push, { 2 });
}
Asm& Asm::pushUndefined()
{
    return raw(ActionCode::Push, { 3 });
}
Asm& Asm::pushRegister(uint8_t index)
{
    return raw(ActionCode::Push, { 4, index });
}
Asm& Asm::pushConstant(uint8_t index)
{
    return raw(ActionCode::Push, { 8, index });
}

Asm& Asm::call(const std::string& function, int count)
{
    return pushInt(count).push(function).op(ActionCode::CallFunction);
}

Asm& Asm::callMethod(const std::string& method, int count)
{
    // The object is on the stack above the arguments: swap in the count and the name.
    return pushInt(count).op(ActionCode::StackSwap).push(method).op(ActionCode::CallMethod);
}

Asm& Asm::pushArgs(const std::vector<Arg>& args)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        if (const double* n = std::get_if<double>(&*it))
            push(*n);
        else
            push(std::get<std::string>(*it));
    }
    return *this;
}

Asm& Asm::traceCall(const std::string& variable, const std::string& method, const std::vector<Arg>& args)
{
    return pushArgs(args).get(variable).callMethod(method, int(args.size())).op(ActionCode::Trace);
}

Asm& Asm::traceFunction(const std::string& function, const std::vector<Arg>& args)
{
    return pushArgs(args).call(function, int(args.size())).op(ActionCode::Trace);
}

Asm& Asm::assignNew(const std::string& variable, const std::string& className, const std::vector<Arg>& args)
{
    push(variable).pushArgs(args).pushInt(int(args.size())).push(className).op(ActionCode::NewObject);
    return op(ActionCode::SetVariable);
}

Asm& Asm::constantPool(const std::vector<std::string>& strings)
{
    std::vector<uint8_t> p;
    u16(p, uint32_t(strings.size()));
    for (const std::string& s : strings)
        str(p, s);
    return raw(ActionCode::ConstantPool, p);
}

Asm& Asm::storeRegister(uint8_t index)
{
    return raw(ActionCode::StoreRegister, { index });
}

Asm& Asm::gotoFrame(uint16_t frame)
{
    std::vector<uint8_t> p;
    u16(p, frame);
    return raw(ActionCode::GotoFrame, p);
}

Asm& Asm::gotoLabel(const std::string& label)
{
    std::vector<uint8_t> p;
    str(p, label);
    return raw(ActionCode::GotoLabel, p);
}

Asm& Asm::setTarget(const std::string& target)
{
    std::vector<uint8_t> p;
    str(p, target);
    return raw(ActionCode::SetTarget, p);
}

Asm& Asm::getUrl(const std::string& url, const std::string& window)
{
    std::vector<uint8_t> p;
    str(p, url);
    str(p, window);
    return raw(ActionCode::GetURL, p);
}

Asm& Asm::waitForFrame(uint16_t frame, uint8_t skip)
{
    std::vector<uint8_t> p;
    u16(p, frame);
    p.push_back(skip);
    return raw(ActionCode::WaitForFrame, p);
}

Asm& Asm::label(const std::string& name)
{
    labels_[name] = code_.size();
    return *this;
}

Asm& Asm::jump(const std::string& label)
{
    raw(ActionCode::Jump, { 0, 0 });
    fixups_.push_back({ code_.size() - 2, label });
    return *this;
}

Asm& Asm::ifTrue(const std::string& label)
{
    raw(ActionCode::If, { 0, 0 });
    fixups_.push_back({ code_.size() - 2, label });
    return *this;
}

Asm& Asm::function(const std::string& name, const std::vector<std::string>& params, const Asm& body)
{
    const std::vector<uint8_t> code = body.bytes(false);
    std::vector<uint8_t> p;
    str(p, name);
    u16(p, uint32_t(params.size()));
    for (const std::string& param : params)
        str(p, param);
    u16(p, uint32_t(code.size()));
    raw(ActionCode::DefineFunction, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

Asm& Asm::function2(const std::string& name, uint8_t registers, uint16_t flags,
    const std::vector<Param>& params, const Asm& body)
{
    const std::vector<uint8_t> code = body.bytes(false);
    std::vector<uint8_t> p;
    str(p, name);
    u16(p, uint32_t(params.size()));
    p.push_back(registers);
    u16(p, flags);
    for (const Param& param : params) {
        p.push_back(param.reg);
        str(p, param.name);
    }
    u16(p, uint32_t(code.size()));
    raw(ActionCode::DefineFunction2, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

Asm& Asm::tryCatch(const Asm& body, const std::string& name, const Asm& handler, const Asm* finally)
{
    const std::vector<uint8_t> t = body.bytes(false);
    const std::vector<uint8_t> c = name.empty() ? std::vector<uint8_t> {} : handler.bytes(false);
    const std::vector<uint8_t> f = finally ? finally->bytes(false) : std::vector<uint8_t> {};
    std::vector<uint8_t> p { uint8_t((name.empty() ? 0 : 1) | (finally ? 2 : 0)) };
    u16(p, uint32_t(t.size()));
    u16(p, uint32_t(c.size()));
    u16(p, uint32_t(f.size()));
    str(p, name);
    raw(ActionCode::Try, p);
    for (const auto* block : { &t, &c, &f })
        code_.insert(code_.end(), block->begin(), block->end());
    return *this;
}

Asm& Asm::with(const Asm& body)
{
    const std::vector<uint8_t> code = body.bytes(false);
    std::vector<uint8_t> p;
    u16(p, uint32_t(code.size()));
    raw(ActionCode::With, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

std::vector<uint8_t> Asm::bytes(bool end) const
{
    std::vector<uint8_t> out = code_;
    for (const Fixup& f : fixups_) {
        const auto it = labels_.find(f.label);
        if (it == labels_.end())
            throw std::logic_error("no label " + f.label);
        const int32_t offset = int32_t(it->second) - int32_t(f.at + 2);
        out[f.at] = uint8_t(uint32_t(offset) & 0xFF);
        out[f.at + 1] = uint8_t((uint32_t(offset) >> 8) & 0xFF);
    }
    if (end)
        out.push_back(0);
    return out;
}

} // namespace swf::test
