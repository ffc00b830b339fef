#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <cstdio>

namespace cli {

// The progress of a long command on stderr: on a terminal a bar with the time left,
// redrawn a few times a second; elsewhere (a log, a pipe) nothing until the one summary
// line at the end.
class Progress {
public:
    explicit Progress(std::FILE* out = stderr);

    bool onTerminal() const { return terminal_; }
    // `done` of `expected` units (frames) are done.
    void update(int64_t done, int64_t expected);
    // Clears the bar and writes the summary line.
    void finish(const QString& summary);
    // Clears the bar, leaving the line for a message.
    void clear();
    double elapsedSeconds() const { return clock_.elapsed() / 1000.0; }

    // "1:05", "0:07", "1:02:03".
    static QString clockTime(double seconds);
    // The bar's line for `done` of `expected` after `elapsed` seconds.
    static QString line(int64_t done, int64_t expected, double elapsed);

private:
    std::FILE* out_;
    bool terminal_;
    bool drawn_ = false;
    QElapsedTimer clock_;
    qint64 lastDrawn_ = -1000;
};

} // namespace cli
