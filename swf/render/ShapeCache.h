#pragma once

#include "DrawBudget.h"
#include "ShapeDrawing.h"

#include <QPainterPath>

#include <memory>
#include <optional>
#include <unordered_map>

namespace swf {

// Shapes decoded on first use and kept for the life of one movie. Keyed by the shape's
// address, which the shared, immutable movie keeps stable.
class ShapeCache {
public:
    const ShapeDrawing& drawing(const Shape& shape);
    // Made on first use, which is charged to `budget`; kept for later frames.
    const QPainterPath& outline(const Shape& shape, DrawBudget& budget);
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        ShapeDrawing drawing;
        std::optional<QPainterPath> outline; // made when the shape first serves as a mask
    };
    Entry& entry(const Shape& shape);

    std::unordered_map<const Shape*, std::unique_ptr<Entry>> entries_;
};

} // namespace swf
