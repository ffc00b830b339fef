#include "SkinArt.h"

#include "SkinInventory.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

// The artwork of the skin. Every picture is drawn in the coordinates of its normal size
// and scaled by the painter for the larger versions, so that both scales show the same
// shapes. Straight strokes sit on whole pixels where they can, which keeps them crisp at
// the normal size.
namespace skin {

namespace {

// ---- The palette of the whole skin.
const QColor White(255, 255, 255);
const QColor Ink(36, 58, 98); // glyphs
const QColor InkPressed(20, 36, 68);
const QColor Accent(58, 110, 200); // the player's blue, as on the progress bar
const QColor Knockout(244, 248, 253); // light details inside a glyph
const QColor NameBlue(30, 88, 190); // the product name in the title icon
const QColor FrameLine(192, 192, 192); // the window's frame lines

enum class Look { Normal, Pressed, Highlighted };

struct Colours {
    QColor faceTop, faceBottom, rim, ink, accent;
};

Colours orbColours(Look look)
{
    switch (look) {
    case Look::Pressed:
        return { QColor(182, 197, 222), QColor(212, 222, 238), QColor(88, 106, 142), InkPressed,
            Accent.darker(118) };
    case Look::Highlighted:
        return { QColor(204, 224, 255), QColor(128, 170, 238), QColor(50, 98, 188), Ink, Accent };
    case Look::Normal:
        break;
    }
    return { QColor(252, 253, 255), QColor(212, 224, 243), QColor(124, 144, 178), Ink, Accent };
}

QImage whiteCanvas(int width, int height, int scale)
{
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

void prepare(QPainter& painter, int scale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
}

QPen strokePen(const QColor& colour, qreal width, Qt::PenCapStyle cap = Qt::RoundCap,
    Qt::PenJoinStyle join = Qt::RoundJoin)
{
    return QPen(colour, width, Qt::SolidLine, cap, join);
}

// Fills `path` and softens its corners with a thin outline in the same colour.
void fillSoft(QPainter& painter, const QPainterPath& path, const QColor& colour)
{
    painter.setPen(strokePen(colour, 1.2));
    painter.setBrush(colour);
    painter.drawPath(path);
}

void fillSoft(QPainter& painter, const QPolygonF& polygon, const QColor& colour)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    fillSoft(painter, path, colour);
}

void fillRect(QPainter& painter, const QRectF& rect, const QColor& colour, qreal radius = 0.8)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path);
}

void strokePath(QPainter& painter, const QPainterPath& path, const QPen& pen)
{
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

// ---- Command buttons: a round face with the glyph on it (39 x 39).

constexpr QPointF OrbCentre(19.5, 19.5);
constexpr qreal OrbRadius = 17.0;

void drawOrb(QPainter& painter, Look look, const Colours& colours)
{
    if (look != Look::Pressed) {
        // A soft shadow below the face lifts it off the window.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 22));
        painter.drawEllipse(OrbCentre + QPointF(0, 1.2), OrbRadius + 0.6, OrbRadius + 0.6);
    }

    QLinearGradient face(0, OrbCentre.y() - OrbRadius, 0, OrbCentre.y() + OrbRadius);
    face.setColorAt(0, colours.faceTop);
    face.setColorAt(1, colours.faceBottom);
    painter.setPen(QPen(colours.rim, 1.0));
    painter.setBrush(face);
    painter.drawEllipse(OrbCentre, OrbRadius, OrbRadius);

    if (look == Look::Pressed) {
        // Pressed in: the upper rim casts a shadow onto the face.
        QRadialGradient shade(OrbCentre + QPointF(0, 4), OrbRadius + 2);
        shade.setColorAt(0.78, QColor(0, 0, 0, 0));
        shade.setColorAt(1.0, QColor(0, 0, 0, 60));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawEllipse(OrbCentre, OrbRadius - 0.5, OrbRadius - 0.5);
        return;
    }

    // A gloss over the upper half of the face.
    QLinearGradient gloss(0, OrbCentre.y() - OrbRadius, 0, OrbCentre.y());
    gloss.setColorAt(0, QColor(255, 255, 255, look == Look::Highlighted ? 120 : 170));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawEllipse(QRectF(OrbCentre.x() - 13, OrbCentre.y() - OrbRadius + 1.5, 26, 16));
}

// The glint of a highlighted button: a four-pointed sparkle on the upper left of the face.
void drawGlint(QPainter& painter)
{
    const QPointF centre(12, 11);
    QRadialGradient glow(centre, 5);
    glow.setColorAt(0, QColor(255, 255, 255, 255));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, 5, 5);

    QPainterPath star;
    const qreal arm = 6.5;
    const qreal waist = 1.0;
    star.moveTo(centre + QPointF(0, -arm));
    star.lineTo(centre + QPointF(waist, -waist));
    star.lineTo(centre + QPointF(arm, 0));
    star.lineTo(centre + QPointF(waist, waist));
    star.lineTo(centre + QPointF(0, arm));
    star.lineTo(centre + QPointF(-waist, waist));
    star.lineTo(centre + QPointF(-arm, 0));
    star.lineTo(centre + QPointF(-waist, -waist));
    star.closeSubpath();
    painter.setBrush(White);
    painter.drawPath(star);
}

