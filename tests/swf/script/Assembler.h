#pragma once

#include "swf/format/Actions.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace swf::test {

// Writes action bytes for test scripts, an action at a time. Branches name labels, which
// are resolved when the bytes are taken; function and block bodies are other assemblers.
class Asm {
public:
    Asm& op(ActionCode code);
    Asm& raw(ActionCode code, const std::vector<uint8_t>& payload);

    // Push of one value each (strings as UTF-8 bytes).
    Asm& push(const std::string& text);
    Asm& push(const char* text) { return push(std::string(text)); }
    Asm& push(double number);
    Asm& pushInt(int32_t number);
    Asm& pushBool(bool value);
    Asm& pushNull();
    Asm& pushUndefined();
    Asm& pushRegister(uint8_t index);
    Asm& pushConstant(uint8_t index);

    // Shorthands: name's value; trace of a string; trace of a variable.
    Asm& get(const std::string& name) { return push(name).op(ActionCode::GetVariable); }
    Asm& trace(const std::string& text) { return push(text).op(ActionCode::Trace); }
    Asm& traceVar(const std::string& name) { return get(name).op(ActionCode::Trace); }
    // Calls `function` with the values pushed before (last pushed first), `count` of them.
    Asm& call(const std::string& function, int count);
    // object.method(args): args pushed before, then the object.
    Asm& callMethod(const std::string& method, int count);

    // A literal argument: a number or a string.
    using Arg = std::variant<double, std::string>;
    Asm& pushArgs(const std::vector<Arg>& args); // last first, as calls take them
    // trace(variable.method(args)) and trace(function(args)).
    Asm& traceCall(const std::string& variable, const std::string& method, const std::vector<Arg>& args = {});
    Asm& traceFunction(const std::string& function, const std::vector<Arg>& args = {});
    // variable = new Class(args).
    Asm& assignNew(
        const std::string& variable, const std::string& className, const std::vector<Arg>& args = {});

    Asm& constantPool(const std::vector<std::string>& strings);
    Asm& storeRegister(uint8_t index);
    Asm& gotoFrame(uint16_t frame);
    Asm& gotoLabel(const std::string& label);
    Asm& setTarget(const std::string& target);
    Asm& getUrl(const std::string& url, const std::string& window);
    Asm& waitForFrame(uint16_t frame, uint8_t skip);

    Asm& label(const std::string& name);
    Asm& jump(const std::string& label);
    Asm& ifTrue(const std::string& label);

    Asm& function(const std::string& name, const std::vector<std::string>& params, const Asm& body);
    struct Param {
        uint8_t reg = 0;
        std::string name;
    };
    Asm& function2(const std::string& name, uint8_t registers, uint16_t flags,
        const std::vector<Param>& params, const Asm& body);
    // try { body } catch (name) { handler } finally { last }; empty name: no catch block.
    Asm& tryCatch(const Asm& body, const std::string& name, const Asm& handler, const Asm* finally = nullptr);
    Asm& with(const Asm& body);

    // The bytes, ended with End when `end`.
    std::vector<uint8_t> bytes(bool end = true) const;

private:
    struct Fixup {
        size_t at; // where the 16-bit offset goes
        std::string label;
    };
    std::vector<uint8_t> code_;
    std::map<std::string, size_t> labels_;
    std::vector<Fixup> fixups_;
};

} // namespace swf::test
