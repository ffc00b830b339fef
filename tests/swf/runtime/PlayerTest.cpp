#include "Fixtures.h"
#include "HttpServer.h"

#include "swf/player/Player.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

// A 100x100 movie of `frames` frames at `rate`, a red square moving right one pixel a
// frame, on a blue stage.
Writer movingSquare(int frames = 5, double rate = 12.0)
{
    Writer w(stageHeader(100, 100, rate));
    w.setBackground({ 0, 0, 255 });
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    for (int f = 0; f < frames; ++f) {
        w.place(f == 0 ? placeAt(1, 1, 10, 10) : moveTo(1, 10 + f, 10));
        w.showFrame();
    }
    return w;
}

class PlayerTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Loads and waits for Complete; the spy holds every state reported.
    void loadAndWait(const QString& url)
    {
        player_.load(url);
        waitForComplete(url);
    }

    void waitForComplete(const QString& url)
    {
        while (states_.isEmpty() || states_.last().at(0).toInt() != Player::Complete) {
            ASSERT_TRUE(states_.wait(5000)) << "no Complete for " << url.toStdString();
        }
    }

    std::vector<int> stateList() const
    {
        std::vector<int> list;
        for (const auto& args : states_)
            list.push_back(args.at(0).toInt());
        return list;
    }

    QTemporaryDir dir_;
    Player player_;
    QSignalSpy states_ { &player_, &Player::readyStateChanged };
    QSignalSpy failures_ { &player_, &Player::loadFailed };
};

TEST_F(PlayerTest, LocalFileGoesLoadingThenComplete)
{
    const QString path = write(QStringLiteral("movie.swf"), fileByteArray(movingSquare(), Compression::Zlib));
    player_.load(QStringLiteral("file://") + path);
    EXPECT_EQ(player_.readyState(), Player::Loading);
    waitForComplete(path);

    EXPECT_EQ(stateList(), (std::vector<int> { 3, 4 }));
    EXPECT_EQ(failures_.count(), 0);
    EXPECT_EQ(player_.percentLoaded(), 100);
    EXPECT_EQ(player_.totalFrames(), 5);
    EXPECT_EQ(player_.currentFrame(), 0);
    EXPECT_TRUE(player_.isPlaying());
    EXPECT_EQ(player_.movieSize(), QSize(100, 100));
    EXPECT_DOUBLE_EQ(player_.frameRate(), 12.0);
    EXPECT_EQ(player_.backgroundColor(), QColor(0, 0, 255));
    EXPECT_TRUE(player_.errorString().isEmpty());
    EXPECT_EQ(player_.url(), QStringLiteral("file://") + path);

    const QImage image = player_.renderImage(QSize(100, 100));
    EXPECT_EQ(pixel(image, 15, 15), QColor(255, 0, 0));
    EXPECT_EQ(pixel(image, 50, 50), QColor(0, 0, 255));
}

TEST_F(PlayerTest, PathsWithBlanksAndChineseAreTakenAsTheyAre)
{
    const QString path = write(QStringLiteral("阴天 movie.swf"), fileByteArray(movingSquare()));
    loadAndWait(QStringLiteral("file://") + path);
    EXPECT_EQ(failures_.count(), 0);
    EXPECT_EQ(player_.totalFrames(), 5);

    // A bare path works as well.
    loadAndWait(path);
    EXPECT_EQ(failures_.count(), 0);
    EXPECT_EQ(player_.totalFrames(), 5);
}

TEST_F(PlayerTest, MissingFileFailsAndCompletesWithAnEmptyStage)
{
    const QString path = dir_.filePath(QStringLiteral("nowhere.swf"));
    loadAndWait(QStringLiteral("file://") + path);

    EXPECT_EQ(stateList(), (std::vector<int> { 3, 4 }));
    ASSERT_EQ(failures_.count(), 1);
    EXPECT_EQ(failures_.first().at(0).toString(), QStringLiteral("无法打开动画文件：") + path);
    EXPECT_EQ(player_.errorString(), failures_.first().at(0).toString());
    EXPECT_EQ(player_.readyState(), Player::Complete);
    EXPECT_EQ(player_.totalFrames(), 0);
    EXPECT_EQ(player_.currentFrame(), 0);
    EXPECT_FALSE(player_.isPlaying());
    EXPECT_TRUE(player_.movieSize().isEmpty());
    const QImage image = player_.renderImage(QSize(20, 20));
    EXPECT_EQ(pixel(image, 10, 10), QColor(255, 255, 255));

    // The player goes on: operations on the empty stage are harmless.
    player_.play();
    player_.gotoFrame(3);
    player_.advanceFrame();
    player_.rewind();
    EXPECT_EQ(player_.currentFrame(), 0);
}

