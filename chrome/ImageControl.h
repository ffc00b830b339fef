#pragma once

#include "skin/Skin.h"

#include <QImage>
#include <QWidget>

namespace chrome {

// An image control of the skinned windows: a child that shows one skin bitmap, chosen by
// its resource number through LoadSkinPicture.
//  - Without Stretch the control takes the size of its picture; with Stretch the picture
//    is scaled to the control's size.
//  - On a screen that scales its windows the bitmap drawn at twice the size is used, so
//    the picture stays crisp.
//  - Its mouse events carry the button (MouseDown and MouseUp: the one button that went
//    down or up; MouseMove: all buttons held) as 1 left, 2 right, 4 middle, the shift
//    state as 1 Shift, 2 Ctrl, 4 Alt, and the pointer's place in twips from the control's
//    top-left corner. A double click also counts as a press. As every widget, the control
//    that a button went down on keeps the mouse until the last button is let go.
// Its place is read and written in twips, like every control of the player.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent);

    // The skin bitmap shown; 0 before LoadSkinPicture gave it one.
    int Picture() const { return pictureId_; }
    // Only LoadSkinPicture calls this.
    void setPicture(int id, const skin::SkinPicture& picture);

    bool Stretch() const { return stretch_; }
    void setStretch(bool stretch);

    // A memo for the window's own use.
    QString Tag;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    // A stretched control's size; a control without Stretch keeps its picture's.
    void setSize(int width, int height);

signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The picture for `pixels` device pixels: a bitmap as it is when it has that size,
    // otherwise the larger bitmap scaled smoothly (kept until the size changes).
    const QImage& pictureFor(QSize pixels);

    int pictureId_ = 0;
    skin::SkinPicture picture_;
    bool stretch_ = false;
    QImage scaled_;
};

} // namespace chrome
