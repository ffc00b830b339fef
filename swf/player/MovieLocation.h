#pragma once

#include <QString>
#include <QUrl>

namespace swf {

// Where a movie reference points: a local file or a web address.
struct MovieLocation {
    enum class Kind { LocalFile, Web };
    Kind kind = Kind::LocalFile;
    QString path; // LocalFile: the path exactly as given after any "file://"
    QUrl url; // Web

    // "file://" + path gives the path verbatim (blanks, Chinese, backslashes and drive
    // letters stay; no percent decoding, as the movie loader passes paths unencoded);
    // http:// and https:// give a web address; anything else is a bare local path.
    static MovieLocation resolve(const QString& reference);
};

} // namespace swf
