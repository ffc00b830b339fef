#pragma once

#include "ProgressBar.h"

namespace platform {

// Our progress bar: a thin groove filled up to the position, with a round handle. A press
// of the left button anywhere on the bar, and every move while it stays down, picks the
// position under the pointer and raises Seek.
class Ferrule final : public ProgressBar {
    Q_OBJECT
public:
    explicit Ferrule(QWidget* parent = nullptr);

    int Position() const override { return position_; }
    void setPosition(int position) override;

    QSize sizeHint() const override;

    // The position that the pointer at `x` (pixels, in the bar) picks.
    int positionAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The groove runs between these two x positions, leaving room for the handle.
    int grooveLeft() const;
    int grooveRight() const;
    void pick(int x);

    int position_ = 0;
    bool dragging_ = false;
};

} // namespace platform
