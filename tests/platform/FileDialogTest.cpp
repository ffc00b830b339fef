#include "platform/QtFileDialog.h"
#include "platform/fakes/FakeFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using platform::DialogError;
using platform::FileDialog;

namespace {

const QChar Nul(u'\0');

QString joinedWithNul(const QStringList& parts)
{
    return parts.join(Nul);
}

} // namespace

TEST(FileDialogFilter, PairsBecomeQtNameFilters)
{
    EXPECT_EQ(FileDialog::nameFilters(QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*")),
        QStringList({ QStringLiteral("Flash文件（*.swf） (*.swf)"), QStringLiteral("所有文件（*.*） (*)") }));
    EXPECT_EQ(FileDialog::nameFilters(QStringLiteral("列表|*.lst;*.txt")),
        QStringList({ QStringLiteral("列表 (*.lst *.txt)") }));
}

TEST(FileDialogFilter, IncompleteOrEmptyPairsAreDropped)
{
    EXPECT_TRUE(FileDialog::nameFilters(QString()).isEmpty());
    EXPECT_TRUE(FileDialog::nameFilters(QStringLiteral("only a description")).isEmpty());
    EXPECT_EQ(FileDialog::nameFilters(QStringLiteral("a|*.a|dangling")),
        QStringList({ QStringLiteral("a (*.a)") }));
    EXPECT_EQ(
        FileDialog::nameFilters(QStringLiteral("none|;|b|*.b")), QStringList({ QStringLiteral("b (*.b)") }));
}

TEST(FileDialogSelection, OneFileIsItsFullPathSeveralAreFolderThenNames)
{
    EXPECT_EQ(FileDialog::fileNameForSelection({}), QString());
    EXPECT_EQ(FileDialog::fileNameForSelection({ QStringLiteral("/电影/my film.swf") }),
        QStringLiteral("/电影/my film.swf"));
    EXPECT_EQ(FileDialog::fileNameForSelection({ QStringLiteral("/电影/b.swf"),
                  QStringLiteral("/电影/a b.swf"), QStringLiteral("/电影/c.swf") }),
        joinedWithNul({ QStringLiteral("/电影"), QStringLiteral("b.swf"), QStringLiteral("a b.swf"),
            QStringLiteral("c.swf") }));
}

TEST(FileDialogSelection, NamesFromAnotherFolderStayReachable)
{
    const QString fileName
        = FileDialog::fileNameForSelection({ QStringLiteral("/m/x/a.swf"), QStringLiteral("/m/y/b.swf") });
    const QStringList parts = fileName.split(Nul);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(QDir::cleanPath(parts[0] + u'/' + parts[2]), QStringLiteral("/m/y/b.swf"));
}

TEST(FakeFileDialog, CancelIsAnErrorOnlyWithCancelError)
{
    platform::FileDialogScript script;
    platform::FakeFileDialog dialog(script);
    dialog.setFileName(QStringLiteral("keep.swf"));

    script.cancel();
    EXPECT_TRUE(dialog.ShowOpen().has_value());
    EXPECT_EQ(dialog.FileName(), QStringLiteral("keep.swf"));

    dialog.setCancelError(true);
    script.cancel();
    const auto result = dialog.ShowOpen();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), DialogError::Cancelled);
    EXPECT_EQ(dialog.FileName(), QStringLiteral("keep.swf"));

    // No answer left counts as a cancel too.
    EXPECT_FALSE(dialog.ShowSave().has_value());
}

TEST(FakeFileDialog, ScriptedChoicesAreShapedLikeTheRealDialog)
{
    platform::FileDialogScript script;
    platform::FakeFileDialog dialog(script);
    dialog.setFlags(FileDialog::Explorer | FileDialog::AllowMultiSelect);
    dialog.setCancelError(true);
    dialog.setDialogTitle(QStringLiteral("打开动画"));

    script.choose({ QStringLiteral("/d/1.swf"), QStringLiteral("/d/2.swf") });
    script.choose({ QStringLiteral("/d/3.swf") });
    ASSERT_TRUE(dialog.ShowOpen().has_value());
    const QString firstChoice
        = joinedWithNul({ QStringLiteral("/d"), QStringLiteral("1.swf"), QStringLiteral("2.swf") });
    EXPECT_EQ(dialog.FileName(), firstChoice);
    ASSERT_TRUE(dialog.ShowOpen().has_value());
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/d/3.swf"));

    ASSERT_EQ(script.shown().size(), 2);
    EXPECT_EQ(script.shown()[0].flags, 0x80200);
    EXPECT_EQ(script.shown()[0].title, QStringLiteral("打开动画"));
    EXPECT_TRUE(script.shown()[0].cancelError);
    EXPECT_EQ(script.shown()[0].fileName, QString());
    EXPECT_EQ(script.shown()[1].fileName, firstChoice);
}

