#include "ScriptFixture.h"

#include "swf/runtime/Fixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace swf::test {

ScriptRun::ScriptRun()
    : ScriptRun(sound_)
{
}

ScriptRun::ScriptRun(SoundOutput& sound)
    : player_(std::make_unique<Player>(Services { loader_, sound, random_, clock_ }))
{
    player_->setClockMode(Player::ClockMode::Manual);
    QObject::connect(player_.get(), &Player::traced, [this](const QString& line) { traces << line; });
    QObject::connect(player_.get(), &Player::scriptStopped, [this](const QString& line) { stopped << line; });
}

ScriptRun::~ScriptRun() = default;

void ScriptRun::play(const Writer& movie, int frames)
{
    const QString path = dir_.filePath(QStringLiteral("movie.swf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fileByteArray(movie));
    file.close();
    QSignalSpy states(player_.get(), &Player::readyStateChanged);
    player_->load(path);
    while (states.isEmpty() || states.last().at(0).toInt() != Player::Complete)
        ASSERT_TRUE(states.wait(5000));
    advance(frames - 1);
}

void ScriptRun::advance(int frames)
{
    for (int i = 0; i < frames; ++i)
        player_->advanceFrame();
}

QString ScriptRun::put(const QString& name, const QByteArray& bytes)
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void ScriptRun::settle()
{
    QCoreApplication::processEvents();
    for (int turn = 0; turn < 1000 && player_->localLoadsPending() > 0; ++turn)
        QCoreApplication::processEvents();
}

void ScriptRun::advanceSettled(int frames)
{
    for (int i = 0; i < frames; ++i) {
        player_->advanceFrame();
        settle();
    }
}

Writer scriptMovie(const Asm& script, uint8_t version)
{
    Writer w(stageHeader(100, 100, 12.0, version));
    w.doAction(script.bytes());
    w.showFrame();
    return w;
}

QStringList traceOf(const Asm& script, uint8_t version)
{
    ScriptRun run;
    run.play(scriptMovie(script, version));
    return run.traces;
}

} // namespace swf::test
