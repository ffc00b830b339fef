#include "Fixtures.h"
#include "HttpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class CliTest : public ::testing::Test {
protected:
    // Runs the tool with the event loop turning meanwhile, so that a server of the test's
    // own can answer it.
    Outcome runTool(const QStringList& arguments)
    {
        QProcess process;
        QSignalSpy done(&process, &QProcess::finished);
        process.start(QStringLiteral(ZORVA_SWF_CLI), arguments);
        EXPECT_TRUE(done.wait(30000)) << "the tool did not finish";
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // 80x60 on white; a red square at (10,10) on frame 1 that moves to (40,20) on frame 3.
    QString movingSquare(Compression compression = Compression::Zlib)
    {
        Writer w(stageHeader(80, 60, 24.0, 6));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
        w.place(placeAt(1, 1, 10, 10));
        w.showFrame();
        w.showFrame();
        w.place(moveTo(1, 40, 20));
        w.showFrame();
        return write(QStringLiteral("square.swf"), fileByteArray(w, compression));
    }

    QTemporaryDir dir_;
};

TEST_F(CliTest, RunWritesTheStageAfterTheLastFrame)
{
    const QString movie = movingSquare();
    const QString png = dir_.filePath(QStringLiteral("out.png"));
    const Outcome first = runTool({ QStringLiteral("run"), movie, QStringLiteral("--frames"),
        QStringLiteral("1"), QStringLiteral("--png"), png });
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.isEmpty()) << "stdout carries trace lines only";
    QImage image(png);
    ASSERT_EQ(image.size(), QSize(80, 60));
    EXPECT_EQ(pixel(image, 15, 15), QColor(255, 0, 0));
    EXPECT_EQ(pixel(image, 45, 25), QColor(255, 255, 255));

    const Outcome third = runTool({ QStringLiteral("run"), movie, QStringLiteral("--frames"),
        QStringLiteral("3"), QStringLiteral("--png"), png });
    EXPECT_EQ(third.exitCode, 0);
    image = QImage(png);
    EXPECT_EQ(pixel(image, 15, 15), QColor(255, 255, 255));
    EXPECT_EQ(pixel(image, 45, 25), QColor(255, 0, 0));
}

// A square a quarter pixel off the grid: `run` draws its edges hard, as the reference
// player's snapshots are (a pixel is red when its centre is in the square), and --smooth
// blends the edge pixels by how much of them the square covers.
TEST_F(CliTest, RunDrawsHardEdgesUnlessAskedForSmoothOnes)
{
    Writer w(stageHeader(40, 30, 12.0, 6));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    PlaceObject place = placeAt(1, 1);
    place.matrix->tx = place.matrix->ty = 10 * kTwips + kTwips / 4;
    w.place(place);
    w.showFrame();
    const QString movie = write(QStringLiteral("offgrid.swf"), fileByteArray(w));
    const QString png = dir_.filePath(QStringLiteral("out.png"));

    Outcome outcome = runTool({ QStringLiteral("run"), movie, QStringLiteral("--png"), png });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    QImage image(png);
    EXPECT_EQ(pixel(image, 10, 15), QColor(255, 0, 0)) << "the centre 10.5 is inside";
    EXPECT_EQ(pixel(image, 19, 15), QColor(255, 0, 0));
    EXPECT_EQ(pixel(image, 20, 15), QColor(255, 255, 255)) << "the centre 20.5 is outside";
    EXPECT_EQ(pixel(image, 9, 15), QColor(255, 255, 255));

    outcome
        = runTool({ QStringLiteral("run"), movie, QStringLiteral("--png"), png, QStringLiteral("--smooth") });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    image = QImage(png);
    EXPECT_TRUE(near(pixel(image, 10, 15), QColor(255, 64, 64), 12)) << "three quarters covered";
    EXPECT_TRUE(near(pixel(image, 20, 15), QColor(255, 191, 191), 12)) << "one quarter covered";
    EXPECT_EQ(pixel(image, 15, 15), QColor(255, 0, 0));
}

