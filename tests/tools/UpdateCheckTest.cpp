#include "tools/mdlUpgrade.h"

#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/QtDownloader.h"
#include "platform/fakes/FakePlatform.h"

#include "HttpServer.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using swf::test::HttpServer;

// The update check against a web server on 127.0.0.1, with the real download and fake
// message boxes and desktop.
namespace {

class NetworkPlatform final : public platform::FakePlatform {
public:
    platform::Downloader& downloader() override { return network; }
    platform::QtDownloader network;
};

const QString UpToDate = QStringLiteral("您的播放器已经是最新版本了。");
const QString Question = QStringLiteral("发现新版本，下载吗？");

class UpdateCheckTest : public ::testing::Test {
protected:
    mdlUpgrade::UpdateSettings settingsFor(const QUrl& url) const
    {
        return { url, programFolder.path(), cacheFolder.path(), { 1, 3, 326 }, std::chrono::seconds(2) };
    }

    // Serves `body` as the version file and runs the check.
    void check(const QByteArray& body)
    {
        HttpServer server(body);
        mdlUpgrade::CheckUpdate(
            platform, nullptr, settingsFor(server.url(QStringLiteral("/update/version.txt"))));
        EXPECT_EQ(server.requests(), 1);
    }

    QStringList texts() const
    {
        QStringList all;
        for (const auto& box : platform.messages.shown()) {
            EXPECT_EQ(box.title, QStringLiteral("Zorvaplay"));
            EXPECT_EQ(box.icon, MessageIcon::Information);
            EXPECT_EQ(box.buttons, box.text == Question ? MessageButtons::YesNo : MessageButtons::Ok);
            all << box.text;
        }
        return all;
    }

    QString versionFile() const { return programFolder.filePath(QStringLiteral("version.txt")); }

    NetworkPlatform platform;
    QTemporaryDir programFolder;
    QTemporaryDir cacheFolder;
    const QString error = mdlUpgrade::errorMessage();
};

} // namespace

TEST_F(UpdateCheckTest, ANewerVersionIsOfferedAndOpenedInTheBrowser)
{
    ASSERT_TRUE(error.startsWith(
        QStringLiteral("更新过程中遇到错误，可能是服务器未打开，或者升级信息文件损坏。请联系")));
    platform.messages.answer(MessageAnswer::Yes);
    check("1\n4\n0\nhttp://example.com/zorvaplay-1.4.0.zip\n");
    EXPECT_EQ(texts(), QStringList({ Question }));
    EXPECT_EQ(platform.desktop.opened(),
        QList<QUrl>({ QUrl(QStringLiteral("http://example.com/zorvaplay-1.4.0.zip")) }));
    EXPECT_FALSE(QFile::exists(versionFile())) << "a file read in full is removed";
}

TEST_F(UpdateCheckTest, RevisionsCompareAsNumbersAndNoOpensNothing)
{
    platform.messages.answer(MessageAnswer::No);
    check("1,3,1000,https://example.com/zorvaplay-1.3.1000.zip");
    EXPECT_EQ(texts(), QStringList({ Question }));
    EXPECT_TRUE(platform.desktop.opened().isEmpty());
}

TEST_F(UpdateCheckTest, TheSameOrAnOlderVersionIsUpToDate)
{
    check("1\n3\n326\nhttp://example.com/a.zip\n");
    check("1\n2\n999\nhttp://example.com/a.zip\n");
    check("0\n30\n3260\nhttp://example.com/a.zip\n");
    EXPECT_EQ(texts(), QStringList({ UpToDate, UpToDate, UpToDate }));
    EXPECT_FALSE(QFile::exists(versionFile()));
    EXPECT_TRUE(platform.desktop.opened().isEmpty());
}

TEST_F(UpdateCheckTest, AFileOfThreeFieldsIsAnErrorAndStays)
{
    check("1\n4\n0\n");
    EXPECT_EQ(texts(), QStringList({ error }));
    EXPECT_TRUE(QFile::exists(versionFile()));
}

TEST_F(UpdateCheckTest, DamagedFilesAreErrors)
{
    check("<html><body>It works!</body></html>");
    check("1\n\n0\nhttp://example.com/a.zip\n");
    check(QByteArray(2000, '\x01'));
    EXPECT_EQ(texts(), QStringList({ error, error, error }));
}

