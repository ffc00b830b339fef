// NetConnection, NetStream and Video: FLV files played into video objects.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/kinds/VideoInstance.h"
#include "swf/player/MovieLoader.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"
#include "swf/script/ScriptHost.h"
#include "swf/sound/SoundEngine.h"
#include "swf/video/FlvPlayback.h"

namespace swf::script {
namespace {

Value noop(Vm&, CallArgs&)
{
    return Value();
}

Value amfValue(Vm& vm, const AmfValue& v)
{
    switch (v.type) {
    case AmfValue::Type::Number:
    case AmfValue::Type::Date:
        return Value(v.number);
    case AmfValue::Type::Boolean:
        return Value(v.number != 0);
    case AmfValue::Type::String:
        return Value(QString::fromStdString(v.string));
    case AmfValue::Type::Null:
        return Value::null();
    case AmfValue::Type::Undefined:
        return Value();
    case AmfValue::Type::Object: {
        Ref<Object> o = vm.newObject();
        for (const auto& [name, value] : v.properties)
            vm.set(o.get(), QString::fromStdString(name), amfValue(vm, value));
        return Value(o);
    }
    case AmfValue::Type::Array: {
        std::vector<Value> items;
        for (const AmfValue& item : v.items)
            items.push_back(amfValue(vm, item));
        return Value(vm.newArray(std::move(items)));
    }
    }
    return Value();
}

// ---- NetConnection -----------------------------------------------------------------------------

// Only local playback exists: connect(null) succeeds, anything else (a media server) fails.
Value connectionConnect(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value(false);
    const bool local = c.size() == 0 || c[0].isNullish();
    vm.set(self, QStringLiteral("isConnected"), Value(local));
    Ref<Object> info = vm.newObject();
    vm.set(info.get(), QStringLiteral("code"),
        Value(local ? QStringLiteral("NetConnection.Connect.Success")
                    : QStringLiteral("NetConnection.Connect.Failed")));
    vm.set(info.get(), QStringLiteral("level"),
        Value(local ? QStringLiteral("status") : QStringLiteral("error")));
    const Value args[] = { Value(info) };
    vm.engine()->callEvent(self, QStringLiteral("onStatus"), args);
    return Value(local);
}

// ---- NetStream -------------------------------------------------------------------------------------

// What a video attached to a stream shows: the picture of whatever file the stream plays
// now, so that attachVideo may come before play() and outlive close(). The last picture
// stays after close() (and until the next file has one), as a still.
class StreamScreen final : public VideoSource {
public:
    std::shared_ptr<FlvPlayback> playback;
    std::shared_ptr<const QImage> picture() override
    {
        if (playback) {
            if (auto shown = playback->picture())
                still_ = std::move(shown);
        }
        return still_;
    }

private:
    std::shared_ptr<const QImage> still_;
};

// A NetStream: the FLV playing (engine side), the load that feeds it, and the timer that
// moves its time on with the engine's clock. What the playback tells is passed to the
// script's onStatus, onMetaData and onCuePoint as queued script work.
class NetStreamObject final : public Object {
public:
    NetStreamObject(Vm& vm, Object* proto)
        : Object(vm, proto)
        , vm_(vm)
    {
    }
    // No timer outlives the object: while one runs, it holds the object. A video may
    // keep the playback; its sound goes with the stream.
    ~NetStreamObject() override
    {
        if (playback)
            playback->setSoundFeed(nullptr);
    }

    std::shared_ptr<FlvPlayback> playback;
    std::shared_ptr<StreamScreen> screen = std::make_shared<StreamScreen>();
    double bufferTime = 0.1;

    void play(const QString& url)
    {
        close();
        ScriptEngine& engine = *vm_.engine();
        playback = std::make_shared<FlvPlayback>();
        playback->setBufferTime(bufferTime);
        screen->playback = playback;
        playback->setWaitForPictures(engine.host().steppedClock());
        if (SoundEngine* sound = engine.host().soundEngine())
            playback->setSoundFeed(sound->openFeed());
        job_ = engine.services().loader.open(MovieLocation::resolve(engine.resolveUrl(url)));
        FlvPlayback* p = playback.get();
        QObject::connect(
            job_.get(), &LoadJob::received, job_.get(), [this, p](const QByteArray& bytes, qint64 total) {
                p->append(
                    std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())),
                    total >= 0 ? std::optional<size_t>(size_t(total)) : std::nullopt);
                deliver();
            });
        QObject::connect(job_.get(), &LoadJob::finished, job_.get(), [this, p]() {
            p->finish();
            deliver();
        });
        QObject::connect(job_.get(), &LoadJob::failed, job_.get(), [this, p](const QString&) {
            p->notFound();
            deliver();
        });
        lastTick_ = engine.timer();
        const double period = 1000.0 / std::max(1.0, engine.stage().movie().header.frameRate);
        timer_ = engine.addTimer(
            Value(this), Value(vm_.newNative(&NetStreamObject::tickFn)), QString(), period, {}, false);
    }

