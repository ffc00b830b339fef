#include "Session.h"

#include "swf/display/Stage.h"
#include "swf/format/Decompress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cli {
namespace {

// No picture is made larger than this on a side: a hostile header can declare a stage of
// hundreds of thousands of pixels.
constexpr int kMaxImageSide = 4096;
constexpr qint64 kMaxFileSize = qint64(swf::kMaxBodySize) + 8;

} // namespace

void printError(const std::string& message)
{
    std::fprintf(stderr, "zorvaplay-swf: %s\n", message.c_str());
}

Session::Session(swf::Player::ClockMode mode, swf::SoundOutput* sound)
    : loader_(kMaxFileSize)
    , services_ { loader_, sound ? *sound : sound_, random_, clock_ }
    , player_(services_)
{
    player_.setClockMode(mode);
    // trace() lines are the only thing on stdout; whatever else scripts say goes to stderr.
    QObject::connect(&player_, &swf::Player::traced, [](QString line) {
        // A carriage return ends a line of the trace log as a line feed does.
        const QByteArray bytes = line.replace(QLatin1Char('\r'), QLatin1Char('\n')).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fputc('\n', stdout);
    });
    QObject::connect(&player_, &swf::Player::scriptStopped,
        [](const QString& message) { printError(message.toStdString()); });
    // fscommand("quit") ends the movie as it would close a projector.
    QObject::connect(&player_, &swf::Player::fsCommand, [this](const QString& command, const QString&) {
        if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0)
            quitAsked_ = true;
    });
}

void Session::start(const std::string& reference)
{
    reference_ = reference;
    player_.load(QString::fromLocal8Bit(reference.c_str()));
}

bool Session::waitUntilLoaded()
{
    if (!waitForMovie()) {
        printError("cannot read " + reference_ + ": " + player_.errorString().toStdString());
        return false;
    }
    return true;
}

bool Session::waitForMovie()
{
    if (player_.readyState() != swf::Player::Complete) {
        QEventLoop loop;
        QObject::connect(&player_, &swf::Player::readyStateChanged, &loop, [&](int state) {
            if (state == swf::Player::Complete)
                loop.quit();
        });
        loop.exec();
    }
    return player_.stage() != nullptr;
}

bool Session::playable()
{
    if (player_.unsupportedMessage().isEmpty())
        return true;
    printError(player_.unsupportedMessage().toStdString());
    return false;
}

void Session::settleLoads()
{
    // Each turn reads a piece of every file on its way; a load that a finished one
    // starts (an onLoad handler asking for more) is waited for as well.
    constexpr int kMaxTurns = 100000;
    QCoreApplication::processEvents();
    for (int turn = 0; turn < kMaxTurns && player_.localLoadsPending() > 0; ++turn)
        QCoreApplication::processEvents();
}

void Session::playFor(double seconds)
{
    if (quitAsked_)
        return;
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(std::llround(seconds * 1000)), &loop, &QEventLoop::quit);
    QObject::connect(&player_, &swf::Player::fsCommand, &loop, [&] {
        if (quitAsked_)
            loop.quit();
    });
    loop.exec();
}

QSize Session::pictureSize(std::optional<int> width) const
{
    const swf::Stage* stage = player_.stage();
    if (!stage)
        return QSize(550, 400);
    const swf::Rect& frame = stage->movie().header.frameSize;
    double w = std::max(1.0, frame.width() / 20.0);
    double h = std::max(1.0, frame.height() / 20.0);
    if (width) {
        h = h * *width / w;
        w = *width;
    }
    const double shrink = std::min(1.0, kMaxImageSide / std::max(w, h));
    return QSize(std::clamp(static_cast<int>(std::lround(w * shrink)), 1, kMaxImageSide),
        std::clamp(static_cast<int>(std::lround(h * shrink)), 1, kMaxImageSide));
}

bool Session::writePicture(const QString& path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        player_.render(painter, image.rect());
    }
    if (!image.save(path, "PNG")) {
        printError("cannot write " + path.toStdString());
        return false;
    }
    return true;
}

} // namespace cli
