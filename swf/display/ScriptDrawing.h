#pragma once

#include "swf/format/Shape.h"
#include "swf/render/ShapeDrawing.h"

#include <QPainterPath>
#include <QRectF>

#include <optional>
#include <vector>

namespace swf {

// What a script draws into a clip with lineStyle, beginFill, lineTo and the rest: a shape
// that grows command by command, in the clip's twips. Each fill begun starts a style table
// of its own, so that it covers what was drawn before it and its lines lie above it. A
// fill's outline is closed back to where it began when it ends or moves on.
class ScriptDrawing {
public:
    // Edges past this many are dropped, so that a runaway loop cannot eat the memory.
    static constexpr size_t kMaxEdges = 1 << 20;

    // The line of the edges drawn next; none draws no line.
    void setLine(std::optional<LineStyle> line);
    // Gives the current line a gradient instead of its colour (no line: nothing).
    void setLineFill(const FillStyle& fill);
    // Ends the fill in progress and begins one at the pen.
    void beginFill(const FillStyle& fill);
    void endFill();
    void moveTo(Point to);
    void lineTo(Point to);
    void curveTo(Point control, Point to);
    // Forgets everything drawn and the styles: the clip shows nothing of its own.
    void clear();

    bool empty() const { return groups_.empty(); }
    // The drawing as a shape; its bounds are those of bounds().
    Shape shape() const;
    const ShapeDrawing& drawing() const;
    // The area covered, lines at their width, in twips; empty before anything is drawn.
    QRectF bounds() const;
    bool hits(QPointF local) const;
    // The area the fills cover, for the drawing as a mask; `work` as ShapeDrawing's.
    QPainterPath outline(double& work) const;

private:
    struct Group {
        StyleTable styles;
        std::vector<ShapeRecord> records;
        bool hasFill = false;
    };
    Group& group();
    void select(StyleChange change);
    void edge(const ShapeRecord& record, Point to, std::optional<Point> control);
    void closeFill();
    void touch(Point p, int halfLine);
    void changed();

    std::vector<Group> groups_;
    std::optional<LineStyle> line_;
    uint32_t lineIndex_ = 0; // the line's index in the current group's table; 0 when none
    bool filling_ = false;
    Point pen_;
    Point fillStart_;
    size_t edges_ = 0;
    std::optional<QRectF> extent_;

    // Made again after each change, when next asked for.
    mutable std::optional<ShapeDrawing> drawing_;
    mutable std::optional<std::vector<QPainterPath>> hitAreas_;
    mutable std::optional<QPainterPath> outline_;
};

} // namespace swf