TEST_F(UpdateCheckTest, OnlyWebAddressesGoToTheDesktop)
{
    for (const char* address :
        { "file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "http://", "smb://host/share" }) {
        platform.messages.answer(MessageAnswer::Yes);
        check(QByteArray("2,0,0,") + address);
    }
    EXPECT_EQ(texts(),
        QStringList({ Question, error, Question, error, Question, error, Question, error, Question, error }));
    EXPECT_TRUE(platform.desktop.opened().isEmpty());
}

TEST_F(UpdateCheckTest, AnUnreachableServerIsAnErrorEvenWithAnOldFileLeft)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QUrl nobody(QStringLiteral("http://127.0.0.1:%1/update/version.txt").arg(closed.serverPort()));
    closed.close();

    // What an earlier check left behind would offer an update if it were read.
    QFile stale(versionFile());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("9\n9\n9\nhttp://example.com/old.zip\n");
    stale.close();

    mdlUpgrade::CheckUpdate(platform, nullptr, settingsFor(nobody));
    EXPECT_EQ(texts(), QStringList({ error }));
    EXPECT_FALSE(QFile::exists(versionFile()));
}

TEST_F(UpdateCheckTest, MissingFilesAndSilentServersAreErrors)
{
    HttpServer missing({}, HttpServer::Mode::NotFound);
    mdlUpgrade::CheckUpdate(platform, nullptr, settingsFor(missing.url(QStringLiteral("/version.txt"))));

    HttpServer silent({}, HttpServer::Mode::Hang);
    auto settings = settingsFor(silent.url(QStringLiteral("/version.txt")));
    settings.downloadTimeout = std::chrono::milliseconds(500);
    mdlUpgrade::CheckUpdate(platform, nullptr, settings);

    EXPECT_EQ(texts(), QStringList({ error, error }));
    EXPECT_EQ(silent.requests(), 1);
}

TEST_F(UpdateCheckTest, TheFileGoesToTheCacheWhereTheProgramsFolderIsReadOnly)
{
    HttpServer server("1\n4\n");
    auto settings = settingsFor(server.url(QStringLiteral("/version.txt")));
    // A folder below a file cannot be written, whoever runs the test.
    QFile blocker(programFolder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    settings.programFolder = blocker.fileName() + QStringLiteral("/program");
    settings.cacheFolder = cacheFolder.filePath(QStringLiteral("zorvaplay"));

    mdlUpgrade::CheckUpdate(platform, nullptr, settings);
    EXPECT_EQ(texts(), QStringList({ error }));
    QFile kept(cacheFolder.filePath(QStringLiteral("zorvaplay/version.txt")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "1\n4\n");
}

TEST(Upgrade, AnnouncesTheCheckWithTheMainWindowHidden)
{
    platform::FakePlatform platform;
    core::Forms forms(platform);
    frmMain& main = forms.main();
    main.show();
    QTemporaryDir folder;
    platform.downloads.serve("1\n3\n326\nhttp://example.com/\n");
    mdlUpgrade::Upgrade(main,
        { QUrl(QStringLiteral("http://example.com/version.txt")), folder.path(), folder.path(),
            { 1, 3, 326 } });

    const auto& shown = platform.messages.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(shown[0].text, QStringLiteral("点击确定后开始检查是否有更新，请稍候。"));
    EXPECT_EQ(shown[1].text, UpToDate);
    EXPECT_FALSE(shown[0].ownerVisible);
    EXPECT_FALSE(shown[1].ownerVisible);
    EXPECT_TRUE(main.isVisible());

    ASSERT_EQ(platform.downloads.requests().size(), 1);
    const auto& request = platform.downloads.requests().first();
    EXPECT_EQ(request.path, QDir(folder.path()).filePath(QStringLiteral("version.txt")));
    EXPECT_EQ(request.timeout, std::chrono::seconds(20));
}

// The player's own version is the one its About window shows: 1.3.326.
TEST(Upgrade, ComparesWithThePlayersOwnVersion)
{
    EXPECT_EQ(mdlUpgrade::UpdateSettings::ofThisProgram().own, (mdlUpgrade::ProgramVersion { 1, 3, 326 }));
}
