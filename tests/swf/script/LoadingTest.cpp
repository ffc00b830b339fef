// Movies, pictures, variables and XML that scripts load from files and the web.

#include "ScriptFixture.h"

#include "swf/runtime/Fixtures.h"
#include "swf/runtime/HttpServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using A = ActionCode;

// A movie of frames, each running its script.
Writer framesMovie(const std::vector<Asm>& frames, uint8_t version = 8)
{
    Writer w(stageHeader(100, 100, 12.0, version));
    for (const Asm& frame : frames) {
        w.doAction(frame.bytes());
        w.showFrame();
    }
    return w;
}

// The movie that loads: says so in its first frame, with the clip it plays in.
QByteArray childMovie(const Asm& extra = Asm(), uint8_t version = 8)
{
    Asm a;
    a.trace("child 1").get("this").op(A::Trace);
    std::vector<uint8_t> bytes = a.bytes(false);
    const std::vector<uint8_t> more = extra.bytes(true);
    bytes.insert(bytes.end(), more.begin(), more.end());
    Writer w(stageHeader(100, 100, 12.0, version));
    w.doAction(bytes);
    w.showFrame();
    w.doAction(Asm().op(A::Stop).bytes());
    w.showFrame();
    return fileByteArray(w);
}

Asm& emptyClip(Asm& a, const std::string& name, double depth = 1)
{
    return a.pushArgs({ name, depth }).get("this").callMethod("createEmptyMovieClip", 2).op(A::Pop);
}

// listener.<event> = function (t, a, b) { trace(event + " " + t + " " + a) }, for each event.
Asm& listen(Asm& a, const std::string& listener, const std::vector<std::string>& events)
{
    a.assignNew(listener, "Object");
    for (const std::string& event : events) {
        Asm body;
        body.push(event + " ").get("t").op(A::Add2).push(" ").op(A::Add2).get("a").op(A::Add2).op(A::Trace);
        a.get(listener).push(event).function("", { "t", "a", "b" }, body).op(A::SetMember);
    }
    return a;
}

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// ---- Movies into clips and levels -------------------------------------------------------

TEST(Loading, AMovieLoadedIntoAClipPlaysThereFromTheNextFrameWithoutTheClipsVariables)
{
    ScriptRun run;
    run.put("child.swf", childMovie(Asm().traceVar("who")));
    Asm first;
    emptyClip(first, "holder");
    first.get("holder").push("v").push(5.0).op(A::SetMember);
    first.pushArgs({ "child.swf?who=x%20y" }).get("holder").callMethod("loadMovie", 1).op(A::Pop);
    first.trace("asked");
    Asm second;
    second.trace("main 2").get("holder").push("v").op(A::GetMember).op(A::Trace);
    second.get("holder").push("_url").op(A::GetMember).op(A::Trace);
    run.play(framesMovie({ first, second, Asm().op(A::Stop) }));
    run.settle();
    EXPECT_EQ(run.traces, QStringList { "asked" }) << "the movie waits for the next frame";
    run.advanceSettled();
    ASSERT_EQ(run.traces.size(), 7) << run.traces.join('|').toStdString();
    EXPECT_EQ(run.traces.mid(1, 3), (QStringList { "child 1", "_level0.holder", "x y" }))
        << "the new clip runs before the movie it is in; the address's variables are its own";
    EXPECT_EQ(run.traces[4], "main 2");
    EXPECT_EQ(run.traces[5], "undefined") << "what the clip held went with its old content";
    EXPECT_TRUE(run.traces[6].endsWith("child.swf?who=x%20y")) << run.traces[6].toStdString();
}

TEST(Loading, LevelsComeAndGo)
{
    ScriptRun run;
    run.put("child.swf", childMovie());
    Asm first;
    first.getUrl("child.swf", "_level3").traceVar("_level3");
    Asm second;
    second.traceVar("_level3").getUrl("", "_level3");
    Asm third;
    third.traceVar("_level3").op(A::Stop);
    run.play(framesMovie({ first, second, third }));
    run.settle();
    run.advanceSettled(2);
    EXPECT_EQ(run.traces, (QStringList { "undefined", "child 1", "_level3", "_level3", "undefined" }))
        << run.traces.join('|').toStdString();
}

