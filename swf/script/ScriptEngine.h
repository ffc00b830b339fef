#pragma once

#include "ClipObject.h"
#include "ExecutionOrder.h"
#include "Interpreter.h"
#include "ScriptHost.h"
#include "Vm.h"

#include "swf/display/PointerInput.h"
#include "swf/display/StageObserver.h"
#include "swf/format/EventActions.h"
#include "swf/player/MovieLoader.h"
#include "swf/player/Services.h"

#include <QPointF>
#include <QRectF>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace swf {
class LoadJob;
class Stage;
struct Movie;
} // namespace swf

namespace swf::script {

class TextFields;
class MovieLoads;

// Runs the scripts of the movies on one stage: frame actions, init actions, clip events,
// button actions, intervals and the listeners of Key, Mouse and Stage, in the order the
// reference player runs them. The player makes it right after the stage.
//
// How a tick runs: the stage advances every timeline (the engine only listens); what the
// advance made to run is kept per clip and, when the tick is over, queued in the order of
// the clips' execution list (the newest clip first, the movie's root last). Each clip's
// part is its enterFrame event, then what its frame did in the order of the frame's tags:
// frame actions, and for each clip placed, its load event and first frame, and the unload
// events of what was removed. Then the queue runs. Init actions and the initialize and
// construct events go before everything else in the queue.
class ScriptEngine final : public StageObserver, public InputListener {
public:
    ScriptEngine(Stage& stage, const Services& services, ScriptHost& host);
    ~ScriptEngine() override;
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    Vm& vm() { return *vm_; }
    Stage& stage() { return stage_; }
    ScriptHost& host() { return host_; }
    TextFields& textFields() { return *textFields_; }
    const Services& services() const { return services_; }
    int version() const { return version_; }

    // ---- StageObserver ------------------------------------------------------------------
    void frameEntered(MovieClip& clip, const Frame& frame) override;
    void placeFailed(MovieClip& clip, int depth) override;
    void objectAdded(DisplayObject& object) override;
    void objectRemoved(DisplayObject& object) override;
    bool objectUnloading(DisplayObject& object) override;
    void tickFinished() override;
    void buttonTransition(DisplayObject& button, ButtonTransition transition) override;

    // ---- InputListener ------------------------------------------------------------------
    void pointerEvent(DisplayObject& target, PointerEventKind kind) override;
    void mouseMoved(QPointF stagePoint) override;
    void mouseButton(bool down) override;
    void wheel(int delta) override;
    void key(bool down, int keyCode, char32_t character) override;

    // ---- Script objects of display objects ------------------------------------------------
    ClipObject* objectFor(DisplayObject& display);
    // The display object a value stands for, if it is a live one.
    DisplayObject* displayOf(const Value& v);
    MovieClip* movieClipOf(const Value& v);
    // A path or a clip value, relative to `from`: the display object it names.
    // `slashOnly` reads paths as SWF 4 scripts write them (Stage::resolveSlashPath).
    DisplayObject* resolveTarget(const Value& target, DisplayObject* from, bool slashOnly = false);
    DisplayObject* resolvePath(const QString& path, DisplayObject* from, bool slashOnly = false);
    QString targetPath(const DisplayObject& object) const;
    QString slashPath(const DisplayObject& object) const;

