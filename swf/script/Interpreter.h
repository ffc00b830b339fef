#pragma once

#include "Function.h"
#include "Program.h"
#include "Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace swf::script {

class ScriptEngine;
class Vm;

// The state of one running body of code: a frame script, an event handler or a function
// call. (The operand stack is the virtual machine's, shared by every script and function:
// what one block leaves there the next finds.) Variables are looked up through `scopes` (innermost last, the
// global object below them all); a frame script's scope is its timeline, a function's the scopes it was
// defined in and its own activation object.
struct ExecContext {
    Vm& vm;
    ScriptEngine& engine;
    std::shared_ptr<Program> program;
    std::shared_ptr<const ConstantPool> constants;
    std::vector<Ref<Object>> scopes;
    Ref<Object> activation; // a function's locals; null for a frame script
    Value thisValue;
    Ref<Object> target; // the timeline actions and plain variables go to (SetTarget changes it)
    Ref<Object> baseClip; // the timeline the code belongs to
    std::vector<Value> registers;
    Ref<Object> callee;
    Ref<Object> home; // where `super` starts looking (the method's prototype)
    int version = 8;
    // Whether `this` is a variable of the code (a function that preloads or suppresses it
    // has none: the name then stands for the timeline, or before SWF 6 for nothing).
    bool thisVisible = true;
    // A SetTarget named nothing: until the next one, the timeline actions and the
    // properties of the target have no clip to act on.
    bool targetLost = false;
    // A frame's DoAction may branch out of its block into the frame's other blocks: the
    // branch ends the block and leaves its target (from the block's start) here.
    bool mayLeaveBlock = false;
    std::optional<int64_t> leftFor {};
};

// Runs a top-level block of actions on `clip` (a frame script, a clip event, a button
// action). Script errors that nothing catches end the block; a script that breaks a limit
// is stopped and reported through the engine.
void runActions(ScriptEngine& engine, std::shared_ptr<Program> program, Object* clip);
// Runs code with a prepared context: the part from `start` to `end` of its program,
// entered at `from` (at `start` when past `end`). The value is what a Return gave.
Value execute(ExecContext& ctx, uint32_t start, uint32_t end, uint32_t from = UINT32_MAX);

} // namespace swf::script