void drawPlay(QPainter& painter, const Colours& c)
{
    fillSoft(painter, QPolygonF({ { 16, 12 }, { 27.5, 19.5 }, { 16, 27 } }), c.ink);
}

void drawStop(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(13.5, 13.5, 12, 12), c.ink, 1.6);
}

void drawPause(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(13.5, 12.5, 4.5, 14), c.ink);
    fillRect(painter, QRectF(21, 12.5, 4.5, 14), c.ink);
}

void drawReplay(QPainter& painter, const Colours& c)
{
    QPainterPath letter;
    letter.moveTo(15.5, 27.5);
    letter.lineTo(15.5, 12.5);
    letter.lineTo(20.5, 12.5);
    letter.cubicTo(25, 12.5, 25, 20.5, 20.5, 20.5);
    letter.lineTo(15.5, 20.5);
    letter.moveTo(19.5, 20.5);
    letter.lineTo(25, 27.5);
    strokePath(painter, letter, strokePen(c.ink, 3.2, Qt::FlatCap, Qt::MiterJoin));
}

void drawNext(QPainter& painter, const Colours& c)
{
    fillSoft(painter, QPolygonF({ { 13, 12.5 }, { 23, 19.5 }, { 13, 26.5 } }), c.ink);
    fillRect(painter, QRectF(23.5, 12, 3.5, 15), c.ink, 0.6);
}

void drawPrevious(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(12, 12, 3.5, 15), c.ink, 0.6);
    fillSoft(painter, QPolygonF({ { 26, 12.5 }, { 16, 19.5 }, { 26, 26.5 } }), c.ink);
}

void drawList(QPainter& painter, const Colours& c)
{
    for (const qreal y : { 14.0, 19.5, 25.0 }) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(c.accent);
        painter.drawEllipse(QPointF(14, y), 1.8, 1.8);
        fillRect(painter, QRectF(17.5, y - 1.3, 10, 2.6), c.ink, 0.6);
    }
}

void drawPointer(QPainter& painter, const Colours& c)
{
    const QPointF tip(15.5, 10.5);
    QPolygonF arrow(
        { { 0, 0 }, { 0, 16 }, { 3.8, 12.3 }, { 6.6, 18.4 }, { 9.2, 17.2 }, { 6.4, 11.2 }, { 11.5, 11.2 } });
    arrow.translate(tip);
    QPainterPath path;
    path.addPolygon(arrow);
    path.closeSubpath();
    painter.setPen(strokePen(c.ink, 1.6, Qt::RoundCap, Qt::MiterJoin));
    painter.setBrush(White);
    painter.drawPath(path);
}

void drawCheck(QPainter& painter, const Colours& c)
{
    QPainterPath check;
    check.moveTo(12.5, 20);
    check.lineTo(17.5, 25);
    check.lineTo(26.5, 14);
    strokePath(painter, check, strokePen(c.ink, 3.6));
}

void drawCross(QPainter& painter, const Colours& c)
{
    QPainterPath cross;
    cross.moveTo(14, 14);
    cross.lineTo(25, 25);
    cross.moveTo(25, 14);
    cross.lineTo(14, 25);
    strokePath(painter, cross, strokePen(c.ink, 3.6));
}

