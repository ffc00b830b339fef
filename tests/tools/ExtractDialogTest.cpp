#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/fakes/FakePlatform.h"

#include "Projectors.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::FileDialog;
using platform::MessageIcon;
using namespace projectors;

// Extract as the user meets it: two file dialogs, a notice, the result, with the main
// window hidden from the first dialog to the last message.
namespace {

class ExtractDialogTest : public ::testing::Test {
protected:
    void SetUp() override { main.show(); }

    QStringList texts() const
    {
        QStringList all;
        for (const auto& box : platform.messages.shown())
            all << box.text;
        return all;
    }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    QTemporaryDir folder;
    const QString exe = folder.filePath(QStringLiteral("投影.exe"));
    const QString swf = folder.filePath(QStringLiteral("影片.swf"));
};

const QString Start = QStringLiteral("点击“确定”开始在后台操作，转换完毕时将通知您。");
const QString Success = QStringLiteral("从exe文件中成功提取swf文件。");
const QString Failure = QStringLiteral("从exe文件中提取swf文件失败");

} // namespace

TEST_F(ExtractDialogTest, AsksForBothFilesThenExtractsAndTellsTheResult)
{
    const QByteArray movie = projectors::movie(swf::Compression::Zlib);
    ASSERT_TRUE(write(exe, code(2000) + movie + Trailer));
    main.CmdD1.setFileName(QStringLiteral("left over"));
    platform.fileDialogs.choose({ exe });
    platform.fileDialogs.choose({ swf });

    main.Extract(7);

    const auto& dialogs = platform.fileDialogs.shown();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs[0].mode, FileDialog::Mode::Open);
    EXPECT_EQ(dialogs[0].filter, QStringLiteral("exe文件（*.exe）|*.exe"));
    EXPECT_EQ(dialogs[0].title, QStringLiteral("选择要解析的EXE文件"));
    EXPECT_EQ(dialogs[0].fileName, QString());
    EXPECT_TRUE(dialogs[0].cancelError);
    EXPECT_EQ(dialogs[1].mode, FileDialog::Mode::Save);
    EXPECT_EQ(dialogs[1].filter, QStringLiteral("swf文件（*.swf）|*.swf"));
    EXPECT_EQ(dialogs[1].title, QStringLiteral("输入要保存的swf文件的名字"));
    EXPECT_EQ(dialogs[1].fileName, QString());
    EXPECT_TRUE(dialogs[1].cancelError);

    EXPECT_EQ(texts(), QStringList({ Start, Success }));
    for (const auto& box : platform.messages.shown()) {
        EXPECT_EQ(box.title, QStringLiteral("提示"));
        EXPECT_EQ(box.icon, MessageIcon::Information);
        EXPECT_FALSE(box.ownerVisible) << "the main window stays hidden until the result is closed";
    }
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(read(swf), movie + Trailer);
}

TEST_F(ExtractDialogTest, AFileErrorIsShownBeforeTheFailure)
{
    ASSERT_TRUE(write(exe, code(2000) + "FWS"));
    platform.fileDialogs.choose({ exe });
    platform.fileDialogs.choose({ swf });

    main.Extract(6);

    const QStringList shown = texts();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], Start);
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("错误：")));
    EXPECT_EQ(platform.messages.shown()[1].icon, MessageIcon::Warning);
    EXPECT_EQ(platform.messages.shown()[1].title, QStringLiteral("错误"));
    EXPECT_EQ(shown[2], Failure);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(QFile::exists(swf));
}

TEST_F(ExtractDialogTest, NothingFoundAndUnknownVersionsTellOnlyTheFailure)
{
    ASSERT_TRUE(write(exe, code(2000)));
    for (int version : { 6, 8 }) {
        platform.fileDialogs.choose({ exe });
        platform.fileDialogs.choose({ swf });
        main.Extract(version);
    }
    EXPECT_EQ(texts(), QStringList({ Start, Failure, Start, Failure }));
    EXPECT_FALSE(QFile::exists(swf));
}

TEST_F(ExtractDialogTest, CancellingEitherDialogEndsSilently)
{
    ASSERT_TRUE(write(exe, code(100) + projectors::movie(swf::Compression::None)));
    platform.fileDialogs.cancel();
    main.Extract(6);
    EXPECT_EQ(platform.fileDialogs.shown().size(), 1);
    EXPECT_TRUE(main.isVisible());

    platform.fileDialogs.choose({ exe });
    platform.fileDialogs.cancel();
    main.Extract(6);
    EXPECT_EQ(platform.fileDialogs.shown().size(), 3);
    EXPECT_TRUE(main.isVisible());

    EXPECT_TRUE(platform.messages.shown().isEmpty());
    EXPECT_FALSE(QFile::exists(swf));
}
