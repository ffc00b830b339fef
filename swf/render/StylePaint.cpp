#include "StylePaint.h"

#include <QLinearGradient>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr double kGradientHalfSize = 16384.0;

QGradient::Spread toQt(Gradient::Spread spread)
{
    switch (spread) {
    case Gradient::Spread::Reflect:
        return QGradient::ReflectSpread;
    case Gradient::Spread::Repeat:
        return QGradient::RepeatSpread;
    case Gradient::Spread::Pad:
        break;
    }
    return QGradient::PadSpread;
}

double toLinear(double c)
{
    c /= 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c)
{
    c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return std::clamp(c * 255.0, 0.0, 255.0);
}

// Qt blends stops in sRGB. A gradient that asks for linear-RGB blending gets extra stops
// between its own, placed along the linear-light curve, so that Qt's straight segments
// follow it closely.
QGradientStops linearLightStops(const QGradientStops& stops)
{
    constexpr int kSteps = 16;
    QGradientStops out;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        if (i > 0 && stops[i].first - stops[i - 1].first > 1e-3) {
            const QColor a = stops[i - 1].second;
            const QColor b = stops[i].second;
            for (int step = 1; step < kSteps; ++step) {
                const double t = double(step) / kSteps;
                const auto mix
                    = [t](int x, int y) { return fromLinear(toLinear(x) + (toLinear(y) - toLinear(x)) * t); };
                QColor c;
                c.setRgbF(float(mix(a.red(), b.red()) / 255.0), float(mix(a.green(), b.green()) / 255.0),
                    float(mix(a.blue(), b.blue()) / 255.0),
                    float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
                out.append({ stops[i - 1].first + (stops[i].first - stops[i - 1].first) * t, c });
            }
        }
        out.append(stops[i]);
    }
    return out;
}

// Qt wants strictly rising stop positions; the file allows equal or falling ratios and
// then shows a hard edge, which a tiny step keeps.
QGradientStops gradientStops(const Gradient& gradient, const ColorXform& cx)
{
    QGradientStops stops;
    double last = -1.0;
    for (const GradientStop& stop : gradient.stops) {
        double position = std::max(stop.ratio / 255.0, last + 1e-6);
        if (position > 1.0)
            position = 1.0;
        if (position <= last)
            continue;
        stops.append({ position, cx.apply(stop.color) });
        last = position;
    }
    if (gradient.interpolation == Gradient::Interpolation::Linear)
        return linearLightStops(stops);
    return stops;
}

QBrush gradientBrush(const FillStyle& style, const ColorXform& cx)
{
    const Gradient& g = style.gradient;
    const QGradientStops stops = gradientStops(g, cx);
    if (stops.isEmpty())
        return Qt::NoBrush;
    const QTransform matrix = toQTransform(g.matrix);
    // A gradient squashed to nothing has no direction to spread along: it shows its
    // last colour, as a padded gradient does far from its middle.
    if (stops.size() == 1 || !matrix.isInvertible())
        return QBrush(stops.last().second);

    QGradient qg;
    if (style.kind == FillStyle::Kind::LinearGradient) {
        qg = QLinearGradient(-kGradientHalfSize, 0, kGradientHalfSize, 0);
    } else {
        const double focal
            = style.kind == FillStyle::Kind::FocalRadialGradient ? std::clamp(g.focalPoint, -1.0, 1.0) : 0.0;
        qg = QRadialGradient(QPointF(0, 0), kGradientHalfSize, QPointF(focal * kGradientHalfSize, 0));
    }
    qg.setStops(stops);
    qg.setSpread(toQt(g.spread));
    QBrush brush(qg);
    brush.setTransform(matrix);
    return brush;
}

} // namespace

QBrush fillBrush(const FillStyle& style, const ColorXform& cx)
{
    switch (style.kind) {
    case FillStyle::Kind::Solid:
        return QBrush(cx.apply(style.color));
    case FillStyle::Kind::LinearGradient:
    case FillStyle::Kind::RadialGradient:
    case FillStyle::Kind::FocalRadialGradient:
        return gradientBrush(style, cx);
    default:
        return Qt::NoBrush;
    }
}

QPen linePen(const LineStyle& style, const ColorXform& cx, double pixelsPerTwip)
{
    QPen pen;
    if (style.fill)
        pen.setBrush(fillBrush(*style.fill, cx));
    else
        pen.setColor(cx.apply(style.color));

    if (style.width * pixelsPerTwip < 1.0) {
        pen.setWidthF(1.0);
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(std::min<double>(style.width, kMaxPenWidth));
    }

    switch (style.startCap) {
    case LineStyle::Cap::None:
        pen.setCapStyle(Qt::FlatCap);
        break;
    case LineStyle::Cap::Square:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case LineStyle::Cap::Round:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (style.join) {
    case LineStyle::Join::Bevel:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case LineStyle::Join::Miter:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(std::max(1.0, style.miterLimit));
        break;
    case LineStyle::Join::Round:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QPainterPath strokeArea(const QPainterPath& path, const QPen& pen, double width)
{
    QPainterPathStroker stroker(pen);
    stroker.setWidth(width);
    return stroker.createStroke(path);
}

} // namespace swf
