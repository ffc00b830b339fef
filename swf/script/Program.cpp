#include "Program.h"

#include "swf/kinds/TextCodec.h"

#include <algorithm>

namespace swf::script {

QString decodeMovieString(std::string_view bytes, int swfVersion)
{
    return movieText(bytes, static_cast<uint8_t>(std::clamp(swfVersion, 0, 255)));
}

Program::Program(std::span<const uint8_t> bytes, int swfVersion, std::shared_ptr<const void> keepAlive)
    : bytes_(bytes)
    , version_(swfVersion)
    , keepAlive_(std::move(keepAlive))
    , slots_(bytes.size(), -1)
{
}

const Instruction* Program::at(uint32_t offset)
{
    if (offset >= bytes_.size())
        return nullptr;
    if (slots_[offset] >= 0)
        return &instructions_[size_t(slots_[offset])];
    auto record = readAction(bytes_, offset);
    if (!record)
        return nullptr;
    Instruction& ins = instructions_.emplace_back();
    ins.code = record->code;
    ins.offset = record->offset;
    ins.next = record->next;
    decode(ins, *record);
    slots_[offset] = int32_t(instructions_.size() - 1);
    return &ins;
}

void Program::joinRun(std::shared_ptr<const ActionRun> run, uint64_t bodyOffset)
{
    run_ = std::move(run);
    bodyOffset_ = bodyOffset;
}

std::optional<Program::Landing> Program::landing(int64_t target) const
{
    if (!run_)
        return std::nullopt;
    // Offsets are a few megabytes at most and a branch reaches 32K either way: no overflow.
    const int64_t at = int64_t(bodyOffset_) + target;
    if (at < 0)
        return std::nullopt;
    for (const ActionRun::Block& block : run_->blocks) {
        if (uint64_t(at) < block.bodyOffset || uint64_t(at) >= block.bodyOffset + block.size)
            continue;
        auto program = block.program.lock();
        if (!program)
            return std::nullopt;
        return Landing { std::move(program), uint32_t(uint64_t(at) - block.bodyOffset) };
    }
    return std::nullopt;
}

void Program::decode(Instruction& ins, const ActionRecord& record)
{
    const auto text = [&](const std::string& s) { return decodeMovieString(s, version_); };
    switch (static_cast<ActionCode>(record.code)) {
    case ActionCode::Push:
        for (PushItem& item : readPush(record.payload)) {
            PushOperand op;
            switch (item.kind) {
            case PushItem::Kind::String:
                op.value = text(item.string);
                break;
            case PushItem::Kind::Float:
            case PushItem::Kind::Double:
            case PushItem::Kind::Integer:
                op.value = item.number;
                break;
            case PushItem::Kind::Null:
                op.value = Value::null();
                break;
            case PushItem::Kind::Undefined:
                break;
            case PushItem::Kind::Register:
                op.kind = PushOperand::Kind::Register;
                op.index = item.index;
                break;
            case PushItem::Kind::Boolean:
                op.value = item.boolean;
                break;
            case PushItem::Kind::Constant:
                op.kind = PushOperand::Kind::Constant;
                op.index = item.index;
                break;
            }
            ins.push.push_back(std::move(op));
        }
        break;
    case ActionCode::ConstantPool: {
        auto pool = std::make_shared<ConstantPool>();
        for (const std::string& s : readConstantPool(record.payload))
            pool->push_back(text(s));
        ins.pool = std::move(pool);
        break;
    }
    case ActionCode::DefineFunction:
    case ActionCode::DefineFunction2: {
        auto header = record.code == uint8_t(ActionCode::DefineFunction)
            ? readDefineFunction(record.payload)
            : readDefineFunction2(record.payload);
        if (!header) {
            ins.code = 0xFF; // damaged: skipped
            break;
        }
        auto code = std::make_shared<FunctionCode>();
        code->start = record.next;
        code->end = std::min<uint32_t>(record.next + header->codeSize, uint32_t(bytes_.size()));
        code->name = text(header->name);
        for (const auto& p : header->params)
            code->params.push_back({ p.reg, text(p.name) });
        code->registerCount = header->registerCount;
        code->flags = header->flags;
        code->v2 = header->v2;
        ins.next = code->end;
        ins.function = std::move(code);
        break;
    }
    case ActionCode::Try: {
        auto header = readTry(record.payload);
        if (!header) {
            ins.code = 0xFF;
            break;
        }
        auto code = std::make_shared<TryCode>();
        code->header = *header;
        code->catchName = text(header->catchName);
        ins.tryCode = std::move(code);
        break;
    }
    case ActionCode::Jump:
    case ActionCode::If:
        ins.target = int64_t(record.next) + int16_t(readU16Payload(record.payload));
        break;
    case ActionCode::GotoFrame:
    case ActionCode::With:
        ins.a = readU16Payload(record.payload);
        break;
    case ActionCode::WaitForFrame:
        ins.a = readU16Payload(record.payload);
        ins.b = readU8Payload(record.payload, 2);
        break;
    case ActionCode::StoreRegister:
    case ActionCode::WaitForFrame2:
    case ActionCode::GetURL2:
        ins.a = readU8Payload(record.payload);
        break;
    case ActionCode::GotoFrame2: {
        const GotoFrame2Args args = readGotoFrame2(record.payload);
        ins.a = args.play;
        ins.b = args.sceneBias;
        break;
    }
    case ActionCode::SetTarget:
    case ActionCode::GotoLabel:
        ins.text = text(readActionString(record.payload));
        break;
    case ActionCode::GetURL: {
        auto [url, target] = readGetUrl(record.payload);
        ins.text = text(url);
        ins.text2 = text(target);
        break;
    }
    default:
        break;
    }
}

} // namespace swf::script
