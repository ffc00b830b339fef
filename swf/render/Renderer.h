#pragma once

#include "ColorXform.h"
#include "DrawBudget.h"

#include "swf/display/DisplayObject.h"

#include <QRectF>
#include <QTransform>

#include <memory>

class QPainter;

namespace swf {

class Stage;

// Paints a display tree with QPainter: each object's own picture (its kind draws it), then
// its children, with masks, colour transforms and visibility handled here, once, for
// every kind. A frame that would take too long to paint is cut short where its DrawBudget
// runs out.
class Renderer {
public:
    // Fills `target` with the stage colour and draws the stage into it, scaled "ShowAll".
    // Content outside the stage shows in the letterbox, as in the original control.
    void render(QPainter& painter, const Stage& stage, const QRectF& target);
    // Draws the tree only, `view` mapping stage twips into the painter's coordinates.
    void drawTree(QPainter& painter, const Stage& stage, const QTransform& view);

    // The painting work the last frame took (DrawBudget units), and whether it ran out of
    // its budget and left objects undrawn.
    double lastFrameWork() const { return budget_.used(); }
    bool lastFrameCut() const { return budget_.spent(); }

private:
    void drawObject(
        QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorXform& parentCx);
    void drawList(QPainter& painter, const DisplayList& list, const QTransform& t, const ColorXform& cx);
    QPainterPath outlineOf(const DisplayObject& object, const QTransform& parent);

    DrawBudget budget_;
    QTransform base_; // the painter's transform when drawing began
};

} // namespace swf
