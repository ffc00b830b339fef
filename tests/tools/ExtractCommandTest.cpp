#include "Projectors.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace projectors;

// zorvaplay-swf extract, run as a user runs it.
namespace {

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun runExtract(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(ZORVA_SWF_CLI), QStringList { QStringLiteral("extract") } + arguments);
    if (!tool.waitForFinished(30000))
        return {};
    return { tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
        QString::fromLocal8Bit(tool.readAllStandardError()) };
}

class ExtractCommandTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    const QString exe = folder.filePath(QStringLiteral("player 7.exe"));
    const QString swf = folder.filePath(QStringLiteral("movie.swf"));
};

} // namespace

TEST_F(ExtractCommandTest, WritesTheMovieOfEitherGeneration)
{
    const QByteArray fws = movie(swf::Compression::None);
    const QByteArray cws = movie(swf::Compression::Zlib);
    ASSERT_TRUE(write(exe, code(4000) + "CWS7" + code(10, 2) + fws + Trailer + cws + Trailer));

    ToolRun run = runExtract({ exe, swf, QStringLiteral("--flash"), QStringLiteral("6") });
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty());
    EXPECT_EQ(read(swf), fws + Trailer + cws + Trailer);

    run = runExtract({ exe, swf, QStringLiteral("--flash"), QStringLiteral("7") });
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(read(swf), cws + Trailer);
}

TEST_F(ExtractCommandTest, FailuresExplainThemselvesWithTheirOwnExitCode)
{
    ASSERT_TRUE(write(exe, code(4000)));
    ToolRun run = runExtract({ exe, swf, QStringLiteral("--flash"), QStringLiteral("7") });
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("no Flash 7 (CWS) movie found in")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(swf));

    run = runExtract(
        { folder.filePath(QStringLiteral("none.exe")), swf, QStringLiteral("--flash"), QStringLiteral("6") });
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("does not exist"))) << run.errors.toStdString();

    ASSERT_TRUE(write(exe, code(4000) + "FWS"));
    run = runExtract({ exe, swf, QStringLiteral("--flash"), QStringLiteral("6") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("nothing to extract"))) << run.errors.toStdString();

    ASSERT_TRUE(write(exe, code(4000) + movie(swf::Compression::None)));
    run = runExtract({ exe, exe, QStringLiteral("--flash"), QStringLiteral("6") });
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("is the projector itself"))) << run.errors.toStdString();

    run = runExtract({ exe, folder.filePath(QStringLiteral("no/folder.swf")), QStringLiteral("--flash"),
        QStringLiteral("6") });
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot write"))) << run.errors.toStdString();
}

TEST_F(ExtractCommandTest, WrongArgumentsShowTheUsage)
{
    for (const QStringList& arguments :
        { QStringList {}, QStringList { exe, swf }, QStringList { exe, swf, QStringLiteral("--flash") },
            QStringList { exe, swf, QStringLiteral("--flash"), QStringLiteral("8") },
            QStringList { exe, swf, QStringLiteral("--flash"), QStringLiteral("67") },
            QStringList { exe, swf, QStringLiteral("--frames"), QStringLiteral("6") } }) {
        const ToolRun run = runExtract(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.errors.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(swf));
}