void drawDiskette(QPainter& painter, const Colours& c)
{
    QPainterPath body;
    body.moveTo(12, 13);
    body.quadTo(12, 12, 13, 12);
    body.lineTo(24, 12);
    body.lineTo(27, 15);
    body.lineTo(27, 26);
    body.quadTo(27, 27, 26, 27);
    body.lineTo(13, 27);
    body.quadTo(12, 27, 12, 26);
    body.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(c.ink);
    painter.drawPath(body);
    fillRect(painter, QRectF(15, 12, 8, 5), Knockout, 0.5); // the shutter
    fillRect(painter, QRectF(19.5, 13, 2, 3), c.ink, 0.3);
    fillRect(painter, QRectF(14.5, 19.5, 10, 6), Knockout, 0.8); // the label
    fillRect(painter, QRectF(16, 21.5, 7, 1), c.accent, 0);
    fillRect(painter, QRectF(16, 23.5, 5, 1), c.accent, 0);
}

void drawFolder(QPainter& painter, const Colours& c)
{
    QPainterPath back;
    back.moveTo(11.5, 13.5);
    back.lineTo(16.5, 13.5);
    back.lineTo(18, 15.5);
    back.lineTo(25.5, 15.5);
    back.lineTo(25.5, 27);
    back.lineTo(11.5, 27);
    back.closeSubpath();
    fillSoft(painter, back, c.ink);
    QPainterPath front;
    front.addPolygon(QPolygonF({ { 14.5, 19 }, { 28.5, 19 }, { 25.5, 27 }, { 11.5, 27 } }));
    front.closeSubpath();
    painter.setPen(strokePen(c.ink, 1.2));
    painter.setBrush(c.accent);
    painter.drawPath(front);
}

QPolygonF upArrow()
{
    return QPolygonF(
        { { 19.5, 11 }, { 27, 19 }, { 22, 19 }, { 22, 28 }, { 17, 28 }, { 17, 19 }, { 12, 19 } });
}

void drawUp(QPainter& painter, const Colours& c)
{
    fillSoft(painter, upArrow(), c.ink);
}

void drawDown(QPainter& painter, const Colours& c)
{
    QPolygonF arrow = upArrow();
    for (QPointF& point : arrow)
        point.setY(39 - point.y());
    fillSoft(painter, arrow, c.ink);
}

void drawPlus(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(17.75, 12, 3.5, 15), c.ink, 0.6);
    fillRect(painter, QRectF(12, 17.75, 15, 3.5), c.ink, 0.6);
}

void drawMinus(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(12, 17.75, 15, 3.5), c.ink, 0.6);
}

void drawScissors(QPainter& painter, const Colours& c)
{
    QPainterPath blades;
    blades.moveTo(16.6, 22.4);
    blades.lineTo(25.5, 11.5);
    blades.moveTo(22.4, 22.4);
    blades.lineTo(13.5, 11.5);
    strokePath(painter, blades, strokePen(c.ink, 2.4));
    painter.setPen(strokePen(c.ink, 2.0));
    painter.setBrush(Knockout);
    painter.drawEllipse(QPointF(15, 25), 2.9, 2.9);
    painter.drawEllipse(QPointF(24, 25), 2.9, 2.9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c.accent);
    painter.drawEllipse(QPointF(19.5, 18.9), 1.1, 1.1);
}

void drawPage(QPainter& painter, const Colours& c)
{
    QPainterPath page;
    page.moveTo(13, 10.5);
    page.lineTo(22.5, 10.5);
    page.lineTo(26.5, 14.5);
    page.lineTo(26.5, 28.5);
    page.lineTo(13, 28.5);
    page.closeSubpath();
    painter.setPen(strokePen(c.ink, 1.4, Qt::RoundCap, Qt::MiterJoin));
    painter.setBrush(White);
    painter.drawPath(page);
    QPainterPath ear;
    ear.moveTo(22.5, 10.5);
    ear.lineTo(22.5, 14.5);
    ear.lineTo(26.5, 14.5);
    strokePath(painter, ear, strokePen(c.ink, 1.2, Qt::RoundCap, Qt::MiterJoin));
    fillRect(painter, QRectF(15.5, 17, 8.5, 1.4), c.accent, 0);
    fillRect(painter, QRectF(15.5, 20, 8.5, 1.4), c.accent, 0);
    fillRect(painter, QRectF(15.5, 23, 8.5, 1.4), c.accent, 0);
    fillRect(painter, QRectF(15.5, 26, 5, 1.4), c.accent, 0);
}

