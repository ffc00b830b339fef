#include "playlist/SortStrings.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using mdlCommonFunctions::SortStrings;

TEST(SortStrings, OrdersByCodeUnitUpperCaseFirst)
{
    QStringList names { QStringLiteral("/m/b.swf"), QStringLiteral("/m/B.swf"), QStringLiteral("/m/a.swf") };
    SortStrings(names);
    EXPECT_EQ(names,
        QStringList({ QStringLiteral("/m/B.swf"), QStringLiteral("/m/a.swf"), QStringLiteral("/m/b.swf") }));
}

TEST(SortStrings, PrefixFirstAndFolderBeforeName)
{
    QStringList paths { QStringLiteral("/z/a.swf"), QStringLiteral("/a/z.swf"), QStringLiteral("/a/z.swf2"),
        QStringLiteral("/a/z") };
    SortStrings(paths);
    EXPECT_EQ(paths,
        QStringList({ QStringLiteral("/a/z"), QStringLiteral("/a/z.swf"), QStringLiteral("/a/z.swf2"),
            QStringLiteral("/z/a.swf") }));
}

TEST(SortStrings, ChineseByCodeNotByPronunciation)
{
    // 阴 is U+9634, 动 U+52A8, a Latin letter sorts before both.
    QStringList names { QStringLiteral("阴天.swf"), QStringLiteral("动画.swf"), QStringLiteral("z.swf") };
    SortStrings(names);
    EXPECT_EQ(names,
        QStringList({ QStringLiteral("z.swf"), QStringLiteral("动画.swf"), QStringLiteral("阴天.swf") }));
}

TEST(SortStrings, EqualTextsKeepTheirOrder)
{
    // Equal texts each have storage of their own, which tells them apart after the sort.
    QStringList texts;
    for (const char* text : { "b", "a", "b", "a" })
        texts << QString::fromLatin1(text);
    const QChar* firstB = texts[0].constData();
    const QChar* firstA = texts[1].constData();
    const QChar* secondB = texts[2].constData();
    const QChar* secondA = texts[3].constData();
    SortStrings(texts);
    ASSERT_EQ(texts,
        QStringList({ QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b") }));
    EXPECT_EQ(texts[0].constData(), firstA);
    EXPECT_EQ(texts[1].constData(), secondA);
    EXPECT_EQ(texts[2].constData(), firstB);
    EXPECT_EQ(texts[3].constData(), secondB);
}
