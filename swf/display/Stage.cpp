#include "Stage.h"

#include "Names.h"
#include "TargetPath.h"

#include "swf/kinds/Registry.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace swf {
namespace {

// The topmost object in `object`'s subtree that `pick` accepts at `local`: children from
// the top down, each only where the masks over it cover the point too. Children that
// `worth` turns down are passed over without mapping the point into them.
template <class Pick, class Worth>
DisplayObject* topmost(DisplayObject& object, QPointF local, Pick pick, Worth worth)
{
    if (!object.visible())
        return nullptr;
    if (const DisplayList* list = object.children()) {
        // The masks over each depth, found bottom up, then the children tried top down.
        std::vector<std::pair<DisplayObject*, std::vector<DisplayObject*>>> stack;
        std::vector<DisplayObject*> masks;
        for (const auto& [depth, child] : *list) {
            std::erase_if(masks, [depth](DisplayObject* m) { return m->clipDepth() < depth; });
            if (child->isMask())
                masks.push_back(child.get());
            else if (worth(*child))
                stack.emplace_back(child.get(), masks);
        }
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            DisplayObject* child = it->first;
            const QPointF inChild = toQTransform(child->matrix()).inverted().map(local);
            DisplayObject* found = pick(*child, inChild);
            if (!found)
                continue;
            const bool masked = std::any_of(it->second.begin(), it->second.end(), [&](DisplayObject* mask) {
                return !mask->hitTest(toQTransform(mask->matrix()).inverted().map(local));
            });
            if (!masked)
                return found;
        }
    }
    return nullptr;
}

DisplayObject* mouseTargetIn(DisplayObject& object, QPointF local)
{
    // The pointer is looked for every frame: the shapes of a crowded stage, which take no
    // mouse and hold nothing that does, are not worth a transform each.
    return topmost(
        object, local,
        [](DisplayObject& child, QPointF inChild) -> DisplayObject* {
            if (child.isMouseTarget())
                return child.hitTest(inChild) ? &child : nullptr;
            return mouseTargetIn(child, inChild);
        },
        [](const DisplayObject& child) { return child.isMouseTarget() || child.children(); });
}

DisplayObject* anyObjectIn(DisplayObject& object, QPointF local)
{
    return topmost(
        object, local,
        [](DisplayObject& child, QPointF inChild) -> DisplayObject* {
            if (DisplayObject* inner = anyObjectIn(child, inChild))
                return inner;
            return child.visible() && child.hitsOwn(inChild) ? &child : nullptr;
        },
        [](const DisplayObject&) { return true; });
}

} // namespace

Stage::Stage(std::shared_ptr<const Movie> movie)
    : movie_(std::move(movie))
    , background_(movie_->background)
    , input_(*this)
{
    levels_[0] = std::make_unique<MovieClip>(*this, *movie_, nullptr, movie_->timeline, 0, 0);
}

Stage::~Stage()
{
    tearingDown_ = true;
    // Higher levels first, then the movie itself.
    while (!levels_.empty())
        levels_.erase(std::prev(levels_.end()));
}

void Stage::start()
{
    if (root().currentFrame() >= 0)
        return;
    root().gotoFrame(0);
    // The first frame is a tick of its own for the observers: its scripts run now.
    for (StageObserver* observer : std::vector(observers_))
        observer->tickFinished();
}

void Stage::advance()
{
    ++tick_;
    std::vector<int> numbers;
    for (const auto& [number, clip] : levels_)
        numbers.push_back(number);
    for (int number : numbers) {
        if (MovieClip* clip = level(number); clip && clip->bornTick() != tick_)
            clip->advance();
    }
    for (StageObserver* observer : std::vector(observers_))
        observer->tickFinished();
}

void Stage::addObserver(StageObserver* observer)
{
    observers_.push_back(observer);
}

void Stage::removeObserver(StageObserver* observer)
{
    std::erase(observers_, observer);
}

