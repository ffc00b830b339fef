#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace swf {

// What a whole MP3 file says of itself: its rate, its length and its ID3 tags (v2 and
// v1; the names scripts know, "songname", "artist", "album", "year", "comment", "genre",
// "track", and the v2 frames by their own ids, "TIT2", "TPE1" ...).
struct Mp3Facts {
    bool valid = false; // mpg123 found MP3 frames
    long rate = 0;
    int channels = 0;
    uint64_t frames = 0; // samples per channel
    std::map<std::string, std::string> id3;
};

Mp3Facts probeMp3(std::span<const uint8_t> file);

} // namespace swf