void drawMagnifier(QPainter& painter, const Colours& c)
{
    painter.setPen(strokePen(c.ink, 4.0));
    painter.drawLine(QPointF(22, 22), QPointF(27, 27));
    QColor lens = c.accent;
    lens.setAlpha(70);
    painter.setPen(strokePen(c.ink, 2.6));
    painter.setBrush(lens);
    painter.drawEllipse(QPointF(17.5, 17.5), 5.6, 5.6);
}

void drawCamera(QPainter& painter, const Colours& c)
{
    fillRect(painter, QRectF(15, 12.5, 6.5, 4), c.ink, 1.0);
    fillRect(painter, QRectF(11, 15, 17, 12), c.ink, 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Knockout);
    painter.drawEllipse(QPointF(19.5, 21), 4.3, 4.3);
    painter.setBrush(c.accent);
    painter.drawEllipse(QPointF(19.5, 21), 2.5, 2.5);
    fillRect(painter, QRectF(24, 16.8, 2.2, 1.6), Knockout, 0.3);
}

void drawSort(QPainter& painter, const Colours& c)
{
    QPainterPath letters;
    letters.moveTo(12, 18.5); // A
    letters.lineTo(15, 11);
    letters.lineTo(18, 18.5);
    letters.moveTo(13.2, 15.6);
    letters.lineTo(16.8, 15.6);
    letters.moveTo(12.3, 21); // Z
    letters.lineTo(17.7, 21);
    letters.lineTo(12.3, 27.7);
    letters.lineTo(18, 27.7);
    strokePath(painter, letters, strokePen(c.ink, 1.8, Qt::FlatCap, Qt::MiterJoin));
    fillRect(painter, QRectF(23.6, 11, 2.8, 12.5), c.accent, 0.5);
    fillSoft(painter, QPolygonF({ { 20.8, 22.5 }, { 29.2, 22.5 }, { 25, 28.5 } }), c.accent);
}

using GlyphPainter = void (*)(QPainter&, const Colours&);

GlyphPainter glyphFor(int firstId)
{
    switch (firstId) {
    case 173:
        return drawPlay;
    case 176:
        return drawStop;
    case 179:
        return drawPause;
    case 182:
        return drawReplay;
    case 185:
        return drawNext;
    case 188:
        return drawList;
    case 191:
        return drawPointer;
    case 194:
        return drawCheck;
    case 197:
        return drawCross;
    case 200:
        return drawDiskette;
    case 203:
        return drawFolder;
    case 206:
        return drawPrevious;
    case 209:
        return drawUp;
    case 212:
        return drawDown;
    case 215:
        return drawPlus;
    case 218:
        return drawMinus;
    case 221:
        return drawScissors;
    case 224:
        return drawPage;
    case 227:
        return drawMagnifier;
    case 230:
        return drawCamera;
    case 233:
        return drawSort;
    default:
        return nullptr;
    }
}

QImage drawCommandButton(int id, int scale)
{
    const int offset = (id - detail::FirstGlyph) % 3;
    const Look look = offset == 0 ? Look::Normal : offset == 1 ? Look::Pressed : Look::Highlighted;
    const GlyphPainter glyph = glyphFor(id - offset);
    if (!glyph)
        return {};
    const Colours colours = orbColours(look);

    QImage image = whiteCanvas(39, 39, scale);
    QPainter painter(&image);
    prepare(painter, scale);
    drawOrb(painter, look, colours);
    if (look == Look::Pressed)
        painter.translate(1, 1); // the glyph sinks with the face
    glyph(painter, colours);
    if (look == Look::Highlighted)
        drawGlint(painter);
    return image;
}

// ---- Frame buttons of the title bar (17 x 16): a small tile with a glyph.

void drawTile(QPainter& painter, bool pressed)
{
    QLinearGradient face(0, 0, 0, 16);
    face.setColorAt(0, pressed ? QColor(194, 205, 222) : White);
    face.setColorAt(1, pressed ? QColor(216, 224, 236) : QColor(226, 232, 241));
    painter.setPen(QPen(pressed ? QColor(98, 112, 136) : QColor(142, 153, 172), 1.0));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 16, 15), 1.5, 1.5);
}

