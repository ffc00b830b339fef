#pragma once

namespace swf {

// The key code a movie sees (Key.getCode(), a button's key condition) for a key of Qt's
// (Qt::Key); 0 for keys movies have no code for.
int movieKeyCode(int qtKey);

} // namespace swf
