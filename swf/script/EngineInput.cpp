// The script engine and the outside: the pointer, keys, buttons, and movies and
// variables loaded from files.

#include "Array.h"
#include "MovieLoads.h"
#include "ScriptEngine.h"
#include "classes/Classes.h"

#include "swf/display/Stage.h"
#include "swf/player/MovieLoader.h"
#include "swf/player/MovieLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

namespace swf::script {
namespace {

struct PointerEventName {
    uint32_t clipEvent;
    const char* method;
};

PointerEventName pointerEventName(PointerEventKind kind)
{
    switch (kind) {
    case PointerEventKind::Press:
        return { ClipPress, "onPress" };
    case PointerEventKind::Release:
        return { ClipRelease, "onRelease" };
    case PointerEventKind::ReleaseOutside:
        return { ClipReleaseOutside, "onReleaseOutside" };
    case PointerEventKind::RollOver:
        return { ClipRollOver, "onRollOver" };
    case PointerEventKind::RollOut:
        return { ClipRollOut, "onRollOut" };
    case PointerEventKind::DragOver:
        return { ClipDragOver, "onDragOver" };
    case PointerEventKind::DragOut:
        return { ClipDragOut, "onDragOut" };
    }
    return { 0, "" };
}

// The key code a button's key condition uses for a movie key code and character.
int buttonKeyCode(int keyCode, char32_t character)
{
    switch (keyCode) {
    case 37:
        return 1; // left
    case 39:
        return 2; // right
    case 36:
        return 3; // home
    case 35:
        return 4; // end
    case 45:
        return 5; // insert
    case 46:
        return 6; // delete
    case 8:
        return 8; // backspace
    case 13:
        return 13; // enter
    case 38:
        return 14; // up
    case 40:
        return 15; // down
    case 33:
        return 16; // page up
    case 34:
        return 17; // page down
    case 9:
        return 18; // tab
    case 27:
        return 19; // escape
    default:
        break;
    }
    return character >= 32 && character < 128 ? int(character) : 0;
}

} // namespace

QPointF ScriptEngine::mouse() const
{
    // Until the pointer first moves it stands far off the stage, where nothing is hit;
    // scripts see it at the stage's origin then.
    const QPointF at = stage_.input().position();
    constexpr double kNeverMoved = -1e8;
    return at.x() <= kNeverMoved && at.y() <= kNeverMoved ? QPointF() : at;
}

bool ScriptEngine::keyIsDown(int code) const
{
    return std::find(keysDown_.begin(), keysDown_.end(), code) != keysDown_.end();
}

const Frame* ScriptEngine::frameOf(MovieClip& clip, int index) const
{
    const Timeline& timeline = clip.timeline();
    if (index < 0 || size_t(index) >= timeline.frames.size())
        return nullptr;
    return &timeline.frames[size_t(index)];
}

void ScriptEngine::gotoClip(MovieClip& target, const Value& frame, bool play)
{
    MovieClip* found = &target;
    Value which = frame;
    if (frame.isString()) {
        // "path:frame" names another clip's frame.
        const QString s = frame.string();
        const qsizetype colon = s.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            DisplayObject* d = resolvePath(s.left(colon), &target);
            found = d ? d->asMovieClip() : nullptr;
            which = Value(s.mid(colon + 1));
        }
    }
    if (!found)
        return;
    if (auto index = frameIndex(*found, which))
        gotoClipFrame(*found, *index, play ? 1 : 0, true);
}

// ---- Events the stage reports ---------------------------------------------------------------

void ScriptEngine::buttonTransition(DisplayObject& button, ButtonTransition transition)
{
    const Character* character = button.character();
    MovieClip* parent = button.parent();
    if (!character || !parent)
        return;
    const uint16_t bit = uint16_t(1u << unsigned(transition));
    const ObjectId owner = parent->id();
    for (const ButtonCondAction& action : readButtonActions(character->tagCode, character->body)) {
        if (!(action.transitions & bit))
            continue;
        const std::span<const uint8_t> actions = action.actions;
        enqueue(owner, [this, actions, owner]() {
            if (DisplayObject* d = stage_.find(owner))
                run(actions, *d);
        });
    }
    runQueue();
}

void ScriptEngine::pointerEvent(DisplayObject& target, PointerEventKind kind)
{
    const PointerEventName name = pointerEventName(kind);
    if (target.asMovieClip())
        queueEvent(target, name.clipEvent, QString::fromLatin1(name.method), Normal);
    else
        queueEvent(target, 0, QString::fromLatin1(name.method), Normal);
    runQueue();
}

void ScriptEngine::clipMouseEvents(uint32_t event)
{
    const char* method = event == ClipMouseMove ? "onMouseMove"
        : event == ClipMouseDown                ? "onMouseDown"
        : event == ClipMouseUp                  ? "onMouseUp"
        : event == ClipKeyDown                  ? "onKeyDown"
                                                : "onKeyUp";
    const std::vector<ObjectId> order = executionList_.snapshot();
    for (ObjectId id : order) {
        DisplayObject* d = stage_.find(id);
        if (!d)
            continue;
        // Clips hear the mouse and keys as if they were listeners of Mouse and Key.
        const bool isKey = event == ClipKeyDown || event == ClipKeyUp;
        queueEvent(*d, event, isKey ? QString() : QString::fromLatin1(method), Normal);
    }
}