    void close()
    {
        stopTimer();
        if (job_) {
            // Signals already on their way must not reach the playback that goes now.
            job_->disconnect();
            job_.release()->deleteLater();
        }
        if (playback) {
            playback->setSoundFeed(nullptr);
            screen->picture(); // the still
        }
        playback.reset();
        screen->playback.reset();
    }

    void deliver()
    {
        if (!playback)
            return;
        for (FlvPlayback::Event& event : playback->takeEvents()) {
            Value argument;
            QString method;
            if (event.kind == FlvPlayback::Event::Kind::Status) {
                Ref<Object> info = vm_.newObject();
                vm_.set(info.get(), QStringLiteral("code"), Value(QString::fromStdString(event.name)));
                vm_.set(info.get(), QStringLiteral("level"), Value(QString::fromStdString(event.level)));
                argument = Value(info);
                method = QStringLiteral("onStatus");
            } else {
                argument = amfValue(vm_, event.argument);
                method = QString::fromStdString(event.name);
            }
            ScriptEngine& engine = *vm_.engine();
            const Value self { Ref<Object>(this) };
            engine.enqueue(
                0,
                [&engine, self, method, argument]() {
                    const Value args[] = { argument };
                    engine.callEvent(self.object(), method, args);
                },
                true);
        }
        vm_.engine()->runQueue();
    }

private:
    static Value tickFn(Vm& vm, CallArgs& c)
    {
        auto* self = c.thisObject() ? dynamic_cast<NetStreamObject*>(c.thisObject()) : nullptr;
        if (self && self->playback) {
            const int64_t now = vm.engine()->timer();
            self->playback->advance(double(now - self->lastTick_));
            self->lastTick_ = now;
            self->deliver();
        }
        return Value();
    }
    void stopTimer()
    {
        if (timer_ && vm_.engine())
            vm_.engine()->removeTimer(timer_);
        timer_ = 0;
    }

    Vm& vm_;
    std::unique_ptr<LoadJob> job_;
    int timer_ = 0;
    int64_t lastTick_ = 0;
};

NetStreamObject* streamSelf(CallArgs& c)
{
    return c.thisObject() ? dynamic_cast<NetStreamObject*>(c.thisObject()) : nullptr;
}

FlvPlayback* playbackOf(CallArgs& c)
{
    NetStreamObject* s = streamSelf(c);
    return s ? s->playback.get() : nullptr;
}

Ref<Object> newStream(Vm& vm, Object* proto)
{
    return Ref<Object>(new NetStreamObject(vm, proto));
}

Value streamPlay(Vm& vm, CallArgs& c)
{
    if (NetStreamObject* s = streamSelf(c); s && c.size() > 0)
        s->play(vm.toString(c[0]));
    return Value();
}

Value streamPause(Vm& vm, CallArgs& c)
{
    if (FlvPlayback* p = playbackOf(c))
        p->setPaused(c.size() > 0 && !c[0].isUndefined() ? vm.toBoolean(c[0]) : !p->paused());
    return Value();
}

Value streamSeek(Vm& vm, CallArgs& c)
{
    if (FlvPlayback* p = playbackOf(c)) {
        const double seconds = argNumber(vm, c, 0, 0);
        p->seek(std::isfinite(seconds) ? seconds : 0);
        streamSelf(c)->deliver();
    }
    return Value();
}

Value streamClose(Vm&, CallArgs& c)
{
    if (NetStreamObject* s = streamSelf(c))
        s->close();
    return Value();
}

