#pragma once

#include <QColor>
#include <QWidget>

namespace chrome {

// A line control of the skinned windows: a one-pixel line between two points given in
// twips, from (X1, Y1) up to, not including, (X2, Y2). The windows draw only horizontal
// and vertical lines, as frame edges; a slanted line fills its box. It takes no mouse
// input: what lies under it gets the events.
class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QWidget* parent, QColor colour);

    int X1() const { return x1_; }
    int Y1() const { return y1_; }
    int X2() const { return x2_; }
    int Y2() const { return y2_; }
    void setX1(int twips);
    void setY1(int twips);
    void setX2(int twips);
    void setY2(int twips);
    void setEnds(int x1, int y1, int x2, int y2);

    QColor BorderColor() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QColor colour_;
    int x1_ = 0;
    int y1_ = 0;
    int x2_ = 0;
    int y2_ = 0;
};

} // namespace chrome
