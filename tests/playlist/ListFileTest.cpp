#include "playlist/ListFile.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using playlist::ListFileError;
using Kind = playlist::ListFileError::Kind;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(static_cast<char>(value));
    return out;
}

QStringList parsed(const QByteArray& file)
{
    const auto entries = playlist::parseListFile(file);
    EXPECT_TRUE(entries.has_value());
    return entries.value_or(QStringList {});
}

ListFileError failure(const QByteArray& file)
{
    const auto entries = playlist::parseListFile(file);
    EXPECT_FALSE(entries.has_value())
        << "read as " << entries.value_or(QStringList {}).join(u'|').toStdString();
    return entries ? ListFileError { Kind::CannotOpen } : entries.error();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ListFile, WritesTheCountThenQuotedEntriesInUtf8WithCrLf)
{
    const auto file
        = playlist::formatListFile({ QStringLiteral("/films/阴天.swf"), QStringLiteral("/a b/c,d.swf") });
    ASSERT_TRUE(file.has_value());
    // "阴天" is E9 98 B4 E5 A4 A9 in UTF-8.
    const QByteArray expected = QByteArray("2\r\n\"/films/") + bytes({ 0xe9, 0x98, 0xb4, 0xe5, 0xa4, 0xa9 })
        + QByteArray(".swf\"\r\n\"/a b/c,d.swf\"\r\n");
    EXPECT_EQ(*file, expected);
    EXPECT_EQ(*playlist::formatListFile({}), QByteArray("0\r\n"));
}

TEST(ListFile, ReadsAListWrittenOnChineseWindows)
{
    // GB18030 (GBK) bytes: 动 B6 AF, 画 BB AD, 阴 D2 F5, 天 CC EC.
    const QByteArray file = QByteArray("2\r\n\"C:\\") + bytes({ 0xb6, 0xaf, 0xbb, 0xad }) + QByteArray("\\")
        + bytes({ 0xd2, 0xf5, 0xcc, 0xec }) + QByteArray(".swf\"\r\n\"D:\\My Films\\a.swf\"\r\n");
    EXPECT_EQ(parsed(file),
        QStringList({ QStringLiteral("C:\\动画\\阴天.swf"), QStringLiteral("D:\\My Films\\a.swf") }));
}

TEST(ListFile, ReadsUtf8WithOrWithoutAByteOrderMark)
{
    const QByteArray body = QByteArray("1\r\n\"/films/") + bytes({ 0xe9, 0x98, 0xb4, 0xe5, 0xa4, 0xa9 })
        + QByteArray(".swf\"\r\n");
    EXPECT_EQ(parsed(body), QStringList({ QStringLiteral("/films/阴天.swf") }));
    EXPECT_EQ(parsed(bytes({ 0xef, 0xbb, 0xbf }) + body), QStringList({ QStringLiteral("/films/阴天.swf") }));
}

TEST(ListFile, ReadsFilesEditedByHand)
{
    // Unquoted paths end at a comma and lose trailing blanks; a blank line is an empty
    // entry; plain LF line ends and blanks around the count are taken.
    EXPECT_EQ(parsed(" 4 \n/a/x.swf, rest\n\n  \"/b/y z.swf\"  \r\n"),
        QStringList(
            { QStringLiteral("/a/x.swf"), QStringLiteral("rest"), QString(), QStringLiteral("/b/y z.swf") }));
    // Two quoted fields on one line are two entries.
    EXPECT_EQ(parsed("2\r\n\"/a.swf\",\"/b.swf\"\r\n"),
        QStringList({ QStringLiteral("/a.swf"), QStringLiteral("/b.swf") }));
    // A quote that is never closed runs to the end of the file.
    EXPECT_EQ(parsed("1\r\n\"/a.swf\r\n"), QStringList({ QStringLiteral("/a.swf\r\n") }));
}

TEST(ListFile, TakesAsManyEntriesAsTheCountSays)
{
    EXPECT_EQ(parsed("1\r\n\"/a.swf\"\r\n\"/b.swf\"\r\n"), QStringList({ QStringLiteral("/a.swf") }));
    EXPECT_EQ(parsed("0\r\n\"/a.swf\"\r\n"), QStringList());
    EXPECT_EQ(parsed("0"), QStringList());
    EXPECT_EQ(parsed("+2\r\n\"/a.swf\"\r\n\"/a.swf\"\r\n"),
        QStringList({ QStringLiteral("/a.swf"), QStringLiteral("/a.swf") }));
}

