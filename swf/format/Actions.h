#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace swf {

// Every action code of SWF 3 to 8, listed once. Each line is
//   X(code, Name, version)
// with the file version that brought the action. Codes 0x80 and up carry a 16-bit length
// and a payload; the others are one byte. The enum, the name lookup and the
// disassembler come from this list.
// clang-format off
#define ZORVA_SWF_ACTIONS(X)          \
    X(0x00, End, 1)                    \
    X(0x04, NextFrame, 3)              \
    X(0x05, PreviousFrame, 3)          \
    X(0x06, Play, 3)                   \
    X(0x07, Stop, 3)                   \
    X(0x08, ToggleQuality, 3)          \
    X(0x09, StopSounds, 3)             \
    X(0x0A, Add, 4)                    \
    X(0x0B, Subtract, 4)               \
    X(0x0C, Multiply, 4)               \
    X(0x0D, Divide, 4)                 \
    X(0x0E, Equals, 4)                 \
    X(0x0F, Less, 4)                   \
    X(0x10, And, 4)                    \
    X(0x11, Or, 4)                     \
    X(0x12, Not, 4)                    \
    X(0x13, StringEquals, 4)           \
    X(0x14, StringLength, 4)           \
    X(0x15, StringExtract, 4)          \
    X(0x17, Pop, 4)                    \
    X(0x18, ToInteger, 4)              \
    X(0x1C, GetVariable, 4)            \
    X(0x1D, SetVariable, 4)            \
    X(0x20, SetTarget2, 4)             \
    X(0x21, StringAdd, 4)              \
    X(0x22, GetProperty, 4)            \
    X(0x23, SetProperty, 4)            \
    X(0x24, CloneSprite, 4)            \
    X(0x25, RemoveSprite, 4)           \
    X(0x26, Trace, 4)                  \
    X(0x27, StartDrag, 4)              \
    X(0x28, EndDrag, 4)                \
    X(0x29, StringLess, 4)             \
    X(0x2A, Throw, 7)                  \
    X(0x2B, CastOp, 7)                 \
    X(0x2C, ImplementsOp, 7)           \
    X(0x30, RandomNumber, 4)           \
    X(0x31, MBStringLength, 4)         \
    X(0x32, CharToAscii, 4)            \
    X(0x33, AsciiToChar, 4)            \
    X(0x34, GetTime, 4)                \
    X(0x35, MBStringExtract, 4)        \
    X(0x36, MBCharToAscii, 4)          \
    X(0x37, MBAsciiToChar, 4)          \
    X(0x3A, Delete, 5)                 \
    X(0x3B, Delete2, 5)                \
    X(0x3C, DefineLocal, 5)            \
    X(0x3D, CallFunction, 5)           \
    X(0x3E, Return, 5)                 \
    X(0x3F, Modulo, 5)                 \
    X(0x40, NewObject, 5)              \
    X(0x41, DefineLocal2, 5)           \
    X(0x42, InitArray, 5)              \
    X(0x43, InitObject, 5)             \
    X(0x44, TypeOf, 5)                 \
    X(0x45, TargetPath, 5)             \
    X(0x46, Enumerate, 5)              \
    X(0x47, Add2, 5)                   \
    X(0x48, Less2, 5)                  \
    X(0x49, Equals2, 5)                \
    X(0x4A, ToNumber, 5)               \
    X(0x4B, ToString, 5)               \
    X(0x4C, PushDuplicate, 5)          \
    X(0x4D, StackSwap, 5)              \
    X(0x4E, GetMember, 5)              \
    X(0x4F, SetMember, 5)              \
    X(0x50, Increment, 5)              \
    X(0x51, Decrement, 5)              \
    X(0x52, CallMethod, 5)             \
    X(0x53, NewMethod, 5)              \
    X(0x54, InstanceOf, 6)             \
    X(0x55, Enumerate2, 6)             \
    X(0x60, BitAnd, 5)                 \
    X(0x61, BitOr, 5)                  \
    X(0x62, BitXor, 5)                 \
    X(0x63, BitLShift, 5)              \
    X(0x64, BitRShift, 5)              \
    X(0x65, BitURShift, 5)             \
    X(0x66, StrictEquals, 6)           \
    X(0x67, Greater, 6)                \
    X(0x68, StringGreater, 6)          \
    X(0x69, Extends, 7)                \
    X(0x81, GotoFrame, 3)              \
    X(0x83, GetURL, 3)                 \
    X(0x87, StoreRegister, 5)          \
    X(0x88, ConstantPool, 5)           \
    X(0x89, StrictMode, 5)             \
    X(0x8A, WaitForFrame, 3)           \
    X(0x8B, SetTarget, 3)              \
    X(0x8C, GotoLabel, 3)              \
    X(0x8D, WaitForFrame2, 4)          \
    X(0x8E, DefineFunction2, 7)        \
    X(0x8F, Try, 7)                    \
    X(0x94, With, 5)                   \
    X(0x96, Push, 4)                   \
    X(0x99, Jump, 4)                   \
    X(0x9A, GetURL2, 4)                \
    X(0x9B, DefineFunction, 5)         \
    X(0x9D, If, 4)                     \
    X(0x9E, Call, 4)                   \
    X(0x9F, GotoFrame2, 4)
