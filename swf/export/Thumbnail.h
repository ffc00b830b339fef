#pragma once

#include <QImage>
#include <QSize>

#include <chrono>

namespace swf {
class Player;
}

namespace swf::exporting {

// The size of a thumbnail of a movie of `movie` pixels: its longest side `side`, its
// shape kept.
QSize thumbnailSize(QSize movie, int side);

// Whether a picture shows next to nothing: all but a sliver of it is `background`.
bool looksBlank(const QImage& picture, QColor background);

// Picks the picture that shows what a loaded movie is: the first frame that is not blank
// within the movie's first `seconds`, drawn at `size`. A movie blank all that time gives
// its fullest frame. Drawing stops looking after `budget` of the machine's time, so that a
// file manager never waits long on a heavy or hostile movie.
QImage representativeFrame(Player& player, QSize size, double seconds, std::chrono::milliseconds budget);

} // namespace swf::exporting
