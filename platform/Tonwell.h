#pragma once

#include <QWidget>

namespace platform {

// The sound-level control `Tonwell1`: a speaker with a rising wedge showing its level.
// The level is a stored setting of the control on its own scale of 0..1000; the player
// never reads or writes it, so it shows the designed 900 for the whole run.
class Tonwell final : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLevel = 1000;
    static constexpr int DesignedLevel = 900;

    explicit Tonwell(QWidget* parent = nullptr);

    int level() const { return level_; }

    int Top() const;
    void setTop(int twips);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int level_ = DesignedLevel;
};

} // namespace platform
