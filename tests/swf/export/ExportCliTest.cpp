// `zorvaplay-swf export` and `thumbnail` as a person runs them, the results read back with
// libavformat: frames, size, length, the tone's pitch and the square's place.
#include "MediaProbe.h"

#include "../runtime/Fixtures.h"
#include "../sound/SoundFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

struct Outcome {
    int exitCode = -1;
    QString err;
};

// 160x120 at 12 fps, 24 frames on white: a red 20x20 square at x = 10 + 5 * frame,
// y = 50, and a 440 Hz tone from the first frame on.
QByteArray toneAndSquare()
{
    Writer w(stageHeader(160, 120, 12.0, 24));
    w.setBackground({ 255, 255, 255 });
    const auto tone = sine(440, 44100, 44100 * 2, 0.5);
    defineSound(w, 2, soundFormat(SoundCodec::PcmLittleEndian, 3, true, false), pcmBytes(tone, true),
        uint32_t(tone.size()));
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    startSound(w, 2);
    w.place(placeAt(1, 1, 10, 50));
    w.showFrame();
    for (int f = 1; f < 24; ++f) {
        w.place(moveTo(1, 10 + 5 * f, 50));
        w.showFrame();
    }
    return fileByteArray(w, Compression::Zlib);
}

class ExportCli : public ::testing::Test {
protected:
    Outcome runTool(const QStringList& arguments, int timeoutMs = 60000)
    {
        QProcess process;
        process.start(QStringLiteral(ZORVA_SWF_CLI), arguments);
        EXPECT_TRUE(process.waitForFinished(timeoutMs)) << "the tool did not finish";
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError()) };
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    // The files of the test's folder, hidden ones too: "a.swf, b.mp4".
    std::string files() const
    {
        return QDir(dir_.path())
            .entryList(QDir::Files | QDir::Hidden, QDir::Name)
            .join(QStringLiteral(", "))
            .toStdString();
    }

    // The square's colour where it stands in frame `frame`, white where it does not.
    static void expectSquare(const QImage& picture, int frame, double scale = 1.0, int tolerance = 48)
    {
        const int x = static_cast<int>((10 + 5 * frame + 10) * scale);
        const int y = static_cast<int>(60 * scale);
        EXPECT_TRUE(near(pixel(picture, x, y), QColor(255, 0, 0), tolerance))
            << "square at " << x << "," << y << " in frame " << frame;
        const int before = static_cast<int>((10 + 5 * frame - 10) * scale);
        EXPECT_TRUE(near(pixel(picture, before, y), QColor(255, 255, 255), tolerance))
            << "white left of the square in frame " << frame;
    }

    QTemporaryDir dir_;
};

TEST_F(ExportCli, Mp4AndWebMCarryEveryFrameTheToneAndTheSquare)
{
    const QString movie = write(QStringLiteral("square.swf"), toneAndSquare());
    struct Case {
        const char* name;
        const char* video;
        const char* audio;
    };
    for (const Case& c : { Case { "out.mp4", "h264", "aac" }, Case { "out.webm", "vp9", "opus" } }) {
        SCOPED_TRACE(c.name);
        const Outcome outcome
            = runTool({ QStringLiteral("export"), movie, path(QString::fromLatin1(c.name)) });
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        // Not on a terminal: one summary line and nothing else.
        EXPECT_TRUE(outcome.err.startsWith(QStringLiteral("已导出 "))) << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.count(QLatin1Char('\n')), 1) << outcome.err.toStdString();

        const auto video = probeVideo(path(QString::fromLatin1(c.name)));
        ASSERT_TRUE(video);
        EXPECT_EQ(video->videoCodec, QString::fromLatin1(c.video));
        EXPECT_EQ(video->audioCodec, QString::fromLatin1(c.audio));
        EXPECT_EQ(video->size, QSize(160, 120));
        // To the movie's loop point: its 24 frames, two seconds at 12 fps.
        ASSERT_EQ(video->pictures.size(), 24u);
        EXPECT_NEAR(video->frameRate, 12.0, 0.01);
        EXPECT_NEAR(video->duration, 2.0, 0.1);
        for (const int frame : { 0, 10, 23 })
            expectSquare(video->pictures[size_t(frame)], frame);
        ASSERT_GT(video->left.size(), size_t(video->sampleRate));
        const auto middle = std::span<const double>(video->left).subspan(size_t(video->sampleRate / 2), 8000);
        EXPECT_NEAR(toneFrequency(middle, video->sampleRate), 440.0, 3.0);
        EXPECT_GT(rms(middle), 0.25);
    }
}

