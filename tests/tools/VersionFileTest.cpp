#include "tools/VersionFile.h"

#include <gtest/gtest.h>

using namespace mdlUpgrade;

TEST(FieldReader, ReadsFieldsByTheCommaSeparatedRules)
{
    FieldReader reader(QStringLiteral("  one, \"two, still two\" dropped ,three\r\n\"open quote"));
    EXPECT_EQ(reader.next(), QStringLiteral("one"));
    EXPECT_EQ(reader.next(), QStringLiteral("two, still two"));
    EXPECT_EQ(reader.next(), QStringLiteral("three"));
    EXPECT_EQ(reader.next(), QStringLiteral("open quote")) << "an unclosed quote runs to the end";
    EXPECT_EQ(reader.next(), std::nullopt);

    FieldReader lines(QStringLiteral("a\rb\n\nc,"));
    EXPECT_EQ(lines.next(), QStringLiteral("a"));
    EXPECT_EQ(lines.next(), QStringLiteral("b"));
    EXPECT_EQ(lines.next(), QString()) << "an empty line is an empty field";
    EXPECT_EQ(lines.next(), QStringLiteral("c"));
    EXPECT_EQ(lines.next(), std::nullopt);
}

TEST(VersionFile, TheSameFieldsInEveryLayout)
{
    const QByteArray layouts[] = {
        "1\n3\n326\nhttp://example.com/zorvaplay.zip\n",
        "1\r\n3\r\n326\r\nhttp://example.com/zorvaplay.zip",
        "1,3,326,http://example.com/zorvaplay.zip",
        "  1,  3 ,326,   http://example.com/zorvaplay.zip  \n",
        "\"1\",\"3\",\"326\",\"http://example.com/zorvaplay.zip\"\n",
        "\xEF\xBB\xBF"
        "1\n3\n326\nhttp://example.com/zorvaplay.zip\nmore lines are left alone\n",
    };
    for (const QByteArray& text : layouts) {
        const auto file = parseVersionFile(text);
        ASSERT_TRUE(file) << text.toStdString();
        EXPECT_EQ(file->version, (ProgramVersion { 1, 3, 326 }));
        EXPECT_EQ(file->address, QStringLiteral("http://example.com/zorvaplay.zip"));
    }
}

TEST(VersionFile, DamagedFilesAreNoVersion)
{
    const QByteArray damaged[] = {
        "",
        "1\n3\n326\n",
        "1\n3\n326\n\nhttp://example.com/",
        "1,,326,http://example.com/",
        "1,\" \",326,http://example.com/",
        "1,three,326,http://example.com/",
        "1,-3,326,http://example.com/",
        "1,3,99999999999,http://example.com/",
        "1.3.326,http://example.com/",
        "<html><body>Not found</body></html>",
        QByteArray("\x00\x01\x02,\xff\xfe", 6),
    };
    for (const QByteArray& text : damaged)
        EXPECT_FALSE(parseVersionFile(text)) << text.toStdString();
}
