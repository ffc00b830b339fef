#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace core {

// The command line is one string: the program's arguments joined with single blanks, as
// the whole argument text after the program's name.
QString joinArguments(const QStringList& arguments);

// The local path that the command line asks to open, or nothing.
//  - empty: nothing;
//  - a first character '"' loses the first and the last character, whatever that is (a
//    lone quote leaves nothing);
//  - then, exactly and with case, "yintian" and "fatbaby" name the two bundled movies in
//    `programFolder`; anything else is the path itself, not tested for existence.
std::optional<QString> movieFromCommandLine(const QString& commandLine, const QString& programFolder);

} // namespace core
