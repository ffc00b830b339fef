#include "Ferrule.h"

#include "Twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace platform {

namespace {

// The bar draws itself in its top strip only: at the designed height it reaches into the
// button row of the main window, and the buttons there must stay visible.
constexpr int HandleRadius = 5;
constexpr int GrooveHeight = 4;
constexpr int GrooveCentre = HandleRadius + 2;

} // namespace

Ferrule::Ferrule(QWidget* parent)
    : ProgressBar(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void Ferrule::setPosition(int position)
{
    position = std::clamp(position, 0, MaxPosition);
    if (position == position_)
        return;
    position_ = position;
    update();
}

QSize Ferrule::sizeHint() const
{
    return { 200, 2 * GrooveCentre };
}

int Ferrule::grooveLeft() const
{
    return HandleRadius;
}
int Ferrule::grooveRight() const
{
    return std::max(grooveLeft(), width() - 1 - HandleRadius);
}

int Ferrule::positionAt(int x) const
{
    const int span = grooveRight() - grooveLeft();
    if (span <= 0)
        return 0;
    const int offset = std::clamp(x - grooveLeft(), 0, span);
    return divideRoundHalfEven(offset * MaxPosition, span);
}

void Ferrule::pick(int x)
{
    const int picked = positionAt(x);
    // Seek even when the value stays the same: a click on the spot where the movie
    // already stands still means "play from here".
    position_ = picked;
    update();
    emit Seek();
}

void Ferrule::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    dragging_ = true;
    pick(event->position().toPoint().x());
}

void Ferrule::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const int picked = positionAt(event->position().toPoint().x());
    if (picked != position_)
        pick(event->position().toPoint().x());
}

void Ferrule::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
}

void Ferrule::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const int left = grooveLeft();
    const int right = grooveRight();
    const QRectF groove(left, GrooveCentre - GrooveHeight / 2.0, right - left, GrooveHeight);
    painter.setPen(QColor(160, 160, 160));
    painter.setBrush(QColor(228, 228, 228));
    painter.drawRoundedRect(groove, 2, 2);

    const double handleX = left + (right - left) * double(position_) / MaxPosition;
    QRectF filled = groove;
    filled.setRight(handleX);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(58, 110, 200));
    painter.drawRoundedRect(filled, 2, 2);

    painter.setPen(QColor(96, 96, 96));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(handleX, GrooveCentre), HandleRadius - 0.5, HandleRadius - 0.5);
}

} // namespace platform
