#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/mdlCommonFunctions.h"
#include "platform/EngineMovieControl.h"
#include "platform/QtScreenGrabber.h"
#include "platform/fakes/FakePlatform.h"

#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// CatchFrame on a real screen: our engine plays a movie of known colours in the main
// window, a window lies over part of it, and the saved bitmap must hold what was seen.
namespace {

// The real movie control and the real screen; dialogs and messages stay fakes.
class ScreenPlatform final : public platform::FakePlatform {
public:
    platform::MovieControl* createMovieControl(QWidget* parent) override
    {
        return new platform::EngineMovieControl(parent);
    }
    platform::ScreenGrabber& screenGrabber() override { return screenGrabber_; }

private:
    platform::QtScreenGrabber screenGrabber_;
};

// A stage exactly the size of the movie area (507 x 380 pixels, as laid out), so that it shows at one
// to one: red and green at the top, blue across the bottom, white between.
QByteArray colouredMovie()
{
    swf::Header header;
    header.version = 8;
    header.frameSize = { 0, 507 * 20, 0, 380 * 20 };
    header.frameRate = 12;
    swf::Writer writer(header);
    writer.setBackground({ 255, 255, 255 });
    const struct {
        swf::Rect rect;
        swf::Rgba colour;
    } areas[] = {
        { { 0, 250 * 20, 0, 180 * 20 }, { 255, 0, 0 } },
        { { 255 * 20, 507 * 20, 0, 180 * 20 }, { 0, 255, 0 } },
        { { 0, 507 * 20, 197 * 20, 380 * 20 }, { 0, 0, 255 } },
    };
    uint16_t id = 1;
    for (const auto& area : areas) {
        swf::ShapeBuilder shape;
        shape.fill1(shape.addSolidFill(area.colour)).rectangle(area.rect);
        writer.defineShape(id, shape.build());
        swf::PlaceObject place;
        place.depth = id;
        place.characterId = id;
        place.matrix = swf::Matrix {};
        writer.place(place);
        ++id;
    }
    writer.showFrame();
    const std::vector<uint8_t> bytes = writer.finish(swf::Compression::Zlib);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

int bitsPerPixel(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(30);
    return head.size() == 30 && head.startsWith("BM") ? (uchar(head[28]) | uchar(head[29]) << 8) : -1;
}

} // namespace

TEST(CatchFrameX11, SavesTheScreenPixelsOfTheMovieAreaWithWhatLiesOverIt)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "this test needs an X server";
    QTemporaryDir folder;
    const QString movie = folder.filePath(QStringLiteral("colours.swf"));
    {
        QFile file(movie);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(colouredMovie());
    }

    ScreenPlatform platform;
    core::Forms forms(platform);
    frmMain& main = forms.main();
    QSignalSpy states(&main.Flash1, &platform::MovieControl::OnReadyStateChange);
    mdlCommonFunctions::LoadAni(main.Flash1, false, movie);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !states.isEmpty() && states.last().first().toInt() == 4; }, 5000));

    // A window over the lower right of the movie.
    const QPoint movieCorner = main.Flash1.mapToGlobal(QPoint(0, 0));
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    cover.setAutoFillBackground(true);
    QPalette yellow = cover.palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    cover.setPalette(yellow);
    cover.setGeometry(QRect(movieCorner + QPoint(380, 250), QSize(100, 100)));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    QTest::qWait(300); // let both windows paint

    const QString bmp = folder.filePath(QStringLiteral("frame.bmp"));
    platform.fileDialogs.choose({ bmp });
    main.CatchFrame();

    EXPECT_EQ(bitsPerPixel(bmp), 24);
    const QImage frame(bmp, "BMP");
    ASSERT_EQ(frame.size(), QSize(507, 380));
    EXPECT_EQ(frame.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(frame.pixelColor(240, 170), QColor(Qt::red));
    EXPECT_EQ(frame.pixelColor(265, 10), QColor(Qt::green));
    EXPECT_EQ(frame.pixelColor(495, 170), QColor(Qt::green));
    EXPECT_EQ(frame.pixelColor(252, 90), QColor(Qt::white));
    EXPECT_EQ(frame.pixelColor(100, 188), QColor(Qt::white));
    EXPECT_EQ(frame.pixelColor(10, 207), QColor(Qt::blue));
    EXPECT_EQ(frame.pixelColor(370, 366), QColor(Qt::blue));
    EXPECT_EQ(frame.pixelColor(385, 255), QColor(Qt::yellow))
        << "the window over the movie is captured with it";
    EXPECT_EQ(frame.pixelColor(475, 345), QColor(Qt::yellow));
    EXPECT_EQ(frame.pixelColor(490, 366), QColor(Qt::blue));
    EXPECT_EQ(main.Img1.pixmap().toImage().pixelColor(10, 10), QColor(Qt::red));
}