TEST(Loading, LoadingAgainReplacesTheMovieAndUnloadEmptiesTheClip)
{
    ScriptRun run;
    run.put("child.swf", childMovie());
    Asm first;
    emptyClip(first, "holder");
    first.pushArgs({ "child.swf" }).get("holder").callMethod("loadMovie", 1).op(A::Pop);
    Asm second;
    second.get("holder").push("_framesloaded").op(A::GetMember).op(A::Trace);
    second.get("holder").callMethod("unloadMovie", 0).op(A::Pop);
    Asm third;
    third.get("holder").op(A::Trace).op(A::Stop);
    run.play(framesMovie({ first, second, third }));
    run.settle();
    run.advanceSettled(2);
    EXPECT_EQ(run.traces, (QStringList { "child 1", "_level0.holder", "2", "_level0.holder" }));
}

// ---- MovieClipLoader ----------------------------------------------------------------------

TEST(Loading, MovieClipLoaderTellsStartProgressCompleteThenInitAfterTheFirstFrame)
{
    ScriptRun run;
    const QByteArray child = childMovie();
    run.put("child.swf", child);
    Asm first;
    emptyClip(first, "holder");
    listen(first, "l", { "onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError" });
    first.assignNew("mcl", "MovieClipLoader");
    first.get("l").get("mcl").callMethod("addListener", 1).op(A::Pop);
    first.pushArgs({ "child.swf", "holder" }).get("mcl").callMethod("loadClip", 2).op(A::Trace);
    first.pushArgs({ "none.swf", 7.0 }).get("mcl").callMethod("loadClip", 2).op(A::Trace);
    first.pushArgs({ "child.swf", "nowhere" }).get("mcl").callMethod("loadClip", 2).op(A::Trace);
    first.pushArgs({ "child.swf" }).get("mcl").callMethod("loadClip", 1).op(A::Trace);
    run.play(framesMovie({ first, Asm().op(A::Stop) }));
    run.settle();
    const QString size = QString::number(child.size());
    EXPECT_EQ(run.traces,
        (QStringList { "true", "true", "false", "undefined", "onLoadStart _level0.holder undefined",
            "onLoadProgress _level0.holder " + size, "onLoadComplete _level0.holder 0",
            "onLoadError undefined URLNotFound" }));
    run.traces.clear();
    run.advanceSettled();
    EXPECT_EQ(
        run.traces, (QStringList { "child 1", "_level0.holder", "onLoadInit _level0.holder undefined" }));
}

TEST(Loading, APictureLoadsAsAClipOfItsSize)
{
    ScriptRun run;
    run.put("pic.png", pngOf(30, 20));
    run.put("notes.txt", "nothing to show");
    Asm first;
    emptyClip(first, "holder");
    emptyClip(first, "other", 2);
    first.assignNew("l", "Object");
    Asm init;
    init.get("t").push("_width").op(A::GetMember).op(A::Trace);
    init.get("t").push("_height").op(A::GetMember).op(A::Trace);
    first.get("l").push("onLoadInit").function("", { "t" }, init).op(A::SetMember);
    first.assignNew("mcl", "MovieClipLoader");
    first.get("l").get("mcl").callMethod("addListener", 1).op(A::Pop);
    first.pushArgs({ "pic.png", "holder" }).get("mcl").callMethod("loadClip", 2).op(A::Pop);
    first.pushArgs({ "notes.txt", "other" }).get("mcl").callMethod("loadClip", 2).op(A::Pop);
    run.play(framesMovie({ first, Asm().op(A::Stop) }));
    run.settle();
    run.advanceSettled();
    EXPECT_EQ(run.traces, (QStringList { "0", "0", "30", "20" }))
        << "a file that is no movie empties its clip; the newest load is told first";
}

