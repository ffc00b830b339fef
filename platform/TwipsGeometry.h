#pragma once

class QWidget;

namespace platform {

// A child control's place inside its window, read and written in twips. The controls of
// the platform boundary expose their geometry through these, so that the windows never
// see a pixel.
namespace twipsGeometry {

int left(const QWidget& widget);
int top(const QWidget& widget);
int width(const QWidget& widget);
int height(const QWidget& widget);

void setLeft(QWidget& widget, int twips);
void setTop(QWidget& widget, int twips);
void setWidth(QWidget& widget, int twips);
void setHeight(QWidget& widget, int twips);
void setRect(QWidget& widget, int left, int top, int width, int height);

} // namespace twipsGeometry
} // namespace platform