// fscommand("quit") ends the run after its frame, as it closes a projector: the frames
// asked for beyond it are not played. The actions are written byte by byte: Push of a
// string (0x96), Trace (0x26), GetURL (0x83) to "FSCommand:quit".
TEST_F(CliTest, RunStopsWhenTheMovieQuits)
{
    const auto traceText = [](char text) {
        return std::vector<uint8_t> { 0x96, 0x03, 0x00, 0x00, uint8_t(text), 0x00, 0x26, 0x00 };
    };
    Writer w(stageHeader(40, 30, 12.0, 6));
    w.doAction(traceText('1'));
    w.showFrame();
    std::vector<uint8_t> quit = traceText('2');
    quit.pop_back();
    const std::string url = "FSCommand:quit";
    quit.insert(quit.end(), { 0x83, uint8_t(url.size() + 2), 0x00 });
    quit.insert(quit.end(), url.begin(), url.end());
    quit.insert(quit.end(), { 0x00, 0x00, 0x00 });
    w.doAction(quit);
    w.showFrame();
    w.doAction(traceText('3'));
    w.showFrame();
    const QString movie = write(QStringLiteral("quits.swf"), fileByteArray(w, Compression::None));
    const Outcome run
        = runTool({ QStringLiteral("run"), movie, QStringLiteral("--frames"), QStringLiteral("3") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QByteArray("1\n2\n"));
}

TEST_F(CliTest, UnreadableFilesFailWithAMessage)
{
    const Outcome missing = runTool({ QStringLiteral("run"), dir_.filePath(QStringLiteral("none.swf")),
        QStringLiteral("--frames"), QStringLiteral("1") });
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains("none.swf"));
    EXPECT_TRUE(missing.out.isEmpty());

    const Outcome junk = runTool({ QStringLiteral("info"), write(QStringLiteral("junk.swf"), "GIF89a....") });
    EXPECT_NE(junk.exitCode, 0);
    EXPECT_FALSE(junk.err.isEmpty());

    const Outcome usage = runTool({ QStringLiteral("paint") });
    EXPECT_NE(usage.exitCode, 0);
    EXPECT_TRUE(usage.err.contains("usage"));
}