Value streamSetBufferTime(Vm& vm, CallArgs& c)
{
    NetStreamObject* s = streamSelf(c);
    const double seconds = argNumber(vm, c, 0, 0);
    if (!s || !std::isfinite(seconds))
        return Value();
    s->bufferTime = std::max(0.0, seconds);
    if (s->playback)
        s->playback->setBufferTime(s->bufferTime);
    return Value();
}

Value streamTime(Vm&, CallArgs& c)
{
    FlvPlayback* p = playbackOf(c);
    return Value(p ? p->time() : 0.0);
}

Value streamBytesLoaded(Vm&, CallArgs& c)
{
    FlvPlayback* p = playbackOf(c);
    return Value(p ? double(p->bytesLoaded()) : 0.0);
}

Value streamBytesTotal(Vm&, CallArgs& c)
{
    FlvPlayback* p = playbackOf(c);
    return Value(p ? double(p->bytesTotal()) : 0.0);
}

Value streamBufferLength(Vm&, CallArgs& c)
{
    FlvPlayback* p = playbackOf(c);
    return Value(p ? p->bufferLength() : 0.0);
}

Value streamBufferTime(Vm&, CallArgs& c)
{
    NetStreamObject* s = streamSelf(c);
    return Value(s ? s->bufferTime : 0.1);
}

// ---- Video -----------------------------------------------------------------------------------------

VideoInstance* videoSelf(Vm& vm, CallArgs& c)
{
    return dynamic_cast<VideoInstance*>(vm.engine()->displayOf(c.thisValue));
}

Value videoAttach(Vm& vm, CallArgs& c)
{
    VideoInstance* video = videoSelf(vm, c);
    if (!video)
        return Value();
    Object* source = c.size() > 0 ? c[0].object() : nullptr;
    auto* stream = source ? dynamic_cast<NetStreamObject*>(source) : nullptr;
    video->attach(stream ? stream->screen : nullptr);
    return Value();
}

Value videoClear(Vm& vm, CallArgs& c)
{
    if (VideoInstance* video = videoSelf(vm, c))
        video->clear();
    return Value();
}

Value videoSmoothing(Vm& vm, CallArgs& c)
{
    VideoInstance* video = videoSelf(vm, c);
    return video ? Value(video->smoothing()) : Value();
}

Value videoSetSmoothing(Vm& vm, CallArgs& c)
{
    if (VideoInstance* video = videoSelf(vm, c); video && c.size() > 0)
        video->setSmoothing(vm.toBoolean(c[0]));
    return Value();
}

} // namespace

void installVideo(Vm& vm, ScriptEngine&)
{
    Ref<Object> connection = vm.newObject();
    vm.makeClass(QStringLiteral("NetConnection"), noop, connection.get(), false, kBuiltin | OnlySwf6);
    defineMethods(vm, connection.get(), { { "connect", connectionConnect } });

    Ref<Object> stream = vm.newObject();
    vm.makeClass(QStringLiteral("NetStream"), noop, stream.get(), false, kBuiltin | OnlySwf6);
    vm.setInstanceFactory(stream.get(), newStream);
    defineMethods(vm, stream.get(),
        { { "play", streamPlay }, { "pause", streamPause }, { "seek", streamSeek }, { "close", streamClose },
            { "setBufferTime", streamSetBufferTime } });
    vm.accessor(stream.get(), QStringLiteral("time"), streamTime, nullptr);
    vm.accessor(stream.get(), QStringLiteral("bytesLoaded"), streamBytesLoaded, nullptr);
    vm.accessor(stream.get(), QStringLiteral("bytesTotal"), streamBytesTotal, nullptr);
    vm.accessor(stream.get(), QStringLiteral("bufferLength"), streamBufferLength, nullptr);
    vm.accessor(stream.get(), QStringLiteral("bufferTime"), streamBufferTime, nullptr);

    Ref<Object> video = vm.newObject();
    vm.makeClass(QStringLiteral("Video"), noop, video.get(), false, kBuiltin | OnlySwf6);
    defineMethods(vm, video.get(), { { "attachVideo", videoAttach }, { "clear", videoClear } });
    vm.accessor(video.get(), QStringLiteral("smoothing"), videoSmoothing, videoSetSmoothing);
}

Object* videoPrototype(Vm& vm)
{
    const Value video = vm.get(vm.global(), QStringLiteral("Video"));
    return video.object() ? vm.get(video.object(), QStringLiteral("prototype")).object() : nullptr;
}

} // namespace swf::script
