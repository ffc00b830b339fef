#include "ScriptEngine.h"

#include "Array.h"
#include "Builtins.h"
#include "MovieLoads.h"
#include "Numbers.h"
#include "TextFieldBinding.h"
#include "classes/Classes.h"

#include "swf/display/Stage.h"
#include "swf/format/BitReader.h"
#include "swf/format/Tags.h"

#include <QElapsedTimer>

#include <algorithm>

namespace swf::script {
namespace {

bool isButton(const DisplayObject& d)
{
    return d.character() && (d.character()->tagCode == 7 || d.character()->tagCode == 34);
}

bool isTextField(const DisplayObject& d)
{
    return d.character() && d.character()->tagCode == 37;
}

bool isVideo(const DisplayObject& d)
{
    return d.character() && d.character()->tagCode == 60;
}

bool hasScriptObject(const DisplayObject& d)
{
    return d.asMovieClip() || isButton(d) || isTextField(d) || isVideo(d);
}

// Moves `tasks` to the end of `into` (a child's part joining its parent's, which happens
// at every level of a nested timeline).
template <class Task> void appendTasks(std::vector<Task>& into, std::vector<Task>& tasks)
{
    if (into.empty()) {
        into.swap(tasks);
        return;
    }
    into.insert(into.end(), std::make_move_iterator(tasks.begin()), std::make_move_iterator(tasks.end()));
}

} // namespace

ScriptEngine::ScriptEngine(Stage& stage, const Services& services, ScriptHost& host)
    : stage_(stage)
    , services_(services)
    , host_(host)
    , version_(stage.movie().header.version)
{
    vm_ = std::make_unique<Vm>(version_, this);
    textFields_ = std::make_unique<TextFields>(*this);
    if (const auto& limits = stage.movie().scriptLimits)
        vm_->setLimits(limits->maxRecursionDepth, limits->timeoutSeconds);
    movieLoads_ = std::make_unique<MovieLoads>(*this);
    installEngineClasses(*vm_, *this);
    stage_.addObserver(this);
    stage_.input().setListener(this);
    bindRoot(stage_.root());
}

ScriptEngine::~ScriptEngine()
{
    stage_.removeObserver(this);
    stage_.input().setListener(nullptr);
    loads_.clear();
    movieLoads_.reset();
    for (auto& queue : queues_)
        queue.clear();
    pending_.clear();
    segments_.clear();
    timers_.clear();
    objects_.clear();
    registeredClasses_.clear();
    key_ = nullptr;
    mouse_ = nullptr;
    stageListeners_ = nullptr;
}

void ScriptEngine::bindRoot(MovieClip& root)
{
    objectFor(root);
    executionList_.pushBack(root.id());
}

// ---- Script objects of display objects ------------------------------------------------------

Object* ScriptEngine::prototypeFor(DisplayObject& display, ClipObject::Kind& kind)
{
    Prototypes& protos = vm_->protos();
    kind = ClipObject::Kind::Other;
    Object* proto = protos.object.get();
    if (display.asMovieClip()) {
        kind = ClipObject::Kind::MovieClip;
        proto = protos.movieClip.get();
        if (display.container() && display.character() && display.characterId() != 0) {
            if (Object* ctor = registeredClass(display.asMovieClip()->movie(), display.characterId())) {
                if (Object* p = vm_->get(ctor, QStringLiteral("prototype")).object())
                    proto = p;
            }
        }
    } else if (isButton(display)) {
        kind = ClipObject::Kind::Button;
        proto = protos.button.get();
    } else if (isTextField(display)) {
        kind = ClipObject::Kind::TextField;
        proto = protos.textField.get();
    } else if (Object* video = isVideo(display) ? videoPrototype(*vm_) : nullptr) {
        proto = video;
    }
    return proto;
}

ClipObject* ScriptEngine::objectFor(DisplayObject& found)
{
    // Shapes, static text, morphs and bitmaps have no script object: found by name or
    // path, they stand for the clip they are on.
    DisplayObject* d = &found;
    while (d->container() && !hasScriptObject(*d))
        d = d->container();
    DisplayObject& display = *d;
    auto it = objects_.find(display.id());
    if (it != objects_.end())
        return it->second.get();
    ClipObject::Kind kind;
    Object* proto = prototypeFor(display, kind);
    Ref<ClipObject> object(new ClipObject(*this, proto, display, kind));
    ClipObject* raw = object.get();
    objects_.emplace(display.id(), std::move(object));
    return raw;
}

Object* ScriptEngine::eventReceiver(DisplayObject& display, const QString& method)
{
    if (auto it = objects_.find(display.id()); it != objects_.end())
        return it->second.get();
    // A clip scripts have not reached yet holds no variables of its own: only its
    // prototypes can give it the method (or a __resolve that answers for it).
    ClipObject::Kind kind;
    Object* proto = prototypeFor(display, kind);
    int guard = 0;
    for (Object* cur = proto; cur && guard < 256; cur = cur->proto(), ++guard) {
        if (cur->asClip())
            return objectFor(display);
    }
    if (vm_->has(proto, method) || vm_->has(proto, QStringLiteral("__resolve")))
        return objectFor(display);
    return nullptr;
}

DisplayObject* ScriptEngine::displayOf(const Value& v)
{
    Object* o = v.object();
    ClipObject* clip = o ? o->asClip() : nullptr;
    if (!clip)
        return nullptr;
    Object* live = liveClip(*clip);
    ClipObject* liveObject = live ? live->asClip() : nullptr;
    return liveObject ? liveObject->display() : nullptr;
}

MovieClip* ScriptEngine::movieClipOf(const Value& v)
{
    DisplayObject* d = displayOf(v);
    return d ? d->asMovieClip() : nullptr;
}

DisplayObject* ScriptEngine::resolvePath(const QString& path, DisplayObject* from, bool slashOnly)
{
    if (path.isEmpty())
        return from;
    const std::string utf8 = path.toStdString();
    return slashOnly ? stage_.resolveSlashPath(utf8, from, vm_->caseSensitive())
                     : stage_.resolvePath(utf8, from, vm_->caseSensitive());
}

DisplayObject* ScriptEngine::resolveTarget(const Value& target, DisplayObject* from, bool slashOnly)
{
    if (target.isObject())
        return displayOf(target);
    if (target.isNullish())
        return nullptr;
    const QString path = vm_->toString(target);
    if (path.isEmpty())
        return from;
    if (DisplayObject* d = resolvePath(path, from, slashOnly))
        return d;
    // A dot path may start with a variable that holds a clip.
    return nullptr;
}

QString ScriptEngine::targetPath(const DisplayObject& object) const
{
    return QString::fromStdString(stage_.targetPath(object));
}

QString ScriptEngine::slashPath(const DisplayObject& object) const
{
    return QString::fromStdString(stage_.slashPath(object));
}

// ---- The stage's news ---------------------------------------------------------------------------

const std::vector<ClipEventHandler>* ScriptEngine::handlersOf(DisplayObject& object) const
{
    auto it = clipHandlers_.find(object.id());
    return it == clipHandlers_.end() ? nullptr : &it->second;
}

bool ScriptEngine::hasClipEvent(DisplayObject& object, uint32_t event) const
{
    if (const auto* handlers = handlersOf(object)) {
        for (const ClipEventHandler& h : *handlers) {
            if (h.events & event)
                return true;
        }
    }
    return false;
}

void ScriptEngine::clipEvents(DisplayObject& object, uint32_t event, std::vector<Task>& into, int key)
{
    const auto* handlers = handlersOf(object);
    if (!handlers)
        return;
    for (const ClipEventHandler& h : *handlers) {
        if (!(h.events & event))
            continue;
        if (event == ClipKeyPress && h.keyCode != key)
            continue;
        const std::span<const uint8_t> actions = h.actions;
        const ObjectId id = object.id();
        // An unload handler runs on the object after it is gone: it holds on to it. The
        // others find it when they run, as the class it gets may not be known yet.
        const bool evenIfGone = event == ClipUnload;
        Ref<Object> keep(evenIfGone ? objectFor(object) : nullptr);
        MovieClip* owner = object.asMovieClip() ? object.asMovieClip() : object.parent();
        const Movie* movie = owner ? &owner->movie() : &stage_.movie();
        into.push_back(Task { id, evenIfGone, [this, actions, id, keep, movie]() {
                                 Object* self = keep.get();
                                 if (!self) {
                                     DisplayObject* d = stage_.find(id);
                                     if (!d)
                                         return;
                                     self = objectFor(*d);
                                 }
                                 runActions(*this, program(actions, *movie), self);
                             } });
    }
}

void ScriptEngine::queueEvent(
    DisplayObject& object, uint32_t event, const QString& method, Priority priority, std::vector<Task>* into)
{
    std::vector<Task> tasks;
    if (event)
        clipEvents(object, event, tasks);
    if (!method.isEmpty()) {
        const ObjectId id = object.id();
        // The unload method runs once the object is gone: what answers it is taken now.
        Ref<Object> keep(event == ClipUnload ? eventReceiver(object, method) : nullptr);
        if (event != ClipUnload || keep) {
            tasks.push_back(Task { id, event == ClipUnload, [this, keep, method, id]() {
                                      if (keep) {
                                          callEvent(keep.get(), method);
                                      } else if (DisplayObject* d = stage_.find(id)) {
                                          callEvent(eventReceiver(*d, method), method);
                                      }
                                  } });
        }
    }
    for (Task& t : tasks) {
        if (into)
            into->push_back(std::move(t));
        else
            queues_[priority].push_back(std::move(t));
    }
}

void ScriptEngine::objectAdded(DisplayObject& object)
{
    MovieClip* parent = object.parent();
    // The clip events the placing tag gave it, when the timeline placed it.
    if (parent && object.origin() == Origin::Timeline && parent->currentFrame() >= 0) {
        const Timeline* timeline = nullptr;
        if (parent->character()) {
            if (const auto* sprite = std::get_if<SpriteDefinition>(&parent->character()->data))
                timeline = &sprite->timeline;
        } else {
            timeline = &parent->movie().timeline;
        }
        if (timeline) {
            const int last = std::min<int>(parent->currentFrame(), int(timeline->frames.size()) - 1);
            bool found = false;
            for (int f = last; f >= 0 && !found; --f) {
                const auto& tags = timeline->frames[size_t(f)].tags;
                for (auto it = tags.rbegin(); it != tags.rend(); ++it) {
                    const auto* place = std::get_if<PlaceObject>(&*it);
                    if (!place || place->depth != object.depth() || !place->characterId)
                        continue;
                    found = true;
                    if (!place->clipActions.empty())
                        clipHandlers_[object.id()]
                            = readClipActions(place->clipActions, parent->movie().header.version);
                    break;
                }
            }
        }
    }
    textFields_->added(object);
    Unit unit;
    unit.owner = object.id();
    unit.parent = parent ? parent->id() : 0;
    unit.depth = object.depth();
    if (object.asMovieClip()) {
        executionList_.pushFront(object.id());
        queueEvent(object, ClipInitialize, {}, Init);
        queueEvent(object, ClipConstruct, {}, Construct);
        // A symbol's class may be registered by init actions that have not run yet: the
        // constructor looks for it when it runs.
        if (object.origin() == Origin::Timeline && parent
            && exportedName(object.asMovieClip()->movie(), object.characterId())) {
            const ObjectId id = object.id();
            queues_[Construct].push_back(Task { id, false, [this, id]() {
                                                   if (DisplayObject* d = stage_.find(id))
                                                       construct(*d, nullptr);
                                               } });
        }
        queueEvent(object, ClipLoad, QStringLiteral("onLoad"), Normal, &unit.tasks);
    }
    if (hasClipEvent(object,
            ClipPress | ClipRelease | ClipReleaseOutside | ClipRollOver | ClipRollOut | ClipDragOver
                | ClipDragOut))
        object.setHandlesMouse(true);
    // Only a clip's unit ever holds tasks (its own, and its first frame's): the units of
    // shapes and buttons would only lengthen every later search of the list.
    if (object.asMovieClip())
        pending_.push_back(std::move(unit));
}

void ScriptEngine::objectRemoved(DisplayObject& object)
{
    const ObjectId id = object.id();
    executionList_.remove(id);
    textFields_->removed(object);
    Unit unit;
    unit.owner = id;
    unit.parent = object.parent() ? object.parent()->id() : 0;
    unit.depth = object.depth();
    unit.removal = true;
    // What was waiting for this clip (its children's unload events) goes first, the
    // children in depth order (they were taken off from the top down).
    std::vector<Unit> children;
    for (auto it = pending_.begin(); object.children() && it != pending_.end();) {
        if (it->parent == id) {
            children.push_back(std::move(*it));
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        for (Task& t : child->tasks) {
            if (t.evenIfGone)
                unit.tasks.push_back(std::move(t));
        }
    }
    const size_t before = unit.tasks.size();
    // A clip that waited at its unload depth had its unload events queued then.
    if (object.asMovieClip() && unloadQueued_.erase(id) == 0) {
        queueEvent(object, ClipUnload, QStringLiteral("onUnload"), Normal, &unit.tasks);
    }
    if (drag_ && drag_->object == id)
        drag_.reset();
    auto it = objects_.find(id);
    if (it != objects_.end()) {
        Ref<ClipObject> clip = it->second;
        clip->markRemoved();
        objects_.erase(it);
        // Its unload handler still sees the clip's path; once it ran, the clip has none.
        const bool handled
            = hasClipEvent(object, ClipUnload) || vm_->has(clip.get(), QStringLiteral("onUnload"));
        if (unit.tasks.size() > before && handled) {
            clip->setUnloading(true);
            unit.tasks.push_back(Task { id, true, [clip]() { clip->setUnloading(false); } });
        }
    }
    clipHandlers_.erase(id);
    segments_.erase(id);
    if (!unit.tasks.empty())
        pending_.push_back(std::move(unit));
}

bool ScriptEngine::runsOnUnload(DisplayObject& object)
{
    if (!object.asMovieClip())
        return false;
    static const QString method = QStringLiteral("onUnload");
    if (hasClipEvent(object, ClipUnload))
        return true;
    if (Object* receiver = eventReceiver(object, method); receiver && vm_->has(receiver, method))
        return true;
    if (const DisplayList* children = object.children()) {
        for (const auto& [depth, child] : *children) {
            if (runsOnUnload(*child))
                return true;
        }
    }
    return false;
}

void ScriptEngine::queueUnload(DisplayObject& object, std::vector<Task>& into)
{
    // A clip inside that already waits had its events queued when it began to.
    if (!unloadQueued_.insert(object.id()).second)
        return;
    // Nothing in it runs its frames any more.
    executionList_.remove(object.id());
    if (const DisplayList* children = object.children()) {
        for (const auto& [depth, child] : *children) {
            if (child->asMovieClip())
                queueUnload(*child, into);
        }
    }
    queueEvent(object, ClipUnload, QStringLiteral("onUnload"), Normal, &into);
}

bool ScriptEngine::objectUnloading(DisplayObject& object)
{
    // A clip with something to run on unloading stays where its name and its properties
    // still answer, until that has run; the others go at once.
    if (!runsOnUnload(object))
        return false;
    const ObjectId id = object.id();
    Unit unit;
    unit.owner = id;
    unit.parent = object.parent() ? object.parent()->id() : 0;
    unit.depth = object.depth();
    unit.removal = true;
    queueUnload(object, unit.tasks);
    unit.tasks.push_back(Task { id, false, [this, id]() {
                                   if (DisplayObject* d = stage_.find(id); d && d->parent())
                                       d->parent()->remove(*d);
                               } });
    pending_.push_back(std::move(unit));
    return true;
}

void ScriptEngine::dropUnloaded()
{
    if (unloadQueued_.empty())
        return;
    const std::vector<ObjectId> ids(unloadQueued_.begin(), unloadQueued_.end());
    for (ObjectId id : ids) {
        if (DisplayObject* d = stage_.find(id); d && d->unloading() && d->parent())
            d->parent()->remove(*d);
    }
}

void ScriptEngine::frameTasks(
    MovieClip& clip, const Frame& frame, std::vector<Task>& into, std::vector<Unit>& children)
{
    // Init actions run once per sprite, before any frame action.
    for (const ControlTag& tag : frame.tags) {
        const auto* init = std::get_if<DoInitAction>(&tag);
        if (!init || initDone_[init->spriteId])
            continue;
        initDone_[init->spriteId] = true;
        const std::span<const uint8_t> actions = init->actions;
        const ObjectId id = clip.id();
        const Movie* movie = &clip.movie();
        queues_[Init].push_back(Task { id, false, [this, actions, id, movie]() {
                                          if (DisplayObject* d = stage_.find(id))
                                              runActions(*this, program(actions, *movie), objectFor(*d));
                                      } });
    }
    // The depths the frame's own tags touch; what happened at other depths (frames passed
    // over by a jump) comes first.
    std::vector<int> touched;
    for (const ControlTag& tag : frame.tags) {
        if (const auto* place = std::get_if<PlaceObject>(&tag))
            touched.push_back(place->depth);
        else if (const auto* remove = std::get_if<RemoveObject>(&tag))
            touched.push_back(remove->depth);
    }
    size_t count = frame.tags.size();
    for (const Unit& u : children)
        count += u.tasks.size();
    into.reserve(into.size() + count);
    // A RemoveObject answers for what went from its depth only: a clip placed there
    // later in the frame waits for its own PlaceObject.
    const auto emitDepth = [&](std::optional<int> depth, bool removalsOnly = false) {
        for (Unit& u : children) {
            if (u.tasks.empty() || (removalsOnly && !u.removal))
                continue;
            const bool match = depth ? u.depth == *depth
                                     : std::find(touched.begin(), touched.end(), u.depth) == touched.end();
            if (!match)
                continue;
            appendTasks(into, u.tasks);
            u.tasks.clear();
        }
    };
    emitDepth(std::nullopt);
    for (const ControlTag& tag : frame.tags) {
        if (const auto* action = std::get_if<DoAction>(&tag)) {
            const ObjectId id = clip.id();
            auto code = frameProgram(frame, *action, clip.movie());
            into.push_back(Task { id, false, [this, code, id]() {
                                     if (DisplayObject* d = stage_.find(id))
                                         runActions(*this, code, objectFor(*d));
                                 } });
        } else if (const auto* place = std::get_if<PlaceObject>(&tag)) {
            emitDepth(int(place->depth));
        } else if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
            emitDepth(int(remove->depth), true);
        }
    }
    emitDepth(std::nullopt);
    for (Unit& u : children)
        appendTasks(into, u.tasks);
}

void ScriptEngine::placeFailed(MovieClip&, int depth)
{
    // Said at once, ahead of the scripts of the frame that tried.
    host_.trace(QStringLiteral("Warning: Failed to place object at depth %1.").arg(depth));
}

void ScriptEngine::frameEntered(MovieClip& clip, const Frame& frame)
{
    const ObjectId id = clip.id();
    std::vector<Unit> children;
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->parent == id) {
            children.push_back(std::move(*it));
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    std::vector<Task> tasks;
    frameTasks(clip, frame, tasks, children);
    // A clip made in this same change gathers its first frame into its own unit.
    for (Unit& u : pending_) {
        if (u.owner == id) {
            appendTasks(u.tasks, tasks);
            return;
        }
    }
    if (!running_) {
        auto& segment = segments_[id];
        for (Task& t : tasks)
            segment.push_back(std::move(t));
    } else {
        for (Task& t : tasks)
            queues_[Normal].push_back(std::move(t));
    }
}

void ScriptEngine::flushUnits()
{
    std::vector<Unit> units = std::move(pending_);
    pending_.clear();
    for (Unit& u : units) {
        for (Task& t : u.tasks)
            queues_[Normal].push_back(std::move(t));
    }
}

void ScriptEngine::tickFinished()
{
    const uint64_t tick = stage_.tick();
    const std::vector<ObjectId> order = executionList_.snapshot();
    for (ObjectId id : order) {
        DisplayObject* d = stage_.find(id);
        if (!d)
            continue;
        if (d->bornTick() != tick)
            queueEvent(*d, ClipEnterFrame, QStringLiteral("onEnterFrame"), Normal);
        auto it = segments_.find(id);
        if (it != segments_.end()) {
            for (Task& t : it->second)
                queues_[Normal].push_back(std::move(t));
            segments_.erase(it);
        }
    }
    for (auto& [id, tasks] : segments_) {
        for (Task& t : tasks)
            queues_[Normal].push_back(std::move(t));
    }
    segments_.clear();
    flushUnits();
    runQueue();
    movieLoads_->tickDone();
    runTimers();
    runQueue();
    // What this work adds waits for the next frame.
    std::vector<std::function<void()>> frameEnd = std::move(frameEnd_);
    frameEnd_.clear();
    for (auto& work : frameEnd)
        work();
    runQueue();
    // A clip whose unload scripts were cut short (a script that ran too long stops the
    // queue) does not wait for them any longer.
    dropUnloaded();
    textFields_->refresh();
    vm_->heap().maybeCollect();
}

void ScriptEngine::runTask(Task& task)
{
    if (!task.evenIfGone && task.clip && !stage_.find(task.clip))
        return;
    if (task.work)
        task.work();
}

void ScriptEngine::runQueue()
{
    if (running_)
        return;
    // What was made outside a tick (a movie that finished loading) waits for nothing.
    flushUnits();
    running_ = true;
    // Scripts that keep queueing others (two frames whose actions go to each other) are
    // held to the same time as one script.
    QElapsedTimer clock;
    clock.start();
    const int stopsBefore = stops_;
    for (;;) {
        std::deque<Task>* queue = nullptr;
        for (auto& q : queues_) {
            if (!q.empty()) {
                queue = &q;
                break;
            }
        }
        if (!queue)
            break;
        if (clock.elapsed() > vm_->timeoutMillis()) {
            for (auto& q : queues_)
                q.clear();
            if (stops_ == stopsBefore)
                scriptStopped(vm_->timeoutMessage());
            break;
        }
        Task task = std::move(queue->front());
        queue->pop_front();
        runTask(task);
        flushUnits();
    }
    running_ = false;
    // What scripts left on the stack is there for the scripts run with them, no longer.
    vm_->stack().clear();
}

void ScriptEngine::enqueue(ObjectId clip, std::function<void()> work, bool evenIfGone)
{
    queues_[Normal].push_back(Task { clip, evenIfGone, std::move(work) });
}

// ---- Running code -------------------------------------------------------------------------------

std::shared_ptr<Program> ScriptEngine::program(std::span<const uint8_t> bytes, const Movie& movie)
{
    const auto key = std::make_pair(bytes.data(), bytes.size());
    auto it = programs_.find(key);
    if (it != programs_.end())
        return it->second;
    // The stage keeps every movie it plays alive for as long as the engine lives.
    auto program = std::make_shared<Program>(bytes, movie.header.version, nullptr);
    programs_.emplace(key, program);
    return program;
}

std::shared_ptr<Program> ScriptEngine::frameProgram(const Frame& frame, const DoAction& action, const Movie& movie)
{
    auto program = this->program(action.actions, movie);
    if (program->inRun() || action.bodyOffset == DoAction::kNowhere)
        return program;
    // The first of the frame's blocks to run places them all.
    auto run = std::make_shared<ActionRun>();
    std::vector<std::pair<std::shared_ptr<Program>, uint64_t>> members;
    for (const ControlTag& tag : frame.tags) {
        const auto* block = std::get_if<DoAction>(&tag);
        if (!block || block->bodyOffset == DoAction::kNowhere)
            continue;
        auto member = this->program(block->actions, movie);
        run->blocks.push_back({ block->bodyOffset, member->size(), member });
        members.emplace_back(std::move(member), block->bodyOffset);
    }
    for (auto& [member, offset] : members)
        if (!member->inRun())
            member->joinRun(run, offset);
    return program;
}

void ScriptEngine::run(std::span<const uint8_t> bytes, DisplayObject& clip)
{
    MovieClip* owner = clip.asMovieClip() ? clip.asMovieClip() : clip.parent();
    const Movie& movie = owner ? owner->movie() : stage_.movie();
    Ref<Object> keep(objectFor(clip));
    runActions(*this, program(bytes, movie), keep.get());
}

void ScriptEngine::callEvent(Object* object, const QString& method, std::span<const Value> args)
{
    if (!object)
        return;
    Ref<Object> keep(object);
    const Value fn = vm_->get(object, method);
    if (!fn.object() || !fn.object()->asFunction())
        return;
    const bool outermost = !vm_->inScript();
    vm_->beginScript();
    try {
        vm_->call(fn, Value(object), args);
    } catch (ScriptThrow& thrown) {
        uncaught(thrown.value);
    } catch (ScriptAbort& abort) {
        vm_->endScript();
        if (!outermost)
            throw;
        scriptStopped(abort.message);
        return;
    }
    vm_->endScript();
}

// ---- Output and services --------------------------------------------------------------------------

void ScriptEngine::trace(const QString& line)
{
    host_.trace(line);
}

void ScriptEngine::uncaught(const Value& thrown)
{
    host_.trace(QStringLiteral("Warning: Uncaught exception, ") + vm_->toString(thrown));
}

void ScriptEngine::scriptStopped(const QString& message)
{
    ++stops_;
    host_.scriptStopped(message);
}

double ScriptEngine::random()
{
    return services_.random.unit();
}

int64_t ScriptEngine::timer() const
{
    return host_.timerMillis();
}

void ScriptEngine::fsCommand(const QString& command, const QString& args)
{
    host_.fsCommand(command, args);
}

// ---- Timers ---------------------------------------------------------------------------------------

int ScriptEngine::addTimer(const Value& target, const Value& function, const QString& method, double ms,
    std::vector<Value> args, bool once)
{
    Timer t;
    t.id = nextTimer_++;
    t.target = target;
    t.function = function;
    t.method = method;
    t.interval = std::max(1.0, std::isfinite(ms) ? ms : 1.0);
    t.due = double(timer()) + t.interval;
    t.args = std::move(args);
    t.once = once;
    if (timers_.size() < 10000)
        timers_.push_back(std::move(t));
    return timers_.empty() ? 0 : timers_.back().id;
}

void ScriptEngine::removeTimer(int id)
{
    std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
}

void ScriptEngine::runTimers()
{
    // Intervals shorter than a frame run several times before the next frame, each at
    // its own due time, in the order of those times; a callback that clears a timer
    // stops the runs still to come. A timer runs at most kMostRuns times a frame: the
    // periods beyond are dropped, and the next one is due a period after the horizon.
    // Timeouts that set new timeouts are cut off at kMostInAll runs, the rest waiting for
    // the next frame.
    constexpr int kMostRuns = 1000;
    constexpr int kMostInAll = 10000;
    // Making up for missed periods stops after this much time in a frame, so that an
    // interval whose callback takes longer than its period slows the movie down instead of
    // taking ever longer each frame: the intervals then skip what they missed, and the
    // timeouts due wait for the next frame.
    constexpr qint64 kMostMillis = 100;
    // Timers set while these run wait for the next frame.
    const double horizon = double(host_.timersDueMillis());
    const int firstNew = nextTimer_;
    std::map<int, int> runs;
    QElapsedTimer spent;
    spent.start();
    for (int all = 0; all < kMostInAll; ++all) {
        if (spent.elapsed() > kMostMillis) {
            for (Timer& t : timers_)
                if (!t.once && t.id < firstNew && t.due <= horizon)
                    t.due = horizon + t.interval;
            return;
        }
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->id < firstNew && it->due <= horizon && (next == timers_.end() || it->due < next->due))
                next = it;
        }
        if (next == timers_.end())
            return;
        Timer t = *next;
        if (t.once) {
            timers_.erase(next);
        } else if (++runs[t.id] >= kMostRuns) {
            next->due = horizon + next->interval;
        } else {
            next->due += next->interval;
        }
        Value fn = t.function;
        Value self = t.target;
        if (!t.method.isEmpty())
            fn = vm_->getMember(t.target, t.method);
        enqueue(0, [this, fn, self, args = t.args]() {
            const bool outermost = !vm_->inScript();
            vm_->beginScript();
            try {
                vm_->call(fn, self, args);
            } catch (ScriptThrow& thrown) {
                uncaught(thrown.value);
            } catch (ScriptAbort& abort) {
                vm_->endScript();
                if (!outermost)
                    throw;
                scriptStopped(abort.message);
                return;
            }
            vm_->endScript();
        });
        runQueue();
    }
}

