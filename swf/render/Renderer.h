#pragma once

#include "ColorXform.h"
#include "DrawBudget.h"
#include "ShapeCache.h"

#include "swf/display/MovieClip.h"

#include <QRectF>
#include <QTransform>

#include <memory>

class QPainter;

namespace swf {

class Stage;

// Paints a display tree with QPainter. Keeps the decoded shapes of the movie it last drew;
// drawing another movie starts a new cache. A frame that would take too long to paint is
// cut short where its DrawBudget runs out.
class Renderer {
public:
    // Fills `target` with the stage colour and draws the stage into it, scaled "ShowAll".
    // Content outside the stage shows in the letterbox, as in the original control.
    void render(QPainter& painter, const Stage& stage, const QRectF& target);
    // Draws the tree only, `view` mapping stage twips into the painter's coordinates.
    void drawTree(QPainter& painter, const Stage& stage, const QTransform& view);

    std::size_t cachedShapes() const { return cache_.size(); }
    // The painting work the last frame took (DrawBudget units), and whether it ran out of
    // its budget and left objects undrawn.
    double lastFrameWork() const { return budget_.used(); }
    bool lastFrameCut() const { return budget_.spent(); }

private:
    void drawObject(
        QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorXform& parentCx);
    void drawList(
        QPainter& painter, const MovieClip::DisplayList& list, const QTransform& t, const ColorXform& cx);
    void drawShape(QPainter& painter, const Shape& shape, const QTransform& t, const ColorXform& cx);
    QPainterPath outlineOf(const DisplayObject& object, const QTransform& parent);
    void useMovie(const Stage& stage);

    ShapeCache cache_;
    DrawBudget budget_;
    std::shared_ptr<const Movie> movie_; // held so that the cache's keys stay valid
    QTransform base_; // the painter's transform when drawing began
};

} // namespace swf
