#include "PlayListProbe.h"

#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "platform/FileDialog.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>

#include <gtest/gtest.h>

namespace {

const QString EmptyUrlMessage
    = QStringLiteral("请在URl框中输入Flash文件的URL，或者点“浏览”选择一个本地的Flash文件。");

QString localPath(const QString& name)
{
    return QDir::toNativeSeparators(QStringLiteral("/movies/") + name);
}

QString lastLoad(const platform::FakeMovieControl& flash)
{
    for (qsizetype i = flash.calls().size() - 1; i >= 0; --i)
        if (flash.calls()[i].startsWith(u"LoadMovie("))
            return flash.calls()[i];
    return {};
}

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override { main.Form_Load(QString()); }

    // The dialog as OpenAni brings it up.
    frmOpen& openDialog()
    {
        main.OpenAni();
        EXPECT_TRUE(forms.open.isLoaded());
        return *forms.open.loaded();
    }

    platform::FakeMovieControl& flash() { return *platform.movieControl(); }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST_F(OpenDialogTest, ComesUpModalWithTheMovieShownInItsUrlBox)
{
    frmOpen& dialog = openDialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog.parentWidget(), &main);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Open An Animation"));
    EXPECT_EQ(dialog.Label1.text(), QStringLiteral("URL:"));
    EXPECT_EQ(dialog.Txt1.text(), QString()) << "no movie yet";

    // Each opening starts afresh, with the movie now shown.
    dialog.CloseDialog();
    flash().LoadMovie(0, QStringLiteral("http://example.com/a.swf"));
    EXPECT_EQ(openDialog().Txt1.text(), QStringLiteral("http://example.com/a.swf"));
}

TEST_F(OpenDialogTest, DoesNothingWhileAnotherOfThePlayersWindowsShows)
{
    forms.about.get().show();
    main.OpenAni();
    EXPECT_FALSE(forms.open.isLoaded() && forms.open.loaded()->isVisible());
    forms.about.unload();

    frmOpen& first = openDialog();
    main.OpenAni();
    EXPECT_EQ(forms.open.loaded(), &first) << "a second OpenAni leaves the dialog shown alone";

    first.CloseDialog();
    forms.list.get().show();
    main.OpenAni();
    EXPECT_FALSE(forms.open.isLoaded() && forms.open.loaded()->isVisible());
}

TEST_F(OpenDialogTest, TheUrlBoxSelectsItsWholeTextWhenItGetsTheFocus)
{
    flash().LoadMovie(0, QStringLiteral("file:///movies/长 名字.swf"));
    frmOpen& dialog = openDialog();
    dialog.Txt1.setCursorPosition(3);
    ASSERT_FALSE(dialog.Txt1.hasSelectedText());
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(&dialog.Txt1, &focus);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.Txt1.selectedText(), dialog.Txt1.text());
    EXPECT_EQ(dialog.Txt1.selectionStart(), 0);
}

TEST_F(OpenDialogTest, AnEmptyUrlBoxAsksForAUrlAndKeepsTheDialog)
{
    frmOpen& dialog = openDialog();
    flash().clearCalls();
    dialog.OpenURL();
    ASSERT_EQ(platform.messages.shown().size(), 1);
    const auto& box = platform.messages.shown().first();
    EXPECT_EQ(box.text, EmptyUrlMessage);
    EXPECT_EQ(box.title, QStringLiteral("提示"));
    EXPECT_EQ(box.icon, platform::MessageIcon::Information);
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(forms.open.loaded(), &dialog);
    EXPECT_TRUE(flash().calls().isEmpty());
}

TEST_F(OpenDialogTest, AUrlIsLoadedAsTypedAndTheDialogGoes)
{
    frmOpen& dialog = openDialog();
    dialog.Txt1.setText(QStringLiteral("  http://example.com/b.swf "));
    dialog.OpenURL();
    EXPECT_EQ(lastLoad(flash()), QStringLiteral("LoadMovie(0,   http://example.com/b.swf )"));
    EXPECT_FALSE(forms.open.isLoaded());

    // Blanks only are not empty: they are passed on too.
    openDialog().Txt1.setText(QStringLiteral("   "));
    forms.open.loaded()->OpenURL();
    EXPECT_EQ(lastLoad(flash()), QStringLiteral("LoadMovie(0,    )"));
    EXPECT_TRUE(platform.messages.shown().isEmpty());
}

