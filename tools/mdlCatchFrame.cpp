#include "mdlCatchFrame.h"

#include "platform/ScreenGrabber.h"

#include <QImage>
#include <QSaveFile>
#include <QWidget>

namespace mdlCatchFrame {

QPixmap GrabWindowArea(platform::ScreenGrabber& screen, const QWidget& window, bool clientArea, int left,
    int top, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const QPoint corner = clientArea ? window.mapToGlobal(QPoint(0, 0)) : window.frameGeometry().topLeft();
    return screen.grabScreenArea(QRect(corner + QPoint(left, top), QSize(width, height)));
}

bool SavePicture(const QPixmap& picture, const QString& path)
{
    if (picture.isNull() || path.isEmpty())
        return false;
    QImage image = picture.toImage();
    // The screen has no transparency: the file holds colours only, three bytes a pixel.
    if (image.hasAlphaChannel())
        image = image.convertToFormat(QImage::Format_RGB32);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "BMP") && file.commit();
}

} // namespace mdlCatchFrame
