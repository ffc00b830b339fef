#include "QtSoundOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {
namespace {

constexpr int kRate = 44100;
constexpr int kBytesPerFrame = 4;
// Without a device the sound is taken in steps of this long.
constexpr int kDropStepMs = 20;
// A device that has not asked for sound in this long is taken for lost.
constexpr qint64 kStalledMs = 500;

} // namespace

// What the sink reads in pull mode: the mixer's sound, made as it is asked for.
class Feeder final : public QIODevice {
public:
    Feeder(QtSoundOutput& output, QObject* parent)
        : QIODevice(parent)
        , output_(output)
    {
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return kBytesPerFrame * QtSoundOutput::kBufferFrames; }

    QAudioSink* sink = nullptr;
    QElapsedTimer lastRead;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 frames = maxSize / kBytesPerFrame;
        if (frames <= 0)
            return 0;
        output_.fill(std::span<int16_t>(reinterpret_cast<int16_t*>(data), size_t(frames) * 2));
        if (sink)
            output_.latency_ = std::max<qint64>(0, sink->bufferSize() - sink->bytesFree()) / kBytesPerFrame;
        lastRead.restart();
        return frames * kBytesPerFrame;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QtSoundOutput& output_;
};

// Owns the sink on the sound thread, or, without one, takes the sound at its pace.
class QtSoundOutput::Worker final : public QObject {
public:
    // The feeder and the timers are the worker's children, so that they move to the
    // sound thread with it.
    explicit Worker(QtSoundOutput& output)
        : output_(output)
        , feeder_(output, this)
        , drop_(this)
        , watch_(this)
    {
        feeder_.open(QIODevice::ReadOnly);
        drop_.setInterval(kDropStepMs);
        QObject::connect(&drop_, &QTimer::timeout, this, [this] { dropDue(); });
        watch_.setInterval(kStalledMs / 2);
        QObject::connect(&watch_, &QTimer::timeout, this, [this] {
            if (sink_ && feeder_.lastRead.isValid() && feeder_.lastRead.elapsed() > kStalledMs)
                useNoDevice();
        });
    }

    void open()
    {
        if (sink_ || drop_.isActive())
            return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        QAudioFormat format;
        format.setSampleRate(kRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (device.isNull() || !device.isFormatSupported(format)) {
            useNoDevice();
            return;
        }
        sink_ = new QAudioSink(device, format, this);
        sink_->setBufferSize(kBufferFrames * kBytesPerFrame);
        feeder_.sink = sink_;
        feeder_.lastRead.start();
        sink_->start(&feeder_);
        if (sink_->error() != QAudio::NoError) {
            useNoDevice();
            return;
        }
        QObject::connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State) {
            if (sink_ && sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError)
                useNoDevice();
        });
        output_.hasDevice_ = true;
        watch_.start();
    }

    void close()
    {
        watch_.stop();
        drop_.stop();
        closeSink();
    }

private:
    void closeSink()
    {
        if (!sink_)
            return;
        feeder_.sink = nullptr;
        sink_->disconnect(this);
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }

    void useNoDevice()
    {
        closeSink();
        watch_.stop();
        output_.hasDevice_ = false;
        output_.latency_ = 0;
        clock_.start();
        drop_.start();
    }

    // The sound the device would have played since the last step, taken and dropped.
    void dropDue()
    {
        const qint64 due = clock_.nsecsElapsed() * kRate / 1'000'000'000 - dropped_;
        const qint64 frames = std::clamp<qint64>(due, 0, kRate / 5);
        if (frames == 0)
            return;
        scratch_.resize(size_t(frames) * 2);
        output_.fill(scratch_);
        dropped_ += due;
    }

    QtSoundOutput& output_;
    Feeder feeder_;
    QAudioSink* sink_ = nullptr;
    QTimer drop_;
    QTimer watch_;
    QElapsedTimer clock_;
    qint64 dropped_ = 0;
    std::vector<int16_t> scratch_;
};

QtSoundOutput::QtSoundOutput() = default;

QtSoundOutput::~QtSoundOutput()
{
    if (!thread_)
        return;
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->close(); });
    QObject::connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
    thread_->quit();
    // A sound server that hangs must not hang the program's exit: the thread is left.
    if (!thread_->wait(2000))
        (void)thread_.release();
}

void QtSoundOutput::start(std::shared_ptr<swf::SoundSource> source)
{
    {
        std::lock_guard guard(lock_);
        source_ = std::move(source);
    }
    if (!thread_) {
        thread_ = std::make_unique<QThread>();
        thread_->setObjectName(QStringLiteral("sound"));
        worker_ = new Worker(*this);
        worker_->moveToThread(thread_.get());
        thread_->start(QThread::TimeCriticalPriority);
    }
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->open(); });
}

void QtSoundOutput::stop(const swf::SoundSource& source)
{
    {
        std::lock_guard guard(lock_);
        if (source_.get() != &source)
            return;
        source_.reset();
    }
    if (worker_)
        QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->close(); });
}

void QtSoundOutput::setVolume(double volume)
{
    volume_ = std::clamp(std::isfinite(volume) ? volume : 0.0, 0.0, 1.0);
}

void QtSoundOutput::fill(std::span<int16_t> out)
{
    std::shared_ptr<swf::SoundSource> source;
    {
        std::lock_guard guard(lock_);
        source = source_;
    }
    if (!source) {
        std::fill(out.begin(), out.end(), int16_t(0));
        return;
    }
    source->render(out);
    taken_ += out.size() / 2;
    const double volume = volume_.load(std::memory_order_relaxed);
    if (volume < 1.0) {
        for (int16_t& sample : out)
            sample = static_cast<int16_t>(std::lround(sample * volume));
    }
}

} // namespace platform
