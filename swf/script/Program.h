#pragma once

#include "Value.h"

#include "swf/format/Actions.h"

#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace swf::script {

class Program;

// A string of the movie's bytes as scripts see it: UTF-8 from SWF 6 on; before that the
// author's code page, taken as UTF-8 where the bytes are valid UTF-8 and as GBK (GB18030)
// where they are not, the way this player's users' Chinese movies need.
QString decodeMovieString(std::string_view bytes, int swfVersion);

using ConstantPool = std::vector<Value>;

// One value of a Push as decoded once: a constant value, or a register or a constant
// pool entry to read when the action runs.
struct PushOperand {
    enum class Kind : uint8_t { Value, Register, Constant };
    Kind kind = Kind::Value;
    Value value;
    uint32_t index = 0;
};

struct FunctionParam {
    uint8_t reg = 0;
    QString name;
};

// The code of a DefineFunction or DefineFunction2: where its body lies in its program and
// how it is called. (The program is not held here: the program holds this, and a function
// made from it holds the program.)
struct FunctionCode {
    uint32_t start = 0;
    uint32_t end = 0;
    QString name;
    std::vector<FunctionParam> params;
    uint8_t registerCount = 4;
    uint16_t flags = 0;
    bool v2 = false;
};

struct TryCode {
    TryHeader header;
    QString catchName;
};

// One action decoded for the interpreter, with its operands ready to use.
struct Instruction {
    uint8_t code = 0;
    uint32_t offset = 0;
    uint32_t next = 0;
    std::vector<PushOperand> push;
    QString text; // GotoLabel, SetTarget, GetURL's URL
    QString text2; // GetURL's target
    int64_t target = 0; // Jump and If: the offset jumped to
    uint32_t a = 0; // GotoFrame's frame, StoreRegister's register, With's size, flags ...
    uint32_t b = 0; // WaitForFrame's skip count, GotoFrame2's scene bias
    std::shared_ptr<const FunctionCode> function;
    std::shared_ptr<const TryCode> tryCode;
    std::shared_ptr<const ConstantPool> pool;
};

// The DoAction blocks of one frame with where each sat in the movie's body. The player
// runs action bytes where they lie in the file, so a branch that leaves its block lands in
// whichever block of the frame holds the byte it names. (Weak: the engine owns programs.)
struct ActionRun {
    struct Block {
        uint64_t bodyOffset = 0;
        uint32_t size = 0;
        std::weak_ptr<Program> program;
    };
    std::vector<Block> blocks;
};

// A block of action bytes (a DoAction, an event handler, a button condition) decoded as
// the interpreter reaches each action, once. Jumps may land anywhere in the block; what
// starts there is decoded on first use.
class Program {
public:
    // `keepAlive` holds whatever owns the bytes (the movie).
    Program(std::span<const uint8_t> bytes, int swfVersion, std::shared_ptr<const void> keepAlive);

    // The action at `offset`, or null where the block ends.
    const Instruction* at(uint32_t offset);
    uint32_t size() const { return uint32_t(bytes_.size()); }
    int version() const { return version_; }

    // Places the block in its frame's run, at `bodyOffset` of the movie's body.
    void joinRun(std::shared_ptr<const ActionRun> run, uint64_t bodyOffset);
    bool inRun() const { return run_ != nullptr; }
    struct Landing {
        std::shared_ptr<Program> program;
        uint32_t offset = 0;
    };
    // Where a branch to `target` (from this block's start; outside the block) lands: the
    // block of the run that holds that byte, or nothing (a tag header between blocks, or
    // bytes that are no action block's).
    std::optional<Landing> landing(int64_t target) const;

private:
    void decode(Instruction& ins, const ActionRecord& record);

    std::span<const uint8_t> bytes_;
    int version_;
    std::shared_ptr<const void> keepAlive_;
    std::shared_ptr<const ActionRun> run_;
    uint64_t bodyOffset_ = 0;
    std::vector<int32_t> slots_; // instruction index by offset, -1 before it is decoded
    std::deque<Instruction> instructions_;
};

} // namespace swf::script