// clang-format on

enum class ActionCode : uint8_t {
#define ZORVA_SWF_ACTION_ENUM(code, name, version) name = code,
    ZORVA_SWF_ACTIONS(ZORVA_SWF_ACTION_ENUM)
#undef ZORVA_SWF_ACTION_ENUM
};

// The action's name as the file format calls it, or an empty view for an unknown code.
std::string_view actionName(uint8_t code);

// One action as it stands in a block of action bytes.
struct ActionRecord {
    uint8_t code = 0;
    uint32_t offset = 0; // where the action starts in the block
    uint32_t next = 0; // where the action after it starts
    std::span<const uint8_t> payload; // empty for the one-byte actions
};

// The action at `offset`, or nothing when the block ends there (or inside the action's
// header or payload: a cut-off action is not run).
std::optional<ActionRecord> readAction(std::span<const uint8_t> block, uint32_t offset);

// ---- The payloads ------------------------------------------------------------------------

// One value of a Push.
struct PushItem {
    enum class Kind : uint8_t { String, Float, Null, Undefined, Register, Boolean, Double, Integer, Constant };
    Kind kind = Kind::Undefined;
    std::string string; // String
    double number = 0; // Float, Double, Integer
    uint32_t index = 0; // Register (0..255), Constant (0..65535)
    bool boolean = false;
};
// The values of a Push, in order. A payload that ends inside a value keeps what came
// before it; an unknown type ends the list.
std::vector<PushItem> readPush(std::span<const uint8_t> payload);

std::vector<std::string> readConstantPool(std::span<const uint8_t> payload);

// DefineFunction and DefineFunction2. The body is the `codeSize` bytes after the action.
struct FunctionHeader {
    enum Flag : uint16_t {
        PreloadThis = 0x0001,
        SuppressThis = 0x0002,
        PreloadArguments = 0x0004,
        SuppressArguments = 0x0008,
        PreloadSuper = 0x0010,
        SuppressSuper = 0x0020,
        PreloadRoot = 0x0040,
        PreloadParent = 0x0080,
        PreloadGlobal = 0x0100,
    };
    struct Param {
        uint8_t reg = 0; // 0: an ordinary local variable
        std::string name;
    };
    std::string name; // empty for a function literal
    std::vector<Param> params;
    uint8_t registerCount = 4; // DefineFunction has the four global registers
    uint16_t flags = 0;
    uint16_t codeSize = 0;
    bool v2 = false;
};
std::optional<FunctionHeader> readDefineFunction(std::span<const uint8_t> payload);
std::optional<FunctionHeader> readDefineFunction2(std::span<const uint8_t> payload);

// Try: the try block follows the action, then the catch block, then the finally block.
struct TryHeader {
    bool hasCatch = false;
    bool hasFinally = false;
    bool catchInRegister = false;
    uint16_t trySize = 0;
    uint16_t catchSize = 0;
    uint16_t finallySize = 0;
    std::string catchName;
    uint8_t catchRegister = 0;
};
std::optional<TryHeader> readTry(std::span<const uint8_t> payload);

struct GetUrl2Flags {
    uint8_t method = 0; // 0 none, 1 GET, 2 POST
    bool loadTarget = false; // the target is a clip path, not a browser window
    bool loadVariables = false;
};
GetUrl2Flags readGetUrl2(std::span<const uint8_t> payload);

struct GotoFrame2Args {
    bool play = false;
    uint16_t sceneBias = 0;
};
GotoFrame2Args readGotoFrame2(std::span<const uint8_t> payload);

// Strings of the one-string actions (SetTarget, GotoLabel) and both of GetURL.
std::string readActionString(std::span<const uint8_t> payload);
std::pair<std::string, std::string> readGetUrl(std::span<const uint8_t> payload);
uint16_t readU16Payload(std::span<const uint8_t> payload); // GotoFrame, Jump, If, With
uint8_t readU8Payload(std::span<const uint8_t> payload, size_t at = 0); // StoreRegister ...
double actionF64(std::span<const uint8_t> bytes); // the ActionScript double layout

// A readable listing of a block: one action a line with its offset, its payload decoded,
// function bodies indented. For tools and tests.
std::string disassemble(std::span<const uint8_t> block);

} // namespace swf