    // ---- What the interpreter asks of the timeline ----------------------------------------
    enum class TimelineStep : uint8_t { Next, Previous, Play, Stop };
    void timelineAction(ExecContext& ctx, TimelineStep action);
    void gotoFrame(ExecContext& ctx, const Value& frame, bool fromStack, bool play, int bias);
    void gotoLabel(ExecContext& ctx, const QString& label);
    bool frameLoaded(ExecContext& ctx, const Value& frame);
    void setTarget(ExecContext& ctx, const Value& target);
    // The clip the timeline actions of `ctx` act on; null when SetTarget found none.
    DisplayObject* targetOf(ExecContext& ctx);
    // The innermost code running (execute sets it); null between scripts.
    ExecContext* runningCode() const { return runningCode_; }
    void setRunningCode(ExecContext* ctx) { runningCode_ = ctx; }
    // The timeline the running code acts on, for built-ins that take paths from it; the
    // root between scripts or when SetTarget found nothing.
    DisplayObject* callerTimeline();
    void callFrame(ExecContext& ctx, const Value& frame);
    Value getProperty(ExecContext& ctx, const Value& target, int index);
    void setProperty(ExecContext& ctx, const Value& target, int index, const Value& value);
    void cloneSprite(ExecContext& ctx, const Value& source, const QString& name, double depth);
    void removeSprite(ExecContext& ctx, const Value& target);
    void getUrl(ExecContext& ctx, const QString& url, const QString& target, int method, bool loadTarget,
        bool loadVariables);
    void startDrag(ExecContext& ctx, const Value& target, bool lockCenter, std::optional<QRectF> area);
    void startDragging(DisplayObject& object, bool lockCenter, std::optional<QRectF> area);
    void stopDrag();
    // Goes to a frame (0-based) of a clip; `play` 1 plays, 0 stops, -1 leaves it.
    // A frame past the end goes to the last frame when `clampPastEnd`, else nowhere.
    void gotoClipFrame(MovieClip& clip, int frame, int play, bool clampPastEnd);
    // A frame named by a 1-based number (in a string or not) or a label, 0-based.
    std::optional<int> frameIndex(MovieClip& clip, const Value& frame);
    void splitFramePath(ExecContext& ctx, MovieClip*& clip, Value& frame);
    // gotoAndPlay / gotoAndStop: a 1-based number or a label.
    void gotoClip(MovieClip& clip, const Value& frame, bool play);
    // The DoAction tags of frame `index` of a clip's timeline.
    const Frame* frameOf(MovieClip& clip, int index) const;
    void stopSounds();

    // ---- Variables -------------------------------------------------------------------------
    Value getVariable(ExecContext& ctx, const QString& name);
    std::optional<Value> dotPath(ExecContext& ctx, const QStringList& parts, bool objectWanted);
    void setVariable(ExecContext& ctx, const QString& name, const Value& value);
    bool deleteVariable(ExecContext& ctx, const QString& name);
    // Where a frame script's plain variables live: its target, or the root when the
    // target is gone.
    Object* variableScope(ExecContext& ctx);
    // The object the path part of a variable's name reaches ("/a/b" of "/a/b:x"): clips by
    // name, and where no clip has the name, objects held in variables on the way.
    Object* pathObject(ExecContext& ctx, const QString& path);
    Value callFunction(ExecContext& ctx, const QString& name, std::span<const Value> args);
    Value callMethod(ExecContext& ctx, const Value& object, const Value& name, std::span<const Value> args);

    // ---- Output and services ---------------------------------------------------------------
    void trace(const QString& line);
    void uncaught(const Value& thrown);
    void scriptStopped(const QString& message);
    double random();
    int64_t timer() const;
    void fsCommand(const QString& command, const QString& args);

    // ---- Running code ----------------------------------------------------------------------
    // The decoded program of a block of a movie's actions (made once, kept).
    std::shared_ptr<Program> program(std::span<const uint8_t> bytes, const Movie& movie);
    // The program of a DoAction of `frame`, placed among the frame's other blocks.
    std::shared_ptr<Program> frameProgram(const Frame& frame, const DoAction& action, const Movie& movie);
    // Runs an action block on a clip now.
    void run(std::span<const uint8_t> bytes, DisplayObject& clip);
    // Calls an event method (onLoad, onPress ...) of an object now, when it has one.
    void callEvent(Object* object, const QString& method, std::span<const Value> args = {});
    // Queues work for after the current script, in the normal queue.
    void enqueue(ObjectId clip, std::function<void()> work, bool evenIfGone = false);
    // Runs what is queued until nothing is left.
    void runQueue();
    // Work for the end of the frame, after its scripts and timers (once, in order).
    void atFrameEnd(std::function<void()> work) { frameEnd_.push_back(std::move(work)); }