// ---- Classes of symbols ---------------------------------------------------------------------------

void ScriptEngine::registerClass(const QString& symbol, Object* constructor)
{
    if (constructor)
        registeredClasses_[vm_->key(symbol)] = Ref<Object>(constructor);
    else
        registeredClasses_.erase(vm_->key(symbol));
}

namespace {

// The names a movie exports its characters under (ExportAssets), in file order.
void exportsOf(const Timeline& timeline, std::vector<std::pair<uint16_t, std::string>>& out)
{
    for (const Frame& frame : timeline.frames) {
        for (const ControlTag& tag : frame.tags) {
            const auto* record = std::get_if<TagRecord>(&tag);
            if (!record || record->code != toCode(TagCode::ExportAssets))
                continue;
            BitReader in(record->body);
            const uint16_t count = in.u16();
            for (uint16_t i = 0; i < count && !in.overrun(); ++i) {
                const uint16_t id = in.u16();
                std::string name = in.string();
                if (in.overrun())
                    break;
                out.emplace_back(id, std::move(name));
            }
        }
    }
}

} // namespace

std::optional<uint16_t> ScriptEngine::exportedCharacter(const Movie& movie, const QString& name)
{
    std::vector<std::pair<uint16_t, std::string>> exports;
    exportsOf(movie.timeline, exports);
    for (const auto& [id, exported] : exports) {
        if (vm_->sameName(decodeMovieString(exported, movie.header.version), name))
            return id;
    }
    return std::nullopt;
}

