// The player's own classes of outside things: the sandbox, ExternalInterface without a
// container, file dialogs that nobody answers, printing, and Sound objects on clips.

#include "ScriptFixture.h"

#include "swf/format/Tags.h"
#include "swf/runtime/Fixtures.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using A = ActionCode;

QStringList lines(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

// trace(flash.external.ExternalInterface.method(args))
Asm& traceExternal(Asm& a, const std::string& method, const std::vector<Asm::Arg>& args)
{
    a.pushArgs(args);
    a.get("flash").push("external").op(A::GetMember).push("ExternalInterface").op(A::GetMember);
    return a.callMethod(method, int(args.size())).op(A::Trace);
}

// variable = new flash.net.CLASS()
Asm& newNetObject(Asm& a, const std::string& variable, const std::string& className)
{
    a.push(variable).pushInt(0);
    a.get("flash").push("net").op(A::GetMember).push(className).op(A::GetMember);
    a.push(std::string()).op(A::NewMethod);
    // NewMethod with an empty name constructs the object on the stack itself.
    return a.op(A::SetVariable);
}

// object.method = function () { trace(text) }
Asm& traceHandler(Asm& a, const std::string& object, const std::string& method, const std::string& text)
{
    Asm body;
    body.trace(text);
    return a.get(object).push(method).function("", {}, body).op(A::SetMember);
}

// variable = new LocalConnection(); variable.onStatus = function (info) { trace(variable + info.level) }
Asm& newConnection(Asm& a, const std::string& variable)
{
    a.push(variable).pushInt(0).push("LocalConnection").op(A::NewObject).op(A::SetVariable);
    Asm body;
    body.push(variable + " ").get("info").push("level").op(A::GetMember).op(A::Add2).op(A::Trace);
    return a.get(variable).push("onStatus").function("", { "info" }, body).op(A::SetMember);
}

// object.method = function (a, b) { trace(object.method + a + b) }
Asm& traceArguments(Asm& a, const std::string& object, const std::string& method)
{
    Asm body;
    body.push(object + "." + method + " ").get("a").op(A::Add2).push(" ").op(A::Add2).get("b").op(A::Add2);
    body.op(A::Trace);
    return a.get(object).push(method).function("", { "a", "b" }, body).op(A::SetMember);
}

TEST(PlayerClasses, SandboxFollowsTheMoviesNetworkFlag)
{
    Asm a;
    a.get("System").push("security").op(A::GetMember).push("sandboxType").op(A::GetMember).op(A::Trace);
    for (const auto& [flags, expected] :
        { std::pair { uint8_t(0x01), "localWithNetwork" }, { 0x00, "localWithFile" } }) {
        Writer w(stageHeader(100, 100, 12.0, 8));
        const uint8_t body[] = { flags, 0, 0, 0 };
        w.rawTag(uint16_t(TagCode::FileAttributes), body);
        w.doAction(a.bytes());
        w.showFrame();
        ScriptRun run;
        run.play(w);
        EXPECT_EQ(run.traces, lines({ expected }));
    }
    // A movie without the tag (before SWF 8) reaches local files only.
    EXPECT_EQ(traceOf(a, 6), lines({ "localWithFile" }));
}

TEST(PlayerClasses, ExternalInterfaceWithoutContainer)
{
    Asm a;
    a.get("flash").push("external").op(A::GetMember).push("ExternalInterface").op(A::GetMember);
    a.push("available").op(A::GetMember).op(A::Trace);
    traceExternal(a, "call", { "js" });
    traceExternal(a, "addCallback", { "f" });
    traceExternal(a, "_escapeXML", { "a<b>&\"'" });
    traceExternal(a, "_escapeXML", { "" });
    traceExternal(a, "_escapeXML", {});
    traceExternal(a, "_toXML", { 4.5 });
    traceExternal(a, "_toXML", { "x&y" });
    EXPECT_EQ(traceOf(a),
        lines({ "false", "null", "false", "a&lt;b&gt;&amp;&quot;&apos;", "null", "null",
            "<number>4.5</number>", "<string>x&amp;y</string>" }));
}

TEST(PlayerClasses, ExternalInterfaceValuesAsXml)
{
    Asm a;
    // o = {length: 2, 1: true}; arr = [null, undefined]
    a.push("o").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.get("o").push("length").pushInt(2).op(A::SetMember);
    a.get("o").push("n").pushBool(true).op(A::SetMember);
    a.push("arr").pushUndefined().pushNull().pushInt(2).op(A::InitArray).op(A::SetVariable);
    for (const char* method : { "_toXML", "_arrayToXML", "_argumentsToXML" }) {
        a.get("arr").get("flash").push("external").op(A::GetMember);
        a.push("ExternalInterface").op(A::GetMember).callMethod(method, 1).op(A::Trace);
    }
    a.get("o").get("flash").push("external").op(A::GetMember);
    a.push("ExternalInterface").op(A::GetMember).callMethod("_objectToXML", 1).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines({ "<array><property id=\"0\"><null/></property><property "
                "id=\"1\"><undefined/></property></array>",
            "<array><property id=\"0\"><null/></property><property id=\"1\"><undefined/></property></array>",
            "<arguments><undefined/></arguments>",
            "<object><property id=\"n\"><true/></property><property "
            "id=\"length\"><number>2</number></property>"
            "</object>" }));
}