void Stage::notifyFrameEntered(MovieClip& clip, const Frame& frame)
{
    for (StageObserver* observer : std::vector(observers_))
        observer->frameEntered(clip, frame);
}

void Stage::notifyAdded(DisplayObject& object)
{
    for (StageObserver* observer : std::vector(observers_))
        observer->objectAdded(object);
}

void Stage::notifyPlaceFailed(MovieClip& clip, int depth)
{
    for (StageObserver* observer : std::vector(observers_))
        observer->placeFailed(clip, depth);
}

void Stage::notifyButtonTransition(DisplayObject& button, ButtonTransition transition)
{
    for (StageObserver* observer : std::vector(observers_))
        observer->buttonTransition(button, transition);
}

void Stage::notifyRemoved(DisplayObject& object)
{
    if (tearingDown_)
        return;
    for (StageObserver* observer : std::vector(observers_))
        observer->objectRemoved(object);
}

bool Stage::notifyUnloading(DisplayObject& object)
{
    if (tearingDown_)
        return false;
    bool kept = false;
    for (StageObserver* observer : std::vector(observers_))
        kept = observer->objectUnloading(object) || kept;
    return kept;
}

MovieClip* Stage::level(int number) const
{
    auto it = levels_.find(number);
    return it == levels_.end() ? nullptr : it->second.get();
}

MovieClip* Stage::loadLevel(int number, std::shared_ptr<const Movie> movie, bool showNow)
{
    if (number <= 0 || !movie)
        return nullptr;
    unloadLevel(number);
    keepMovie(movie);
    auto clip = std::make_unique<MovieClip>(*this, *movie, nullptr, movie->timeline, number, 0);
    levelMovies_[number] = std::move(movie);
    MovieClip* shown = clip.get();
    levels_[number] = std::move(clip);
    notifyAdded(*shown);
    if (showNow)
        shown->gotoFrame(0);
    return shown;
}

void Stage::keepMovie(std::shared_ptr<const Movie> movie)
{
    if (movie && movie.get() != movie_.get()
        && std::find(keptMovies_.begin(), keptMovies_.end(), movie) == keptMovies_.end())
        keptMovies_.push_back(std::move(movie));
}

void Stage::unloadLevel(int number)
{
    if (number <= 0)
        return;
    if (MovieClip* clip = level(number))
        notifyRemoved(*clip);
    levels_.erase(number);
    levelMovies_.erase(number);
}

std::unique_ptr<DisplayObject> Stage::instantiate(
    const Movie& movie, uint16_t characterId, int depth, int nesting)
{
    const Character* character = movie.character(characterId);
    if (!character || registry_.size() >= kMaxInstances)
        return nullptr;
    const InstanceContext context { *this, movie, *character, depth, nesting };
    if (const MakeInstance make = kindFactory(character->tagCode))
        return make(context);
    return makeInert(context);
}

std::string Stage::nextInstanceName()
{
    return "instance" + std::to_string(++instanceNames_);
}

bool Stage::takeDecodeThread()
{
    if (decodeThreads_ >= kMaxDecodeThreads)
        return false;
    ++decodeThreads_;
    return true;
}

void Stage::giveBackDecodeThread()
{
    decodeThreads_ = std::max(0, decodeThreads_ - 1);
}

ObjectId Stage::registerObject(DisplayObject* object)
{
    const ObjectId id = nextId_++;
    registry_.emplace(id, object);
    return id;
}

void Stage::unregisterObject(ObjectId id)
{
    registry_.erase(id);
}

DisplayObject* Stage::find(ObjectId id) const
{
    auto it = registry_.find(id);
    return it == registry_.end() ? nullptr : it->second;
}

