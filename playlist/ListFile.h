#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <expected>
#include <utility>

// The play-list file: a text file whose first line is the entry count and whose following
// lines hold one entry each in double quotes, every line ending in CR LF:
//
//     2
//     "/films/阴天.swf"
//     "/films/I Want A Fat Baby.swf"
//
// Files are written in UTF-8; reading takes UTF-8 and falls back to GB18030 for lists
// written on Chinese Windows. Reading sees the text as fields separated by commas and line
// ends, as the format always was: a field that starts with a double quote runs to the
// next one, any other field to the next comma or line end, and a blank line is one empty
// field. A file is taken whole or not at all.
namespace playlist {

struct ListFileError {
    enum class Kind {
        CannotOpen, // the file cannot be opened for reading
        TooLarge, // larger than any list of 32767 entries can be
        NotANumber, // the first field is not a whole number
        CountOutOfRange, // negative, or more than a list can hold
        MissingEntries, // fewer entries than the count says
        CannotWrite, // the new file cannot be made or put in place
        UnwritableEntry, // an entry holds a double quote or a line break
    };
    ListFileError(Kind kind, QString count = {}, int found = 0, QString entry = {})
        : kind(kind)
        , count(std::move(count))
        , found(found)
        , entry(std::move(entry))
    {
    }

    Kind kind;
    QString count; // the count as the file states it
    int found; // the entries present, for MissingEntries
    QString entry; // the entry that cannot be written, for UnwritableEntry
};

// The largest file read; a full list of long paths stays far below it.
inline constexpr qint64 MaxListFileBytes = 64 * 1024 * 1024;

// The entries of a list file's bytes: exactly as many as the count says (an empty list for
// a count of 0).
std::expected<QStringList, ListFileError> parseListFile(const QByteArray& bytes);
std::expected<QStringList, ListFileError> readListFile(const QString& path);

// The bytes of a list file holding `entries`.
std::expected<QByteArray, ListFileError> formatListFile(const QStringList& entries);
// Writes a new file and only then puts it in place of `path`, so that a failed save
// leaves an existing file as it was.
std::expected<void, ListFileError> writeListFile(const QString& path, const QStringList& entries);

// What to tell the user about `error` with the file at `path`.
QString describe(const ListFileError& error, const QString& path);

} // namespace playlist