TEST_F(PlayerTest, WindowsPathIsALoadFailureOnThisSystem)
{
    loadAndWait(QStringLiteral("file://C:\\电影\\a b.swf"));
    ASSERT_EQ(failures_.count(), 1);
    EXPECT_EQ(failures_.first().at(0).toString(), QStringLiteral("无法打开动画文件：C:\\电影\\a b.swf"));
}

TEST_F(PlayerTest, DamagedFilesFailOrPlayWhatCouldBeRead)
{
    const QString junk = write(QStringLiteral("junk.swf"), QByteArray("this is no movie at all"));
    loadAndWait(junk);
    ASSERT_EQ(failures_.count(), 1);
    EXPECT_TRUE(failures_.first().at(0).toString().startsWith(QStringLiteral("不是有效的 Flash 动画：")))
        << failures_.first().at(0).toString().toStdString();
    EXPECT_EQ(player_.totalFrames(), 0);

    // Cut in the middle of the third frame: the first frames still play.
    QByteArray bytes = fileByteArray(movingSquare(6));
    const QString cut = write(QStringLiteral("cut.swf"), bytes.left(bytes.size() * 2 / 3));
    loadAndWait(cut);
    EXPECT_EQ(failures_.count(), 1);
    EXPECT_GE(player_.totalFrames(), 1);
    EXPECT_LT(player_.totalFrames(), 6);
    for (int i = 0; i < 10; ++i)
        player_.advanceFrame();
}

TEST_F(PlayerTest, PlaybackOperations)
{
    loadAndWait(write(QStringLiteral("m.swf"), fileByteArray(movingSquare())));
    player_.stop();
    EXPECT_FALSE(player_.isPlaying());
    player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 0) << "a stopped movie stays on its frame";

    player_.play();
    player_.advanceFrame();
    player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 2);

    player_.gotoFrame(4);
    EXPECT_EQ(player_.currentFrame(), 4);
    EXPECT_TRUE(player_.isPlaying()) << "a goto keeps the play state";
    player_.gotoFrame(100);
    EXPECT_EQ(player_.currentFrame(), 4);
    player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 0) << "loop is on by default";

    player_.gotoFrame(3);
    player_.rewind();
    EXPECT_EQ(player_.currentFrame(), 0);
    EXPECT_FALSE(player_.isPlaying());
    const QImage image = player_.renderImage(QSize(100, 100));
    EXPECT_EQ(pixel(image, 10, 10), QColor(255, 0, 0));
    EXPECT_EQ(pixel(image, 20, 10), QColor(0, 0, 255));

    player_.setLoop(false);
    player_.play();
    for (int i = 0; i < 8; ++i)
        player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 4);
    EXPECT_FALSE(player_.isPlaying()) << "without loop the movie stops on its last frame";

    player_.setAutoplay(false);
    loadAndWait(player_.url());
    EXPECT_FALSE(player_.isPlaying());
}

TEST_F(PlayerTest, ClockRunsEvenAtAZeroFrameRate)
{
    // A rate of 0 in the file means as fast as the player goes, not never.
    loadAndWait(write(QStringLiteral("fast.swf"), fileByteArray(movingSquare(50, 0.0))));
    QSignalSpy frames(&player_, &Player::frameChanged);
    while (player_.currentFrame() < 3)
        ASSERT_TRUE(frames.wait(2000)) << "the clock does not run";
}

TEST_F(PlayerTest, HttpLoadFollowsContentLengthToOneHundred)
{
    HttpServer server(fileByteArray(movingSquare(5), Compression::Zlib));
    std::vector<int> percents;
    QObject::connect(
        &player_, &Player::readyStateChanged, [&](int) { percents.push_back(player_.percentLoaded()); });

    // What the application's polling timer would see while the bytes come in.
    std::vector<int> polled;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (player_.readyState() == Player::Loading)
            polled.push_back(player_.percentLoaded());
    });
    poll.start(2);
    loadAndWait(server.url().toString());
    EXPECT_EQ(stateList(), (std::vector<int> { 3, 4 }));
    EXPECT_EQ(failures_.count(), 0);
    EXPECT_TRUE(std::is_sorted(polled.begin(), polled.end()));
    EXPECT_TRUE(std::any_of(polled.begin(), polled.end(), [](int p) { return p > 0 && p < 100; }))
        << "the body comes in three pieces 150 ms apart";
    EXPECT_EQ(player_.percentLoaded(), 100);
    EXPECT_EQ(percents, (std::vector<int> { 0, 100 })) << "0 while loading, 100 when complete";
    EXPECT_EQ(player_.totalFrames(), 5);
    EXPECT_EQ(server.requests(), 1);
}

