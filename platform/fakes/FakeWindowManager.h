#pragma once

#include "platform/WindowManager.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace platform {

// A window manager for tests. The pointer is where the test puts it; moves and resizes
// are refused unless the test lets the window manager take them, and are recorded;
// every topmost and Z-order request is recorded as "setTopMost(NAME, true)" or
// "bringToTop(NAME)", NAME being the window's object name.
class FakeWindowManager final : public WindowManager {
public:
    QPoint cursorPos() const override { return cursor_; }
    bool startSystemMove(QWidget& window) override;
    bool startSystemResize(QWidget& window, Qt::Edges edges) override;
    bool setTopMost(QWidget& window, bool onTop) override;
    void bringToTop(QWidget& window) override;

    // ---- the test's side
    void setCursorPos(QPoint cursor) { cursor_ = cursor; }
    void takeSystemMoves(bool take) { takeSystemMoves_ = take; }
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Whether the last request for `window` put it into the topmost band.
    bool isTopMost(const QWidget& window) const { return topMost_.value(&window, false); }
    // The window that was last brought to the top; null when none was, or it is gone.
    QWidget* broughtToTop() const { return broughtToTop_; }

private:
    QPoint cursor_;
    bool takeSystemMoves_ = false;
    QStringList calls_;
    QHash<const QWidget*, bool> topMost_;
    QPointer<QWidget> broughtToTop_;
};

} // namespace platform
