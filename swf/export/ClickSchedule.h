#pragma once

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace swf::exporting {

// A press and release of the mouse where the movie needs it, at a time of the movie.
struct Click {
    QPointF pixels; // on the movie's stage, in its own pixels
    double seconds = 0; // from the first frame
};

// The clicks of --click, in time order: "X,Y@SECONDS", several separated by ';'
// ("100,200@3;250,300@10.5"). Nothing when the text is not of that form; `error` then
// says which part is wrong.
std::optional<std::vector<Click>> parseClicks(const QString& text, QString& error);

// Hands the clicks out as the movie's time passes them.
class ClickSchedule {
public:
    explicit ClickSchedule(std::vector<Click> clicks = {});

    // The clicks due by `seconds` that were not handed out yet.
    std::vector<Click> dueBy(double seconds);
    // Whether a click is still to come: the movie is waiting for it.
    bool pending() const { return next_ < clicks_.size(); }

private:
    std::vector<Click> clicks_;
    size_t next_ = 0;
};

} // namespace swf::exporting
