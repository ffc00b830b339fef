#include "ScriptDrawing.h"

#include <algorithm>

namespace swf {

ScriptDrawing::Group& ScriptDrawing::group()
{
    if (groups_.empty()) {
        // The records of the first table start where the pen stands.
        groups_.emplace_back();
        StyleChange start;
        start.moveTo = pen_;
        groups_.back().records.push_back(start);
    }
    return groups_.back();
}

void ScriptDrawing::select(StyleChange change)
{
    group().records.push_back(std::move(change));
}

void ScriptDrawing::changed()
{
    drawing_.reset();
    hitAreas_.reset();
    outline_.reset();
}

void ScriptDrawing::setLine(std::optional<LineStyle> line)
{
    line_ = std::move(line);
    lineIndex_ = 0;
    if (line_) {
        Group& g = group();
        g.styles.lines.push_back(*line_);
        lineIndex_ = uint32_t(g.styles.lines.size());
    }
    if (!groups_.empty()) {
        StyleChange change;
        change.line = lineIndex_;
        select(change);
    }
}

void ScriptDrawing::setLineFill(const FillStyle& fill)
{
    if (!line_)
        return;
    LineStyle line = *line_;
    line.fill = fill;
    setLine(line);
}

void ScriptDrawing::beginFill(const FillStyle& fill)
{
    endFill();
    Group made;
    made.hasFill = true;
    made.styles.fills.push_back(fill);
    if (line_)
        made.styles.lines.push_back(*line_);
    lineIndex_ = line_ ? 1 : 0;
    StyleChange start;
    start.moveTo = pen_;
    start.fill0 = 0;
    start.fill1 = 1;
    start.line = lineIndex_;
    made.records.push_back(start);
    groups_.push_back(std::move(made));
    filling_ = true;
    fillStart_ = pen_;
}

void ScriptDrawing::closeFill()
{
    if (!filling_ || (pen_.x == fillStart_.x && pen_.y == fillStart_.y))
        return;
    // The closing edge is drawn with the line in use, as any other.
    lineTo(fillStart_);
}

void ScriptDrawing::endFill()
{
    if (!filling_)
        return;
    closeFill();
    filling_ = false;
    StyleChange noFill;
    noFill.fill1 = 0;
    select(noFill);
    changed();
}

void ScriptDrawing::moveTo(Point to)
{
    closeFill();
    pen_ = to;
    fillStart_ = to;
    if (!groups_.empty()) {
        StyleChange move;
        move.moveTo = to;
        select(move);
    }
    changed();
}

void ScriptDrawing::touch(Point p, int halfLine)
{
    // Kept by hand: QRectF::united would pass over the empty box of a lone point.
    const double left = double(p.x) - halfLine, right = double(p.x) + halfLine;
    const double top = double(p.y) - halfLine, bottom = double(p.y) + halfLine;
    if (!extent_) {
        extent_ = QRectF(QPointF(left, top), QPointF(right, bottom));
        return;
    }
    extent_ = QRectF(QPointF(std::min(extent_->left(), left), std::min(extent_->top(), top)),
        QPointF(std::max(extent_->right(), right), std::max(extent_->bottom(), bottom)));
}

void ScriptDrawing::edge(const ShapeRecord& record, Point to, std::optional<Point> control)
{
    if (!filling_ && !line_) {
        // Nothing to draw with: the pen only moves.
        moveTo(to);
        return;
    }
    if (edges_ >= kMaxEdges)
        return;
    group().records.push_back(record);
    ++edges_;
    const int half = line_ ? line_->width / 2 : 0;
    touch(pen_, half);
    if (control)
        touch(*control, half);
    touch(to, half);
    pen_ = to;
    changed();
}

void ScriptDrawing::lineTo(Point to)
{
    edge(StraightEdge { to.x - pen_.x, to.y - pen_.y }, to, std::nullopt);
}

void ScriptDrawing::curveTo(Point control, Point to)
{
    edge(CurvedEdge { control.x - pen_.x, control.y - pen_.y, to.x - control.x, to.y - control.y }, to,
        control);
}

void ScriptDrawing::clear()
{
    *this = ScriptDrawing {};
}

Shape ScriptDrawing::shape() const
{
    if (filling_ && (pen_.x != fillStart_.x || pen_.y != fillStart_.y)) {
        // A fill still open shows closed, as it will be when it ends.
        ScriptDrawing closed = *this;
        closed.endFill();
        return closed.shape();
    }
    Shape shape;
    shape.version = 4;
    for (size_t i = 0; i < groups_.size(); ++i) {
        const Group& g = groups_[i];
        if (i == 0) {
            shape.styles = g.styles;
        } else {
            StyleChange table;
            table.newStyles = g.styles;
            shape.records.push_back(table);
        }
        shape.records.insert(shape.records.end(), g.records.begin(), g.records.end());
    }
    if (extent_) {
        const QRectF b = *extent_;
        shape.bounds = Rect { int32_t(b.left()), int32_t(b.right()), int32_t(b.top()), int32_t(b.bottom()) };
    }
    return shape;
}

const ShapeDrawing& ScriptDrawing::drawing() const
{
    if (!drawing_)
        drawing_ = ShapeDrawing::decode(shape());
    return *drawing_;
}

QRectF ScriptDrawing::bounds() const
{
    return extent_.value_or(QRectF());
}

bool ScriptDrawing::hits(QPointF local) const
{
    if (!extent_ || !extent_->adjusted(-1, -1, 1, 1).contains(local))
        return false;
    if (!hitAreas_)
        hitAreas_ = drawing().hitAreas();
    return std::any_of(
        hitAreas_->begin(), hitAreas_->end(), [local](const QPainterPath& p) { return p.contains(local); });
}

QPainterPath ScriptDrawing::outline(double& work) const
{
    work = 0;
    if (!outline_) {
        PathUnion fills = drawing().fillOutline();
        work = fills.work();
        outline_ = fills.take();
    }
    return *outline_;
}

} // namespace swf
