#include "ImageControl.h"

#include "chrome/MouseCodes.h"
#include "platform/TwipsGeometry.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace chrome {

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent)
{
    // Moves with no button down are events of their own: the title bar records its grab
    // point from them.
    setMouseTracking(true);
}

void ImageControl::setPicture(int id, const skin::SkinPicture& picture)
{
    pictureId_ = id;
    picture_ = picture;
    scaled_ = QImage();
    if (!stretch_ && !picture_.isNull())
        resize(picture_.normal.size());
    update();
}

void ImageControl::setStretch(bool stretch)
{
    stretch_ = stretch;
    if (!stretch_ && !picture_.isNull())
        resize(picture_.normal.size());
    update();
}

int ImageControl::Left() const
{
    return platform::twipsGeometry::left(*this);
}
int ImageControl::Top() const
{
    return platform::twipsGeometry::top(*this);
}
int ImageControl::Width() const
{
    return platform::twipsGeometry::width(*this);
}
int ImageControl::Height() const
{
    return platform::twipsGeometry::height(*this);
}
void ImageControl::setLeft(int twips)
{
    platform::twipsGeometry::setLeft(*this, twips);
}
void ImageControl::setTop(int twips)
{
    platform::twipsGeometry::setTop(*this, twips);
}

void ImageControl::setSize(int width, int height)
{
    if (!stretch_ && !picture_.isNull())
        return;
    resize(std::max(0, platform::twipsToPixels(width)), std::max(0, platform::twipsToPixels(height)));
}

const QImage& ImageControl::pictureFor(QSize pixels)
{
    if (picture_.normal.size() == pixels)
        return picture_.normal;
    if (picture_.doubled.size() == pixels)
        return picture_.doubled;
    if (scaled_.size() != pixels) {
        const QImage& source = picture_.doubled.isNull() ? picture_.normal : picture_.doubled;
        scaled_ = source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return scaled_;
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (picture_.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    // Device pixels per pixel, on a scaling screen as in a picture the control is drawn into.
    const qreal ratio = std::max(painter.deviceTransform().m11(), 0.25);
    const QSize pixels(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), pictureFor(pixels));
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), toTwips(event->position().x()),
        toTwips(event->position().y()));
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), toTwips(event->position().x()),
        toTwips(event->position().y()));
}

void ImageControl::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()),
        toTwips(event->position().x()), toTwips(event->position().y()));
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    emit DblClick();
}

} // namespace chrome
