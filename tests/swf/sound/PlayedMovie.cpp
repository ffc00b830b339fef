#include "PlayedMovie.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cmath>

namespace swf::test {

PlayedMovie::PlayedMovie(RecordingSoundOutput::Mode mode)
    : output_(mode)
    , player_(std::make_unique<Player>(services_))
{
    player_->setClockMode(Player::ClockMode::Manual);
}

bool PlayedMovie::load(const Writer& writer, const QString& name)
{
    const std::vector<uint8_t> bytes = writer.finish(Compression::None);
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.close();
    player_->load(file.fileName());
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QObject::connect(player_.get(), &Player::readyStateChanged, &loop, [&](int state) {
        if (state == Player::Complete)
            loop.quit();
    });
    if (player_->readyState() != Player::Complete)
        loop.exec();
    return player_->stage() != nullptr;
}

void PlayedMovie::frames(int count)
{
    for (int i = 0; i < count; ++i)
        player_->advanceFrame();
}

std::vector<double> PlayedMovie::left(size_t from, size_t count) const
{
    return channel(output_.samples(), 0, from, count);
}

std::vector<double> PlayedMovie::right(size_t from, size_t count) const
{
    return channel(output_.samples(), 1, from, count);
}

size_t framesOfTicks(int ticks, double rate)
{
    return static_cast<size_t>(std::llround(ticks * 44100.0 / rate));
}

} // namespace swf::test