DisplayObject* Stage::resolvePath(std::string_view path, DisplayObject* from, bool caseSensitive) const
{
    DisplayObject* at = from ? from : levels_.at(0).get();
    const auto steps = splitTargetPath(path);
    if (!steps)
        return nullptr;
    for (const PathStep& step : *steps) {
        if (!(at = resolveStep(*at, step, caseSensitive)))
            return nullptr;
    }
    return at;
}

DisplayObject* Stage::resolveSlashPath(std::string_view path, DisplayObject* from, bool caseSensitive) const
{
    DisplayObject* at = from ? from : levels_.at(0).get();
    const auto leadingLevel = [&]() -> std::optional<int> {
        for (std::string_view prefix : { std::string_view("_level"), std::string_view("_flash") }) {
            if (path.size() > prefix.size() && sameName(path.substr(0, prefix.size()), prefix, caseSensitive)
                && path[prefix.size()] >= '0' && path[prefix.size()] <= '9') {
                int number = 0;
                const auto [end, ec] = std::from_chars(path.data() + prefix.size(), path.data() + path.size(), number);
                (void)end;
                return ec == std::errc() ? number : -1;
            }
        }
        return std::nullopt;
    };
    if (path.starts_with('/')) {
        while (at->container())
            at = at->container();
        path.remove_prefix(1);
    } else if (const auto number = leadingLevel()) {
        if (*number < 0 || !(at = level(*number)))
            return nullptr;
        const size_t slash = path.find('/');
        path = slash == std::string_view::npos ? std::string_view {} : path.substr(slash + 1);
    }
    // One slash may end the path; any other empty name between slashes reaches nothing.
    if (path.ends_with('/'))
        path.remove_suffix(1);
    else if (path.empty())
        return at;
    for (;;) {
        const size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        if (name.empty())
            return nullptr;
        at = name == ".." ? at->container() : at->namedChild(name, caseSensitive);
        if (!at || slash == std::string_view::npos)
            return at;
        path.remove_prefix(slash + 1);
    }
}

DisplayObject* Stage::resolveStep(DisplayObject& at, const PathStep& step, bool caseSensitive) const
{
    if (step.kind == PathStep::Kind::Root || sameName(step.name, "_root", caseSensitive)) {
        DisplayObject* root = &at;
        while (root->container())
            root = root->container();
        return root;
    }
    if (step.kind == PathStep::Kind::Parent || sameName(step.name, "_parent", caseSensitive))
        return at.container();
    if (auto number = levelNumber(step.name, caseSensitive))
        return level(*number);
    return at.namedChild(step.name, caseSensitive);
}

std::string Stage::targetPath(const DisplayObject& object) const
{
    std::vector<const DisplayObject*> chain;
    for (const DisplayObject* o = &object; o; o = o->container())
        chain.push_back(o);
    std::string path = "_level" + std::to_string(chain.back()->depth());
    for (auto it = std::next(chain.rbegin()); it != chain.rend(); ++it)
        path += "." + (*it)->name();
    return path;
}

std::string Stage::slashPath(const DisplayObject& object) const
{
    std::vector<const DisplayObject*> chain;
    for (const DisplayObject* o = &object; o->container(); o = o->container())
        chain.push_back(o);
    if (chain.empty())
        return "/";
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += "/" + (*it)->name();
    return path;
}

DisplayObject* Stage::mouseTargetAt(QPointF stagePoint) const
{
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        MovieClip& clip = *it->second;
        const QPointF local = toQTransform(clip.matrix()).inverted().map(stagePoint);
        if (clip.isMouseTarget() && clip.hitTest(local))
            return &clip;
        if (DisplayObject* found = mouseTargetIn(clip, local))
            return found;
    }
    return nullptr;
}

DisplayObject* Stage::objectAt(QPointF stagePoint) const
{
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        MovieClip& clip = *it->second;
        if (DisplayObject* found = anyObjectIn(clip, toQTransform(clip.matrix()).inverted().map(stagePoint)))
            return found;
    }
    return nullptr;
}

} // namespace swf
