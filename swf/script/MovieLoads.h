#pragma once

#include "Object.h"

#include "swf/display/DisplayObject.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace swf {
class LoadJob;
class MovieClip;
struct Movie;
} // namespace swf

namespace swf::script {

class ScriptEngine;

// Movies loaded into clips and levels by loadMovie, loadMovieNum and
// MovieClipLoader.loadClip. Each is fetched through the player's loader and put in place
// when the whole file is in: the target clip keeps its place, name and clip events and
// loses what it held and its variables; a level is made anew. The loaded movie shows its
// first frame with the next tick. A MovieClipLoader hears onLoadStart, onLoadProgress and
// onLoadComplete (or onLoadError) as the file arrives, and onLoadInit once the scripts
// of the first frame have run. JPEG, PNG and GIF files load as a clip showing the picture;
// a clip that gets no file, or one that is neither, is emptied and reports the failure.
class MovieLoads {
public:
    // A file loads into one clip or one level, and at most this many at once.
    static constexpr size_t kMaxLoads = 64;
    // Distinct movies loaded in the stage's life (each is kept while the stage lives); a
    // movie loaded again with the same bytes is the same movie.
    static constexpr size_t kMaxMovies = 256;

    explicit MovieLoads(ScriptEngine& engine);
    ~MovieLoads();
    MovieLoads(const MovieLoads&) = delete;
    MovieLoads& operator=(const MovieLoads&) = delete;

    // Starts loading `url` into `target`, or into level `level` when there is no target.
    // A load on its way into the same place is dropped. `loader` is the MovieClipLoader
    // told of the progress, or null. False when nothing was started.
    bool load(DisplayObject* target, int level, const QString& url, Object* loader);
    // Drops what is on its way into that clip or level.
    void cancel(DisplayObject* target, int level);
    // After a tick's scripts: onLoadInit for the loaded movies whose first frame has run.
    void tickDone();
    // Loads of local files still on their way (they end within a few turns of the event
    // loop, so that the command-line tool can wait for them).
    int pendingLocal() const;
    // The address the movie a clip shows was loaded from; empty for the player's own.
    QString urlOf(const DisplayObject& clip) const;

private:
    struct Request;
    void received(Request* request, const QByteArray& bytes, qint64 total);
    void finished(Request* request, bool ok);
    std::shared_ptr<const Movie> movieOf(const QByteArray& bytes);
    // What a clip shows once a load into it failed (one for all of them).
    std::shared_ptr<const Movie> failedMovie();
    MovieClip* install(Request& request, std::shared_ptr<const Movie> movie);
    DisplayObject* targetOf(const Request& request) const;
    // Queues `event` for every listener of a MovieClipLoader, with these arguments.
    template <class... Args> void tell(Object* loader, const QString& event, Args&&... values)
    {
        std::vector<Value> args;
        args.reserve(sizeof...(Args));
        (args.emplace_back(std::forward<Args>(values)), ...);
        tellAll(loader, event, std::move(args));
    }
    void tellAll(Object* loader, const QString& event, std::vector<Value> args);
    std::unique_ptr<Request> take(Request* request);
    static void retire(Request& request);

    ScriptEngine& engine_;
    std::vector<std::unique_ptr<Request>> requests_;
    std::map<ObjectId, QString> urls_;
    struct Waiting {
        ObjectId clip = 0;
        Ref<Object> loader;
    };
    std::vector<Waiting> waitingInit_;
    std::map<QByteArray, std::shared_ptr<const Movie>> movies_; // by the file's digest
    std::shared_ptr<const Movie> failed_;
};

} // namespace swf::script