bool ScriptEngine::exportedName(const Movie& movie, uint16_t characterId)
{
    std::vector<std::pair<uint16_t, std::string>> exports;
    exportsOf(movie.timeline, exports);
    return std::any_of(exports.begin(), exports.end(), [&](const auto& e) { return e.first == characterId; });
}

Object* ScriptEngine::registeredClass(const Movie& movie, uint16_t characterId)
{
    if (registeredClasses_.empty())
        return nullptr;
    std::vector<std::pair<uint16_t, std::string>> exports;
    exportsOf(movie.timeline, exports);
    for (const auto& [id, name] : exports) {
        if (id != characterId)
            continue;
        auto it = registeredClasses_.find(vm_->key(decodeMovieString(name, movie.header.version)));
        if (it != registeredClasses_.end())
            return it->second.get();
    }
    return nullptr;
}

void ScriptEngine::construct(DisplayObject& display, Object* init)
{
    ClipObject* object = objectFor(display);
    Ref<Object> keep(object);
    // Only a clip takes the properties of the object it is made with: a button attached
    // with one ignores it.
    if (init && display.asMovieClip()) {
        for (const QString& name : vm_->enumerate(init))
            vm_->set(object, name, vm_->get(init, name));
    }
    MovieClip* clip = display.asMovieClip();
    Object* ctor = clip && display.container() ? registeredClass(clip->movie(), display.characterId()) : nullptr;
    if (ctor) {
        // The clip tells its class as objects made by `new` do.
        object->define(QStringLiteral("__constructor__"), Value(ctor), DontEnum);
        if (vm_->version() < 7)
            object->define(QStringLiteral("constructor"), Value(ctor), DontEnum);
        const bool outermost = !vm_->inScript();
        vm_->beginScript();
        try {
            vm_->call(Value(ctor), Value(object), {});
        } catch (ScriptThrow& thrown) {
            uncaught(thrown.value);
        } catch (ScriptAbort& abort) {
            vm_->endScript();
            if (!outermost)
                throw;
            scriptStopped(abort.message);
            return;
        }
        vm_->endScript();
    }
    static const QString mouseEvents[] = { QStringLiteral("onPress"), QStringLiteral("onRelease"),
        QStringLiteral("onReleaseOutside"), QStringLiteral("onRollOver"), QStringLiteral("onRollOut"),
        QStringLiteral("onDragOver"), QStringLiteral("onDragOut") };
    if (stage_.find(display.id())) {
        for (const QString& name : mouseEvents) {
            if (vm_->has(object, name)) {
                display.setHandlesMouse(true);
                break;
            }
        }
    }
}

