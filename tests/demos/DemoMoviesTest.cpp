// The bundled movies are made by code at build time: check that what the player ships is a
// complete, well-formed movie that really moves.

#include "demos/Movies.h"
#include "swf/format/Parser.h"
#include "swf/player/Player.h"

#include <QCoreApplication>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct DemoCase {
    const char* name;
    std::vector<uint8_t> (*make)();
};

void PrintTo(const DemoCase& demo, std::ostream* out)
{
    *out << demo.name;
}

class DemoMovie : public ::testing::TestWithParam<DemoCase> { };

TEST_P(DemoMovie, ParsesCompleteWithoutWarnings)
{
    const std::vector<uint8_t> bytes = GetParam().make();
    auto movie = swf::parseMovie(bytes);
    ASSERT_TRUE(movie) << movie.error().message;
    EXPECT_FALSE(movie->truncated);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    // Several seconds of animation at the movie's rate.
    EXPECT_GE(movie->timeline.frames.size() / movie->header.frameRate, 3.0);
}

TEST_P(DemoMovie, PlaysAndChangesFromFrameToFrame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("demo.swf");
    const std::vector<uint8_t> bytes = GetParam().make();
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    swf::Player player;
    player.setAutoplay(false);
    player.load(path);
    for (int i = 0; i < 200 && player.readyState() != swf::Player::Complete; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(player.readyState(), swf::Player::Complete);
    ASSERT_TRUE(player.errorString().isEmpty()) << player.errorString().toStdString();

    const QImage first = player.renderImage(QSize(260, 190));
    for (int i = 0; i < 6; ++i)
        player.advanceFrame();
    const QImage later = player.renderImage(QSize(260, 190));
    EXPECT_NE(first, later);
    // Not a blank stage: the picture holds many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < first.height(); y += 4)
        for (int x = 0; x < first.width(); x += 4)
            colours.insert(first.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
}

INSTANTIATE_TEST_SUITE_P(Bundled, DemoMovie,
    ::testing::Values(
        DemoCase { "RainyDay", demos::makeRainyDay }, DemoCase { "FatBaby", demos::makeFatBaby }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
