#pragma once

#include "swf/format/Filters.h"

#include <QImage>
#include <QMargins>

#include <array>
#include <span>
#include <vector>

namespace swf {

// A filter list as it acts on one device: sizes in device pixels, clamped so that no list
// can take more than a frame's budget (see work()), whatever its numbers. Blurs are box
// blurs repeated once per pass, as the reference player makes them: a pass of size N
// averages the N pixels around each one, so three passes look nearly, not quite, like a
// Gaussian blur.
class FilterChain {
public:
    // The most filters of one list that are applied, the widest blur (in stage pixels) and
    // the most passes of one blur.
    static constexpr std::size_t kMaxFilters = 8;
    static constexpr double kMaxBlur = 255;
    static constexpr int kMaxPasses = 15;

    // `scale`: device pixels to a stage pixel; filters grow with the view, not with the
    // object's own scale.
    FilterChain(std::span<const Filter> filters, double scale);

    bool empty() const { return steps_.empty(); }
    // How far the filters may spread the picture beyond the object, on each side.
    QMargins margins() const;
    // What applying the chain to an image of `pixels` pixels costs, in pixel touches.
    double work(double pixels) const;
    // Applies the filters in order to `image` (premultiplied ARGB), which already holds the
    // margins around the object.
    void apply(QImage& image) const;

    // One filter with its sizes on the device.
    struct Step {
        Filter filter;
        int radiusX = 0; // device pixels each side of a blur pass
        int radiusY = 0;
        int passes = 0;
        int dx = 0; // device pixels the shadow moves
        int dy = 0;
    };

private:
    std::vector<Step> steps_;
};

} // namespace swf
