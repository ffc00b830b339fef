#include "core/CommandLine.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/RealPlatform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace {

// The player runs on X11 (XWayland in a Wayland session): its own title bar, the global
// hot keys and frame capture need what Wayland denies ordinary programs. A platform the
// user chose is left alone. Qt tries a ';' list in order, so Wayland still serves when no
// X server answers.
void chooseWindowSystem()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
            "zorvaplay: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "zorvaplay: start it inside a desktop session, or under a virtual X server: "
            "xvfb-run zorvaplay\n");
        return; // let Qt try its own default
    }
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
#endif
}

} // namespace

int main(int argc, char** argv)
{
    chooseWindowSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvaplay"));
    // Qt adds the display name to window titles on some systems; the captions the player
    // sets are complete as they are.
    QGuiApplication::setApplicationDisplayName(QString());

    // The interface is Chinese whatever the user's locale: the standard buttons of the
    // message boxes then read 确定, 是 and 否.
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtChinese);

    platform::RealPlatform platform;
    core::Forms forms(platform);
    frmMain& main = forms.main();
    main.Form_Load(core::joinArguments(QApplication::arguments().mid(1)));
    main.show();
    return QApplication::exec();
}
