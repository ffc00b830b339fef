#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// `cmake --install` of this build tree into a fresh prefix: the player must find its
// bundled movies in its own folder also when started through bin/.
TEST(Install, PlayerLinkedFromBinLivesBesideItsMovies)
{
    const QString buildDir = qEnvironmentVariable("ZORVA_BUILD_DIR");
    if (buildDir.isEmpty())
        GTEST_SKIP() << "ZORVA_BUILD_DIR is not set (run through ctest)";
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());

    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(ZORVA_CMAKE_COMMAND),
        { QStringLiteral("--install"), buildDir, QStringLiteral("--prefix"), prefix.path() });
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

    const QFileInfo link(prefix.filePath(QStringLiteral("bin/zorvaplay")));
    ASSERT_TRUE(link.isSymLink());
    EXPECT_TRUE(link.isRelative() || !link.symLinkTarget().startsWith(buildDir))
        << "not a link into the build tree";
    const QFileInfo program(link.canonicalFilePath());
    ASSERT_TRUE(program.exists());
    EXPECT_TRUE(program.isExecutable());
    EXPECT_TRUE(program.absolutePath().startsWith(QFileInfo(prefix.path()).canonicalFilePath()));

    for (const QString& movie : { QStringLiteral("阴天.swf"), QStringLiteral("I Want A Fat Baby.swf") }) {
        if (QFile::exists(QDir(buildDir).filePath(movie))) {
            EXPECT_TRUE(QFile::exists(program.dir().filePath(movie))) << movie.toStdString();
        }
    }

    QFile entry(prefix.filePath(QStringLiteral("share/applications/zorvaplay.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=zorvaplay %f")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("MimeType=application/x-shockwave-flash;application/vnd.adobe.flash.movie;")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Name=Zorvaplay")));
}
