#include "PlayListProbe.h"

#include "core/Forms.h"
#include "core/frmMain.h"
#include "menu/frmBKList.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QMimeData> filesData(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// What the window answered to one drag notification.
struct Answer {
    bool accepted;
    Qt::DropAction action;
};

class DropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.Form_Load(QString());
        main.show();
        flash().clearCalls();
    }

    platform::FakeMovieControl& flash() { return *platform.movieControl(); }

    Answer enter(
        const QMimeData& data, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
    {
        QDragEnterEvent event(Where, actions, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &event);
        return { event.isAccepted(), event.dropAction() };
    }
    Answer move(const QMimeData& data, QPoint at = Where)
    {
        QDragMoveEvent event(
            at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &event);
        return { event.isAccepted(), event.dropAction() };
    }
    void drop(const QMimeData& data)
    {
        QDropEvent event(QPointF(Where), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &event);
    }
    void leave()
    {
        QDragLeaveEvent event;
        QCoreApplication::sendEvent(&main, &event);
    }

    QStringList loads() const
    {
        QStringList urls;
        for (const QString& call : platform.movieControl()->calls())
            if (call.startsWith(u"LoadMovie(0, "))
                urls << call.mid(13).chopped(1);
        return urls;
    }
    QStringList playList() { return entriesOf(forms.list.get().List1); }
    QStringList store() { return entriesOf(forms.bkList.get().List1); }

    static constexpr QPoint Where { 200, 200 };
    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST(MovieFile, TheLastFourCharactersInAnyCaseMakeAMovie)
{
    EXPECT_TRUE(frmMain::IsMovieFile(QStringLiteral("/a/b.swf")));
    EXPECT_TRUE(frmMain::IsMovieFile(QStringLiteral("/a/B.SWF")));
    EXPECT_TRUE(frmMain::IsMovieFile(QStringLiteral("/a/c.Swf")));
    EXPECT_TRUE(frmMain::IsMovieFile(QStringLiteral(".swf")));
    EXPECT_FALSE(frmMain::IsMovieFile(QStringLiteral("/a/b.swf.bak")));
    EXPECT_FALSE(frmMain::IsMovieFile(QStringLiteral("/a/b.swf ")));
    EXPECT_FALSE(frmMain::IsMovieFile(QStringLiteral("/a/bswf")));
    EXPECT_FALSE(frmMain::IsMovieFile(QStringLiteral("swf")));
}

TEST_F(DropTest, ThreeMoviesAreAppendedOnceInOrderAndTheFirstPlays)
{
    forms.list.get().List1.AddItem(QStringLiteral("/before.swf"));
    const QStringList files { QStringLiteral("/m/1.swf"), QStringLiteral("/m/2.SWF"),
        QStringLiteral("/m/3.swf") };
    const auto data = filesData(files);

    const Answer entered = enter(*data);
    EXPECT_TRUE(entered.accepted);
    EXPECT_EQ(entered.action, Qt::CopyAction);
    EXPECT_TRUE(main.Dropped);
    move(*data, Where + QPoint(5, 0));
    move(*data, Where + QPoint(9, 3));
    drop(*data);

    EXPECT_EQ(playList(), QStringList({ QStringLiteral("/before.swf") }) + files);
    EXPECT_EQ(store(), files);
    // Every notification whose first file is a movie loads it again.
    EXPECT_EQ(loads(), QStringList(3, QStringLiteral("file:///m/1.swf")));
    EXPECT_FALSE(main.Dropped);
}

TEST_F(DropTest, OnlyTheFirstFileIsEverLoaded)
{
    const auto data = filesData({ QStringLiteral("/m/notes.txt"), QStringLiteral("/m/a.swf") });
    const Answer entered = enter(*data);
    EXPECT_TRUE(entered.accepted);
    EXPECT_EQ(entered.action, Qt::CopyAction);
    drop(*data);
    EXPECT_EQ(playList(), QStringList { QStringLiteral("/m/a.swf") });
    EXPECT_TRUE(loads().isEmpty());
}

TEST_F(DropTest, TextInsteadOfFilesIsRefused)
{
    QMimeData text;
    text.setText(QStringLiteral("/m/a.swf"));
    EXPECT_FALSE(enter(text).accepted);
    EXPECT_FALSE(main.Dropped);
    EXPECT_TRUE(loads().isEmpty());

    // Addresses that are not local files are not a file list either.
    QMimeData web;
    web.setUrls({ QUrl(QStringLiteral("http://example.com/a.swf")) });
    EXPECT_FALSE(enter(web).accepted);
}

TEST_F(DropTest, FilesWithoutMoviesKeepTheProposedEffectAndChangeOnlyTheFlag)
{
    const auto data = filesData({ QStringLiteral("/m/a.txt"), QStringLiteral("/m/b.swf.bak") });
    const Answer entered = enter(*data, Qt::MoveAction);
    EXPECT_TRUE(entered.accepted);
    EXPECT_EQ(entered.action, Qt::MoveAction);
    EXPECT_TRUE(main.Dropped);
    drop(*data);
    EXPECT_FALSE(main.Dropped);
    EXPECT_TRUE(playList().isEmpty());
    EXPECT_TRUE(store().isEmpty());
    EXPECT_TRUE(loads().isEmpty());
}

TEST_F(DropTest, ADragThatLeftWithoutADropLeavesTheNextDragAppendingNothing)
{
    const auto first = filesData({ QStringLiteral("/m/a.swf"), QStringLiteral("/m/b.swf") });
    enter(*first);
    move(*first);
    leave();
    EXPECT_TRUE(main.Dropped);

    const auto second = filesData({ QStringLiteral("/n/c.swf"), QStringLiteral("/n/d.swf") });
    EXPECT_TRUE(enter(*second).accepted);
    drop(*second);
    EXPECT_EQ(playList(), QStringList({ QStringLiteral("/m/a.swf"), QStringLiteral("/m/b.swf") }));
    EXPECT_EQ(loads().last(), QStringLiteral("file:///n/c.swf")) << "its first movie is still loaded";
    EXPECT_FALSE(main.Dropped);

    // After that drop, the next drag appends again.
    const auto third = filesData({ QStringLiteral("/o/e.swf") });
    enter(*third);
    drop(*third);
    EXPECT_EQ(playList().last(), QStringLiteral("/o/e.swf"));
}

TEST_F(DropTest, AppendingNeitherSelectsNorLoadsTheEntries)
{
    playlist::ListBox& list = forms.list.get().List1;
    list.AddItems({ QStringLiteral("/x.swf"), QStringLiteral("/y.swf") });
    list.setListIndex(1);
    const auto data = filesData({ QStringLiteral("/m/a.txt"), QStringLiteral("/m/b.swf") });
    enter(*data);
    drop(*data);
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.ListIndex(), 1);
}

TEST_F(DropTest, TheRightButtonOnTheWindowsOwnSurfaceOpensTheCommandMenu)
{
    platform.windows.setCursorPos(QPoint(300, 250));
    // A place of the surface with no control on it: the gap below the movie.
    const QPoint surface(3, main.height() / 2);
    ASSERT_EQ(main.childAt(surface), nullptr);

    QMouseEvent left(QEvent::MouseButtonRelease, QPointF(surface), main.mapToGlobal(QPointF(surface)),
        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &left);
    EXPECT_FALSE(forms.bkList.isLoaded() && forms.bkList.loaded()->mnu.isVisible());

    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(surface), main.mapToGlobal(QPointF(surface)),
        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &right);
    ASSERT_TRUE(forms.bkList.isLoaded());
    QMenu& menu = forms.bkList.loaded()->mnu;
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), QPoint(300, 250));
    EXPECT_FALSE(forms.bkList.loaded()->isVisible()) << "the menu's owner is never shown";
    menu.hide();
}
