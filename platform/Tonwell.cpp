#include "Tonwell.h"

#include "AudioOutput.h"
#include "TwipsGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace platform {

Tonwell::Tonwell(AudioOutput& output, QWidget* parent)
    : QWidget(parent)
    , output_(output)
{
    output_.setVolume(double(level_) / MaxLevel);
}

qreal Tonwell::wedgeLeft() const
{
    const qreal unit = std::min<qreal>(height(), width() / 3.0) / 4;
    return unit * 3.2;
}

qreal Tonwell::wedgeRight() const
{
    return width() - 2;
}

void Tonwell::setLevel(int level)
{
    level = std::clamp(level, 0, MaxLevel);
    if (level == level_)
        return;
    level_ = level;
    output_.setVolume(double(level_) / MaxLevel);
    update();
}

void Tonwell::setLevelAt(qreal x)
{
    const qreal left = wedgeLeft();
    const qreal right = wedgeRight();
    if (right <= left)
        return;
    setLevel(static_cast<int>(std::lround((x - left) / (right - left) * MaxLevel)));
}

void Tonwell::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setLevelAt(event->position().x());
}

void Tonwell::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        setLevelAt(event->position().x());
}

void Tonwell::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    setLevel(level_ + notches * WheelStep);
}

int Tonwell::Top() const
{
    return twipsGeometry::top(*this);
}
void Tonwell::setTop(int twips)
{
    twipsGeometry::setTop(*this, twips);
}

QSize Tonwell::sizeHint() const
{
    return { 42, 25 };
}

void Tonwell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Speaker on the left third, scaled to the control's height.
    const qreal h = height();
    const qreal w = width();
    const qreal mid = h / 2;
    const qreal unit = std::min(h, w / 3) / 4;
    QPainterPath speaker;
    speaker.moveTo(unit * 0.5, mid - unit * 0.6);
    speaker.lineTo(unit * 1.3, mid - unit * 0.6);
    speaker.lineTo(unit * 2.3, mid - unit * 1.5);
    speaker.lineTo(unit * 2.3, mid + unit * 1.5);
    speaker.lineTo(unit * 1.3, mid + unit * 0.6);
    speaker.lineTo(unit * 0.5, mid + unit * 0.6);
    speaker.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(80, 80, 80));
    painter.drawPath(speaker);

    // The level: a wedge rising to the right, filled up to the level.
    const qreal left = wedgeLeft();
    const qreal right = wedgeRight();
    const qreal bottom = mid + unit * 1.5;
    const qreal top = mid - unit * 1.5;
    if (right <= left)
        return;
    QPolygonF wedge { { left, bottom }, { right, bottom }, { right, top } };
    painter.setBrush(QColor(215, 215, 215));
    painter.drawPolygon(wedge);

    const qreal levelX = left + (right - left) * level_ / MaxLevel;
    const qreal levelTop = bottom - (bottom - top) * level_ / MaxLevel;
    QPolygonF filled { { left, bottom }, { levelX, bottom }, { levelX, levelTop } };
    painter.setBrush(QColor(58, 110, 200));
    painter.drawPolygon(filled);
}

} // namespace platform