TEST_F(ExportCli, SizeRateAndLengthAreTheOnesAskedFor)
{
    const QString movie = write(QStringLiteral("square.swf"), toneAndSquare());
    const Outcome outcome = runTool(
        { QStringLiteral("export"), movie, path(QStringLiteral("big.mp4")), QStringLiteral("--width"),
            QStringLiteral("320"), QStringLiteral("--fps"), QStringLiteral("24"), QStringLiteral("--seconds"),
            QStringLiteral("0.5"), QStringLiteral("--quality"), QStringLiteral("90") });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const auto video = probeVideo(path(QStringLiteral("big.mp4")));
    ASSERT_TRUE(video);
    EXPECT_EQ(video->size, QSize(320, 240));
    EXPECT_NEAR(video->frameRate, 24.0, 0.01);
    ASSERT_EQ(video->pictures.size(), 12u);
    EXPECT_NEAR(video->duration, 0.5, 0.05);
    // At twice the movie's rate, video frame 5 shows movie frame 2.
    expectSquare(video->pictures[5], 2, 2.0);
    EXPECT_NEAR(double(video->left.size()) / video->sampleRate, 0.5, 0.03);
}

TEST_F(ExportCli, GifAndPngSequenceHoldTheFrames)
{
    const QString movie = write(QStringLiteral("square.swf"), toneAndSquare());
    Outcome outcome = runTool({ QStringLiteral("export"), movie, path(QStringLiteral("out.gif")) });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    // The finished file has the permissions of any new file, not the temporary file's.
    const QString plain = write(QStringLiteral("plain.txt"), "x");
    EXPECT_EQ(QFileInfo(path(QStringLiteral("out.gif"))).permissions(), QFileInfo(plain).permissions());
    const auto gif = probeVideo(path(QStringLiteral("out.gif")));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->videoCodec, QStringLiteral("gif"));
    ASSERT_EQ(gif->pictures.size(), 24u);
    expectSquare(gif->pictures[7], 7, 1.0, 64);

    outcome = runTool({ QStringLiteral("export"), movie, path(QStringLiteral("shot.png")),
        QStringLiteral("--frames"), QStringLiteral("6") });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    for (int n = 1; n <= 6; ++n) {
        const QImage picture(path(QStringLiteral("shot_%1.png").arg(n, 4, 10, QLatin1Char('0'))));
        ASSERT_EQ(picture.size(), QSize(160, 120)) << n;
        expectSquare(picture, n - 1, 1.0, 8);
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("shot_0007.png"))));
    // Half a second of sound beside them: 16-bit stereo after a 44-byte header.
    EXPECT_EQ(QFileInfo(path(QStringLiteral("shot.wav"))).size(), 44 + 22050 * 4);
}

TEST_F(ExportCli, AnUnreadableMovieFailsClearlyAndWritesNothing)
{
    const QString junk
        = write(QStringLiteral("junk.swf"), QByteArray("CWS\x08\x40\x00\x00\x00not zlib at all", 24));
    const std::string before = files();
    const Outcome outcome = runTool({ QStringLiteral("export"), junk, path(QStringLiteral("out.mp4")) });
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("无法导出"))) << outcome.err.toStdString();
    EXPECT_EQ(files(), before) << "no output, no temporary file";

    const Outcome unknown = runTool({ QStringLiteral("export"), junk, path(QStringLiteral("out.avi")) });
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral(".mp4"))) << unknown.err.toStdString();
    EXPECT_EQ(files(), before);
}

