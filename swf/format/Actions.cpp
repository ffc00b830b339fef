#include "Actions.h"

#include "BitReader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace swf {

std::string_view actionName(uint8_t code)
{
    switch (code) {
#define ZORVA_SWF_ACTION_NAME(code, name, version)                                                         \
    case code:                                                                                               \
        return #name;
        ZORVA_SWF_ACTIONS(ZORVA_SWF_ACTION_NAME)
#undef ZORVA_SWF_ACTION_NAME
    }
    return {};
}

std::optional<ActionRecord> readAction(std::span<const uint8_t> block, uint32_t offset)
{
    if (offset >= block.size())
        return std::nullopt;
    ActionRecord record;
    record.code = block[offset];
    record.offset = offset;
    if (record.code < 0x80) {
        record.next = offset + 1;
        return record;
    }
    if (block.size() - offset < 3)
        return std::nullopt;
    const uint32_t length = block[offset + 1] | (uint32_t(block[offset + 2]) << 8);
    if (block.size() - offset - 3 < length)
        return std::nullopt;
    record.payload = block.subspan(offset + 3, length);
    record.next = offset + 3 + length;
    return record;
}

double actionF64(std::span<const uint8_t> bytes)
{
    BitReader in(bytes);
    return in.f64();
}

std::vector<PushItem> readPush(std::span<const uint8_t> payload)
{
    std::vector<PushItem> items;
    BitReader in(payload);
    while (!in.atEnd()) {
        PushItem item;
        const uint8_t type = in.u8();
        switch (type) {
        case 0:
            item.kind = PushItem::Kind::String;
            item.string = in.string();
            break;
        case 1: {
            item.kind = PushItem::Kind::Float;
            item.number = in.f32();
            break;
        }
        case 2:
            item.kind = PushItem::Kind::Null;
            break;
        case 3:
            item.kind = PushItem::Kind::Undefined;
            break;
        case 4:
            item.kind = PushItem::Kind::Register;
            item.index = in.u8();
            break;
        case 5:
            item.kind = PushItem::Kind::Boolean;
            item.boolean = in.u8() != 0;
            break;
        case 6:
            item.kind = PushItem::Kind::Double;
            item.number = in.f64();
            break;
        case 7:
            item.kind = PushItem::Kind::Integer;
            item.number = in.s32();
            break;
        case 8:
            item.kind = PushItem::Kind::Constant;
            item.index = in.u8();
            break;
        case 9:
            item.kind = PushItem::Kind::Constant;
            item.index = in.u16();
            break;
        default:
            return items;
        }
        if (in.overrun())
            break;
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::string> readConstantPool(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    const uint16_t count = in.u16();
    std::vector<std::string> pool;
    for (uint16_t i = 0; i < count && !in.atEnd(); ++i) {
        std::string s = in.string();
        if (in.overrun())
            break;
        pool.push_back(std::move(s));
    }
    return pool;
}

std::optional<FunctionHeader> readDefineFunction(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    FunctionHeader header;
    header.name = in.string();
    const uint16_t count = in.u16();
    for (uint16_t i = 0; i < count && !in.overrun(); ++i)
        header.params.push_back({ 0, in.string() });
    header.codeSize = in.u16();
    if (in.overrun())
        return std::nullopt;
    return header;
}

std::optional<FunctionHeader> readDefineFunction2(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    FunctionHeader header;
    header.v2 = true;
    header.name = in.string();
    const uint16_t count = in.u16();
    header.registerCount = in.u8();
    header.flags = in.u16();
    for (uint16_t i = 0; i < count && !in.overrun(); ++i) {
        FunctionHeader::Param param;
        param.reg = in.u8();
        param.name = in.string();
        header.params.push_back(std::move(param));
    }
    header.codeSize = in.u16();
    if (in.overrun())
        return std::nullopt;
    return header;
}

std::optional<TryHeader> readTry(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    TryHeader header;
    const uint8_t flags = in.u8();
    header.hasCatch = flags & 0x01;
    header.hasFinally = flags & 0x02;
    header.catchInRegister = flags & 0x04;
    header.trySize = in.u16();
    header.catchSize = in.u16();
    header.finallySize = in.u16();
    if (header.catchInRegister)
        header.catchRegister = in.u8();
    else
        header.catchName = in.string();
    if (in.overrun())
        return std::nullopt;
    return header;
}

GetUrl2Flags readGetUrl2(std::span<const uint8_t> payload)
{
    const uint8_t flags = readU8Payload(payload);
    return { static_cast<uint8_t>(flags >> 6), (flags & 0x02) != 0, (flags & 0x01) != 0 };
}

GotoFrame2Args readGotoFrame2(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    const uint8_t flags = in.u8();
    GotoFrame2Args args;
    args.play = flags & 0x01;
    if (flags & 0x02)
        args.sceneBias = in.u16();
    return args;
}

std::string readActionString(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    std::string s = in.string();
    if (in.overrun()) // unterminated: as far as it goes
        return std::string(reinterpret_cast<const char*>(payload.data()), payload.size());
    return s;
}

std::pair<std::string, std::string> readGetUrl(std::span<const uint8_t> payload)
{
    BitReader in(payload);
    std::string url = in.string();
    std::string target = in.string();
    return { std::move(url), std::move(target) };
}

uint16_t readU16Payload(std::span<const uint8_t> payload)
{
    return payload.size() >= 2 ? uint16_t(payload[0] | (payload[1] << 8)) : 0;
}

uint8_t readU8Payload(std::span<const uint8_t> payload, size_t at)
{
    return payload.size() > at ? payload[at] : 0;
}

// ---- The listing ------------------------------------------------------------------------

namespace {

std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

std::string number(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

std::string describePush(std::span<const uint8_t> payload)
{
    std::string out;
    for (const PushItem& item : readPush(payload)) {
        if (!out.empty())
            out += ", ";
        switch (item.kind) {
        case PushItem::Kind::String:
            out += quoted(item.string);
            break;
        case PushItem::Kind::Float:
        case PushItem::Kind::Double:
            out += number(item.number) + (item.kind == PushItem::Kind::Float ? "f" : "");
            break;
        case PushItem::Kind::Integer:
            out += number(item.number);
            break;
        case PushItem::Kind::Null:
            out += "null";
            break;
        case PushItem::Kind::Undefined:
            out += "undefined";
            break;
        case PushItem::Kind::Register:
            out += "r:" + std::to_string(item.index);
            break;
        case PushItem::Kind::Boolean:
            out += item.boolean ? "true" : "false";
            break;
        case PushItem::Kind::Constant:
            out += "c:" + std::to_string(item.index);
            break;
        }
    }
    return out;
}

std::string describeFunction(const FunctionHeader& f)
{
    std::string out = f.name.empty() ? "(anonymous)" : f.name;
    out += " (";
    for (size_t i = 0; i < f.params.size(); ++i) {
        if (i)
            out += ", ";
        if (f.params[i].reg)
            out += "r:" + std::to_string(f.params[i].reg) + "=";
        out += f.params[i].name;
    }
    out += ")";
    if (f.v2) {
        char flags[64];
        std::snprintf(flags, sizeof flags, " regs=%u flags=0x%03x", f.registerCount, f.flags);
        out += flags;
    }
    return out + " size=" + std::to_string(f.codeSize);
}

std::string describe(const ActionRecord& a, std::vector<uint32_t>& blockEnds)
{
    const auto code = static_cast<ActionCode>(a.code);
    switch (code) {
    case ActionCode::Push:
        return describePush(a.payload);
    case ActionCode::ConstantPool: {
        std::string out;
        int i = 0;
        for (const std::string& s : readConstantPool(a.payload))
            { out += (i ? ", " : ""); out += std::to_string(i) + ":" + quoted(s); ++i; }
        return out;
    }
    case ActionCode::DefineFunction:
    case ActionCode::DefineFunction2: {
        auto f = code == ActionCode::DefineFunction ? readDefineFunction(a.payload) : readDefineFunction2(a.payload);
        if (!f)
            return "(damaged)";
        blockEnds.push_back(a.next + f->codeSize);
        return describeFunction(*f);
    }
    case ActionCode::Try: {
        auto t = readTry(a.payload);
        if (!t)
            return "(damaged)";
        blockEnds.push_back(a.next + t->trySize + t->catchSize + t->finallySize);
        return "try=" + std::to_string(t->trySize) + " catch=" + std::to_string(t->catchSize)
            + " finally=" + std::to_string(t->finallySize)
            + (t->catchInRegister ? " r:" + std::to_string(t->catchRegister) : " " + quoted(t->catchName));
    }
    case ActionCode::With:
        blockEnds.push_back(a.next + readU16Payload(a.payload));
        return "size=" + std::to_string(readU16Payload(a.payload));
    case ActionCode::Jump:
    case ActionCode::If:
        return "-> " + std::to_string(int64_t(a.next) + int16_t(readU16Payload(a.payload)));
    case ActionCode::GotoFrame:
        return std::to_string(readU16Payload(a.payload));
    case ActionCode::GetURL: {
        auto [url, target] = readGetUrl(a.payload);
        return quoted(url) + ", " + quoted(target);
    }
    case ActionCode::SetTarget:
    case ActionCode::GotoLabel:
        return quoted(readActionString(a.payload));
    case ActionCode::StoreRegister:
    case ActionCode::WaitForFrame2:
    case ActionCode::StrictMode:
        return std::to_string(readU8Payload(a.payload));
    case ActionCode::WaitForFrame:
        return std::to_string(readU16Payload(a.payload)) + " skip " + std::to_string(readU8Payload(a.payload, 2));
    case ActionCode::GetURL2: {
        const GetUrl2Flags f = readGetUrl2(a.payload);
        return "method=" + std::to_string(f.method) + (f.loadTarget ? " target" : "")
            + (f.loadVariables ? " variables" : "");
    }
    case ActionCode::GotoFrame2: {
        const GotoFrame2Args g = readGotoFrame2(a.payload);
        return std::string(g.play ? "play" : "stop") + (g.sceneBias ? " bias=" + std::to_string(g.sceneBias) : "");
    }
    default:
        break;
    }
    return {};
}

} // namespace

std::string disassemble(std::span<const uint8_t> block)
{
    std::string out;
    std::vector<uint32_t> blockEnds;
    uint32_t offset = 0;
    while (auto action = readAction(block, offset)) {
        while (!blockEnds.empty() && blockEnds.back() <= offset)
            blockEnds.pop_back();
        char head[32];
        std::snprintf(head, sizeof head, "%6u  ", action->offset);
        out += head;
        out.append(blockEnds.size() * 2, ' ');
        const std::string_view name = actionName(action->code);
        if (name.empty()) {
            char unknown[16];
            std::snprintf(unknown, sizeof unknown, "0x%02X", action->code);
            out += unknown;
        } else {
            out += name;
        }
        const std::string detail = describe(*action, blockEnds);
        if (!detail.empty())
            out += " " + detail;
        out += '\n';
        offset = action->next;
    }
    if (offset < block.size())
        out += "  (" + std::to_string(block.size() - offset) + " bytes after the last action)\n";
    return out;
}

} // namespace swf
