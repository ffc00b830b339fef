#include "MovieLoads.h"

#include "Array.h"
#include "ClipObject.h"
#include "ScriptEngine.h"
#include "classes/Classes.h"

#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/format/Tags.h"
#include "swf/player/MovieLoader.h"
#include "swf/player/MovieLocation.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>
#include <QUrl>

#include <algorithm>

namespace swf::script {
namespace {

bool isSwf(const QByteArray& b)
{
    return b.size() >= 8 && (b.startsWith("FWS") || b.startsWith("CWS") || b.startsWith("ZWS"));
}

bool isPicture(const QByteArray& b)
{
    return b.startsWith("\xFF\xD8") || b.startsWith("\x89PNG") || b.startsWith("GIF8");
}

// A picture file as a movie of one frame that shows it at its size from the top left.
std::shared_ptr<Movie> pictureMovie(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid())
        return nullptr;
    auto movie = std::make_shared<Movie>();
    movie->header.fileLength = uint32_t(bytes.size());
    movie->header.frameSize = Rect { 0, size.width() * 20, 0, size.height() * 20 };
    auto picture = std::make_shared<Character>();
    picture->id = 1;
    picture->tagCode = toCode(TagCode::DefineBitsJPEG2);
    picture->body.assign(bytes.begin(), bytes.end());
    movie->dictionary.emplace(1, std::move(picture));
    PlaceObject place;
    place.characterId = 1;
    movie->timeline.frames.resize(1);
    movie->timeline.frames[0].tags.emplace_back(place);
    return movie;
}

} // namespace

struct MovieLoads::Request {
    ObjectId target = 0;
    int level = -1;
    QString url; // as the script gave it
    QString query; // the variables after '?', for the loaded movie's root
    Ref<Object> loader;
    std::unique_ptr<LoadJob> job;
    QByteArray data;
    qint64 total = -1;
    bool local = true;
    bool started = false; // onLoadStart was told
};

MovieLoads::MovieLoads(ScriptEngine& engine)
    : engine_(engine)
{
}

MovieLoads::~MovieLoads() = default;

bool MovieLoads::load(DisplayObject* target, int level, const QString& url, Object* loader)
{
    if ((!target && level < 0) || url.isEmpty())
        return false;
    cancel(target, level);
    if (requests_.size() >= kMaxLoads)
        return false;
    auto request = std::make_unique<Request>();
    request->target = target ? target->id() : 0;
    request->level = target ? -1 : level;
    request->url = url;
    request->loader = loader;
    QString address = engine_.resolveUrl(url);
    MovieLocation location = MovieLocation::resolve(address);
    const qsizetype mark = url.indexOf(QLatin1Char('?'));
    if (mark >= 0)
        request->query = url.mid(mark + 1);
    if (location.kind == MovieLocation::Kind::LocalFile) {
        // A file's name ends where its query begins.
        const qsizetype cut = location.path.indexOf(QLatin1Char('?'));
        if (cut >= 0)
            location.path.truncate(cut);
    } else {
        request->local = false;
    }
    Request* raw = request.get();
    request->job = engine_.services().loader.open(location);
    LoadJob* job = request->job.get();
    QObject::connect(job, &LoadJob::received, job,
        [this, raw](const QByteArray& bytes, qint64 total) { received(raw, bytes, total); });
    QObject::connect(job, &LoadJob::finished, job, [this, raw]() { finished(raw, true); });
    QObject::connect(job, &LoadJob::failed, job, [this, raw](const QString&) { finished(raw, false); });
    requests_.push_back(std::move(request));
    return true;
}

void MovieLoads::cancel(DisplayObject* target, int level)
{
    std::erase_if(requests_, [&](const std::unique_ptr<Request>& r) {
        const bool match = target ? r->target == target->id() : r->target == 0 && r->level == level;
        if (match)
            retire(*r);
        return match;
    });
}

// The job may be reporting right now: it says nothing more, and goes once it is done.
void MovieLoads::retire(Request& request)
{
    if (LoadJob* job = request.job.release()) {
        job->disconnect();
        job->deleteLater();
    }
}

int MovieLoads::pendingLocal() const
{
    return int(std::count_if(requests_.begin(), requests_.end(), [](const auto& r) { return r->local; }));
}

QString MovieLoads::urlOf(const DisplayObject& clip) const
{
    auto it = urls_.find(clip.id());
    return it == urls_.end() ? QString() : it->second;
}

DisplayObject* MovieLoads::targetOf(const Request& request) const
{
    if (request.target)
        return engine_.stage().find(request.target);
    return engine_.stage().level(request.level);
}

std::unique_ptr<MovieLoads::Request> MovieLoads::take(Request* request)
{
    auto it = std::find_if(
        requests_.begin(), requests_.end(), [request](const auto& r) { return r.get() == request; });
    if (it == requests_.end())
        return nullptr;
    std::unique_ptr<Request> taken = std::move(*it);
    requests_.erase(it);
    retire(*taken);
    return taken;
}

