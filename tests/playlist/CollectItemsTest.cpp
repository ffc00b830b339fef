#include "PlayListFixture.h"

#include "playlist/mdlCollectAnimations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

class CollectItems : public PlayListFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        movies = root.filePath(QStringLiteral("我的 动画"));
        ASSERT_TRUE(QDir().mkpath(movies + QStringLiteral("/sub")));
        for (const char* name : { "a.swf", "B.SWF", ".hidden.Swf", "notes.txt", "a.swf.bak", "sub/deep.swf" })
            touch(movies + u'/' + QString::fromUtf8(name));
    }

    static void touch(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    static QStringList sorted(QStringList texts)
    {
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    QString in(const char* name) const { return movies + u'/' + QString::fromUtf8(name); }

    QTemporaryDir root;
    QString movies;
};

} // namespace

TEST_F(CollectItems, AppendsTheFolderMoviesAndPlaysTheFirstEntry)
{
    platform.folders.choose(movies);
    list().CollectItems();
    EXPECT_EQ(platform.folders.titles(), QStringList({ QStringLiteral("选择需要搜索的文件夹") }));
    // The order is the system's listing; what matters is which files were taken.
    EXPECT_EQ(sorted(entries()), sorted({ in("a.swf"), in("B.SWF"), in(".hidden.Swf") }));
    EXPECT_EQ(loaded(), QStringList({ entries().first() }));
    EXPECT_EQ(storedCurSwf(), 0);
    EXPECT_EQ(selection(), -1);
}

TEST_F(CollectItems, AppendsAfterTheListAndPlaysItsOldFirstEntry)
{
    const QString old = QStringLiteral("/old/first.swf");
    fill({ old });
    platform.folders.choose(movies);
    list().CollectItems();
    platform.folders.choose(movies);
    list().CollectItems();
    EXPECT_EQ(entries().size(), 7) << "collected twice, listed twice";
    EXPECT_EQ(entries().first(), old);
    EXPECT_EQ(loaded(), QStringList({ old, old }));
}

TEST_F(CollectItems, CancellingReplaysTheFirstEntry)
{
    list().CollectItems(); // cancelled with an empty list: nothing at all
    EXPECT_TRUE(loaded().isEmpty());
    EXPECT_FALSE(forms.bkList.isLoaded());

    const QString first = QStringLiteral("/x/1.swf");
    fill({ first, QStringLiteral("/x/2.swf") });
    list().setCurSwf(1);
    platform.folders.cancel();
    list().CollectItems();
    EXPECT_EQ(entries().size(), 2);
    EXPECT_EQ(loaded(), QStringList({ first }));
    EXPECT_EQ(list().CurSwf(), 0);
    EXPECT_EQ(selection(), 1) << "the selection is not changed";
}

TEST_F(CollectItems, AFolderPathBeyondTheBoundIsNotSearched)
{
    const QString deep = movies + u'/' + QString(mdlCollectAnimations::MaxFolderLength, u'x');
    platform.folders.choose(deep);
    list().CollectItems();
    EXPECT_TRUE(entries().isEmpty());
    ASSERT_EQ(platform.messages.shown().size(), 1);
    EXPECT_EQ(platform.messages.shown().first().title, QStringLiteral("提示"));
}

TEST_F(CollectItems, AFolderWithoutMoviesOrThatDoesNotExistAddsNothing)
{
    platform.folders.choose(movies + QStringLiteral("/sub/../sub/nothing here"));
    list().CollectItems();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(platform.messages.shown().isEmpty());
}

TEST(CollectPaths, OneSeparatorBetweenFolderAndName)
{
    EXPECT_EQ(mdlCollectAnimations::joinPath(QStringLiteral("/a"), QStringLiteral("b.swf")),
        QStringLiteral("/a") + QDir::separator() + QStringLiteral("b.swf"));
    EXPECT_EQ(mdlCollectAnimations::joinPath(QStringLiteral("/"), QStringLiteral("b.swf")),
        QStringLiteral("/b.swf"));
}