TEST_F(OpenDialogTest, BrowsingAsksForSeveralFilesWithTheWindowsFilterAndNoTitle)
{
    frmOpen& dialog = openDialog();
    dialog.CmdD1.setFileName(QStringLiteral("left over"));
    platform.fileDialogs.cancel();
    dialog.BrowseFiles();
    ASSERT_EQ(platform.fileDialogs.shown().size(), 1);
    const auto& shown = platform.fileDialogs.shown().first();
    EXPECT_EQ(shown.mode, platform::FileDialog::Mode::Open);
    EXPECT_EQ(shown.flags, 0x80200);
    EXPECT_TRUE(shown.cancelError);
    EXPECT_EQ(shown.fileName, QString());
    EXPECT_EQ(shown.filter, QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*"));
    EXPECT_EQ(shown.title, QString());
}

TEST_F(OpenDialogTest, ACancelledChoiceChangesNothing)
{
    forms.list.get().List1.AddItem(localPath(QStringLiteral("kept.swf")));
    frmOpen& dialog = openDialog();
    flash().clearCalls();
    platform.fileDialogs.cancel();
    dialog.BrowseFiles();
    EXPECT_EQ(forms.open.loaded(), &dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(flash().calls().isEmpty());
    EXPECT_EQ(entriesOf(forms.list.get().List1), QStringList { localPath(QStringLiteral("kept.swf")) });
}

TEST_F(OpenDialogTest, OneFileIsLoadedAndThePlayListKeepsItsEntries)
{
    playlist::ListBox& list = forms.list.get().List1;
    list.AddItems({ localPath(QStringLiteral("a.swf")), localPath(QStringLiteral("b.swf")) });
    list.setListIndex(1);
    frmOpen& dialog = openDialog();
    platform.fileDialogs.choose({ QStringLiteral("/other/one file.swf") });
    dialog.BrowseFiles();
    EXPECT_FALSE(forms.open.isLoaded());
    EXPECT_EQ(lastLoad(flash()),
        QStringLiteral("LoadMovie(0, file://%1)")
            .arg(QDir::toNativeSeparators(QStringLiteral("/other/one file.swf"))));
    EXPECT_EQ(entriesOf(list),
        QStringList({ localPath(QStringLiteral("a.swf")), localPath(QStringLiteral("b.swf")) }));
    EXPECT_EQ(list.ListIndex(), 1);
}

TEST_F(OpenDialogTest, SeveralFilesReplaceThePlayListAndTheFirstIsLoaded)
{
    playlist::ListBox& list = forms.list.get().List1;
    list.AddItem(localPath(QStringLiteral("old.swf")));
    list.setListIndex(0);
    frmOpen& dialog = openDialog();
    const QStringList chosen { localPath(QStringLiteral("c.swf")), localPath(QStringLiteral("a.swf")),
        localPath(QStringLiteral("b b.swf")) };
    platform.fileDialogs.choose(chosen);
    dialog.BrowseFiles();
    EXPECT_EQ(entriesOf(list), chosen) << "the dialog's order, each a full path";
    EXPECT_EQ(list.ListIndex(), -1) << "nothing selected";
    EXPECT_EQ(lastLoad(flash()), QStringLiteral("LoadMovie(0, file://%1)").arg(chosen.first()));
    EXPECT_FALSE(forms.open.isLoaded());
}

// The old dialog's buffer held 1024 characters of folder and names; there is no such limit.
TEST_F(OpenDialogTest, AChoiceOfManyLongNamesIsTakenWhole)
{
    QStringList chosen;
    for (int i = 0; i < 300; ++i)
        chosen << localPath(QStringLiteral("一个很长很长的动画文件名字 number %1.swf").arg(i));
    ASSERT_GT(platform::FileDialog::fileNameForSelection(chosen).size(), 1024);
    frmOpen& dialog = openDialog();
    platform.fileDialogs.choose(chosen);
    dialog.BrowseFiles();
    EXPECT_EQ(entriesOf(forms.list.get().List1), chosen);
}

TEST_F(OpenDialogTest, ClosingLoadsNothing)
{
    frmOpen& dialog = openDialog();
    dialog.Txt1.setText(QStringLiteral("http://example.com/c.swf"));
    flash().clearCalls();
    dialog.CloseDialog();
    EXPECT_FALSE(forms.open.isLoaded());
    EXPECT_TRUE(flash().calls().isEmpty());
}