TEST(ListFile, DamagedFilesAreRefusedWhole)
{
    EXPECT_EQ(failure("").kind, Kind::NotANumber);
    EXPECT_EQ(failure("three\r\n\"/a.swf\"\r\n").kind, Kind::NotANumber);
    EXPECT_EQ(failure("3x\r\n").kind, Kind::NotANumber);
    EXPECT_EQ(failure("\r\n\"/a.swf\"\r\n").kind, Kind::NotANumber);
    EXPECT_EQ(failure("٣\r\n\"/a.swf\"\r\n").kind, Kind::NotANumber) << "only ASCII digits count";

    const ListFileError negative = failure("-1\r\n\"/a.swf\"\r\n");
    EXPECT_EQ(negative.kind, Kind::CountOutOfRange);
    EXPECT_EQ(negative.count, QStringLiteral("-1"));
    EXPECT_EQ(failure("32768\r\n").kind, Kind::CountOutOfRange);
    EXPECT_EQ(failure("99999999999999999999\r\n").kind, Kind::CountOutOfRange);

    const ListFileError missing = failure("3\r\n\"/a.swf\"\r\n\"/b.swf\"\r\n");
    EXPECT_EQ(missing.kind, Kind::MissingEntries);
    EXPECT_EQ(missing.count, QStringLiteral("3"));
    EXPECT_EQ(missing.found, 2);
}

TEST(ListFile, AFullListReadsBack)
{
    QStringList full;
    for (int i = 0; i < 32767; ++i)
        full << QStringLiteral("/movies/%1.swf").arg(i);
    const auto file = playlist::formatListFile(full);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(parsed(*file), full);
}

TEST(ListFile, EntriesTheFormatCannotHoldAreNotWritten)
{
    for (const QString& entry :
        { QStringLiteral("/a\"b.swf"), QStringLiteral("/a\nb.swf"), QStringLiteral("/a\rb.swf") }) {
        const auto file = playlist::formatListFile({ QStringLiteral("/ok.swf"), entry });
        ASSERT_FALSE(file.has_value());
        EXPECT_EQ(file.error().kind, Kind::UnwritableEntry);
        EXPECT_EQ(file.error().entry, entry);
    }
}

class ListFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QTemporaryDir folder;
};

TEST_F(ListFileOnDisk, ChineseAndBlanksRoundTrip)
{
    const QStringList entries { QStringLiteral("/home/用户/我的 动画/阴天.swf"),
        QStringLiteral("/tmp/a, b.swf"), QStringLiteral("/tmp/a, b.swf"),
        QStringLiteral("C:\\Flash\\旧 的.swf") };
    const QString path = folder.filePath(QStringLiteral("列表 一.txt"));
    ASSERT_TRUE(playlist::writeListFile(path, entries).has_value());
    const auto read = playlist::readListFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, entries);
}

TEST_F(ListFileOnDisk, AnExistingFileIsReplaced)
{
    const QString path = folder.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(
        playlist::writeListFile(path, { QStringLiteral("/a.swf"), QStringLiteral("/b.swf") }).has_value());
    ASSERT_TRUE(playlist::writeListFile(path, { QStringLiteral("/c.swf") }).has_value());
    EXPECT_EQ(readAll(path), QByteArray("1\r\n\"/c.swf\"\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({ QStringLiteral("list.txt") }))
        << "no temporary file is left behind";
}

TEST_F(ListFileOnDisk, AFailedSaveLeavesTheOldFileAsItWas)
{
    const QString path = folder.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(playlist::writeListFile(path, { QStringLiteral("/a.swf") }).has_value());
    const auto refused
        = playlist::writeListFile(path, { QStringLiteral("/b.swf"), QStringLiteral("/\"q\".swf") });
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(readAll(path), QByteArray("1\r\n\"/a.swf\"\r\n"));

    const auto nowhere = playlist::writeListFile(
        folder.filePath(QStringLiteral("no such folder/list.txt")), { QStringLiteral("/a.swf") });
    ASSERT_FALSE(nowhere.has_value());
    EXPECT_EQ(nowhere.error().kind, Kind::CannotWrite);
}

TEST_F(ListFileOnDisk, MissingAndOversizedFilesAreRefused)
{
    const auto missing = playlist::readListFile(folder.filePath(QStringLiteral("none.txt")));
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().kind, Kind::CannotOpen);

    const QString big = folder.filePath(QStringLiteral("big.txt"));
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(playlist::MaxListFileBytes + 1)); // sparse: costs no disk space
    file.close();
    const auto tooLarge = playlist::readListFile(big);
    ASSERT_FALSE(tooLarge.has_value());
    EXPECT_EQ(tooLarge.error().kind, Kind::TooLarge);
}