void ScriptEngine::mouseMoved(QPointF)
{
    updateDrag();
    clipMouseEvents(ClipMouseMove);
    broadcast(mouse_.get(), QStringLiteral("onMouseMove"));
    runQueue();
}

void ScriptEngine::mouseButton(bool down)
{
    mouseDown_ = down;
    clipMouseEvents(down ? ClipMouseDown : ClipMouseUp);
    broadcast(mouse_.get(), down ? QStringLiteral("onMouseDown") : QStringLiteral("onMouseUp"));
    runQueue();
}

void ScriptEngine::wheel(int delta)
{
    const Value args[] = { Value(double(delta)) };
    broadcast(mouse_.get(), QStringLiteral("onMouseWheel"), args);
    runQueue();
}

void ScriptEngine::key(bool down, int keyCode, char32_t character)
{
    if (down) {
        if (!keyIsDown(keyCode))
            keysDown_.push_back(keyCode);
        lastKey_ = keyCode;
        lastAscii_ = int(character);
        broadcast(key_.get(), QStringLiteral("onKeyDown"));
        clipMouseEvents(ClipKeyDown);
        buttonKeyPress(keyCode, character);
    } else {
        std::erase(keysDown_, keyCode);
        lastKey_ = keyCode;
        broadcast(key_.get(), QStringLiteral("onKeyUp"));
        clipMouseEvents(ClipKeyUp);
    }
    runQueue();
}

void ScriptEngine::buttonKeyPress(int keyCode, char32_t character)
{
    const int code = buttonKeyCode(keyCode, character);
    if (code == 0)
        return;
    const std::vector<ObjectId> order = executionList_.snapshot();
    for (ObjectId id : order) {
        DisplayObject* d = stage_.find(id);
        if (!d)
            continue;
        std::vector<Task> tasks;
        clipEvents(*d, ClipKeyPress, tasks, code);
        for (Task& t : tasks)
            queues_[Normal].push_back(std::move(t));
        MovieClip* clip = d->asMovieClip();
        if (!clip)
            continue;
        // Buttons on this clip with a key condition for this key.
        for (const auto& [depth, child] : clip->displayList()) {
            const Character* character = child->character();
            if (!character || character->tagCode != 34)
                continue;
            for (const ButtonCondAction& action : readButtonActions(character->tagCode, character->body)) {
                if (action.keyCode != code)
                    continue;
                const std::span<const uint8_t> actions = action.actions;
                const ObjectId owner = clip->id();
                enqueue(owner, [this, actions, owner]() {
                    if (DisplayObject* o = stage_.find(owner))
                        run(actions, *o);
                });
            }
        }
    }
}

void ScriptEngine::broadcast(Object* source, const QString& message, std::span<const Value> args)
{
    if (!source)
        return;
    Ref<Object> keep(source);
    std::vector<Value> all { Value(message) };
    all.insert(all.end(), args.begin(), args.end());
    enqueue(0, [this, keep, all]() {
        Object* list = vm_->get(keep.get(), QStringLiteral("_listeners")).object();
        ArrayObject* listeners = list ? list->asArray() : nullptr;
        if (!listeners)
            return;
        const QString name = vm_->toString(all.front());
        for (const Value& listener : listeners->items())
            callEvent(listener.object(), name, std::span<const Value>(all).subspan(1));
    });
}

// ---- Movies and variables from outside ---------------------------------------------------------

void ScriptEngine::loadMovie(DisplayObject* target, int level, const QString& url)
{
    // Movies load while the stage plays on; what cannot be read leaves a level as it was,
    // and a clip empty and saying that its load failed.
    movieLoads_->load(target, level, url, nullptr);
}

bool ScriptEngine::loadClip(DisplayObject* target, int level, const QString& url, Object* loader)
{
    return movieLoads_->load(target, level, url, loader);
}

void ScriptEngine::movieLoaded(MovieClip& clip)
{
    if (ClipObject* object = objectFor(clip)) {
        object->properties().clear();
        object->setProto(vm_->protos().movieClip.get());
    }
    // The clip runs first among its siblings, as one just placed; its load event comes
    // again (the clip events of the tag that placed it stay).
    executionList_.pushFront(clip.id());
    Unit unit;
    unit.owner = clip.id();
    unit.parent = clip.parent() ? clip.parent()->id() : 0;
    unit.depth = clip.depth();
    queueEvent(clip, ClipLoad, {}, Normal, &unit.tasks);
    pending_.push_back(std::move(unit));
}

