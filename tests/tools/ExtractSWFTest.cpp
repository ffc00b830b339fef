#include "tools/mdlExtractSWF.h"

#include "Projectors.h"
#include "platform/fakes/FakeMessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::FakeMessageBoxes;
using platform::MessageIcon;
using namespace projectors;

namespace {

class ExtractSWFTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder.filePath(name); }

    // Writes the projector and runs the extraction into out.swf.
    bool extract(const QByteArray& projector, int FlashVersion)
    {
        EXPECT_TRUE(write(exe, projector));
        return mdlExtractSWF::ExtractSWF(messages, nullptr, exe, swf, FlashVersion);
    }

    QStringList errorTexts() const
    {
        QStringList texts;
        for (const auto& box : messages.shown()) {
            EXPECT_EQ(box.icon, MessageIcon::Warning);
            EXPECT_EQ(box.title, QStringLiteral("错误"));
            texts << box.text;
        }
        return texts;
    }

    QStringList folderEntries() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir folder;
    const QString exe = path(QStringLiteral("player.exe"));
    const QString swf = path(QStringLiteral("out.swf"));
    FakeMessageBoxes messages;
    const QByteArray fws = movie(swf::Compression::None);
    const QByteArray cws = movie(swf::Compression::Zlib);
};

} // namespace

TEST_F(ExtractSWFTest, Flash56TakesTheMovieToTheEndOfTheProjector)
{
    ASSERT_TRUE(fws.startsWith("FWS"));
    // Near misses in the code: a partial match hiding the letters, a repetition run, and
    // the compressed movie's letters.
    const QByteArray projector = code(5000) + "FFWS6" + code(300, 2) + "FWFWS6" + "FWS6FWS6FWS6" + code(40, 3)
        + "CWS7" + code(2000, 4) + fws + Trailer;
    for (int version : { 5, 6 }) {
        QFile::remove(swf);
        EXPECT_TRUE(extract(projector, version));
        EXPECT_EQ(read(swf), fws + Trailer) << "the trailer goes with the movie";
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ExtractSWFTest, Flash56TakesTheFirstAcceptedCandidateEvenWhenItIsNoMovie)
{
    const QByteArray decoy = QByteArray("FWS") + char(0) + code(100, 5);
    EXPECT_TRUE(extract(code(1000) + decoy + fws + Trailer, 6));
    EXPECT_EQ(read(swf), decoy + fws + Trailer);
}

TEST_F(ExtractSWFTest, Flash7TakesTheLastAcceptedCandidate)
{
    ASSERT_TRUE(cws.startsWith("CWS"));
    const QByteArray projector = code(3000) + "CWS7" + code(500, 2) + "CWS\x07" + code(100, 3) + "FWS6"
        + code(100, 4) + cws + Trailer + "CWS7CWS7" + "xx";
    EXPECT_TRUE(extract(projector, 7));
    EXPECT_EQ(read(swf), cws + Trailer + "CWS7CWS7xx")
        << "the repetition after the movie is rejected, so the movie is the last candidate";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ExtractSWFTest, TheOtherGenerationsLettersAreNoMovie)
{
    EXPECT_FALSE(extract(code(1000) + cws + Trailer, 6));
    EXPECT_FALSE(QFile::exists(swf));
    EXPECT_FALSE(extract(code(1000) + fws + Trailer, 7));
    EXPECT_FALSE(QFile::exists(swf));
    EXPECT_TRUE(messages.shown().isEmpty()) << "finding nothing is no file error";
}

TEST_F(ExtractSWFTest, MoviesLargerThanTheReadBlockAreCopiedWhole)
{
    const QByteArray big = code(3 * 1024 * 1024 + 17, 9);
    const QByteArray projector = code(1536 * 1024) + cws + big;
    EXPECT_TRUE(extract(projector, 7));
    EXPECT_TRUE(read(swf) == cws + big);
}

TEST_F(ExtractSWFTest, OnlyVersions5To7SelectAVariant)
{
    for (int version : { -1, 0, 4, 8, 70 })
        EXPECT_FALSE(extract(code(100) + fws + cws, version));
    EXPECT_FALSE(QFile::exists(swf));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ExtractSWFTest, SignatureAsTheLastBytesIsAFileError)
{
    ASSERT_TRUE(write(swf, "an earlier movie"));
    EXPECT_FALSE(extract(code(100) + "FWS", 6));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(errorTexts().first().startsWith(QStringLiteral("错误：文件“")))
        << errorTexts().first().toStdString();
    EXPECT_EQ(read(swf), "an earlier movie") << "a failure never touches the file of that name";
    EXPECT_EQ(folderEntries(), QStringList({ QStringLiteral("out.swf"), QStringLiteral("player.exe") }))
        << "and leaves nothing behind";

    // One byte after the letters is a movie of one byte.
    EXPECT_TRUE(extract(code(100) + "CWS\x07", 7));
    EXPECT_EQ(read(swf), "CWS\x07");
}

TEST_F(ExtractSWFTest, AMissingProjectorIsAnEmptyOne)
{
    EXPECT_FALSE(mdlExtractSWF::ExtractSWF(messages, nullptr, path(QStringLiteral("gone.exe")), swf, 7));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(folderEntries().isEmpty()) << "neither the input nor the output is created";
}

TEST_F(ExtractSWFTest, TheProjectorItselfIsRefusedAsTheOutput)
{
    const QByteArray projector = code(100) + fws + Trailer;
    ASSERT_TRUE(write(exe, projector));
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::link(exe, path(QStringLiteral("link.exe"))));
    for (const QString& output :
        { exe, path(QStringLiteral("sub/../player.exe")), path(QStringLiteral("link.exe")) })
        EXPECT_FALSE(mdlExtractSWF::ExtractSWF(messages, nullptr, exe, output, 6)) << output.toStdString();
    EXPECT_EQ(read(exe), projector);
    ASSERT_EQ(messages.shown().size(), 3);
    for (const QString& text : errorTexts())
        EXPECT_TRUE(text.startsWith(QStringLiteral("错误：要保存的swf文件“"))) << text.toStdString();
}

TEST_F(ExtractSWFTest, FilesThatCannotBeOpenedAreReported)
{
    ASSERT_TRUE(write(exe, code(100) + fws));
    EXPECT_FALSE(
        mdlExtractSWF::ExtractSWF(messages, nullptr, exe, path(QStringLiteral("no/such/folder.swf")), 6));
    EXPECT_FALSE(mdlExtractSWF::ExtractSWF(messages, nullptr, folder.path(), swf, 6))
        << "a folder as projector";
    const QStringList texts = errorTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("错误：无法写入文件“"))) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("错误：无法打开文件“"))) << texts[1].toStdString();
}