QImage drawFrameButton(int id, int scale)
{
    const bool pressed = (id - 112) % 2 == 1;
    const QColor ink = pressed ? InkPressed : Ink;

    QImage image = whiteCanvas(17, 16, scale);
    QPainter painter(&image);
    prepare(painter, scale);
    drawTile(painter, pressed);
    if (pressed)
        painter.translate(1, 1);

    switch (id - (id - 112) % 2) {
    case 112: // a short bar: roll up to the title bar, or back
        fillRect(painter, QRectF(5, 4, 7, 2), ink, 0);
        break;
    case 114: // one window: maximise
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(4.5, 4.5, 8, 7));
        fillRect(painter, QRectF(4, 4, 9, 2), ink, 0);
        break;
    case 116: // two windows: restore
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(6.5, 3.5, 7, 6));
        fillRect(painter, QRectF(6, 3, 8, 2), ink, 0);
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(pressed ? QColor(208, 216, 230) : QColor(244, 246, 250));
        painter.drawRect(QRectF(3.5, 6.5, 7, 6));
        fillRect(painter, QRectF(3, 6, 8, 2), ink, 0);
        break;
    case 118: { // a cross: close
        QPainterPath cross;
        cross.moveTo(5, 4.5);
        cross.lineTo(12, 11.5);
        cross.moveTo(12, 4.5);
        cross.lineTo(5, 11.5);
        strokePath(painter, cross, strokePen(ink, 1.8));
        break;
    }
    }
    return image;
}

// ---- Title bar (49 x 29): near white at the top, shading to a light grey from the ninth
// row down, the bottom row a little darker. The columns are all alike, as the bar is
// stretched to the window's width.
QImage drawTitleBar(int scale)
{
    QImage image = whiteCanvas(49, 29, scale);
    for (int row = 0; row < image.height(); ++row) {
        const double y = (row + 0.5) / scale; // in rows of the normal size
        int grey;
        if (y >= 28)
            grey = 200;
        else if (y < 8)
            grey = int(std::lround(253 - y * 0.5));
        else
            grey = int(std::lround(std::clamp(249 - (y - 8.5) * (249 - 215) / 19.0, 215.0, 249.0)));
        const QRgb colour = qRgb(grey, grey, grey);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line, line + image.width(), colour);
    }
    return image;
}

// ---- Title icon (122 x 20): the application icon, then the name in blue letters.