TEST(PlayerClasses, FileDialogsAreCancelledAfterTheScript)
{
    Asm a;
    newNetObject(a, "f", "FileReference");
    a.get("f").push("name").op(A::GetMember).op(A::Trace);
    a.push("l").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    traceHandler(a, "l", "onCancel", "cancelled");
    a.get("l").get("f").callMethod("addListener", 1).op(A::Pop);
    // An empty type list, a type without extension, and addresses that are no server's.
    a.pushInt(0).op(A::InitArray).get("f").callMethod("browse", 1).op(A::Trace);
    a.traceCall("f", "download", {});
    a.traceCall("f", "download", { "@" });
    a.traceCall("f", "download", { "relative.txt" });
    a.traceCall("f", "upload", { "http://example.com/up" });
    a.traceCall("f", "browse", {});
    a.trace("script ends");
    EXPECT_EQ(traceOf(a),
        lines({ "undefined", "false", "false", "false", "false", "false", "true", "script ends",
            "cancelled" }));
}

TEST(PlayerClasses, DialogOpenedAgainFromOnCancelWaitsAFrame)
{
    Asm a;
    newNetObject(a, "f", "FileReferenceList");
    a.get("f").push("_listeners").op(A::GetMember).push("length").op(A::GetMember).op(A::Trace);
    // l.onCancel = function () { trace("again"); f.browse() }: a loop a frame at a time,
    // not one that holds the frame.
    Asm body;
    body.trace("again").get("f").callMethod("browse", 0).op(A::Pop);
    a.push("l").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.get("l").push("onCancel").function("", {}, body).op(A::SetMember);
    a.get("l").get("f").callMethod("addListener", 1).op(A::Pop);
    a.traceCall("f", "browse", {});
    ScriptRun run;
    run.play(scriptMovie(a), 1);
    EXPECT_EQ(run.traces, lines({ "0", "true", "again" }));
    run.advance(2);
    EXPECT_EQ(run.traces, lines({ "0", "true", "again", "again", "again" }));
}

TEST(PlayerClasses, PrintJobSizesAreZeroAndReadOnly)
{
    Asm a;
    a.assignNew("p", "PrintJob");
    a.get("p").push("pageWidth").push("test").op(A::SetMember);
    a.get("p").push("pageWidth").op(A::GetMember).op(A::Trace);
    a.get("p").push("orientation").op(A::GetMember).op(A::Trace);
    a.traceCall("p", "start");
    EXPECT_EQ(traceOf(a, 7), lines({ "0", "0", "false" }));
    // Not there for movies before SWF 7.
    Asm old;
    old.get("PrintJob").op(A::TypeOf).op(A::Trace);
    EXPECT_EQ(traceOf(old, 6), lines({ "undefined" }));
}

