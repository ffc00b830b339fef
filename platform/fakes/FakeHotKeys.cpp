#include "FakeHotKeys.h"

namespace platform {

int FakeHotKeys::GlobalAddAtom(const QString& name)
{
    qsizetype index = atoms_.indexOf(name);
    if (index < 0) {
        index = atoms_.size();
        atoms_ << name;
    }
    return static_cast<qint16>(0xC000 + index);
}

bool FakeHotKeys::RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey)
{
    if (heldElsewhere_.contains(Key { modifiers, virtualKey }))
        return false;
    for (const Registration& each : registered_)
        if ((each.window == &window && each.id == id)
            || (each.modifiers == modifiers && each.virtualKey == virtualKey))
            return false;
    registered_ << Registration { &window, id, modifiers, virtualKey };
    return true;
}

bool FakeHotKeys::UnregisterHotKey(QWidget& window, int id)
{
    for (qsizetype i = 0; i < registered_.size(); ++i) {
        if (registered_[i].window == &window && registered_[i].id == id) {
            registered_.removeAt(i);
            return true;
        }
    }
    return false;
}

bool FakeHotKeys::press(int modifiers, int virtualKey)
{
    for (const Registration& each : registered_) {
        if (each.modifiers == modifiers && each.virtualKey == virtualKey) {
            emit HotKey(each.window, each.id, modifiers, virtualKey);
            return true;
        }
    }
    return false;
}

} // namespace platform