// ---- the real dialog, driven the way a user would: it is modal, so the test acts on it
// from a timer once it is up.

namespace {

void whenDialogOpens(std::function<void(QFileDialog&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start();
}

class QtFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : { "a.swf", "b c.swf", "d.swf" }) {
            QFile file(folder.filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QTemporaryDir folder;
    QWidget owner;
};

} // namespace

TEST_F(QtFileDialogTest, MultipleSelectionReturnsFolderAndNames)
{
    platform::QtFileDialog dialog(&owner);
    dialog.setFlags(FileDialog::Explorer | FileDialog::AllowMultiSelect);
    dialog.setCancelError(true);
    dialog.setFilter(QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*"));

    QStringList filtersSeen;
    QFileDialog::FileMode modeSeen {};
    whenDialogOpens([&](QFileDialog& shown) {
        filtersSeen = shown.nameFilters();
        modeSeen = shown.fileMode();
        shown.setDirectory(folder.path());
        shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("\"d.swf\" \"b c.swf\""));
        QMetaObject::invokeMethod(&shown, "accept");
    });
    ASSERT_TRUE(dialog.ShowOpen().has_value());

    EXPECT_EQ(modeSeen, QFileDialog::ExistingFiles);
    EXPECT_EQ(filtersSeen,
        QStringList({ QStringLiteral("Flash文件（*.swf） (*.swf)"), QStringLiteral("所有文件（*.*） (*)") }));
    const QStringList parts = dialog.FileName().split(Nul);
    ASSERT_EQ(parts.size(), 3) << dialog.FileName().toStdString();
    EXPECT_EQ(QDir(parts[0]), QDir(folder.path()));
    EXPECT_EQ(parts[1], QStringLiteral("d.swf"));
    EXPECT_EQ(parts[2], QStringLiteral("b c.swf"));
}

TEST_F(QtFileDialogTest, OneFileReturnsItsFullPath)
{
    platform::QtFileDialog dialog(&owner);
    dialog.setFlags(FileDialog::Explorer | FileDialog::AllowMultiSelect);
    whenDialogOpens([&](QFileDialog& shown) {
        shown.setDirectory(folder.path());
        shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("b c.swf"));
        QMetaObject::invokeMethod(&shown, "accept");
    });
    ASSERT_TRUE(dialog.ShowOpen().has_value());
    EXPECT_EQ(QFileInfo(dialog.FileName()), QFileInfo(folder.filePath(QStringLiteral("b c.swf"))));
}

TEST_F(QtFileDialogTest, CancelWithCancelErrorIsReported)
{
    platform::QtFileDialog dialog(&owner);
    dialog.setCancelError(true);
    dialog.setFileName(QStringLiteral("unchanged"));
    QString titleSeen;
    whenDialogOpens([&](QFileDialog& shown) {
        titleSeen = shown.windowTitle();
        shown.reject();
    });
    const auto result = dialog.ShowOpen();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), DialogError::Cancelled);
    EXPECT_EQ(dialog.FileName(), QStringLiteral("unchanged"));
    EXPECT_EQ(titleSeen, QStringLiteral("打开"));
}

TEST_F(QtFileDialogTest, SaveAsksForAnyNameUnderItsTitle)
{
    platform::QtFileDialog dialog(&owner);
    dialog.setDialogTitle(QStringLiteral("保存播放列表"));
    dialog.setFlags(FileDialog::OverwritePrompt);
    QFileDialog::AcceptMode acceptSeen {};
    bool confirmsOverwrite = false;
    QString titleSeen;
    whenDialogOpens([&](QFileDialog& shown) {
        acceptSeen = shown.acceptMode();
        confirmsOverwrite = !shown.testOption(QFileDialog::DontConfirmOverwrite);
        titleSeen = shown.windowTitle();
        shown.setDirectory(folder.path());
        shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("新列表.lst"));
        QMetaObject::invokeMethod(&shown, "accept");
    });
    ASSERT_TRUE(dialog.ShowSave().has_value());
    EXPECT_EQ(acceptSeen, QFileDialog::AcceptSave);
    EXPECT_TRUE(confirmsOverwrite);
    EXPECT_EQ(titleSeen, QStringLiteral("保存播放列表"));
    EXPECT_EQ(QFileInfo(dialog.FileName()).fileName(), QStringLiteral("新列表.lst"));
}