// A load into a clip that finds no file, or a file that is neither a movie nor a picture,
// leaves the clip reporting the failure.
TEST(Loading, AFailedLoadLeavesItsClipSayingSo)
{
    ScriptRun run;
    run.put("notes.txt", "nothing to show");
    Asm first;
    emptyClip(first, "missing");
    emptyClip(first, "text", 2);
    first.pushArgs({ "none.swf" }).get("missing").callMethod("loadMovie", 1).op(A::Pop);
    first.pushArgs({ "notes.txt" }).get("text").callMethod("loadMovie", 1).op(A::Pop);
    Asm second;
    for (const char* clip : { "missing", "text" }) {
        second.get(clip).push("_framesloaded").op(A::GetMember).op(A::Trace);
        second.get(clip).push("_totalframes").op(A::GetMember).op(A::Trace);
        second.get(clip).callMethod("getBytesTotal", 0).op(A::Trace);
        second.get(clip).callMethod("getBytesLoaded", 0).op(A::Trace);
        second.get(clip).callMethod("getSWFVersion", 0).op(A::Trace);
    }
    second.get("this").callMethod("getSWFVersion", 0).op(A::Trace).op(A::Stop);
    run.play(framesMovie({ first, second }));
    run.settle();
    run.advanceSettled();
    EXPECT_EQ(run.traces, (QStringList { "-1", "0", "-1", "0", "-1", "-1", "0", "-1", "0", "-1", "8" }));
}

TEST(Loading, AMovieComesFromTheWebAsWell)
{
    ScriptRun run;
    HttpServer server(childMovie());
    Asm first;
    emptyClip(first, "holder");
    first.pushArgs({ server.url().toString().toStdString() })
        .get("holder")
        .callMethod("loadMovie", 1)
        .op(A::Pop);
    run.play(framesMovie({ first, Asm().op(A::Stop) }));
    QElapsedTimer clock;
    clock.start();
    while (!run.traces.contains("child 1") && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        run.player().advanceFrame();
    }
    EXPECT_TRUE(run.traces.contains("_level0.holder")) << run.traces.join('|').toStdString();
}

// ---- Variables and XML ----------------------------------------------------------------------

TEST(Loading, VariablesAndXmlArriveBeforeTheNextFrame)
{
    ScriptRun run;
    run.put("vars.txt", "a=1&b=two%20words");
    run.put("doc.xml", "<a x=\"1\">b</a>");
    Asm first;
    first.pushArgs({ "vars.txt" }).get("this").callMethod("loadVariables", 1).op(A::Pop);
    first.assignNew("x", "XML");
    Asm onLoad;
    onLoad.push("xml ").get("ok").op(A::Add2).push(" ").op(A::Add2).get("this").op(A::Add2).op(A::Trace);
    first.get("x").push("onLoad").function("", { "ok" }, onLoad).op(A::SetMember);
    first.pushArgs({ "doc.xml" }).get("x").callMethod("load", 1).op(A::Trace);
    first.assignNew("y", "XML");
    first.get("y").push("onLoad").function("", { "ok" }, onLoad).op(A::SetMember);
    first.pushArgs({ "missing.xml" }).get("y").callMethod("load", 1).op(A::Pop);
    first.assignNew("lv", "LoadVars").assignNew("r", "LoadVars");
    first.traceCall("lv", "getBytesLoaded");
    first.push("POST")
        .get("r")
        .push("vars.txt")
        .push(3.0)
        .get("lv")
        .push("sendAndLoad")
        .op(A::CallMethod)
        .op(A::Trace);
    first.get("r").push("loaded").op(A::GetMember).op(A::Trace);
    first.traceCall("r", "getBytesLoaded");
    Asm second;
    second.traceVar("a").traceVar("b").get("r").push("b").op(A::GetMember).op(A::Trace);
    second.traceCall("r", "getBytesTotal").op(A::Stop);
    run.play(framesMovie({ first, second }));
    run.settle();
    run.advanceSettled();
    EXPECT_EQ(run.traces,
        (QStringList { "true", "undefined", "true", "false", "0", "xml true <a x=\"1\">b</a>", "xml false ",
            "1", "two words", "two words", "17" }))
        << run.traces.join('|').toStdString();
}

} // namespace
} // namespace swf::test
