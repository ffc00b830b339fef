#include "LineControl.h"

#include "platform/Twips.h"

#include <QPainter>

#include <algorithm>

namespace chrome {

LineControl::LineControl(QWidget* parent, QColor colour)
    : QWidget(parent)
    , colour_(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setX1(int twips)
{
    x1_ = twips;
    place();
}
void LineControl::setY1(int twips)
{
    y1_ = twips;
    place();
}
void LineControl::setX2(int twips)
{
    x2_ = twips;
    place();
}
void LineControl::setY2(int twips)
{
    y2_ = twips;
    place();
}

void LineControl::setEnds(int x1, int y1, int x2, int y2)
{
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    place();
}

// The widget covers the line's pixels: one column or one row, the last point left out.
void LineControl::place()
{
    using platform::twipsToPixels;
    const int px1 = twipsToPixels(x1_);
    const int py1 = twipsToPixels(y1_);
    const int px2 = twipsToPixels(x2_);
    const int py2 = twipsToPixels(y2_);
    const int width = std::max(1, std::abs(px2 - px1));
    const int height = std::max(1, std::abs(py2 - py1));
    const bool empty = px1 == px2 && py1 == py2;
    setGeometry(std::min(px1, px2), std::min(py1, py2), empty ? 0 : width, empty ? 0 : height);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), colour_);
}

} // namespace chrome
