#include "PlayListFixture.h"

#include "chrome/MouseDriving.h"
#include "chrome/frmAbout.h"
#include "platform/FileDialog.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString A = QStringLiteral("/films/a.swf");
const QString B = QStringLiteral("/films/b.swf");
const QString C = QStringLiteral("/films/c.swf");
const QString D = QStringLiteral("/films/d.swf");

using PlayListModel = PlayListFixture;

} // namespace

TEST_F(PlayListModel, CurSwfTakesOnlyIndicesOfTheListAndClampsWhatItReads)
{
    EXPECT_EQ(list().CurSwf(), 0) << "an empty list at start";
    fill({ A, B, C });
    list().setCurSwf(2);
    EXPECT_EQ(list().CurSwf(), 2);
    EXPECT_EQ(selection(), 2) << "a write selects the entry";
    for (int outside : { -1, 3, 40000 }) {
        list().setCurSwf(outside);
        EXPECT_EQ(list().CurSwf(), 2);
        EXPECT_EQ(selection(), 2);
    }
    forms.bkList.get().CurSwfValue = -1;
    EXPECT_EQ(list().CurSwf(), 0);
    forms.bkList.get().CurSwfValue = 7;
    EXPECT_EQ(list().CurSwf(), 3) << "one past the last entry";
    EXPECT_TRUE(flash().calls().isEmpty()) << "nothing is loaded by the index alone";
}

TEST_F(PlayListModel, NextAndPreviousStopAtTheEndsAndReloadThere)
{
    fill({ A, B });
    list().setCurSwf(1);
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ B })) << "the last entry restarts";
    EXPECT_EQ(list().CurSwf(), 1);
    main.BackAni();
    EXPECT_EQ(loaded(), QStringList({ B, A }));
    EXPECT_EQ(list().CurSwf(), 0);
    EXPECT_EQ(selection(), 0);
    main.BackAni();
    EXPECT_EQ(loaded(), QStringList({ B, A, A })) << "no wrap-around to the end";
}

TEST_F(PlayListModel, AClickDoesNotMoveTheCurrentIndexExceptAtTheEnd)
{
    fill({ A, B, C });
    list().setCurSwf(0);
    list().List1.setListIndex(2); // the user clicks c without playing it
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ B }));
    EXPECT_EQ(list().CurSwf(), 1);

    list().setCurSwf(2);
    list().List1.setListIndex(0);
    flash().clearCalls();
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ A })) << "at the end the clicked entry plays";
    EXPECT_EQ(list().CurSwf(), 0);
}

TEST_F(PlayListModel, PlaySelAniWithoutSelectionLoadsNothingAndForgetsTheIndex)
{
    fill({ A, B });
    list().setCurSwf(1);
    list().List1.setListIndex(-1);
    list().PlaySelAni();
    EXPECT_TRUE(loaded().isEmpty());
    EXPECT_EQ(storedCurSwf(), -1);
    EXPECT_EQ(list().CurSwf(), 0);
}

TEST_F(PlayListModel, RemovingTheCurrentFirstEntryLeavesNextOnTheEntryAfterIt)
{
    fill({ A, B, C });
    list().setCurSwf(0);
    list().DelItem();
    EXPECT_EQ(entries(), QStringList({ B, C }));
    EXPECT_EQ(storedCurSwf(), -1);
    EXPECT_EQ(list().CurSwf(), 0);
    EXPECT_EQ(selection(), 0) << "the entry that took the removed one's place";
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ C }));
}

TEST_F(PlayListModel, RemovingMovesTheCurrentIndexOnlyWhenAtOrAfterTheRemovedEntry)
{
    fill({ A, B, C, D });
    list().setCurSwf(1);
    list().List1.setListIndex(3);
    list().DelItem();
    EXPECT_EQ(entries(), QStringList({ A, B, C }));
    EXPECT_EQ(list().CurSwf(), 1);
    EXPECT_EQ(selection(), -1) << "the last entry went: nothing is selected";

    list().DelItem(); // no selection: nothing happens
    EXPECT_EQ(entries(), QStringList({ A, B, C }));

    list().List1.setListIndex(0);
    list().DelItem();
    EXPECT_EQ(entries(), QStringList({ B, C }));
    EXPECT_EQ(list().CurSwf(), 0) << "still on b";
    EXPECT_TRUE(loaded().isEmpty()) << "removing never loads or stops";
}

