#pragma once

#include <QPainterPath>

#include <cstdint>
#include <vector>

namespace swf {

// One straight or curved edge of a shape, in twips. Kept in 64 bits: the deltas of a
// damaged shape may sum past the range of 32.
struct ShapeEdge {
    struct P {
        int64_t x = 0;
        int64_t y = 0;
        friend bool operator==(const P&, const P&) = default;
    };
    P from;
    P control; // curved edges only
    P to;
    bool curved = false;

    ShapeEdge reversed() const { return { to, control, from, curved }; }
};

// Joins the edges that carry one fill style into closed loops. The file stores a fill's
// outline as loose edges in any order and direction (fill0 edges arrive reversed by the
// caller), so the edges are chained end to start; a chain that does not close is left
// open and the fill closes it with a straight line, which is what the original player
// shows for such damage. Loops keep their direction, so a non-zero rule sees the
// winding the file meant.
QPainterPath joinIntoLoops(const std::vector<ShapeEdge>& edges, Qt::FillRule rule = Qt::OddEvenFill);

// Strings a line style's edges into subpaths in file order, starting a new subpath where
// one edge does not begin where the last ended. Subpaths that come back to their start
// are closed so that their corner gets a join instead of two caps.
QPainterPath strokeOutline(const std::vector<ShapeEdge>& edges, bool closeLoops);

} // namespace swf
