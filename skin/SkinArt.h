#pragma once

#include <QImage>

namespace skin {

// Draws skin bitmap `id` at `scale` times its size (1 or 2, or any whole factor): 24-bit
// colour on pure white, the same pixels on every machine (no font is involved: every
// letter of the skin is drawn as a path). A null image for an id that the skin does not
// have.
QImage drawSkinBitmap(int id, int scale);

// The application's icon (the one at the start of the title icon) alone, `size` pixels
// square on a transparent ground: for the desktop's icon theme.
QImage drawApplicationIcon(int size);

} // namespace skin
