#include "PlayListFixture.h"

#include "platform/FileDialog.h"
#include "playlist/ListFile.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString A = QStringLiteral("/films/我的 动画/a.swf");
const QString B = QStringLiteral("/films/b c.swf");
const QString C = QStringLiteral("/films/c.swf");

class ListFileCommands : public PlayListFixture {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void loadFile(const QString& path)
    {
        platform.fileDialogs.choose({ path });
        list().LoadList();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(ListFileCommands, SavedListLoadsBackAndPlaysItsFirstEntry)
{
    fill({ A, B, C });
    list().setCurSwf(1);
    const QString path = folder.filePath(QStringLiteral("列表.txt"));
    platform.fileDialogs.choose({ path });
    list().SaveList();
    const platform::FileDialogScript::Shown& save = platform.fileDialogs.shown().last();
    EXPECT_EQ(save.mode, platform::FileDialog::Mode::Save);
    EXPECT_EQ(save.title, QStringLiteral("保存播放列表文件"));
    EXPECT_EQ(save.filter, QStringLiteral("列表文件（*.txt）|*.txt|所有文件（*.*）|*.*"));
    EXPECT_FALSE(save.flags & platform::FileDialog::OverwritePrompt);
    EXPECT_EQ(entries(), QStringList({ A, B, C })) << "saving changes nothing";
    EXPECT_EQ(selection(), 1);

    list().ClearList();
    fill({ C });
    list().setCurSwf(0);
    loadFile(path);
    EXPECT_EQ(platform.fileDialogs.shown().last().title, QStringLiteral("加载播放列表文件"));
    EXPECT_EQ(entries(), QStringList({ A, B, C }));
    EXPECT_EQ(loaded(), QStringList({ A }));
    EXPECT_EQ(selection(), -1);
    EXPECT_EQ(list().CurSwf(), 0);
    EXPECT_TRUE(platform.messages.shown().isEmpty());
}

TEST_F(ListFileCommands, TheCurrentIndexKeepsItsValueAcrossALoad)
{
    fill({ A, B, C, A, B, C });
    list().setCurSwf(5);
    loadFile(writeFile(QStringLiteral("three.txt"), "3\r\n\"/1.swf\"\r\n\"/2.swf\"\r\n\"/3.swf\"\r\n"));
    EXPECT_EQ(list().CurSwf(), 3);
    flash().clearCalls();
    main.BackAni();
    EXPECT_EQ(loaded(), QStringList({ QStringLiteral("/3.swf") }));
    EXPECT_EQ(selection(), 2);
}

TEST_F(ListFileCommands, ACountOfNoneKeepsTheListAndPlaysItsFirstEntry)
{
    fill({ B, C });
    loadFile(writeFile(QStringLiteral("none.txt"), "0\r\n"));
    EXPECT_EQ(entries(), QStringList({ B, C }));
    EXPECT_EQ(loaded(), QStringList({ B }));

    list().ClearList();
    flash().clearCalls();
    loadFile(writeFile(QStringLiteral("none.txt"), "0\r\n"));
    EXPECT_TRUE(loaded().isEmpty());
}

TEST_F(ListFileCommands, ADamagedFileLeavesTheListAsItWasAndSaysWhy)
{
    const struct {
        const char* bytes;
        const char* why;
    } damaged[] = {
        { "many\r\n\"/x.swf\"\r\n", "第一行不是列表的项数" },
        { "-1\r\n\"/x.swf\"\r\n", "列表的项数-1不在0到32767之间" },
        { "40000\r\n\"/x.swf\"\r\n", "列表的项数40000不在0到32767之间" },
        { "3\r\n\"/x.swf\"\r\n\"/y.swf\"\r\n", "应有3项，只找到2项" },
    };
    fill({ A, B });
    list().setCurSwf(1);
    for (const auto& file : damaged) {
        const QString path = writeFile(QStringLiteral("damaged.txt"), file.bytes);
        loadFile(path);
        EXPECT_EQ(entries(), QStringList({ A, B })) << file.bytes;
        EXPECT_EQ(selection(), 1);
        EXPECT_TRUE(loaded().isEmpty());
        ASSERT_FALSE(platform.messages.shown().isEmpty());
        const platform::FakeMessageBoxes::Shown& message = platform.messages.shown().last();
        EXPECT_EQ(message.icon, platform::MessageIcon::Warning);
        EXPECT_EQ(message.title, QStringLiteral("错误"));
        EXPECT_TRUE(message.text.contains(path));
        EXPECT_TRUE(message.text.contains(QString::fromUtf8(file.why))) << message.text.toStdString();
    }
    loadFile(folder.filePath(QStringLiteral("missing.txt")));
    EXPECT_EQ(entries(), QStringList({ A, B }));
    EXPECT_EQ(platform.messages.shown().size(), 5);
}

TEST_F(ListFileCommands, ALongerFileGivesOnlyTheCountedEntries)
{
    loadFile(writeFile(QStringLiteral("long.txt"), "1\r\n\"/1.swf\"\r\n\"/2.swf\"\r\n"));
    EXPECT_EQ(entries(), QStringList({ QStringLiteral("/1.swf") }));
}

TEST_F(ListFileCommands, CancelledDialogsChangeNothing)
{
    fill({ A });
    const QString path = writeFile(QStringLiteral("old.txt"), "1\r\n\"/old.swf\"\r\n");
    platform.fileDialogs.cancel();
    list().SaveList();
    platform.fileDialogs.cancel();
    list().LoadList();
    EXPECT_EQ(entries(), QStringList({ A }));
    EXPECT_EQ(readFile(path), QByteArray("1\r\n\"/old.swf\"\r\n"));
    EXPECT_TRUE(platform.messages.shown().isEmpty());
    EXPECT_TRUE(loaded().isEmpty());
}

TEST_F(ListFileCommands, AnEmptyListIsNotSaved)
{
    list().SaveList();
    EXPECT_TRUE(platform.fileDialogs.shown().isEmpty());
}

TEST_F(ListFileCommands, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    const QString path = writeFile(QStringLiteral("old.txt"), "1\r\n\"/old.swf\"\r\n");
    fill({ A, QStringLiteral("/odd \"quoted\" name.swf") });
    platform.fileDialogs.choose({ path });
    list().SaveList();
    EXPECT_EQ(readFile(path), QByteArray("1\r\n\"/old.swf\"\r\n"));
    ASSERT_EQ(platform.messages.shown().size(), 1);
    EXPECT_EQ(platform.messages.shown().first().title, QStringLiteral("错误"));

    list().ClearList();
    fill({ B });
    platform.fileDialogs.choose({ path });
    list().SaveList();
    EXPECT_EQ(readFile(path), QByteArray("1\r\n\"/films/b c.swf\"\r\n")) << "replaced without a question";
}