void drawAppIcon(QPainter& painter, const QRectF& box)
{
    QLinearGradient body(box.topLeft(), box.bottomLeft());
    body.setColorAt(0, QColor(96, 156, 236));
    body.setColorAt(1, QColor(30, 80, 172));
    painter.setPen(QPen(QColor(24, 62, 136), 1.0));
    painter.setBrush(body);
    const QRectF edge = box.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRoundedRect(edge, 3.5, 3.5);

    QLinearGradient gloss(box.topLeft(), QPointF(box.left(), box.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawRoundedRect(edge.adjusted(1, 1, -1, -edge.height() / 2), 2.5, 2.5);

    const qreal u = box.width() / 16;
    fillSoft(painter,
        QPolygonF({ box.topLeft() + QPointF(6 * u, 4.5 * u), box.topLeft() + QPointF(12 * u, 8 * u),
            box.topLeft() + QPointF(6 * u, 11.5 * u) }),
        White);
}

// The letters of "Zorvaplay" as strokes of one width, in the title icon's pixels: stems
// on whole pixels, x-height from row 6 to the baseline at row 15, the capital and the
// ascender from row 2, the descenders down to row 19.
QPainterPath productName(qreal left)
{
    constexpr qreal Top = 3; // centre of a stroke along the capital's top
    constexpr qreal XTop = 7; // centre of a stroke along the x-height
    constexpr qreal Base = 15; // centre of a stroke along the baseline
    constexpr qreal XMid = (XTop + Base) / 2;
    constexpr qreal Half = (Base - XTop) / 2;

    QPainterPath name;
    qreal x = left;
    auto bowl
        = [&](qreal centreX, qreal halfWidth) { name.addEllipse(QPointF(centreX, XMid), halfWidth, Half); };

    // Z
    name.moveTo(x, Top);
    name.lineTo(x + 9, Top);
    name.lineTo(x + 0.5, Base);
    name.lineTo(x + 9.5, Base);
    x += 11.5;
    // o
    bowl(x + 4, 3.5);
    x += 10.5;
    // r
    name.moveTo(x + 1, XTop - 1);
    name.lineTo(x + 1, Base + 1);
    name.moveTo(x + 1, XMid + 0.5);
    name.cubicTo(x + 1, XTop + 1, x + 3, XTop, x + 6.5, XTop);
    x += 8.5;
    // v
    name.moveTo(x + 0.2, XTop - 1);
    name.lineTo(x + 4, Base);
    name.lineTo(x + 7.8, XTop - 1);
    x += 9.5;
    // a
    bowl(x + 4, 3.3);
    name.moveTo(x + 8, XTop - 1);
    name.lineTo(x + 8, Base + 1);
    x += 11;
    // p
    name.moveTo(x + 1, XTop - 1);
    name.lineTo(x + 1, 19);
    bowl(x + 5, 3.3);
    x += 11;
    // l
    name.moveTo(x + 1, Top - 1);
    name.lineTo(x + 1, Base + 1);
    x += 3.5;
    // a
    bowl(x + 4, 3.3);
    name.moveTo(x + 8, XTop - 1);
    name.lineTo(x + 8, Base + 1);
    x += 11;
    // y
    name.moveTo(x + 0.2, XTop - 1);
    name.lineTo(x + 4.3, Base - 0.5);
    name.moveTo(x + 8.4, XTop - 1);
    name.lineTo(x + 2.6, 19);
    return name;
}

QImage drawTitleIcon(int scale)
{
    QImage image = whiteCanvas(122, 20, scale);
    QPainter painter(&image);
    prepare(painter, scale);
    // The picture lies on the title bar, not on the window's white: a thin edge makes its
    // white a name plate set into the bar.
    painter.setPen(QPen(QColor(204, 211, 223), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 121, 19), 1.5, 1.5);
    drawAppIcon(painter, QRectF(2, 2, 16, 16));
    strokePath(painter, productName(23), strokePen(NameBlue, 2.0, Qt::FlatCap, Qt::MiterJoin));
    return image;
}

// ---- Corner grip (24 x 25): the window's frame lines meet in its column and row 22,
// which lie on the window's last column and row; ridges of dots point into the corner.
QImage drawCornerGrip(int scale)
{
    QImage image = whiteCanvas(24, 25, scale);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(20, 0, 1, 22), QColor(244, 244, 244));
    painter.fillRect(QRectF(0, 20, 22, 1), QColor(244, 244, 244));
    painter.fillRect(QRectF(21, 0, 1, 22), QColor(226, 226, 226));
    painter.fillRect(QRectF(0, 21, 22, 1), QColor(226, 226, 226));
    painter.fillRect(QRectF(22, 0, 1, 23), FrameLine);
    painter.fillRect(QRectF(0, 22, 23, 1), FrameLine);
    for (int ridge = 0; ridge < 3; ++ridge)
        for (int dot = 0; dot <= ridge; ++dot) {
            const QPointF at(18 - 4 * (ridge - dot), 18 - 4 * dot);
            painter.fillRect(QRectF(at + QPointF(1, 1), QSizeF(2, 2)), QColor(222, 226, 232));
            painter.fillRect(QRectF(at, QSizeF(2, 2)), QColor(140, 150, 166));
        }
    return image;
}

} // namespace

QImage drawApplicationIcon(int size)
{
    if (size < 1)
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    drawAppIcon(painter, QRectF(0, 0, 16, 16));
    return image;
}

QImage drawSkinBitmap(int id, int scale)
{
    if (!findBitmap(id) || scale < 1)
        return {};
    if (id == 111)
        return drawTitleBar(scale);
    if (id >= 112 && id <= 119)
        return drawFrameButton(id, scale);
    if (id == 134)
        return drawTitleIcon(scale);
    if (id == 141)
        return drawCornerGrip(scale);
    return drawCommandButton(id, scale);
}

} // namespace skin
