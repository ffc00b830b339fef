#include "core/CommandLine.h"

#include <QDir>

#include <gtest/gtest.h>

#include <optional>

using core::joinArguments;
using core::movieFromCommandLine;

namespace {

const QString Folder = QStringLiteral("/opt/zorva play");
const QString Sep = QDir::separator();

struct Case {
    const char* what;
    QString commandLine;
    std::optional<QString> movie;
};

} // namespace

TEST(CommandLine, WhatEachCommandLineOpens)
{
    const Case cases[] = {
        { "empty", QString(), std::nullopt },
        { "plain path", QStringLiteral("/m/a.swf"), QStringLiteral("/m/a.swf") },
        { "path with blanks", QStringLiteral("/my films/a b.swf"), QStringLiteral("/my films/a b.swf") },
        { "quoted path with blanks", QStringLiteral("\"/my films/阴天 2.swf\""),
            QStringLiteral("/my films/阴天 2.swf") },
        { "no closing quote still loses its last character", QStringLiteral("\"/m/a.swf"),
            QStringLiteral("/m/a.sw") },
        { "lone quote", QStringLiteral("\""), std::nullopt },
        { "two quotes", QStringLiteral("\"\""), std::nullopt },
        { "quote not first is kept", QStringLiteral("/m/a\".swf\""), QStringLiteral("/m/a\".swf\"") },
        { "blank is not empty", QStringLiteral(" "), QStringLiteral(" ") },
        { "yintian", QStringLiteral("yintian"), Folder + Sep + QStringLiteral("阴天.swf") },
        { "fatbaby", QStringLiteral("fatbaby"), Folder + Sep + QStringLiteral("I Want A Fat Baby.swf") },
        { "keyword inside quotes", QStringLiteral("\"yintian\""), Folder + Sep + QStringLiteral("阴天.swf") },
        { "capital first letter is a path", QStringLiteral("Yintian"), QStringLiteral("Yintian") },
        { "all capitals is a path", QStringLiteral("FATBABY"), QStringLiteral("FATBABY") },
        { "keyword with a blank is a path", QStringLiteral("yintian "), QStringLiteral("yintian ") },
        { "keyword as a file name is a path", QStringLiteral("yintian.swf"), QStringLiteral("yintian.swf") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(movieFromCommandLine(c.commandLine, Folder), c.movie);
    }
}

TEST(CommandLine, ArgumentsAreJoinedWithSingleBlanks)
{
    EXPECT_EQ(joinArguments({}), QString());
    EXPECT_EQ(joinArguments({ QStringLiteral("/m/a  b.swf") }), QStringLiteral("/m/a  b.swf"));
    EXPECT_EQ(joinArguments({ QStringLiteral("\"/my"), QStringLiteral("films/a.swf\"") }),
        QStringLiteral("\"/my films/a.swf\""));
    // Split by the shell, a quoted path with blanks comes back whole.
    EXPECT_EQ(movieFromCommandLine(
                  joinArguments({ QStringLiteral("\"/my"), QStringLiteral("films/a.swf\"") }), Folder),
        QStringLiteral("/my films/a.swf"));
}