TEST(PlayerClasses, SoundFollowsItsClipByReference)
{
    Asm a;
    // s = new Sound("mc") before mc exists: nothing to answer.
    a.assignNew("s", "Sound", { "mc" });
    a.traceCall("s", "getVolume");
    a.pushArgs({ "mc", 1.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.traceCall("s", "getVolume");
    a.pushArgs({ 50.5 }).get("s").callMethod("setVolume", 1).op(A::Pop);
    a.traceCall("s", "getVolume");
    // A second Sound on the same clip: renamed, the clip is out of its
    // reach, until a variable of its old name holds it (and it has the volume set).
    a.push("t").get("mc").pushInt(1).push("Sound").op(A::NewObject).op(A::SetVariable);
    a.get("mc").push("_name").push("other").op(A::SetMember);
    a.traceCall("t", "getVolume");
    a.push("mc").get("other").op(A::SetVariable);
    a.traceCall("t", "getVolume");
    a.pushArgs({ -25.0 }).get("t").callMethod("setPan", 1).op(A::Pop);
    a.traceCall("t", "getPan");
    // No duration or position until a sound is attached.
    a.traceCall("t", "getDuration");
    a.pushArgs({ std::nan("") }).get("t").callMethod("setVolume", 1).op(A::Pop);
    a.traceCall("t", "getVolume");
    EXPECT_EQ(traceOf(a), lines({ "undefined", "100", "50", "undefined", "50", "-25", "undefined", "-2147483648" }));
}

// A path given as text is looked up from the timeline of the code that calls.
TEST(PlayerClasses, SoundPathsAreTakenFromTheCaller)
{
    Asm a;
    a.pushArgs({ "mc", 1.0 }).get("_root").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.pushArgs({ "inner", 1.0 }).get("mc").callMethod("createEmptyMovieClip", 2).op(A::Pop);
    a.assignNew("s", "Sound", { "inner" });
    a.traceCall("s", "getVolume");
    a.setTarget("mc");
    a.pushArgs({ 30.0 }).get("_root").push("s").op(A::GetMember).callMethod("setVolume", 1).op(A::Pop);
    a.pushArgs({}).get("_root").push("s").op(A::GetMember).callMethod("getVolume", 0).op(A::Trace);
    a.setTarget("");
    a.traceCall("s", "getVolume");
    EXPECT_EQ(traceOf(a), lines({ "undefined", "30", "undefined" }));
}

TEST(PlayerClasses, SoundBalanceFromTheMix)
{
    Asm a;
    a.assignNew("s", "Sound");
    a.push("o").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.get("o").push("ll").pushInt(10).op(A::SetMember);
    a.get("o").push("rr").pushInt(30).op(A::SetMember);
    a.get("o").get("s").callMethod("setTransform", 1).op(A::Pop);
    a.traceCall("s", "getPan");
    a.pushArgs({ 60.0 }).get("s").callMethod("setPan", 1).op(A::Pop);
    a.get("s").callMethod("getTransform", 0).push("ll").op(A::GetMember).op(A::Trace);
    a.traceCall("s", "getPan");
    // With the left channel at 100 the balance is the right one's distance from it.
    const auto mix = [&a](double ll, double rr) {
        a.get("o").push("ll").push(ll).op(A::SetMember);
        a.get("o").push("rr").push(rr).op(A::SetMember);
        a.get("o").get("s").callMethod("setTransform", 1).op(A::Pop);
        a.traceCall("s", "getPan");
    };
    mix(100, 999);
    mix(100, -150);
    mix(101, 100);
    mix(-150, 100);
    // Fields wrap to 32 bits; NaN is 0.
    mix(3000000000.0, std::nan(""));
    a.get("s").callMethod("getTransform", 0).push("ll").op(A::GetMember).op(A::Trace);
    a.get("s").callMethod("getTransform", 0).push("rr").op(A::GetMember).op(A::Trace);
    // A field the object only inherits is not read.
    a.push("p").pushInt(0).op(A::InitObject).op(A::SetVariable);
    a.get("p").push("__proto__").get("o").op(A::SetMember);
    a.get("o").push("ll").pushInt(5).op(A::SetMember);
    a.get("p").get("s").callMethod("setTransform", 1).op(A::Pop);
    a.get("s").callMethod("getTransform", 0).push("ll").op(A::GetMember).op(A::Trace);
    EXPECT_EQ(traceOf(a),
        lines({ "90", "40", "60", "899", "50", "-1", "-50", "-1294967196", "-1294967296", "0",
            "-1294967296" }));
}

TEST(PlayerClasses, StageDisplayStateTellsListeners)
{
    Asm a;
    Asm handler;
    handler.push("full ").push("full").op(A::GetVariable).op(A::Add2).op(A::Trace);
    a.push("l").pushInt(0).push("Object").op(A::NewObject).op(A::SetVariable);
    a.get("l").push("onFullScreen").function("", { "full" }, handler).op(A::SetMember);
    a.get("l").get("Stage").callMethod("addListener", 1).op(A::Pop);
    const auto setAndTrace = [&a](const char* state) {
        a.get("Stage").push("displayState").push(state).op(A::SetMember);
        a.get("Stage").push("displayState").op(A::GetMember).op(A::Trace);
    };
    setAndTrace("bogus");
    setAndTrace("FULLSCREEN");
    setAndTrace("fullScreen");
    setAndTrace("Normal");
    EXPECT_EQ(
        traceOf(a), lines({ "normal", "full true", "fullScreen", "fullScreen", "full false", "normal" }));
}

// Messages go when the frame ends, to whoever holds the name then, if it was held when
// sent too; names are taken without regard to case, and once each.
TEST(PlayerClasses, LocalConnectionDeliversToTheHolderAtTheEndOfTheFrame)
{
    Asm a;
    newConnection(a, "s");
    newConnection(a, "r");
    newConnection(a, "q");
    traceArguments(a, "q", "test");
    traceArguments(a, "r", "test");
    a.traceCall("r", "connect", { "Chan" });
    a.traceCall("q", "connect", { "chan" }); // taken
    a.traceCall("r", "connect", { "other" }); // r holds a name already
    a.traceCall("q", "connect", { "localhost:x" }); // a receiver gives no domain
    a.traceCall("s", "send", { "CHAN", "test", 1.0, "two" });
    a.traceCall("s", "send", { "nowhere", "test" });
    a.traceCall("s", "send", { "chan", "connect" }); // the class's own methods
    a.traceCall("s", "send", { "", "test" });
    a.push("test").pushInt(0).pushInt(2).get("s").push("send").op(A::CallMethod).op(A::Trace); // a number
    a.traceCall("s", "send", { "localhost:chan", "test" });
    a.traceCall("s", "send", { "later", "test" }); // no one holds it yet
    a.get("r").callMethod("close", 0).op(A::Pop);
    a.traceCall("q", "connect", { "chan" });
    a.traceCall("r", "connect", { "later" });
    a.trace("script ends");
    EXPECT_EQ(traceOf(a),
        lines({ "true", "false", "false", "false", "true", "true", "false", "false", "false", "true", "true",
            "true", "true", "script ends", "s status", "q.test 1 two", "s error", "s status",
            "q.test undefined undefined", "s error" }));
}

// Names that begin with an underscore have no domain, so "localhost:_x" is another name;
// a receiver that throws stops only its own call.
TEST(PlayerClasses, LocalConnectionUnderscoreNamesAndThrowingReceivers)
{
    Asm a;
    newConnection(a, "s");
    newConnection(a, "r");
    Asm thrower;
    thrower.trace("throws").push("oops").op(A::Throw);
    a.get("r").push("fail").function("", {}, thrower).op(A::SetMember);
    traceArguments(a, "r", "test");
    a.traceCall("r", "connect", { "_x" });
    a.traceCall("s", "send", { "_X", "fail" });
    a.traceCall("s", "send", { "localhost:_x", "test" });
    a.traceCall("s", "send", { "_x", "test", "a" });
    EXPECT_EQ(traceOf(a),
        lines({ "true", "true", "true", "true", "s status", "throws", "s error", "s status",
            "r.test a undefined" }));
}

} // namespace
} // namespace swf::test
