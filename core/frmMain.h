#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/WindowDrag.h"
#include "core/HotKeys.h"

#include <QLabel>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

class QMimeData;

namespace core {
class Forms;
}

namespace platform {
class FileDialog;
class MovieControl;
class ProgressBar;
class Tonwell;
class WindowManager;
} // namespace platform

// The main window: the start window of the player, living for the whole run. It owns the
// movie control and its companions, and its public methods are the command surface that
// the buttons, the hot keys and the popup menu all call.
//
// The window has no system frame: its skin (title bar, frame lines, buttons, corner grip)
// is made of image and line controls, laid out by Form_Resize, and the title bar does
// what a system frame would (chrome/frmMainSkin.cpp, frmMainLayout.cpp,
// frmMainTitleBar.cpp).
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(core::Forms& forms);
    ~frmMain() override;

    core::Forms& forms() const { return forms_; }

private:
    // Owns CmdD1; declared before the public controls so that it exists when they are bound.
    std::unique_ptr<platform::FileDialog> fileDialog_;

public:
    platform::MovieControl& Flash1;
    platform::ProgressBar& Fbar1;
    platform::Tonwell& Tonwell1;
    platform::FileDialog& CmdD1;
    QTimer Timer1; // progress, 250 ms; disabled until a movie has loaded
    QTimer Timer2; // download percentage, 100 ms; disabled until a movie loads
    QLabel Img1 { this }; // hidden; holds the last captured frame
    bool Dropped = false;

    // The skin, in the form's own order; an earlier control lies above a later one.
    chrome::ImageControl ImgMenu { this };
    chrome::ImageControl ImgIco { this };
    chrome::ImageControl ImgMax { this }; // Tag: "c" when maximised from the rolled-up state
    chrome::ImageControl ImgEnd { this };
    chrome::ImageControl ImgMin { this };
    chrome::ImageControl ImgBar1 { this };
    chrome::ImageControl ImgExit { this };
    chrome::ImageControl Image1 { this }; // the corner grip
    chrome::LineControl LineL { this, QColor(192, 192, 192) };
    chrome::LineControl LineD { this, QColor(192, 192, 192) };
    chrome::LineControl LineR { this, QColor(192, 192, 192) };
    chrome::LineControl Line3 { this, QColor(128, 128, 128) };
    chrome::LineControl Line2 { this, QColor(128, 128, 128) };
    chrome::LineControl Line1 { this, QColor(128, 128, 128) };
    chrome::ImageControl ImgNext { this };
    chrome::ImageControl ImgBack { this };
    chrome::ImageControl ImgPlay { this };
    chrome::ImageControl ImgRewind { this };
    chrome::ImageControl ImgCatch { this };
    chrome::ImageControl ImgOpen { this };

    // The title bar's state (all start at zero, empty or false).
    bool RolledUp() const { return rolledUp_; } // rolled up to the title bar
    int NormalHeight = 0; // height and top (twips) saved when rolling up
    int NormalTop = 0;
    chrome::GrabPoint BarGrab; // the pointer's place in ImgBar1 and ImgIco, recorded
    chrome::GrabPoint IcoGrab; // while no mouse button is down

    // The window's place and size in twips, and its state: 0 normal, 2 maximised.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    int WindowState() const;

    // A file counts as a movie when its path ends in ".swf", in any case.
    static bool IsMovieFile(const QString& path);

    // Start-up: reads `commandLine` (the whole argument text) and may load a movie.
    void Form_Load(const QString& commandLine);
    // Places every control for the window's size and state; runs on every change of them.
    void Form_Resize();

    void PlayAni();
    void NextAni();
    void ExitAni();
    void RewindAni();
    void ShowAbout();
    void CatchFrame();
    void ShowPlayListWindowAni();
    void BackAni();
    void OpenAni();
    void Extract(int FlashVersion);

    // The ticks of the progress timers (core/frmMainPlayback.cpp): Timer1 moves the
    // progress bar and, on a movie's last frame, goes on to the next play-list entry;
    // Timer2 shows the download percentage in the caption.
    void Timer1_Timer();
    void Timer2_Timer();

protected:
    // Every route of closing (ExitAni, the system, the task bar) comes through here.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Files dragged over the window and dropped on it; the right button on its surface.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Form_QueryUnload();
    void Form_Unload();
    void LoadSkinPictures();
    void InstallHotKeys();
    void RemoveHotKeys();
    void centreOnScreen();
    // Whether the play list, the About window or the open dialog is on the screen.
    bool secondaryWindowShown() const;

    // The skin's design-time properties and the wiring of its mouse events.
    void buildSkin();
    void stackInFormOrder();
    void setRolledUp(bool rolledUp);

    // The title bar and the window states.
    void ImgBar1_MouseMove(int Button, int Shift, float X, float Y);
    void ImgBar1_MouseUp(int Button, int Shift, float X, float Y);
    void ImgIco_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void MaximiseOrRestore(); // ImgMax's release and a double click on the title bar or icon
    void RollUpOrRestore(); // ImgMin's release
    // Pops the command menu up at the pointer.
    void PopupCommandMenu();

    // Dropping files (core/frmMainDrop.cpp). The drag-over pass answers with the effect,
    // in the values of Qt::DropAction: none, copy, or `Effect` as the drag proposed it.
    int Form_OLEDragOver(const QMimeData* Data, int Effect);
    void Form_OLEDragDrop();
    void dragOver(QDragMoveEvent* event);
    void Form_MouseUp(int Button);

    // Playback and progress (core/frmMainPlayback.cpp).
    void wirePlayback();
    void Flash1_OnReadyStateChange(int newState);
    void Flash1_FSCommand(const QString& command, const QString& args);
    void Fbar1_Seek();

    platform::WindowManager& windows() const;

    core::Forms& forms_;
    mdlCommonFunctions::HotKeys hotKeys_;
    bool unloaded_ = false;
    bool rolledUp_ = false;
    bool gripHandedOver_ = false; // the window manager carries the corner grip's resize
    bool inDragOver_ = false;
};
