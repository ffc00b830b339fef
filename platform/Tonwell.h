#pragma once

#include <QWidget>

namespace platform {

class AudioOutput;

// The sound-level control `Tonwell1`: a speaker with a rising wedge showing its level,
// which sets the volume of the program's sound output. The level is a stored setting of
// the control on its own scale of 0..1000, starting at the designed 900; the user moves
// it by clicking or dragging on the wedge, or with the wheel. The player never reads or
// writes it. The volume follows the level in proportion (900 is 0.9 of the sound).
class Tonwell final : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLevel = 1000;
    static constexpr int DesignedLevel = 900;
    static constexpr int WheelStep = 50; // per notch

    explicit Tonwell(AudioOutput& output, QWidget* parent = nullptr);

    int level() const { return level_; }

    int Top() const;
    void setTop(int twips);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Where the wedge runs, in the control's pixels.
    qreal wedgeLeft() const;
    qreal wedgeRight() const;
    void setLevelAt(qreal x);
    void setLevel(int level);

    AudioOutput& output_;
    int level_ = DesignedLevel;
};

} // namespace platform
