#include "frmMain.h"

#include "core/CommandLine.h"
#include "core/Forms.h"
#include "core/mdlCommonFunctions.h"
#include "platform/FileDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/MovieControl.h"
#include "platform/Platform.h"
#include "platform/ProgressBar.h"
#include "platform/Tonwell.h"
#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"
#include "tools/mdlCatchFrame.h"
#include "tools/mdlExtractSWF.h"

#include "chrome/frmAbout.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "playlist/frmList.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QScreen>

namespace {

// The window and its controls as designed, in twips.
constexpr int DesignWidth = 7815;
constexpr int DesignHeight = 6975;

struct TwipsRect {
    int left, top, width, height;
};
constexpr TwipsRect Flash1Design { 120, 480, 7575, 5655 };
// The progress bar draws only its groove; at 210 twips (14 pixels) high it ends above the
// button row instead of reaching into it, so it never takes the buttons' clicks.
constexpr TwipsRect Fbar1Design { 120, 6120, 7575, 210 };
constexpr TwipsRect Tonwell1Design { 2160, 6480, 630, 375 };
constexpr TwipsRect Img1Design { 120, 600, 7575, 5535 };

void place(QWidget& control, const TwipsRect& rect)
{
    platform::twipsGeometry::setRect(control, rect.left, rect.top, rect.width, rect.height);
}

// Readies CmdD1 for one question, starting with no file name.
void prepare(platform::FileDialog& dialog, const QString& filter, const QString& title, bool cancelError)
{
    dialog.setFilter(filter);
    dialog.setDialogTitle(title);
    dialog.setFileName(QString());
    dialog.setCancelError(cancelError);
}

} // namespace

frmMain::frmMain(core::Forms& forms)
    : QWidget(nullptr)
    , fileDialog_(forms.platform().createFileDialog(this))
    , Flash1(*forms.platform().createMovieControl(this))
    , Fbar1(*forms.platform().createProgressBar(this))
    , Tonwell1(*new platform::Tonwell(forms.platform().audioOutput(), this))
    , CmdD1(*fileDialog_)
    , forms_(forms)
    , hotKeys_(forms.platform().hotKeys())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zorvaplay"));
    setWindowFlag(Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    resize(platform::twipsToPixels(DesignWidth), platform::twipsToPixels(DesignHeight));
    place(Flash1, Flash1Design);
    place(Fbar1, Fbar1Design);
    place(Tonwell1, Tonwell1Design);
    place(Img1, Img1Design);
    setAcceptDrops(true);
    Img1.hide();
    buildSkin();

    Timer1.setInterval(250);
    Timer2.setInterval(100);
    wirePlayback();

    centreOnScreen();
}

frmMain::~frmMain() = default;

void frmMain::centreOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    move(available.center() - rect().center());
}

void frmMain::Form_Load(const QString& commandLine)
{
    Dropped = false;
    LoadSkinPictures();
    if (const auto movie = core::movieFromCommandLine(commandLine, QCoreApplication::applicationDirPath()))
        mdlCommonFunctions::LoadAni(Flash1, false, *movie);
    InstallHotKeys();
}

void frmMain::InstallHotKeys()
{
    hotKeys_.InstallHotKeys(*this,
        { [this] { OpenAni(); }, [this] { ShowPlayListWindowAni(); }, [this] { NextAni(); },
            [this] { BackAni(); }, [this] { CatchFrame(); }, [this] { PlayAni(); } });
}

void frmMain::RemoveHotKeys()
{
    hotKeys_.RemoveHotKeys();
}

// Nothing happens while another of the player's windows is on screen, so that Ctrl+O is
// silent then. The dialog always starts afresh, with the movie shown in its URL box.
void frmMain::OpenAni()
{
    if (secondaryWindowShown())
        return;
    forms_.open.unload();
    frmOpen& open = forms_.open.get();
    open.setWindowModality(Qt::ApplicationModal);
    open.show();
}

void frmMain::CatchFrame()
{
    if (secondaryWindowShown())
        return;

    using platform::twipsToPixels;
    Img1.setPixmap(mdlCatchFrame::GrabWindowArea(forms_.platform().screenGrabber(), *this, true,
        twipsToPixels(Flash1.Left()), twipsToPixels(Flash1.Top()), twipsToPixels(Flash1.Width()),
        twipsToPixels(Flash1.Height())));

    prepare(CmdD1, QStringLiteral("BMP位图（*.bmp）|*.bmp"), QStringLiteral("保存bmp位图"), false);
    if (!CmdD1.ShowSave())
        return;
    // A cancelled dialog leaves the name empty, and the save fails without a word.
    mdlCatchFrame::SavePicture(Img1.pixmap(), CmdD1.FileName());
}

// Asking creates none of the windows.
bool frmMain::secondaryWindowShown() const
{
    const auto showing = [](auto& instance) { return instance.isLoaded() && instance.loaded()->isVisible(); };
    return showing(forms_.list) || showing(forms_.about) || showing(forms_.open);
}

void frmMain::Extract(int FlashVersion)
{
    hide();
    const auto showAgain = qScopeGuard([this] { show(); });

    prepare(CmdD1, QStringLiteral("exe文件（*.exe）|*.exe"), QStringLiteral("选择要解析的EXE文件"), true);
    if (!CmdD1.ShowOpen())
        return;
    const QString ExePath = CmdD1.FileName();

    prepare(
        CmdD1, QStringLiteral("swf文件（*.swf）|*.swf"), QStringLiteral("输入要保存的swf文件的名字"), true);
    if (!CmdD1.ShowSave())
        return;
    const QString SwfPath = CmdD1.FileName();

    platform::MessageBoxes& messages = forms_.platform().messageBoxes();
    const QString notice = QStringLiteral("提示");
    messages.information(this, notice, QStringLiteral("点击“确定”开始在后台操作，转换完毕时将通知您。"));
    if (mdlExtractSWF::ExtractSWF(messages, this, ExePath, SwfPath, FlashVersion))
        messages.information(this, notice, QStringLiteral("从exe文件中成功提取swf文件。"));
    else
        messages.information(this, notice, QStringLiteral("从exe文件中提取swf文件失败"));
}

// Shown modally over the main window, whatever other window is up.
void frmMain::ShowAbout()
{
    frmAbout& about = forms_.about.get();
    about.setWindowModality(Qt::ApplicationModal);
    about.show();
}

void frmMain::ExitAni()
{
    Flash1.StopPlay();
    Flash1.Stop();
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // The handlers run once: a second close of an unloaded window has nothing to undo.
    if (!unloaded_) {
        Form_QueryUnload();
        Form_Unload();
        unloaded_ = true;
    }
    event->accept();
}

// The player never refuses to close.
void frmMain::Form_QueryUnload()
{
    RemoveHotKeys();
}

void frmMain::Form_Unload()
{
    Timer1.stop();
    Timer2.stop();
    // Only windows that exist are unloaded; none is created for it.
    forms_.open.unload();
    forms_.about.unload();
    forms_.list.unload();
    forms_.bkList.unload();
}
