#pragma once

#include <QWidget>

namespace platform {

// The progress bar `Fbar1`: a position from 0 to 1000 (per mille of the movie's frames)
// that the program writes on every progress tick and reads when the user seeks.
// `Seek` is raised only when the user picks a position; a write by the program never
// raises it, or every tick would seek and resume a paused movie.
class ProgressBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxPosition = 1000;

    using QWidget::QWidget;

    virtual int Position() const = 0;
    virtual void setPosition(int position) = 0; // clamped to 0..1000

    int Width() const;
    int Top() const;
    void setWidth(int twips);
    void setTop(int twips);

signals:
    void Seek();
};

} // namespace platform