TEST_F(PlayListModel, ClearingEmptiesAndResetsTheIndex)
{
    fill({ A, B, C });
    list().setCurSwf(2);
    list().ClearList();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(selection(), -1);
    EXPECT_EQ(list().CurSwf(), 0);
    main.NextAni();
    main.BackAni();
    EXPECT_TRUE(flash().calls().isEmpty());
}

TEST_F(PlayListModel, SortingOrdersOrdinallyAndDropsTheSelection)
{
    const QString b = QStringLiteral("/m/b.swf");
    const QString upperB = QStringLiteral("/m/B.swf");
    const QString a = QStringLiteral("/m/a.swf");
    fill({ b, upperB, a, b });
    list().setCurSwf(1);
    list().SortItem();
    EXPECT_EQ(entries(), QStringList({ upperB, a, b, b }));
    EXPECT_EQ(selection(), -1);
    EXPECT_EQ(list().CurSwf(), 1) << "the same number, now designating a";
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ b }));
}

TEST_F(PlayListModel, MovingUpAndDownSwapsWithTheNeighbourAndTheSelectionFollows)
{
    fill({ A, B, C });
    list().setCurSwf(1);
    list().ItemUp();
    EXPECT_EQ(entries(), QStringList({ B, A, C }));
    EXPECT_EQ(selection(), 0);
    list().ItemUp(); // the first entry goes no higher
    EXPECT_EQ(entries(), QStringList({ B, A, C }));
    list().ItemDown();
    list().ItemDown();
    EXPECT_EQ(entries(), QStringList({ A, C, B }));
    EXPECT_EQ(selection(), 2);
    list().ItemDown(); // the last entry goes no lower
    EXPECT_EQ(entries(), QStringList({ A, C, B }));
    EXPECT_EQ(storedCurSwf(), 1) << "the current index is a number; it does not follow";

    list().List1.setListIndex(-1);
    list().ItemUp();
    list().ItemDown();
    EXPECT_EQ(entries(), QStringList({ A, C, B })) << "without a selection nothing moves";
}

TEST_F(PlayListModel, OneEntryCannotMove)
{
    fill({ A });
    list().setCurSwf(0);
    list().ItemUp();
    list().ItemDown();
    EXPECT_EQ(entries(), QStringList({ A }));
    EXPECT_EQ(selection(), 0);
}

