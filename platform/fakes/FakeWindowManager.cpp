#include "FakeWindowManager.h"

namespace platform {

bool FakeWindowManager::startSystemMove(QWidget& window)
{
    calls_ << QStringLiteral("startSystemMove(%1)").arg(window.objectName());
    return takeSystemMoves_;
}

bool FakeWindowManager::startSystemResize(QWidget& window, Qt::Edges edges)
{
    calls_ << QStringLiteral("startSystemResize(%1, %2)").arg(window.objectName()).arg(int(edges));
    return takeSystemMoves_;
}

bool FakeWindowManager::setTopMost(QWidget& window, bool onTop)
{
    calls_ << QStringLiteral("setTopMost(%1, %2)").arg(window.objectName(), onTop ? u"true" : u"false");
    topMost_[&window] = onTop;
    return true;
}

void FakeWindowManager::bringToTop(QWidget& window)
{
    calls_ << QStringLiteral("bringToTop(%1)").arg(window.objectName());
    broughtToTop_ = &window;
}

} // namespace platform
