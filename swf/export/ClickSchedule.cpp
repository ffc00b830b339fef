#include "ClickSchedule.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf::exporting {
namespace {

// The number the text holds, or NaN when it holds none (or an infinite one).
double finiteNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

std::optional<std::vector<Click>> parseClicks(const QString& text, QString& error)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<Click> clicks;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList placeAndTime = part.split(QLatin1Char('@'));
        const QStringList coordinates = placeAndTime.front().split(QLatin1Char(','));
        const double x = coordinates.size() == 2 ? finiteNumber(coordinates[0]) : none;
        const double y = coordinates.size() == 2 ? finiteNumber(coordinates[1]) : none;
        const double seconds = placeAndTime.size() == 2 ? finiteNumber(placeAndTime[1]) : none;
        if (std::isnan(x) || std::isnan(y) || !(seconds >= 0)) {
            error = QStringLiteral("“%1”不是“X,Y@秒数”的形式（例如 120,200@3.5）").arg(part.trimmed());
            return std::nullopt;
        }
        clicks.push_back({ QPointF(x, y), seconds });
    }
    if (clicks.empty()) {
        error = QStringLiteral("--click 需要“X,Y@秒数”，例如 120,200@3.5");
        return std::nullopt;
    }
    std::stable_sort(
        clicks.begin(), clicks.end(), [](const Click& a, const Click& b) { return a.seconds < b.seconds; });
    return clicks;
}

ClickSchedule::ClickSchedule(std::vector<Click> clicks)
    : clicks_(std::move(clicks))
{
}

std::vector<Click> ClickSchedule::dueBy(double seconds)
{
    std::vector<Click> due;
    while (next_ < clicks_.size() && clicks_[next_].seconds <= seconds)
        due.push_back(clicks_[next_++]);
    return due;
}

} // namespace swf::exporting
