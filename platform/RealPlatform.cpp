#include "RealPlatform.h"

#include "EngineMovieControl.h"
#include "Ferrule.h"
#include "QtFileDialog.h"

#if defined(ZORVA_X11_HOTKEYS)
#include "X11HotKeys.h"
#elif defined(Q_OS_WIN)
#include "WinHotKeys.h"
#endif

namespace platform {

#if !defined(ZORVA_X11_HOTKEYS) && !defined(Q_OS_WIN)
namespace {

// A system without global hot keys: none can be registered.
class NoHotKeys final : public HotKeyService {
public:
    int GlobalAddAtom(const QString&) override { return 0; }
    bool RegisterHotKey(QWidget&, int, int, int) override { return false; }
    bool UnregisterHotKey(QWidget&, int) override { return false; }
};

} // namespace
#endif

MovieControl* RealPlatform::createMovieControl(QWidget* parent)
{
    return new EngineMovieControl(parent, &audio_);
}
ProgressBar* RealPlatform::createProgressBar(QWidget* parent)
{
    return new Ferrule(parent);
}

std::unique_ptr<FileDialog> RealPlatform::createFileDialog(QWidget* owner)
{
    return std::make_unique<QtFileDialog>(owner);
}

HotKeyService& RealPlatform::hotKeys()
{
    if (!hotKeys_) {
#if defined(ZORVA_X11_HOTKEYS)
        hotKeys_ = std::make_unique<X11HotKeys>();
#elif defined(Q_OS_WIN)
        hotKeys_ = std::make_unique<WinHotKeys>();
#else
        hotKeys_ = std::make_unique<NoHotKeys>();
#endif
    }
    return *hotKeys_;
}

} // namespace platform
