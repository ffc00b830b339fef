#include "core/mdlCommonFunctions.h"
#include "platform/fakes/FakeMovieControl.h"

#include <gtest/gtest.h>

using mdlCommonFunctions::LoadAni;

namespace {

QStringList loadCalls(const QString& url)
{
    return { QStringLiteral("Quality2=High"), QStringLiteral("WMode=Window"),
        QStringLiteral("BackgroundColor=-1"), QStringLiteral("BGColor=-1"),
        QStringLiteral("LoadMovie(0, %1)").arg(url) };
}

} // namespace

TEST(LoadAni, LocalPathGetsTheFilePrefixAfterTheFourSettings)
{
    platform::FakeMovieControl flash;
    LoadAni(flash, false, QStringLiteral("/home/用户/my films/阴天.swf"));
    EXPECT_EQ(flash.calls(), loadCalls(QStringLiteral("file:///home/用户/my films/阴天.swf")));
}

TEST(LoadAni, SettingsAreMadeBeforeEveryLoad)
{
    platform::FakeMovieControl flash;
    LoadAni(flash, false, QStringLiteral("/m/a.swf"));
    LoadAni(flash, false, QStringLiteral("/m/a.swf"));
    EXPECT_EQ(flash.calls(),
        loadCalls(QStringLiteral("file:///m/a.swf")) + loadCalls(QStringLiteral("file:///m/a.swf")));
}

TEST(LoadAni, EmptyLocalPathTouchesNothing)
{
    platform::FakeMovieControl flash;
    LoadAni(flash, false, QString());
    EXPECT_TRUE(flash.calls().isEmpty());
}

TEST(LoadAni, UrlIsPassedUnchanged)
{
    platform::FakeMovieControl flash;
    LoadAni(flash, true, QStringLiteral("http://example.com/a b.swf"));
    LoadAni(flash, true, QStringLiteral("   "));
    // The URL box is never empty when it calls; an empty URL is not tested either.
    LoadAni(flash, true, QString());
    EXPECT_EQ(flash.calls(),
        loadCalls(QStringLiteral("http://example.com/a b.swf")) + loadCalls(QStringLiteral("   "))
            + loadCalls(QString()));
}

TEST(LoadAni, LocalPathIsNeverInterpreted)
{
    platform::FakeMovieControl flash;
    LoadAni(flash, false, QStringLiteral("http://example.com/a.swf"));
    LoadAni(flash, false, QStringLiteral("C:\\动画\\a.swf"));
    EXPECT_EQ(flash.calls(),
        loadCalls(QStringLiteral("file://http://example.com/a.swf"))
            + loadCalls(QStringLiteral("file://C:\\动画\\a.swf")));
}