TEST_F(CliTest, OptionsTheToolDoesNotKnowAreRefused)
{
    const QString movie = movingSquare();
    for (const QStringList& arguments :
        { QStringList { QStringLiteral("run"), movie, QStringLiteral("--frame"), QStringLiteral("3") },
            QStringList { QStringLiteral("run"), movie, QStringLiteral("--frames") },
            QStringList { QStringLiteral("run"), movie, QStringLiteral("--frames"), QStringLiteral("2"),
                QStringLiteral("--frames"), QStringLiteral("3") },
            QStringList { QStringLiteral("run"), movie, QStringLiteral("--realtime"),
                QStringLiteral("--frames"), QStringLiteral("2") },
            QStringList { QStringLiteral("frames"), movie, QStringLiteral("--out"), dir_.path(),
                QStringLiteral("--png"), QStringLiteral("x.png") } }) {
        const Outcome outcome = runTool(arguments);
        EXPECT_EQ(outcome.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(outcome.err.contains("usage") || outcome.err.contains("--")) << outcome.err.toStdString();
    }
}

TEST_F(CliTest, RunTakesAWebAddress)
{
    Writer w(stageHeader(80, 60, 24.0, 6));
    w.defineShape(1, filledRect(0, 0, 10, 10, { 0, 0, 255 }));
    w.place(placeAt(1, 1, 30, 30));
    w.showFrame();
    HttpServer server(fileByteArray(w, Compression::Zlib));
    const QString png = dir_.filePath(QStringLiteral("web.png"));
    const Outcome outcome = runTool({ QStringLiteral("run"), server.url().toString(),
        QStringLiteral("--frames"), QStringLiteral("1"), QStringLiteral("--png"), png });
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_EQ(pixel(QImage(png), 35, 35), QColor(0, 0, 255));
}

// --realtime plays by the wall clock and writes the stage as it stands, loaded or not.
TEST_F(CliTest, RealtimeRunWritesTheStageWhileTheMovieStillArrives)
{
    // Red on frame 1, green from frame 3 on: at 12 fps, two seconds are well past frame 3.
    Writer w(stageHeader(80, 60, 12.0, 6));
    w.defineShape(1, filledRect(0, 0, 80, 60, { 255, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 80, 60, { 0, 255, 0 }));
    w.place(placeAt(1, 1));
    w.showFrame();
    w.showFrame();
    w.place(replaceWith(1, 2));
    for (int f = 2; f < 40; ++f) {
        w.doAction(std::vector<uint8_t>(3000, 0));
        w.showFrame();
    }
    const QByteArray file = fileByteArray(w);
    HttpServer server(file, HttpServer::Mode::Held, file.size() / 3);
    const QString png = dir_.filePath(QStringLiteral("live.png"));
    const Outcome outcome
        = runTool({ QStringLiteral("run"), server.url().toString(), QStringLiteral("--realtime"),
            QStringLiteral("--seconds"), QStringLiteral("2"), QStringLiteral("--png"), png });
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_EQ(pixel(QImage(png), 40, 30), QColor(0, 255, 0));
    server.release();
}

TEST_F(CliTest, InfoDescribesTheHeader)
{
    const Outcome outcome = runTool({ QStringLiteral("info"), movingSquare() });
    EXPECT_EQ(outcome.exitCode, 0);
    const QString text = QString::fromUtf8(outcome.out);
    EXPECT_TRUE(text.contains(QStringLiteral("CWS"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("version:       6")));
    EXPECT_TRUE(text.contains(QStringLiteral("80.00 x 60.00 px")));
    EXPECT_TRUE(text.contains(QStringLiteral("24.00 fps")));
    EXPECT_TRUE(text.contains(QStringLiteral("3 declared, 3 read")));
    EXPECT_TRUE(text.contains(QStringLiteral("actionscript:  1/2")));
}

// The whole movie by default, or N frames; realtime is the movie's own time for them
// (frames over 24 a second) over the time taken: fps / 24.
TEST_F(CliTest, BenchPrintsOneLineOfFiguresAndRefusesHalfASize)
{
    const QString movie = movingSquare();
    const QRegularExpression line(
        QStringLiteral("^frames=(\\d+) ms=([0-9.]+) fps=([0-9.]+) realtime=([0-9.]+)\n$"));
    const Outcome whole = runTool({ QStringLiteral("bench"), movie });
    EXPECT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const QRegularExpressionMatch figures = line.match(QString::fromUtf8(whole.out));
    ASSERT_TRUE(figures.hasMatch()) << whole.out.toStdString();
    EXPECT_EQ(figures.captured(1), QStringLiteral("3"));
    const double fps = figures.captured(3).toDouble();
    EXPECT_NEAR(figures.captured(4).toDouble(), fps / 24, fps / 24 * 0.01 + 0.01);

    const Outcome sized = runTool({ QStringLiteral("bench"), movie, QStringLiteral("--frames"),
        QStringLiteral("7"), QStringLiteral("--width"), QStringLiteral("320"), QStringLiteral("--height"),
        QStringLiteral("200") });
    EXPECT_EQ(sized.exitCode, 0) << sized.err.toStdString();
    EXPECT_TRUE(sized.out.startsWith("frames=7 ")) << sized.out.toStdString();

    const Outcome half
        = runTool({ QStringLiteral("bench"), movie, QStringLiteral("--width"), QStringLiteral("320") });
    EXPECT_EQ(half.exitCode, 1);
    EXPECT_TRUE(half.out.isEmpty());
}

TEST_F(CliTest, FramesExportsNumberedPictures)
{
    const QString out = dir_.filePath(QStringLiteral("frames"));
    const Outcome outcome = runTool({ QStringLiteral("frames"), movingSquare(), QStringLiteral("--out"), out,
        QStringLiteral("--from"), QStringLiteral("2"), QStringLiteral("--width"), QStringLiteral("160") });
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList { QStringLiteral("frame_0002.png"), QStringLiteral("frame_0003.png") }));
    const QImage last(QDir(out).filePath(QStringLiteral("frame_0003.png")));
    EXPECT_EQ(last.size(), QSize(160, 120));
    EXPECT_EQ(pixel(last, 90, 50), QColor(255, 0, 0));
}

TEST_F(CliTest, HugeStageGivesACappedPicture)
{
    Writer w(stageHeader(20000, 10000));
    w.showFrame();
    const QString png = dir_.filePath(QStringLiteral("big.png"));
    const Outcome outcome
        = runTool({ QStringLiteral("run"), write(QStringLiteral("big.swf"), fileByteArray(w)),
            QStringLiteral("--frames"), QStringLiteral("1"), QStringLiteral("--png"), png });
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(QImage(png).size(), QSize(4096, 2048));
}

} // namespace
} // namespace swf::test
