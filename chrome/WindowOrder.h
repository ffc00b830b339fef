#pragma once

class QWidget;

namespace platform {
class WindowManager;
}

// The Z-order routines of the windows' frames and of the always-on-top option.
namespace mdlCommonFunctions {

// Puts `form` into the topmost band (`onTop`) or out of it, leaving its place and size
// as they are. Returns nonzero on success.
int SetTopMost(platform::WindowManager& windows, QWidget& form, bool onTop);

// Brings `form` to the top of the Z order.
void BringFormToTop(platform::WindowManager& windows, QWidget& form);

} // namespace mdlCommonFunctions
