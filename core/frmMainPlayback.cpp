// The main window's playback commands, the play/pause glyph, and the progress display:
// Timer1 follows the movie's frame on the progress bar and goes on to the next play-list
// entry at a movie's end, Timer2 shows the download percentage while a movie loads, and
// the movie control's ready state switches between them.

#include "core/frmMain.h"

#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"
#include "platform/MovieControl.h"
#include "platform/ProgressBar.h"
#include "playlist/frmList.h"

#include <cmath>
#include <limits>
#include <optional>

using mdlCommonFunctions::LoadSkinPicture;

namespace {

// The play/pause glyphs: what a click will do.
constexpr int PlayGlyph = 173;
constexpr int PauseGlyph = 179;

// `value` rounded to the nearest integer, a half to the even one, when that fits the
// 16-bit integers the progress is computed in; nothing when it does not (or is no number).
std::optional<int> roundTo16Bits(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace

void frmMain::wirePlayback()
{
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(&Flash1, &platform::MovieControl::OnReadyStateChange, this, &frmMain::Flash1_OnReadyStateChange);
    connect(&Flash1, &platform::MovieControl::FSCommand, this, &frmMain::Flash1_FSCommand);
    connect(&Fbar1, &platform::ProgressBar::Seek, this, &frmMain::Fbar1_Seek);
}

// A movie may close the player (as it closes its projector) and ask for the whole screen.
void frmMain::Flash1_FSCommand(const QString& command, const QString& args)
{
    if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0) {
        ExitAni();
    } else if (command.compare(QLatin1String("fullscreen"), Qt::CaseInsensitive) == 0) {
        if (args.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            showFullScreen();
        else if (isFullScreen())
            showNormal();
    }
}

void frmMain::PlayAni()
{
    if (Flash1.IsPlaying()) {
        Flash1.setPlaying(false);
        Flash1.Stop();
        Flash1.StopPlay();
        LoadSkinPicture(PlayGlyph, ImgPlay);
    } else {
        Flash1.Play();
        LoadSkinPicture(PauseGlyph, ImgPlay);
    }
}

void frmMain::RewindAni()
{
    Flash1.Rewind();
    Flash1.Play();
}

// At either end of the list the write is refused, and the selected entry loads again.
void frmMain::NextAni()
{
    frmList& list = forms_.list.get();
    list.setCurSwf(list.CurSwf() + 1);
    list.PlaySelAni();
}

void frmMain::BackAni()
{
    frmList& list = forms_.list.get();
    list.setCurSwf(list.CurSwf() - 1);
    list.PlaySelAni();
}

// Shown modally over the main window, unless a secondary window is up already.
void frmMain::ShowPlayListWindowAni()
{
    frmList& list = forms_.list.get();
    if (secondaryWindowShown())
        return;
    list.setWindowModality(Qt::ApplicationModal);
    list.show();
}

void frmMain::Flash1_OnReadyStateChange(int newState)
{
    if (newState == 3) {
        Timer1.stop();
        Timer2.start();
    } else if (newState == 4) {
        Timer1.start();
        Timer2.stop();
        if (Flash1.IsPlaying())
            LoadSkinPicture(PauseGlyph, ImgPlay);
    }
}

// The caption keeps the last percentage shown until the next load.
void frmMain::Timer2_Timer()
{
    setWindowTitle(QStringLiteral("Zorvaplay：已下载 %1%").arg(Flash1.PercentLoaded()));
}

// A step that cannot be computed (a movie of no frames) is skipped and the next one runs.
void frmMain::Timer1_Timer()
{
    const int current = Flash1.CurrentFrame();
    const int total = Flash1.TotalFrames();
    if (total != 0) {
        if (const auto position = roundTo16Bits(double(current) / total * 1000.0))
            Fbar1.setPosition(*position);
    }

    // The end of a movie is its last frame on screen.
    if (current != total - 1)
        return;
    frmList& list = forms_.list.get();
    if (list.List1.ListCount() == 0)
        return;
    const int playing = list.CurSwf();
    list.setCurSwf(playing + 1);
    if (list.CurSwf() == playing)
        return; // the last entry was playing: it goes on as the control plays it
    list.PlaySelAni();
    Fbar1.setPosition(0);
}

void frmMain::Fbar1_Seek()
{
    if (const auto frame = roundTo16Bits(Fbar1.Position() / 1000.0 * Flash1.TotalFrames()))
        Flash1.GotoFrame(*frame);
    Flash1.Play();
    LoadSkinPicture(PauseGlyph, ImgPlay);
}
