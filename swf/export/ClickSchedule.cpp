#include "ClickSchedule.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace swf::exporting {
namespace {

std::optional<double> finiteNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

} // namespace

std::optional<std::vector<Click>> parseClicks(const QString& text, QString& error)
{
    std::vector<Click> clicks;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList placeAndTime = part.split(QLatin1Char('@'));
        const QStringList coordinates = placeAndTime.front().split(QLatin1Char(','));
        const auto x = coordinates.size() == 2 ? finiteNumber(coordinates[0]) : std::nullopt;
        const auto y = coordinates.size() == 2 ? finiteNumber(coordinates[1]) : std::nullopt;
        const auto seconds = placeAndTime.size() == 2 ? finiteNumber(placeAndTime[1]) : std::nullopt;
        if (!x || !y || !seconds || *seconds < 0) {
            error = QStringLiteral("“%1”不是“X,Y@秒数”的形式（例如 120,200@3.5）").arg(part.trimmed());
            return std::nullopt;
        }
        clicks.push_back({ QPointF(*x, *y), *seconds });
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
