#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

namespace swf {

// Text as a movie stores it. From SWF 6 on it is UTF-8. Before, it is in the code page of
// the system that made the movie: text that is not valid UTF-8 is read as GBK when its
// high bytes come in pairs, as Chinese users' movies have them, else as Western text.
QString movieText(std::string_view bytes, uint8_t swfVersion);

// The same text as a movie of that version stores it.
std::string toMovieText(const QString& text, uint8_t swfVersion);

} // namespace swf