TEST_F(ExportCli, AMovieCutShortExportsWhatPlays)
{
    // Uncompressed, then cut in the middle of its frames.
    Writer w(stageHeader(160, 120, 12.0, 24));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    w.place(placeAt(1, 1, 10, 50));
    w.showFrame();
    for (int f = 1; f < 24; ++f) {
        w.place(moveTo(1, 10 + 5 * f, 50));
        w.showFrame();
    }
    const QByteArray whole = fileByteArray(w, Compression::None);
    const QString cut = write(QStringLiteral("cut.swf"), whole.left(whole.size() * 6 / 10));
    const Outcome outcome = runTool({ QStringLiteral("export"), cut, path(QStringLiteral("cut.mp4")) });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const auto video = probeVideo(path(QStringLiteral("cut.mp4")));
    ASSERT_TRUE(video);
    ASSERT_GT(video->pictures.size(), 5u);
    EXPECT_LT(video->pictures.size(), 24u);
    const size_t last = video->pictures.size() - 1;
    expectSquare(video->pictures[last], int(last));
}

TEST_F(ExportCli, AnInterruptedExportLeavesNoFile)
{
    const QString movie = write(QStringLiteral("square.swf"), toneAndSquare());
    const std::string before = files();
    QProcess process;
    process.start(QStringLiteral(ZORVA_SWF_CLI),
        { QStringLiteral("export"), movie, path(QStringLiteral("long.mp4")), QStringLiteral("--seconds"),
            QStringLiteral("3000") });
    // Waits until the temporary file is being written, then asks the tool to stop.
    for (int i = 0; i < 200 && files() == before; ++i)
        process.waitForFinished(50);
    ASSERT_NE(files(), before) << "the export never started";
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_TRUE(QString::fromLocal8Bit(process.readAllStandardError()).contains(QStringLiteral("中断")));
    EXPECT_EQ(files(), before);
}

TEST_F(ExportCli, AnUnseenMovieExportsToTheRightLengthAndFrames)
{
    const QString movie = QDir(qEnvironmentVariable("ZORVA_BUILD_DIR")).filePath(QStringLiteral("阴天.swf"));
    if (!QFileInfo::exists(movie))
        GTEST_SKIP() << "the bundled movie is not built";
    const Outcome outcome = runTool({ QStringLiteral("export"), movie, path(QStringLiteral("rain.mp4")),
        QStringLiteral("--width"), QStringLiteral("200"), QStringLiteral("--seconds"), QStringLiteral("2") });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const auto video = probeVideo(path(QStringLiteral("rain.mp4")));
    ASSERT_TRUE(video);
    EXPECT_EQ(video->size.width(), 200);
    EXPECT_NEAR(video->duration, 2.0, 0.1);
    EXPECT_NEAR(video->pictures.size(), 2.0 * video->frameRate, 1.0);
    EXPECT_NEAR(double(video->left.size()) / video->sampleRate, 2.0, 0.1);
}

TEST_F(ExportCli, AThumbnailShowsTheMovieAtTheAskedSize)
{
    const QString movie = write(QStringLiteral("square.swf"), toneAndSquare());
    const Outcome outcome = runTool({ QStringLiteral("thumbnail"), movie, path(QStringLiteral("thumb.png")),
        QStringLiteral("--size"), QStringLiteral("64") });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const QImage thumb(path(QStringLiteral("thumb.png")));
    ASSERT_EQ(thumb.size(), QSize(64, 48));
    expectSquare(thumb, 0, 0.4, 60);

    const QString junk = write(QStringLiteral("junk.swf"), QByteArray("FWS"));
    const std::string before = files();
    const Outcome failed = runTool({ QStringLiteral("thumbnail"), junk, path(QStringLiteral("junk.png")) });
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_TRUE(failed.err.contains(QStringLiteral("无法读取"))) << failed.err.toStdString();
    EXPECT_EQ(files(), before);
}

} // namespace
} // namespace swf::test
