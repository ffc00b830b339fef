#include "HotKeys.h"

#include "platform/HotKeyService.h"

#include <algorithm>

namespace mdlCommonFunctions {

namespace {

struct HotKeyRow {
    int virtualKey;
    std::function<void()> HotKeyCommands::*command;
};

// In registration order; identifier i belongs to row i.
constexpr std::array<HotKeyRow, HotKeys::Count> HotKeyTable { {
    { 'O', &HotKeyCommands::OpenAni },
    { 'L', &HotKeyCommands::ShowPlayListWindowAni },
    { 'N', &HotKeyCommands::NextAni },
    { 'B', &HotKeyCommands::BackAni },
    { 'T', &HotKeyCommands::CatchFrame },
    { 'P', &HotKeyCommands::PlayAni },
} };

} // namespace

HotKeys::HotKeys(platform::HotKeyService& service)
    : service_(service)
{
}

HotKeys::~HotKeys()
{
    if (HookedWnd)
        RemoveHotKeys();
}

void HotKeys::InstallHotKeys(QWidget& hWnd, HotKeyCommands commands)
{
    HookedWnd = &hWnd;
    commands_ = std::move(commands);
    QObject::disconnect(hook_);
    // The messages of this window only, as the window procedure sees them.
    hook_ = QObject::connect(&service_, &platform::HotKeyService::HotKey, &hWnd,
        [this](QWidget* window, int id, int modifiers, int virtualKey) {
            if (window && window == HookedWnd)
                HotKeyWindowProc(id, modifiers, virtualKey);
        });

    for (int i = 0; i < Count; ++i)
        HotKeyIds_[i] = service_.GlobalAddAtom(QString(QChar(u'0' + i)) + QStringLiteral("Zorvaplay"));
    for (int i = 0; i < Count; ++i)
        service_.RegisterHotKey(hWnd, HotKeyIds_[i], platform::ModControl, HotKeyTable[i].virtualKey);
}

void HotKeys::RemoveHotKeys()
{
    QObject::disconnect(hook_);
    if (!HookedWnd)
        return;
    for (const int id : HotKeyIds_)
        service_.UnregisterHotKey(*HookedWnd, id);
    HookedWnd.clear();
}

void HotKeys::HotKeyWindowProc(int id, int modifiers, int virtualKey)
{
    if (std::find(HotKeyIds_.begin(), HotKeyIds_.end(), id) == HotKeyIds_.end())
        return;
    if (modifiers != platform::ModControl)
        return;
    for (const HotKeyRow& row : HotKeyTable) {
        if (row.virtualKey == virtualKey) {
            if (const std::function<void()>& command = commands_.*row.command)
                command();
            return;
        }
    }
}

} // namespace mdlCommonFunctions