int ScriptEngine::pendingLocalLoads() const
{
    const auto local = std::count_if(loads_.begin(), loads_.end(), [](const auto& l) { return l->local; });
    return int(local) + movieLoads_->pendingLocal();
}

QString ScriptEngine::urlOf(const DisplayObject& object) const
{
    for (const DisplayObject* d = &object; d; d = d->parent()) {
        const MovieClip* clip = d->asMovieClip();
        if (!clip || !clip->isMovieRoot())
            continue;
        const QString loaded = movieLoads_->urlOf(*clip);
        return loaded.isEmpty() ? url_ : loaded;
    }
    return url_;
}

void ScriptEngine::unloadMovie(DisplayObject* target, int level)
{
    movieLoads_->cancel(target, level);
    if (level > 0) {
        stage_.unloadLevel(level);
        return;
    }
    if (level == 0) {
        return;
    }
    if (MovieClip* clip = target ? target->asMovieClip() : nullptr) {
        std::vector<DisplayObject*> children;
        for (const auto& [depth, child] : clip->displayList())
            children.push_back(child.get());
        for (DisplayObject* child : children)
            clip->remove(*child);
        clip->stop();
    }
}

void ScriptEngine::loadVariablesInto(DisplayObject* target, int level, const QString& url, int method)
{
    (void)method; // local files and plain GETs: what is sent changes nothing here
    if (!target && level >= 0)
        target = stage_.level(level);
    if (!target || url.isEmpty())
        return;
    startDataLoad(Value(objectFor(*target)), url, true);
}

QString ScriptEngine::resolveUrl(const QString& url) const
{
    const QUrl given(url);
    if (given.scheme().size() > 1 || url.startsWith(QLatin1Char('/')))
        return url;
    const MovieLocation movie = MovieLocation::resolve(url_);
    if (movie.kind == MovieLocation::Kind::Web)
        return movie.url.resolved(QUrl(url)).toString();
    const QFileInfo info(movie.path);
    return info.dir().filePath(url);
}

void ScriptEngine::loadData(const Value& target, const QString& url)
{
    startDataLoad(target, url, false);
}

void ScriptEngine::startDataLoad(const Value& target, const QString& url, bool variables)
{
    if (loads_.size() >= 64)
        return;
    auto load = std::make_unique<DataLoad>();
    load->target = target;
    load->variables = variables;
    DataLoad* raw = load.get();
    MovieLocation location = MovieLocation::resolve(resolveUrl(url));
    if (location.kind == MovieLocation::Kind::LocalFile) {
        // A file's name ends where its query begins.
        if (const qsizetype cut = location.path.indexOf(QLatin1Char('?')); cut >= 0)
            location.path.truncate(cut);
    } else {
        load->local = false;
    }
    load->job = services_.loader.open(location);
    QObject::connect(
        load->job.get(), &LoadJob::received, load->job.get(), [this, raw](const QByteArray& bytes, qint64) {
            // A file without end (a device) is read no further than the longest string.
            if (raw->data.size() + bytes.size() > Vm::kMaxStringLength)
                return finishLoad(raw, false);
            raw->data += bytes;
        });
    QObject::connect(
        load->job.get(), &LoadJob::finished, load->job.get(), [this, raw]() { finishLoad(raw, true); });
    QObject::connect(load->job.get(), &LoadJob::failed, load->job.get(),
        [this, raw](const QString&) { finishLoad(raw, false); });
    loads_.push_back(std::move(load));
}

void ScriptEngine::finishLoad(DataLoad* load, bool ok)
{
    auto it = std::find_if(loads_.begin(), loads_.end(), [load](const auto& l) { return l.get() == load; });
    if (it == loads_.end())
        return;
    std::unique_ptr<DataLoad> done = std::move(*it);
    loads_.erase(it);
    // The job may be reporting right now: it says nothing more, and goes once it is done.
    LoadJob* job = done->job.release();
    job->disconnect();
    job->deleteLater();
    QByteArray bytes = done->data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const Value text = ok
        ? Value(decodeMovieString(std::string_view(bytes.constData(), size_t(bytes.size())), version_))
        : Value();
    const Value target = done->target;
    if (Object* o = ok ? target.object() : nullptr; o && !done->variables) {
        o->define(QStringLiteral("__bytesLoaded"), double(done->data.size()), kHidden);
        o->define(QStringLiteral("__bytesTotal"), double(done->data.size()), kHidden);
    }
    if (done->variables) {
        // loadVariables: the variables go into the clip, then its data event.
        if (!ok)
            return;
        DisplayObject* d = displayOf(target);
        if (!d)
            return;
        decodeVariables(*vm_, objectFor(*d), text.isUndefined() ? QString() : vm_->toString(text));
        queueEvent(*d, ClipData, QStringLiteral("onData"), Normal);
        runQueue();
        return;
    }
    enqueue(0, [this, target, text]() {
        const Value args[] = { text };
        if (Object* o = target.object())
            callEvent(o, QStringLiteral("onData"), args);
    });
    runQueue();
}

} // namespace swf::script