void MovieLoads::received(Request* request, const QByteArray& bytes, qint64 total)
{
    if (request->data.size() + bytes.size() > Vm::kMaxStringLength) {
        finished(request, false);
        return;
    }
    request->data += bytes;
    request->total = total;
    if (!request->loader)
        return;
    // A level that is still empty gets its news once the movie is in place.
    DisplayObject* target = targetOf(*request);
    if (!target)
        return;
    const Value clip(engine_.objectFor(*target));
    if (!request->started) {
        request->started = true;
        tell(request->loader.get(), QStringLiteral("onLoadStart"), clip);
    }
    const double loaded = double(request->data.size());
    tell(request->loader.get(), QStringLiteral("onLoadProgress"), clip, loaded,
        total >= 0 ? double(total) : loaded);
    engine_.runQueue();
}

void MovieLoads::finished(Request* request, bool ok)
{
    std::unique_ptr<Request> done = take(request);
    if (!done)
        return;
    // A file that is there but is neither a movie nor a picture empties the target.
    std::shared_ptr<const Movie> movie;
    if (ok)
        movie = movieOf(done->data);
    MovieClip* clip = movie ? install(*done, movie) : nullptr;
    Object* loader = done->loader.get();
    if (!clip) {
        // So does a file that never came, into a clip (a level stays as it was).
        if (!ok && done->target)
            install(*done, failedMovie());
        if (loader) {
            DisplayObject* target = targetOf(*done);
            tell(loader, QStringLiteral("onLoadError"), target ? Value(engine_.objectFor(*target)) : Value(),
                Value(QStringLiteral("URLNotFound")), Value(0.0));
        }
        engine_.runQueue();
        return;
    }
    if (loader) {
        const Value target(engine_.objectFor(*clip));
        const double bytes = double(done->data.size());
        if (!done->started) {
            tell(loader, QStringLiteral("onLoadStart"), target);
            tell(loader, QStringLiteral("onLoadProgress"), target, bytes, bytes);
        }
        tell(loader, QStringLiteral("onLoadComplete"), target, Value(0.0));
        waitingInit_.push_back(Waiting { clip->id(), done->loader });
    }
    engine_.runQueue();
}

std::shared_ptr<const Movie> MovieLoads::failedMovie()
{
    if (!failed_) {
        auto empty = std::make_shared<Movie>();
        empty->timeline.frames.resize(1);
        empty->failedLoad = true;
        failed_ = std::move(empty);
    }
    return failed_;
}

std::shared_ptr<const Movie> MovieLoads::movieOf(const QByteArray& bytes)
{
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    if (auto it = movies_.find(digest); it != movies_.end())
        return it->second;
    if (movies_.size() >= kMaxMovies)
        return nullptr;
    std::shared_ptr<const Movie> movie;
    if (isSwf(bytes)) {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
        if (auto parsed = parseMovie(std::span<const uint8_t>(data, size_t(bytes.size()))))
            movie = std::make_shared<const Movie>(std::move(*parsed));
    } else if (isPicture(bytes)) {
        movie = pictureMovie(bytes);
    }
    if (!movie)
        movie = failedMovie();
    movies_.emplace(digest, movie);
    return movie;
}

MovieClip* MovieLoads::install(Request& request, std::shared_ptr<const Movie> movie)
{
    Stage& stage = engine_.stage();
    MovieClip* clip = nullptr;
    if (request.target) {
        DisplayObject* target = stage.find(request.target);
        clip = target ? target->asMovieClip() : nullptr;
        if (!clip)
            return nullptr;
    } else if (request.level == 0) {
        clip = &stage.root();
        std::vector<int> others;
        for (const auto& [number, level] : stage.levels()) {
            if (number > 0)
                others.push_back(number);
        }
        for (int number : others)
            stage.unloadLevel(number);
    }
    if (clip) {
        stage.keepMovie(movie);
        clip->replaceMovie(*movie);
        engine_.movieLoaded(*clip);
    } else {
        clip = stage.loadLevel(request.level, movie, false);
        if (!clip)
            return nullptr;
    }
    urls_[clip->id()] = engine_.resolveUrl(request.url);
    if (!request.query.isEmpty())
        decodeVariables(engine_.vm(), engine_.objectFor(*clip), request.query);
    return clip;
}

void MovieLoads::tellAll(Object* loader, const QString& event, std::vector<Value> args)
{
    Ref<Object> keep(loader);
    engine_.enqueue(0, [this, keep, event, args]() {
        Vm& vm = engine_.vm();
        Object* list = vm.get(keep.get(), QStringLiteral("_listeners")).object();
        ArrayObject* listeners = list ? list->asArray() : nullptr;
        if (!listeners)
            return;
        const std::vector<Value> everyone = listeners->items();
        for (const Value& listener : everyone)
            engine_.callEvent(listener.object(), event, args);
    });
}

void MovieLoads::tickDone()
{
    std::vector<Waiting> ready;
    for (auto it = waitingInit_.begin(); it != waitingInit_.end();) {
        DisplayObject* d = engine_.stage().find(it->clip);
        MovieClip* clip = d ? d->asMovieClip() : nullptr;
        if (!clip) {
            it = waitingInit_.erase(it);
        } else if (clip->currentFrame() >= 0) {
            ready.push_back(std::move(*it));
            it = waitingInit_.erase(it);
        } else {
            ++it;
        }
    }
    // The newest first, as the clips' scripts ran.
    for (auto it = ready.rbegin(); it != ready.rend(); ++it) {
        if (DisplayObject* d = engine_.stage().find(it->clip))
            tell(it->loader.get(), QStringLiteral("onLoadInit"), Value(engine_.objectFor(*d)));
    }
}

} // namespace swf::script