    // ---- State the built-in classes share ----------------------------------------------------
    QPointF mouse() const; // stage twips
    bool mouseDown() const { return mouseDown_; }
    bool keyIsDown(int code) const;
    int lastKey() const { return lastKey_; }
    int lastAscii() const { return lastAscii_; }
    DisplayObject* dragged();
    QString dropTarget(DisplayObject& object);
    Object* keyObject() { return key_.get(); }
    Object* mouseObject() { return mouse_.get(); }
    Object* stageObject() { return stageListeners_.get(); }
    void setKeyObject(Object* o) { key_ = o; }
    void setMouseObject(Object* o) { mouse_ = o; }
    void setStageObject(Object* o) { stageListeners_ = o; }
    // The player's own settings scripts read and set through any clip: the drawing
    // quality (0 low, 1 medium, 2 high, 3 best) and the seconds of sound to buffer.
    enum Quality { Low, Medium, High, Best };
    int quality() const { return quality_; }
    void setQuality(int quality) { quality_ = quality; }
    int soundBufferTime() const { return soundBufferTime_; }
    void setSoundBufferTime(int seconds) { soundBufferTime_ = seconds; }

    // setInterval / setTimeout.
    int addTimer(const Value& target, const Value& function, const QString& method, double ms,
        std::vector<Value> args, bool once);
    void removeTimer(int id);

    // Classes registered for library symbols (Object.registerClass).
    void registerClass(const QString& symbol, Object* constructor);
    Object* registeredClass(const Movie& movie, uint16_t characterId);
    bool exportedName(const Movie& movie, uint16_t characterId);
    // The character a movie exports under a name (ExportAssets), if any.
    std::optional<uint16_t> exportedCharacter(const Movie& movie, const QString& name);

    // Places an exported symbol on a clip (attachMovie), runs its constructor.
    DisplayObject* attach(
        MovieClip& parent, const QString& symbol, const QString& name, int depth, Object* init);
    DisplayObject* duplicate(DisplayObject& source, const QString& name, int depth, Object* init);
    // Runs the registered class constructor (and copies init properties) of a new clip.
    void construct(DisplayObject& display, Object* init);
    void removeClip(DisplayObject& object);
    // loadMovie, loadMovieNum, unloadMovie, loadVariables.
    void loadMovie(DisplayObject* target, int level, const QString& url);
    // The same for a MovieClipLoader, told of the progress; false when nothing started.
    bool loadClip(DisplayObject* target, int level, const QString& url, Object* loader);
    // A clip now shows a movie a script loaded: its variables go, its clip events stay,
    // and it runs as a clip just placed.
    void movieLoaded(MovieClip& clip);
    // Loads of local files still on their way (movies, variables, XML and LoadVars data).
    int pendingLocalLoads() const;
    // The address of the movie a clip shows (_url).
    QString urlOf(const DisplayObject& object) const;
    void unloadMovie(DisplayObject* target, int level);
    void loadVariablesInto(DisplayObject* target, int level, const QString& url, int method);
    // Fetches a text file for an object (XML, LoadVars): calls its onData(text), or
    // onData(undefined) when the file cannot be read. Addresses are taken relative to
    // the movie's own.
    void loadData(const Value& target, const QString& url);
    QString resolveUrl(const QString& url) const;
    // The address of the movie the player opened (_url).
    QString movieUrl() const { return url_; }
    void setMovieUrl(const QString& url) { url_ = url; }

private:
    Value lookUpVariable(ExecContext& ctx, const QString& name);
    // A SWF 4 variable path ("/a:x", "../:x"): the clip before the last colon (null when
    // that part is empty or reaches nothing) and the name after it.
    DisplayObject* slashVariableOwner(ExecContext& ctx, const QString& name, QString& variable);
    // The prototype the script object of a display object gets, and its kind.
    Object* prototypeFor(DisplayObject& display, ClipObject::Kind& kind);
    // What an event method (onEnterFrame, onUnload ...) of a display object is called on:
    // null when nothing could answer it, so that clips no script has reached get no
    // script object each frame.
    Object* eventReceiver(DisplayObject& display, const QString& method);
    // One queued piece of work, run unless its clip is gone by then.
    struct Task {
        ObjectId clip = 0;
        bool evenIfGone = false;
        std::function<void()> work;
    };
    enum Priority { Init = 0, Construct = 1, Normal = 2 };
    // What the timeline made to run for one clip's change, waiting to find its place.
    struct Unit {
        ObjectId owner = 0; // the clip this unit belongs to
        ObjectId parent = 0; // where it goes when that parent's frame is done
        int depth = 0;
        bool removal = false; // the object went (its unload events), rather than came
        std::vector<Task> tasks;
    };

