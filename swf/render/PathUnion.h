#pragma once

#include <QPainterPath>

namespace swf {

// The area that several filled paths cover together, for using them as one clip.
//
// Uniting paths is exact, but Qt's path clipper slows down with the square of the
// elements it puts out, and where edges cross it puts out many: two zigzags of sixty
// edges laid across each other take thirty milliseconds, of a thousand, hours. So a
// union is made only of operands whose element counts multiply to little, and only until
// a fixed amount of work is done; the other paths are laid together instead, which is
// exact unless they overlap.
class PathUnion {
public:
    // The largest product of two operands' element counts that is united, and the work
    // after which the rest are laid together.
    static constexpr double kMaxPairProduct = 2048;
    static constexpr double kMaxWork = 20000;

    void add(const QPainterPath& part);

    const QPainterPath& path() const { return path_; }
    QPainterPath take() { return std::move(path_); }
    // The uniting done so far, in elements handled: those in and out of each union, and
    // the square of those out over 400 (about a microsecond each on a desktop).
    double work() const { return work_; }

private:
    QPainterPath path_;
    double work_ = 0;
};

} // namespace swf