TEST_F(PlayListModel, AddItemsAppendsEveryChosenFile)
{
    fill({ A });
    list().setCurSwf(0);
    platform.fileDialogs.choose({ QStringLiteral("/new/x y.swf"), QStringLiteral("/new/动画.swf") });
    list().AddItems();
    EXPECT_EQ(entries(), QStringList({ A, QStringLiteral("/new/x y.swf"), QStringLiteral("/new/动画.swf") }));

    const platform::FileDialogScript::Shown& shown = platform.fileDialogs.shown().last();
    EXPECT_EQ(shown.mode, platform::FileDialog::Mode::Open);
    EXPECT_EQ(shown.title, QStringLiteral("选择要加入列表的Flash文件"));
    EXPECT_EQ(shown.filter, QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*"));
    EXPECT_TRUE(shown.flags & platform::FileDialog::AllowMultiSelect);
    EXPECT_TRUE(shown.cancelError);
    EXPECT_EQ(shown.fileName, QString());

    platform.fileDialogs.choose({ QStringLiteral("/one/z.swf") });
    list().AddItems();
    EXPECT_EQ(entries().last(), QStringLiteral("/one/z.swf"));
    platform.fileDialogs.cancel();
    list().AddItems();
    EXPECT_EQ(entries().size(), 4);
    EXPECT_EQ(selection(), 0);
    EXPECT_EQ(list().CurSwf(), 0);
    EXPECT_TRUE(loaded().isEmpty());
}

TEST_F(PlayListModel, AddItemsTakesALargeSelectionWhole)
{
    // Far beyond the 2048 characters the old dialog control could return.
    QStringList chosen;
    for (int i = 0; i < 3000; ++i)
        chosen << QStringLiteral("/a long folder name/movie number %1.swf").arg(i);
    platform.fileDialogs.choose(chosen);
    list().AddItems();
    EXPECT_EQ(entries(), chosen);
}

TEST_F(PlayListModel, AFullListRefusesMoreAndSaysSo)
{
    QStringList full;
    for (int i = 0; i < playlist::ListBox::MaxCount - 1; ++i)
        full << QStringLiteral("/m/%1.swf").arg(i);
    fill(full);
    list().setCurSwf(5);

    EXPECT_EQ(list().appendEntries({ A, B, C }), 1);
    EXPECT_EQ(list().List1.ListCount(), 32767);
    EXPECT_EQ(entries().last(), A);
    EXPECT_EQ(entries()[5], QStringLiteral("/m/5.swf"));
    ASSERT_EQ(platform.messages.shown().size(), 1);
    EXPECT_EQ(platform.messages.shown().first().title, QStringLiteral("提示"));
    EXPECT_EQ(platform.messages.shown().first().text,
        QStringLiteral("播放列表已满，最多只能有32767项。另有2个文件没有加入列表。"));
    EXPECT_FALSE(list().List1.AddItem(D));
    EXPECT_EQ(list().List1.ListCount(), 32767);

    // The end of a full list is reached and stays the end.
    list().setCurSwf(32766);
    EXPECT_EQ(list().CurSwf(), 32766);
    main.NextAni();
    EXPECT_EQ(loaded(), QStringList({ A }));
}

using PlayListWindow = PlayListFixture;

TEST_F(PlayListWindow, EntriesSurviveClosingAndReopening)
{
    main.ShowPlayListWindowAni();
    EXPECT_TRUE(entries().isEmpty()) << "nothing added in this run yet";
    fill({ C, A, B });
    list().setCurSwf(2);

    frmList* first = &list();
    QSignalSpy captions(first, &QWidget::windowTitleChanged);
    mouse::click(first->ImgOK);
    EXPECT_FALSE(forms.list.isLoaded());
    EXPECT_EQ(captions.size(), 1);
    EXPECT_EQ(captions.first().first().toString(), QStringLiteral("Unloading"));
    EXPECT_EQ(forms.bkList.get().List1, QStringList({ C, A, B }));
    runDeferredDeletes();

    EXPECT_EQ(entries(), QStringList({ C, A, B }));
    EXPECT_EQ(list().windowTitle(), QStringLiteral("Play List"));
    EXPECT_EQ(list().CurSwf(), 2) << "the current index outlives the window";
    EXPECT_EQ(selection(), -1);
    EXPECT_FALSE(list().isVisible()) << "used from elsewhere, the window loads hidden";
}

TEST_F(PlayListWindow, AnEmptyListStaysEmptyAcrossAClose)
{
    fill({ A });
    forms.list.unload();
    EXPECT_EQ(forms.bkList.get().List1, QStringList({ A }));
    list().ClearList();
    forms.list.unload();
    EXPECT_TRUE(forms.bkList.get().List1.isEmpty());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(PlayListWindow, AFullListIsCopiedInAndOutWhole)
{
    QStringList full;
    for (int i = 0; i < playlist::ListBox::MaxCount; ++i)
        full << QStringLiteral("/电影/%1.swf").arg(i);
    forms.bkList.get().List1 = full;
    EXPECT_EQ(entries(), full);
    forms.list.unload();
    EXPECT_EQ(forms.bkList.get().List1, full);
}

TEST_F(PlayListWindow, UsingTheListMakesNoStoreUntilThereIsSomethingToKeep)
{
    list();
    EXPECT_FALSE(forms.bkList.isLoaded());
    forms.list.unload();
    EXPECT_FALSE(forms.bkList.isLoaded());
}

TEST_F(PlayListWindow, ShownModallyOverTheMainWindowUnlessAnotherWindowIsUp)
{
    main.show();
    forms.about.get().show();
    main.ShowPlayListWindowAni();
    EXPECT_FALSE(list().isVisible());
    forms.about.unload();

    main.ShowPlayListWindowAni();
    EXPECT_TRUE(list().isVisible());
    EXPECT_TRUE(list().isModal());
    EXPECT_EQ(list().parentWidget(), &main);
}

TEST_F(PlayListWindow, DoubleClickPlaysTheEntry)
{
    fill({ A, B, C });
    main.ShowPlayListWindowAni();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list()));
    QWidget* lines = list().List1.viewport();
    const QPoint second = list().List1.visualRect(list().List1.model()->index(1, 0)).center();
    mouse::doubleClick(*lines, second);
    EXPECT_EQ(loaded(), QStringList({ B }));
    EXPECT_EQ(list().CurSwf(), 1);
    EXPECT_EQ(selection(), 1);
}

TEST_F(PlayListWindow, ButtonsRunTheirCommands)
{
    fill({ B, A });
    list().List1.setListIndex(1);
    mouse::click(list().ImgUp);
    EXPECT_EQ(entries(), QStringList({ A, B }));
    mouse::click(list().ImgPlay);
    EXPECT_EQ(loaded(), QStringList({ A }));
    mouse::click(list().ImgDelAll);
    EXPECT_TRUE(entries().isEmpty());
}
