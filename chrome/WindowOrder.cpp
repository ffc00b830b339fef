#include "WindowOrder.h"

#include "platform/WindowManager.h"

namespace mdlCommonFunctions {

int SetTopMost(platform::WindowManager& windows, QWidget& form, bool onTop)
{
    return windows.setTopMost(form, onTop) ? 1 : 0;
}

void BringFormToTop(platform::WindowManager& windows, QWidget& form)
{
    windows.bringToTop(form);
}

} // namespace mdlCommonFunctions
