#include "Mp3Probe.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <sys/types.h>

namespace swf {
namespace {

// The file in memory as mpg123's reader: it scans for the length and seeks for the tags.
struct MemoryFile {
    std::span<const uint8_t> bytes;
    size_t pos = 0;
};

mpg123_ssize_t readMemory(void* handle, void* out, size_t count)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const size_t n = std::min(count, file->bytes.size() - file->pos);
    if (n > 0)
        std::memcpy(out, file->bytes.data() + file->pos, n);
    file->pos += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t seekMemory(void* handle, off_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const off_t base = whence == SEEK_SET ? 0
        : whence == SEEK_CUR              ? off_t(file->pos)
                                          : off_t(file->bytes.size());
    const off_t to = base + offset;
    if (to < 0 || to > off_t(file->bytes.size()))
        return -1;
    file->pos = static_cast<size_t>(to);
    return to;
}

std::string text(const mpg123_string* s)
{
    return s && s->p && s->fill > 0 ? std::string(s->p, strnlen(s->p, s->fill)) : std::string();
}

std::string fixed(const char* field, size_t size)
{
    std::string s(field, strnlen(field, size));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

void readTags(mpg123_handle* handle, std::map<std::string, std::string>& tags)
{
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (mpg123_id3(handle, &v1, &v2) != MPG123_OK)
        return;
    const auto put = [&tags](const char* name, std::string value) {
        if (!value.empty() && !tags.contains(name))
            tags[name] = std::move(value);
    };
    if (v2) {
        for (size_t i = 0; i < v2->texts; ++i) {
            const mpg123_text& frame = v2->text[i];
            const std::string id(frame.id, 4);
            const std::string value = text(&frame.text);
            put(id.c_str(), value);
            if (id == "TIT2")
                put("songname", value);
            else if (id == "TPE1")
                put("artist", value);
            else if (id == "TALB")
                put("album", value);
            else if (id == "TYER" || id == "TDRC")
                put("year", value);
            else if (id == "TCON")
                put("genre", value);
            else if (id == "TRCK")
                put("track", value);
        }
        for (size_t i = 0; i < v2->comments; ++i)
            put("comment", text(&v2->comment_list[i].text));
    }
    if (v1) {
        put("songname", fixed(v1->title, sizeof v1->title));
        put("artist", fixed(v1->artist, sizeof v1->artist));
        put("album", fixed(v1->album, sizeof v1->album));
        put("year", fixed(v1->year, sizeof v1->year));
        put("comment", fixed(v1->comment, sizeof v1->comment));
    }
}

} // namespace

Mp3Facts probeMp3(std::span<const uint8_t> file)
{
    Mp3Facts facts;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle)
        return facts;
    MemoryFile memory { file };
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET, 0);
    if (mpg123_replace_reader_handle(handle, readMemory, seekMemory, nullptr) == MPG123_OK
        && mpg123_open_handle(handle, &memory) == MPG123_OK) {
        int encoding = 0;
        if (mpg123_scan(handle) == MPG123_OK
            && mpg123_getformat(handle, &facts.rate, &facts.channels, &encoding) == MPG123_OK) {
            const off_t length = mpg123_length(handle);
            facts.valid = length > 0 && facts.rate > 0;
            facts.frames = length > 0 ? uint64_t(length) : 0;
        }
        if (mpg123_meta_check(handle) & (MPG123_ID3 | MPG123_NEW_ID3))
            readTags(handle, facts.id3);
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return facts;
}

} // namespace swf