DisplayObject* ScriptEngine::attach(
    MovieClip& parent, const QString& symbol, const QString& name, int depth, Object* init)
{
    const auto id = exportedCharacter(parent.movie(), symbol);
    if (!id)
        return nullptr;
    DisplayObject* made = parent.placeByScript(*id, name.toStdString(), depth);
    if (!made)
        return nullptr;
    construct(*made, init);
    return stage_.find(made->id());
}

DisplayObject* ScriptEngine::duplicate(DisplayObject& source, const QString& name, int depth, Object* init)
{
    MovieClip* parent = source.parent();
    if (!parent || (source.characterId() == 0 && !source.asMovieClip()))
        return nullptr;
    // A copy made at the source's own depth takes its place: what the copy takes from the
    // source is kept before the source goes.
    const Matrix matrix = source.matrix();
    const ColorTransform colors = source.colorTransform();
    const bool visible = source.visible();
    const auto* sourceHandlers = handlersOf(source);
    const std::optional<std::vector<ClipEventHandler>> handlers
        = sourceHandlers ? std::optional(*sourceHandlers) : std::nullopt;
    const MovieClip* sourceClip = source.asMovieClip();
    const std::optional<ScriptDrawing> drawing = sourceClip && !sourceClip->scriptDrawing().empty()
        ? std::optional(sourceClip->scriptDrawing())
        : std::nullopt;
    DisplayObject* made = nullptr;
    if (source.characterId() != 0) {
        made = parent->placeByScript(source.characterId(), name.toStdString(), depth, kMaxDuplicateDepth);
    } else {
        made = parent->createEmptyClip(name.toStdString(), depth, kMaxDuplicateDepth);
    }
    if (!made)
        return nullptr;
    made->setMatrix(matrix);
    made->setColorTransform(colors);
    made->setVisible(visible);
    if (handlers) {
        clipHandlers_[made->id()] = *handlers;
        // The copy's load and initialize events were queued before it had its handlers.
        queueEvent(*made, ClipInitialize, {}, Init);
        queueEvent(*made, ClipConstruct, {}, Construct);
        for (Unit& u : pending_) {
            if (u.owner != made->id())
                continue;
            std::vector<Task> load;
            clipEvents(*made, ClipLoad, load);
            u.tasks.insert(
                u.tasks.begin(), std::make_move_iterator(load.begin()), std::make_move_iterator(load.end()));
        }
        if (hasClipEvent(*made, ClipPress | ClipRelease | ClipReleaseOutside | ClipRollOver | ClipRollOut))
            made->setHandlesMouse(true);
    }
    if (MovieClip* copy = made->asMovieClip(); copy && drawing)
        copy->scriptDrawing() = *drawing;
    construct(*made, init);
    return stage_.find(made->id());
}

void ScriptEngine::removeClip(DisplayObject& object)
{
    if (MovieClip* parent = object.parent()) {
        parent->remove(object);
        return;
    }
    if (object.depth() > 0)
        stage_.unloadLevel(object.depth());
}

} // namespace swf::script