// The first three frames of a ten-frame movie arrive, then nothing until the test lets the
// rest go: the movie plays as soon as its first frame is in and waits at the fourth.
TEST_F(PlayerTest, AMovieServedSlowlyPlaysBeforeItHasArrivedAndWaitsForMissingFrames)
{
    const auto frames = [](int count) {
        Writer w(stageHeader(100, 100, 24));
        w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
        for (int f = 0; f < count; ++f) {
            w.place(f == 0 ? placeAt(1, 1, 0, 0) : moveTo(1, f, 0));
            w.doAction(std::vector<uint8_t>(2000, 0)); // weight, so that the frames are far apart
            w.showFrame();
        }
        w.declareFrameCount(10);
        return w;
    };
    const QByteArray whole = fileByteArray(frames(10));
    // The bytes of three whole frames and part of the fourth: the full file's header and
    // tags up to there, the End tag of the short file left out.
    const qsizetype heldAfter = fileByteArray(frames(3)).size() - 2 + 500;
    ASSERT_EQ(whole.left(heldAfter - 500).mid(8), fileByteArray(frames(3)).left(heldAfter - 500).mid(8));
    HttpServer server(whole, HttpServer::Mode::Held, heldAfter);

    player_.setClockMode(Player::ClockMode::Manual);
    player_.load(server.url().toString());
    QSignalSpy changes(&player_, &Player::frameChanged);
    while (!player_.stage())
        ASSERT_TRUE(changes.wait(5000)) << "the movie should start with what has arrived";
    EXPECT_EQ(player_.readyState(), Player::Loading);
    EXPECT_EQ(player_.totalFrames(), 10) << "the declared count while loading";
    EXPECT_EQ(player_.framesLoaded(), 3);
    EXPECT_GT(player_.percentLoaded(), 0);
    EXPECT_LT(player_.percentLoaded(), 100);

    for (int tick = 0; tick < 6; ++tick)
        player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 2) << "waits at the last frame that has arrived";
    EXPECT_TRUE(player_.isPlaying());

    server.release();
    waitForComplete(server.url().toString());
    EXPECT_EQ(player_.framesLoaded(), 10);
    EXPECT_EQ(player_.percentLoaded(), 100);
    player_.advanceFrame();
    EXPECT_EQ(player_.currentFrame(), 3) << "and goes on once the frame is in";
    EXPECT_EQ(failures_.count(), 0);
}

TEST_F(PlayerTest, TheWallClockKeepsTheMoviesRate)
{
    // The player's own timer against the time that really passed: never ahead of it, and
    // close behind (a busy test machine may lose a frame or two, never a steady share).
    loadAndWait(write(QStringLiteral("m.swf"), fileByteArray(movingSquare(1000, 50.0))));
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::qWait(600);
    const double due = elapsed.nsecsElapsed() / 1e9 * 50.0;
    const double run = player_.clock().frames();
    EXPECT_LE(run, due + 1);
    EXPECT_GE(run, due - 5);
}

TEST_F(PlayerTest, HttpErrorFails)
{
    HttpServer server(QByteArray(), HttpServer::Mode::NotFound);
    const QString url = server.url().toString();
    loadAndWait(url);
    ASSERT_EQ(failures_.count(), 1);
    EXPECT_TRUE(failures_.first().at(0).toString().startsWith(QStringLiteral("无法下载动画文件：") + url));
    EXPECT_EQ(player_.totalFrames(), 0);
}

TEST_F(PlayerTest, NewLoadReplacesAPendingDownload)
{
    HttpServer hanging(QByteArray(), HttpServer::Mode::Hang);
    player_.load(hanging.url().toString());
    while (hanging.requests() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    const QString path = write(QStringLiteral("m.swf"), fileByteArray(movingSquare()));
    states_.clear();
    loadAndWait(path);
    EXPECT_EQ(stateList(), (std::vector<int> { 3, 4 }));
    EXPECT_EQ(player_.url(), path);
    EXPECT_EQ(player_.totalFrames(), 5);
    EXPECT_EQ(failures_.count(), 0) << "the cancelled download reports nothing";
}

TEST_F(PlayerTest, NewLoadReplacesTheOldMovieAtOnce)
{
    loadAndWait(write(QStringLiteral("m.swf"), fileByteArray(movingSquare())));
    EXPECT_EQ(player_.totalFrames(), 5);
    player_.load(dir_.filePath(QStringLiteral("other.swf")));
    EXPECT_EQ(player_.readyState(), Player::Loading);
    EXPECT_EQ(player_.totalFrames(), 0);
    // Two loads in a row: only the second one completes.
    const QString second = write(QStringLiteral("n.swf"), fileByteArray(movingSquare(7)));
    states_.clear();
    loadAndWait(second);
    QCoreApplication::processEvents();
    EXPECT_EQ(stateList(), (std::vector<int> { 3, 4 }));
    EXPECT_EQ(failures_.count(), 0);
    EXPECT_EQ(player_.totalFrames(), 7);
}

} // namespace
} // namespace swf::test
