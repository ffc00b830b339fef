#include "EdgeLoops.h"

#include <unordered_map>

namespace swf {
namespace {

struct PointHash {
    std::size_t operator()(const ShapeEdge::P& p) const
    {
        return std::hash<int64_t>()(p.x * 0x9E3779B97F4A7C15ull ^ p.y);
    }
};

QPointF toQt(const ShapeEdge::P& p)
{
    return QPointF(double(p.x), double(p.y));
}

void addEdge(QPainterPath& path, const ShapeEdge& edge)
{
    if (edge.curved)
        path.quadTo(toQt(edge.control), toQt(edge.to));
    else
        path.lineTo(toQt(edge.to));
}

// The edges that start at each point, each bucket in file order, with a cursor past the
// ones already used so that every lookup is amortised constant time.
class EdgeIndex {
public:
    explicit EdgeIndex(const std::vector<ShapeEdge>& edges)
        : used_(edges.size(), false)
    {
        buckets_.reserve(edges.size());
        for (std::size_t i = 0; i < edges.size(); ++i)
            buckets_[edges[i].from].indices.push_back(i);
    }

    bool used(std::size_t i) const { return used_[i]; }
    void markUsed(std::size_t i) { used_[i] = true; }

    // The first unused edge that starts at `p`, or -1.
    std::ptrdiff_t takeFrom(const ShapeEdge::P& p)
    {
        auto it = buckets_.find(p);
        if (it == buckets_.end())
            return -1;
        Bucket& bucket = it->second;
        while (bucket.cursor < bucket.indices.size() && used_[bucket.indices[bucket.cursor]])
            ++bucket.cursor;
        if (bucket.cursor == bucket.indices.size())
            return -1;
        return static_cast<std::ptrdiff_t>(bucket.indices[bucket.cursor]);
    }

private:
    struct Bucket {
        std::vector<std::size_t> indices;
        std::size_t cursor = 0;
    };
    std::unordered_map<ShapeEdge::P, Bucket, PointHash> buckets_;
    std::vector<bool> used_;
};

} // namespace

QPainterPath joinIntoLoops(const std::vector<ShapeEdge>& edges, Qt::FillRule rule)
{
    QPainterPath path;
    path.setFillRule(rule);
    EdgeIndex index(edges);
    for (std::size_t first = 0; first < edges.size(); ++first) {
        if (index.used(first))
            continue;
        const ShapeEdge::P start = edges[first].from;
        path.moveTo(toQt(start));
        std::ptrdiff_t current = static_cast<std::ptrdiff_t>(first);
        while (current >= 0) {
            const ShapeEdge& edge = edges[static_cast<std::size_t>(current)];
            index.markUsed(static_cast<std::size_t>(current));
            addEdge(path, edge);
            if (edge.to == start)
                break;
            current = index.takeFrom(edge.to);
        }
        path.closeSubpath();
    }
    return path;
}

QPainterPath strokeOutline(const std::vector<ShapeEdge>& edges, bool closeLoops)
{
    QPainterPath path;
    ShapeEdge::P subpathStart;
    ShapeEdge::P last;
    bool open = false;
    const auto finish = [&] {
        if (open && closeLoops && last == subpathStart)
            path.closeSubpath();
        open = false;
    };
    for (const ShapeEdge& edge : edges) {
        if (!open || !(edge.from == last)) {
            finish();
            path.moveTo(toQt(edge.from));
            subpathStart = edge.from;
            open = true;
        }
        addEdge(path, edge);
        last = edge.to;
    }
    finish();
    return path;
}

} // namespace swf
