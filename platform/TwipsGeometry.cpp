#include "TwipsGeometry.h"

#include "Twips.h"

#include <QWidget>

#include <algorithm>

namespace platform::twipsGeometry {

int left(const QWidget& widget)
{
    return pixelsToTwips(widget.x());
}
int top(const QWidget& widget)
{
    return pixelsToTwips(widget.y());
}
int width(const QWidget& widget)
{
    return pixelsToTwips(widget.width());
}
int height(const QWidget& widget)
{
    return pixelsToTwips(widget.height());
}

void setLeft(QWidget& widget, int twips)
{
    widget.move(twipsToPixels(twips), widget.y());
}
void setTop(QWidget& widget, int twips)
{
    widget.move(widget.x(), twipsToPixels(twips));
}

// A negative size has no meaning for a widget; Qt would take it as empty anyway, but
// clamping keeps a read-back after a write consistent.
void setWidth(QWidget& widget, int twips)
{
    widget.resize(std::max(0, twipsToPixels(twips)), widget.height());
}
void setHeight(QWidget& widget, int twips)
{
    widget.resize(widget.width(), std::max(0, twipsToPixels(twips)));
}

void setRect(QWidget& widget, int left, int top, int width, int height)
{
    widget.setGeometry(twipsToPixels(left), twipsToPixels(top), std::max(0, twipsToPixels(width)),
        std::max(0, twipsToPixels(height)));
}

} // namespace platform::twipsGeometry