    void bindRoot(MovieClip& root);
    void clipEvents(DisplayObject& object, uint32_t event, std::vector<Task>& into, int key = 0);
    // Whether a clip or any clip in it has something to run when it unloads.
    bool runsOnUnload(DisplayObject& object);
    // The unload events of a clip and of the clips in it (theirs first), now queued.
    void queueUnload(DisplayObject& object, std::vector<Task>& into);
    // Takes off the clips still waiting to unload whose scripts could not run.
    void dropUnloaded();
    bool hasClipEvent(DisplayObject& object, uint32_t event) const;
    void queueEvent(DisplayObject& object, uint32_t event, const QString& method, Priority priority,
        std::vector<Task>* into = nullptr);
    void frameTasks(
        MovieClip& clip, const Frame& frame, std::vector<Task>& into, std::vector<Unit>& children);
    void flushUnits();
    void runTask(Task& task);
    void runTimers();
    void broadcast(Object* source, const QString& message, std::span<const Value> args = {});
    void buttonKeyPress(int code, char32_t character);
    void clipMouseEvents(uint32_t event);
    void updateDrag();
    const std::vector<ClipEventHandler>* handlersOf(DisplayObject& object) const;

    Stage& stage_;
    Services services_;
    ScriptHost& host_;
    int version_;
    std::unique_ptr<Vm> vm_;
    std::unique_ptr<TextFields> textFields_;
    std::unordered_map<ObjectId, Ref<ClipObject>> objects_;
    ExecutionOrder executionList_;
    std::map<std::pair<const uint8_t*, size_t>, std::shared_ptr<Program>> programs_;
    std::deque<Task> queues_[3];
    std::vector<Unit> pending_;
    std::unordered_map<ObjectId, std::vector<Task>> segments_;
    std::unordered_map<uint16_t, bool> initDone_;
    std::unordered_map<ObjectId, std::vector<ClipEventHandler>> clipHandlers_;
    // Clips whose unload events are queued while they wait at their unload depth.
    std::unordered_set<ObjectId> unloadQueued_;
    bool running_ = false;
    int stops_ = 0; // scripts stopped so far, so that one overrun is reported once
    bool inTick_ = false;

    // Input state.
    bool mouseDown_ = false;
    std::vector<int> keysDown_;
    int lastKey_ = 0;
    int lastAscii_ = 0;
    // Player settings.
    int quality_ = High;
    int soundBufferTime_ = 5;
    Ref<Object> key_;
    Ref<Object> mouse_;
    Ref<Object> stageListeners_;

    struct Drag {
        ObjectId object = 0;
        QPointF offset; // from the pointer to the object's origin, in parent twips
        std::optional<QRectF> area; // pixels, in the parent's coordinates
    };
    std::optional<Drag> drag_;

    struct Timer {
        int id = 0;
        Value target;
        Value function;
        QString method;
        double interval = 0;
        double due = 0;
        std::vector<Value> args;
        bool once = false;
    };
    std::vector<Timer> timers_;
    std::vector<std::function<void()>> frameEnd_;
    ExecContext* runningCode_ = nullptr;
    int nextTimer_ = 1;

    std::map<QString, Ref<Object>> registeredClasses_;
    QString url_;

    struct DataLoad {
        Value target;
        std::unique_ptr<LoadJob> job;
        QByteArray data;
        bool local = true;
        bool variables = false; // into a clip, as loadVariables
    };
    std::vector<std::unique_ptr<DataLoad>> loads_;
    std::unique_ptr<MovieLoads> movieLoads_;
    void startDataLoad(const Value& target, const QString& url, bool variables);
    void finishLoad(DataLoad* load, bool ok);
};

} // namespace swf::script
