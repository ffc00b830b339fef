#pragma once

#include <QString>

#include <functional>

namespace chrome {

class ImageControl;

// A command button as designed: its picture stretched to `width` x `height` twips at
// `left`, `top`, with its tool tip.
void placeButton(ImageControl& button, int left, int top, int width, int height, const QString& toolTip);

// The press/release pattern of the command buttons. A press of any mouse button shows the
// pressed picture; the release shows the normal picture again and then runs the command.
// The pressed button keeps the mouse until the release, so every press is followed by
// its command, wherever the pointer is let go. There is no hover picture, no focus and
// no keyboard activation.
void wireButton(ImageControl& button, int normal, int pressed, std::function<void()> command);

// The same for a button whose pictures depend on the moment's state. A picture of 0
// leaves the button as it is: the command then shows what it needs.
void wireButton(ImageControl& button, std::function<int()> pressed, std::function<int()> released,
    std::function<void()> command);

} // namespace chrome
